#include "conversion/MediaInfo.h"

#include <gtest/gtest.h>

namespace {

const QString kDurationLine = QStringLiteral("  Duration: 00:01:23.45, start: 0.000000, bitrate: 1411 kb/s\n");
const QString kVideoLine
    = QStringLiteral("    Stream #0.0: Video: h264, yuv420p, 640x480 [PAR 1:1 DAR 4:3], 25.00 tb(r)\n");

QString Probe(const QString& duration, const QString& video)
{
    return QStringLiteral("Input #0, avi, from 'clip.avi':\n") + duration + video
        + QStringLiteral("    Stream #0.1: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s\n"
                         "At least one output file must be specified\n");
}

} // namespace

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
}

TEST(ParseProbeOutput, WorkedExample)
{
    EXPECT_EQ(ParseProbeOutput(Probe(kDurationLine, kVideoLine)), "83| 640|480|25");
}

TEST(ParseProbeOutput, DurationForms)
{
    EXPECT_EQ(ParseProbeOutput(Probe("  Duration: 01:00:00.99, start: 0.000000, bitrate: 5 kb/s\n", kVideoLine)),
              "3600| 640|480|25");
    EXPECT_EQ(ParseProbeOutput(Probe("  Duration: N/A, start: 0.000000, bitrate: N/A\n", kVideoLine)), "0| 640|480|25");
    EXPECT_EQ(ParseProbeOutput(Probe("", kVideoLine)), "0| 640|480|25");
    // A two-part time is an error, and no partial result survives.
    EXPECT_EQ(ParseProbeOutput(Probe("  Duration: 01:23.45, start: 0.000000\n", kVideoLine)), "");
}

TEST(ParseProbeOutput, FrameRates)
{
    auto withRate = [](const QString& rate) {
        return ParseProbeOutput(
            Probe(kDurationLine,
                  "    Stream #0.0: Video: mpeg4, yuv420p, 1280x720 [PAR 1:1 DAR 16:9], " + rate + " tb(r)\n"));
    };
    EXPECT_EQ(withRate("29.97"), "83| 1280|720|29.97");
    EXPECT_EQ(withRate("23.976"), "83| 1280|720|23.976");
    EXPECT_EQ(withRate("59.94"), "83| 1280|720|59.94");
    EXPECT_EQ(withRate("30"), "83| 1280|720|30");
    // A tail longer than ", " plus 6 characters loses its ", ": the rate reads as 0.
    EXPECT_EQ(withRate("1234.5678"), "83| 1280|720|0");
    // No " tb" anywhere: 0, not a failure.
    EXPECT_EQ(ParseProbeOutput(Probe(kDurationLine, "Stream #0.0: Video: h264, yuv420p, 640x480 [PAR 1:1 DAR 4:3]\n")),
              "83| 640|480|0");
}

TEST(ParseProbeOutput, UnusableVideoLinesFail)
{
    // No PAR block: videoText is "0".
    EXPECT_EQ(ParseProbeOutput(Probe(kDurationLine, "Stream #0.0: Video: h264, yuv420p, 640x480, 25 tb(r)\n")), "");
    // Third comma piece without an "x".
    EXPECT_EQ(
        ParseProbeOutput(Probe(kDurationLine, "Stream #0.0: Video: h264, yuv420p, 640 [PAR 1:1 DAR 4:3], 25 tb(r)\n")),
        "");
    // A comma inside the pixel format shifts the pieces; the size is not looked for anywhere else.
    EXPECT_EQ(
        ParseProbeOutput(Probe(kDurationLine,
                               "Stream #0.0: Video: h264, yuv420p(tv, bt709), 640x480 [PAR 1:1 DAR 4:3], 25 tb(r)\n")),
        "");
    EXPECT_EQ(ParseProbeOutput(
                  Probe(kDurationLine, "Stream #0.0: Video: h264, yuv(x, 5x6), 640x480 [PAR 1:1 DAR 4:3], 25 tb(r)\n")),
              "83| 5|6)|25");
    EXPECT_EQ(ParseProbeOutput("foo: Unknown format\n"), "");
    EXPECT_EQ(ParseProbeOutput(""), "");
}

TEST(ParseProbeOutput, CarriageReturnLineEndsAreReadLikeText)
{
    // CR LF output: "." matches the CR, so the lines read the same as with LF alone.
    QString text = Probe(kDurationLine, kVideoLine);
    text.replace("\n", "\r\n");
    EXPECT_EQ(ParseProbeOutput(text), "83| 640|480|25");
}
