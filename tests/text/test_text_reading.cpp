// Reading values out of other programs' text, shared by the batch and the version check.
#include "text/TextReading.h"

#include <gtest/gtest.h>

TEST(ExtractBetween, FirstStartGreedyToLastEndOnTheSameLine)
{
    EXPECT_EQ(ExtractBetween("a, b, c", ", ", ""), "b, c");
    EXPECT_EQ(ExtractBetween("abc", "x", ""), "0");
    EXPECT_EQ(ExtractBetween("<a>1<b>2<b>\n<a>3<b>", "<a>", "<b>"), "1<b>2");
    // The first start has no end on its line: the match moves to a later line.
    EXPECT_EQ(ExtractBetween("<a>1\n<a>2<b>", "<a>", "<b>"), "2");
    // An end before the start on the same line does not count.
    EXPECT_EQ(ExtractBetween("<b> <a>x", "<a>", "<b>"), "0");
    EXPECT_EQ(ExtractBetween("", "", ""), "");
    EXPECT_EQ(ExtractBetween("CURRENT_VERSION=>0.75<=CURRENT_VERSION", "CURRENT_VERSION=>", "<=CURRENT_VERSION"),
              "0.75");
}

TEST(ExtractBetween, DotMatchesCarriageReturnButNotLineFeed)
{
    EXPECT_EQ(ExtractBetween("a1\r2b", "a", ".b"), "1\r");
    EXPECT_EQ(ExtractBetween("a1\n2b", "a", ".b"), "0");
    EXPECT_EQ(ExtractBetween("Duration: 00:00:07.5\n0, start:", "Duration: ", ".., start:"), "0");
    // The capture itself crosses a carriage return.
    EXPECT_EQ(ExtractBetween("x=1\r2 end", "x=", " end"), "1\r2");
    // Other pattern characters are literal and case-sensitive.
    EXPECT_EQ(ExtractBetween("VIDEO: a PAR", "Video: ", " .PAR"), "0");
}

TEST(ExtractBetween, LongSingleLineWithManyStartsAndNoEnd)
{
    // A pathological reply: a start on every few characters and no end anywhere must not take quadratic time.
    QString text;
    text.reserve(4'000'000);
    for (int i = 0; i < 1'000'000; ++i)
        text += QStringLiteral(", a ");
    EXPECT_EQ(ExtractBetween(text, ", ", " tb"), "0");
    text += QStringLiteral(" tb");
    EXPECT_EQ(ExtractBetween(text, ", ", " tb").size(), text.size() - 5);
}

TEST(TimeToSeconds, ColonFormAndPlainNumbers)
{
    EXPECT_EQ(TimeToSeconds("01:02:03"), 3723.0);
    EXPECT_EQ(TimeToSeconds("00:01:23."), 83.0);
    EXPECT_EQ(TimeToSeconds("00:01:05.50"), 65.5);
    EXPECT_EQ(TimeToSeconds(" 00 : 01 : 02 :99"), 62.0); // blanks around parts, parts past the third ignored
    EXPECT_EQ(TimeToSeconds("4.00"), 4.0);
    EXPECT_EQ(TimeToSeconds("12abc"), 12.0);
    EXPECT_EQ(TimeToSeconds("1 2"), 12.0);
    EXPECT_EQ(TimeToSeconds(""), 0.0);
    EXPECT_EQ(TimeToSeconds("N"), 0.0);
}

TEST(TimeToSeconds, MalformedColonFormIsAnError)
{
    EXPECT_FALSE(TimeToSeconds("01:02").has_value());
    EXPECT_FALSE(TimeToSeconds("aa:01:02").has_value());
    EXPECT_FALSE(TimeToSeconds("01::02").has_value());
    EXPECT_FALSE(TimeToSeconds("01:02:1.2.3").has_value());
}

TEST(LeadingNumber, SkipsBlanksEverywhereAndStopsAtOtherCharacters)
{
    EXPECT_EQ(LeadingNumber(" 640"), 640.0);
    EXPECT_EQ(LeadingNumber("\t2\n9.9 7x"), 29.97);
    EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(LeadingNumber("\r5"), 0.0);
    EXPECT_EQ(LeadingNumber("."), 0.0);
    EXPECT_EQ(LeadingNumber("-3"), 0.0);
}

TEST(PlainNumber, ShortestDecimalWithoutExponent)
{
    EXPECT_EQ(PlainNumber(83), "83");
    EXPECT_EQ(PlainNumber(29.97), "29.97");
    EXPECT_EQ(PlainNumber(23.976), "23.976");
    EXPECT_EQ(PlainNumber(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(PlainNumber(1e21), "1000000000000000000000");
    EXPECT_EQ(PlainNumber(-0.0), "0");
    EXPECT_EQ(UserNumber(65.5, QLatin1Char(',')), "65,5");
    EXPECT_EQ(UserNumber(10, QLatin1Char(',')), "10");
}
