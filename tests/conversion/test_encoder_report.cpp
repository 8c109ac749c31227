// Reading the encoder's reports and the progress they make, without a batch or a window.
#include "conversion/EncoderReport.h"
#include "conversion/ProgressDisplay.h"

#include <gtest/gtest.h>
#include <limits>

// Readable failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString Report(const QString& time)
{
    return QStringLiteral("frame=  250 fps= 50 q=28.0 size=    1024kB time=") + time
        + QStringLiteral(" bitrate= 838.9kbits/s    \r");
}

ProgressDisplay Shown(double position, double duration, int elapsed, QChar separator = QLatin1Char('.'))
{
    const std::optional<ProgressDisplay> shown = ProgressFor(position, duration, elapsed, separator);
    EXPECT_TRUE(shown);
    return shown.value_or(ProgressDisplay {});
}

} // namespace

TEST(ReportPositionText, FirstCompleteReportOnItsLine)
{
    EXPECT_EQ(ReportPositionText(Report("10.00") + Report("12.00")), "10.00");
    EXPECT_EQ(ReportPositionText("size= 1kB time=00:01:05.50 bitrate= 8kbits/s"), "00:01:05.50");
    // A carriage return does not end a line; a line feed does.
    EXPECT_EQ(ReportPositionText("size= 1kB time=3.5\r bitrate= 8kbits/s"), "3.5\r");
    EXPECT_EQ(ReportPositionText("size= 1kB time=3.5\n bitrate= 8kbits/s"), "0");
    // A start without its end on the same line gives way to a later, complete report.
    EXPECT_EQ(ReportPositionText("kB time=1 x\nsize= 1kB time=2 bitrate= 8kbits/s"), "2");
    EXPECT_EQ(ReportPositionText("kB time=1 kB time=2 bitrate="), "1 kB time=2");
    // Markers are case-sensitive.
    EXPECT_EQ(ReportPositionText("size= 1KB time=2 bitrate= 8kbits/s"), "0");
    EXPECT_EQ(ReportPositionText(""), "0");
}

TEST(EncoderReport, PiecesAreJoinedUntilAReportEnds)
{
    EncoderReport report;
    EXPECT_FALSE(report.TakePiece("Video:...\nframe= 250 fps= 50 q=28.0 size= 1024kB ti"));
    EXPECT_EQ(report.PendingOutput(), "Video:...\nframe= 250 fps= 50 q=28.0 size= 1024kB ti");
    EXPECT_EQ(report.TakePiece("me=10.00 bitrate= 838.9kbits/s\r"), 10.0);
    EXPECT_TRUE(report.PendingOutput().isEmpty());
    // Of several reports in one piece the first counts.
    EXPECT_EQ(report.TakePiece(Report("00:01:05.50") + Report("70.00")), 65.5);
    // A piece that ends a report without a complete one gives 0, and nothing is kept.
    EXPECT_FALSE(report.TakePiece("half a line ti"));
    EXPECT_EQ(report.TakePiece("me=3 and then 12.0kbits/s\n"), 0.0);
    EXPECT_TRUE(report.PendingOutput().isEmpty());
}

TEST(EncoderReport, AnUnreadableTimeIsDropped)
{
    EncoderReport report;
    for (const QString& bad : {QStringLiteral("00:05"), QStringLiteral("aa:bb:cc"), QStringLiteral("1:2:x"),
                               QString(400, QLatin1Char('9'))}) {
        report.TakePiece("leftover ");
        EXPECT_FALSE(report.TakePiece(Report(bad))) << bad.toStdString();
        EXPECT_TRUE(report.PendingOutput().isEmpty());
    }
    // Past any duration, yet a number.
    EXPECT_TRUE(report.TakePiece(Report(QString(300, QLatin1Char('9')))));
}

TEST(EncodeSucceeded, TheEncoderAndItsOutputMustAgree)
{
    EXPECT_TRUE(EncodeSucceeded(true, true));
    EXPECT_FALSE(EncodeSucceeded(true, false));
    EXPECT_FALSE(EncodeSucceeded(false, true));
}

TEST(ProgressFor, SpeedRemainingAndPercent)
{
    const ProgressDisplay quarter = Shown(150, 600, 60);
    EXPECT_EQ(quarter.barValue, 150.0);
    EXPECT_EQ(quarter.remaining, "00:03:00");
    EXPECT_EQ(quarter.percent, "25%");
    EXPECT_FALSE(quarter.barFull);
    // 7 s for 3 s of video: the factor 2.333 is rounded to 2.33 before it multiplies the 597 s left.
    EXPECT_EQ(Shown(3, 600, 7).remaining, TimeText(1391));
    EXPECT_EQ(Shown(3, 600, 7).percent, "0.5%");
    // No elapsed time yet: no remaining time either.
    EXPECT_EQ(Shown(150, 600, 0).remaining, "00:00:00");
    EXPECT_EQ(Shown(12.25, 100, 10, QLatin1Char(',')).percent, "12,2%");
}

TEST(ProgressFor, PercentTiesRoundToTheEvenDigit)
{
    EXPECT_EQ(Shown(12.25, 100, 10).percent, "12.2%");
    EXPECT_EQ(Shown(12.75, 100, 10).percent, "12.8%");
    EXPECT_EQ(Shown(12.45, 100, 10).percent, "12.4%");
    EXPECT_EQ(Shown(0.25, 100, 10).percent, "0.2%");
    EXPECT_EQ(Shown(12.36, 100, 10).percent, "12.4%");
}

TEST(ProgressFor, TheEndsOfTheBar)
{
    // Past the duration: a full bar at 100%, nothing left.
    const ProgressDisplay past = Shown(100.4, 100, 10);
    EXPECT_EQ(past.percent, "100%");
    EXPECT_TRUE(past.barFull);
    EXPECT_FALSE(past.barValue);
    EXPECT_EQ(past.remaining, "00:00:00");
    // Exactly the duration: 100% is not above 100, and the bar keeps its value.
    const ProgressDisplay end = Shown(100, 100, 10);
    EXPECT_EQ(end.percent, "100%");
    EXPECT_FALSE(end.barFull);
    EXPECT_FALSE(end.barValue);
    // Position 0 changes nothing shown.
    const ProgressDisplay zero = Shown(0, 100, 10);
    EXPECT_FALSE(zero.barValue || zero.remaining || zero.percent || zero.barFull);
    // An absurd position must not break the display.
    const ProgressDisplay absurd = Shown(1e300, 600, 60);
    EXPECT_EQ(absurd.percent, "100%");
    EXPECT_EQ(absurd.remaining, "00:00:00");
    // An unknown duration leaves nothing to divide by.
    EXPECT_FALSE(ProgressFor(42.5, 0, 10, QLatin1Char('.')));
}

TEST(TimeText, HoursMinutesSecondsUpToTwentyFourHours)
{
    EXPECT_EQ(TimeText(0), "00:00:00");
    EXPECT_EQ(TimeText(59), "00:00:59");
    EXPECT_EQ(TimeText(61), "00:01:01");
    EXPECT_EQ(TimeText(3600), "01:00:00");
    EXPECT_EQ(TimeText(36000 + 600 + 10), "10:10:10");
    EXPECT_EQ(TimeText(89999), "24:59:59");
    EXPECT_EQ(TimeText(90000), ">24 hours");
    EXPECT_EQ(TimeText(std::numeric_limits<qint32>::max()), ">24 hours");
    EXPECT_EQ(TimeText(-5), "00:00:00");
    EXPECT_EQ(TimeText(std::numeric_limits<qint32>::min()), "00:00:00");
}
