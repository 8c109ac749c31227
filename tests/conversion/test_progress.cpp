#include "conversion/Progress.h"

#include "support/TestWindow.h"
#include "window/ProgressBar.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
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

// A window in the middle of an encode of `duration` seconds, `elapsed` seconds in.
struct Encoding : ::testing::Test
{
    TestWindow w;
    FormControls& f = w.c();

    void start(float duration, int elapsed)
    {
        f.batch->ConversionPhase = Phase::Conversion;
        f.batch->Progress.ElapsedSeconds = elapsed;
        f.batch->Progress.Maximum = duration;
        f.form.ShowProgressMaximum(duration);
    }
    void feed(const QString& piece) { f.batch->HandleEncoderOutput(piece); }
    QString caption() const { return f.form.windowTitle(); }
    QString frm() const { return w.t(QStringLiteral("frmCaption")); }
};

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

TEST_F(Encoding, ReportSplitOverTwoPiecesIsJoined)
{
    start(600, 5);
    feed("frame= 250 fps= 50 q=28.0 size= 1024kB ti");
    EXPECT_EQ(f.batch->Progress.PendingOutput, "frame= 250 fps= 50 q=28.0 size= 1024kB ti");
    EXPECT_EQ(f.batch->Progress.PositionText, "");
    feed("me=10.00 bitrate= 838.9kbits/s\r");
    EXPECT_EQ(f.batch->Progress.PositionText, "10");
    EXPECT_FLOAT_EQ(BarValue(f.pBar), 10);
    EXPECT_TRUE(f.batch->Progress.PendingOutput.isEmpty());
}

TEST_F(Encoding, FirstOfSeveralReportsInOnePieceCounts)
{
    start(600, 5);
    feed(Report("10.00") + Report("12.00"));
    EXPECT_EQ(f.batch->Progress.PositionText, "10");
    EXPECT_FLOAT_EQ(BarValue(f.pBar), 10);
}

TEST_F(Encoding, PositionShownWithTheUsersDecimalSeparator)
{
    start(600, 5);
    feed(Report("00:01:05.50"));
    EXPECT_EQ(f.batch->Progress.PositionText, "65.5");
    EXPECT_FLOAT_EQ(BarValue(f.pBar), 65.5f);

    w.fake.system->separator = QLatin1Char(',');
    start(100, 10);
    feed(Report("12.25"));
    EXPECT_EQ(f.batch->Progress.PositionText, "12,25");
    EXPECT_EQ(f.lblPercent->text(), "12,2%");
    EXPECT_EQ(caption(), frm() + " - 12,2%");
}

TEST_F(Encoding, SpeedRemainingPercentAndCaption)
{
    start(600, 60);
    feed(Report("150.00"));
    EXPECT_EQ(f.lblTimeR->text(), "00:03:00");
    EXPECT_EQ(f.lblPercent->text(), "25%");
    EXPECT_EQ(caption(), frm() + " - 25%");
    EXPECT_FLOAT_EQ(BarValue(f.pBar), 150);

    // 7 s for 3 s of video: the factor 2.333 is rounded to 2.33 before it multiplies the 597 s left.
    start(600, 7);
    feed(Report("3"));
    EXPECT_EQ(f.lblTimeR->text(), TimeText(1391));
    EXPECT_EQ(f.lblPercent->text(), "0.5%");
}

TEST_F(Encoding, PercentTiesRoundToTheEvenDigit)
{
    start(100, 10);
    feed(Report("12.25"));
    EXPECT_EQ(f.lblPercent->text(), "12.2%");
    feed(Report("12.75"));
    EXPECT_EQ(f.lblPercent->text(), "12.8%");
    feed(Report("12.45"));
    EXPECT_EQ(f.lblPercent->text(), "12.4%");
    feed(Report("0.25"));
    EXPECT_EQ(f.lblPercent->text(), "0.2%");
    feed(Report("12.36"));
    EXPECT_EQ(f.lblPercent->text(), "12.4%");
}

TEST_F(Encoding, PositionPastTheDurationShowsAFullBar)
{
    start(100, 10);
    feed(Report("50"));
    feed(Report("100.4"));
    EXPECT_EQ(f.lblPercent->text(), "100%");
    EXPECT_EQ(caption(), frm() + " - 100%");
    EXPECT_FLOAT_EQ(BarValue(f.pBar), 100);
    EXPECT_EQ(f.pBar->value(), f.pBar->maximum());
    EXPECT_EQ(f.lblTimeR->text(), "00:00:00");
}

TEST_F(Encoding, PositionEqualToTheDurationKeepsTheBar)
{
    start(100, 10);
    feed(Report("90"));
    feed(Report("100"));
    EXPECT_EQ(f.lblPercent->text(), "100%");
    EXPECT_FLOAT_EQ(BarValue(f.pBar), 90);
}

TEST_F(Encoding, NoElapsedTimeYetMeansNoRemainingTime)
{
    start(600, 20);
    feed(Report("100"));
    ASSERT_NE(f.lblTimeR->text(), "00:00:00");
    f.batch->Progress.ElapsedSeconds = 0;
    feed(Report("150"));
    EXPECT_EQ(f.lblTimeR->text(), "00:00:00");
    EXPECT_EQ(f.lblPercent->text(), "25%");
}

TEST_F(Encoding, PieceWithoutACompleteReportShowsZeroAndKeepsTheRest)
{
    start(600, 60);
    feed(Report("150"));
    feed("half a line ti");
    feed("me=3 and then 12.0kbits/s\n");
    EXPECT_EQ(f.batch->Progress.PositionText, "0");
    EXPECT_TRUE(f.batch->Progress.PendingOutput.isEmpty());
    EXPECT_EQ(f.lblPercent->text(), "25%");
    EXPECT_EQ(f.lblTimeR->text(), "00:03:00");
    EXPECT_FLOAT_EQ(BarValue(f.pBar), 150);
    EXPECT_EQ(caption(), frm() + " - 25%");
}

TEST_F(Encoding, OutputOutsideTheEncodePhaseChangesNothing)
{
    for (const Phase phase : {Phase::Info, Phase::Idle}) {
        start(600, 60);
        f.batch->ConversionPhase = phase;
        f.batch->Progress.PendingOutput = "earlier";
        f.form.setWindowTitle("before");
        feed(Report("150"));
        feed("no report");
        EXPECT_EQ(f.batch->Progress.PendingOutput, "earlier");
        EXPECT_EQ(f.batch->Progress.PositionText, "");
        EXPECT_EQ(f.lblPercent->text(), "0%");
        EXPECT_FLOAT_EQ(BarValue(f.pBar), 0);
        EXPECT_EQ(caption(), "before");
    }
}

TEST_F(Encoding, TailOfTheLastJobLeadsTheNextReport)
{
    start(600, 60);
    feed("Video:...\nsize= 10kB ti");
    // The next job starts; nothing clears what is pending.
    start(200, 1);
    feed("me=50.00 bitrate= 1.0kbits/s\r");
    EXPECT_EQ(f.batch->Progress.PositionText, "50");
    EXPECT_EQ(f.lblPercent->text(), "25%");
}

TEST_F(Encoding, UnknownDurationShowsOnlyThePositionOnABusyBar)
{
    start(600, 60);
    feed(Report("150"));
    // The next job's probe found no duration.
    start(0, 10);
    EXPECT_EQ(f.pBar->minimum(), 0);
    EXPECT_EQ(f.pBar->maximum(), 0); // busy
    feed(Report("00:00:42.5"));
    EXPECT_EQ(f.batch->Progress.PositionText, "42.5");
    EXPECT_EQ(f.pBar->maximum(), 0);
    EXPECT_EQ(f.lblPercent->text(), "25%");
    EXPECT_EQ(f.lblTimeR->text(), "00:03:00");
    EXPECT_EQ(caption(), frm() + " - 25%");
    EXPECT_TRUE(f.batch->Progress.PendingOutput.isEmpty());
}

TEST_F(Encoding, AnAbsurdDurationKeepsTheBarsRangeSound)
{
    start(4e9f, 60); // more than the widget's integer steps can hold
    EXPECT_EQ(f.pBar->minimum(), 0);
    EXPECT_EQ(f.pBar->maximum(), std::numeric_limits<int>::max());
    feed(Report("150"));
    EXPECT_EQ(f.pBar->minimum(), 0);
    EXPECT_GT(f.pBar->value(), 0);
}

TEST_F(Encoding, UnreadableTimeIsIgnored)
{
    start(600, 60);
    feed(Report("150"));
    f.batch->Progress.PendingOutput = "leftover ";
    for (const QString& bad : {QStringLiteral("00:05"), QStringLiteral("aa:bb:cc"), QStringLiteral("1:2:x")}) {
        feed(Report(bad));
        EXPECT_EQ(f.batch->Progress.PositionText, "150") << bad.toStdString();
        EXPECT_EQ(f.lblPercent->text(), "25%");
        EXPECT_FLOAT_EQ(BarValue(f.pBar), 150);
        EXPECT_TRUE(f.batch->Progress.PendingOutput.isEmpty());
    }
    // An absurd position must not break the display.
    feed(Report(QString(300, QLatin1Char('9'))));
    EXPECT_EQ(f.lblPercent->text(), "100%");
    EXPECT_EQ(f.lblTimeR->text(), "00:00:00");
    feed(Report(QString(400, QLatin1Char('9'))));
    EXPECT_FALSE(f.batch->Progress.PositionText.contains("inf"));
}

TEST_F(Encoding, TimerTicksCountTheElapsedTime)
{
    start(600, 0);
    f.batch->TimerTick();
    EXPECT_EQ(f.batch->Progress.ElapsedSeconds, 1);
    EXPECT_EQ(f.lblTimeE->text(), "00:00:01");
    f.batch->Progress.ElapsedSeconds = 3599;
    f.batch->TimerTick();
    EXPECT_EQ(f.lblTimeE->text(), "01:00:00");
}
