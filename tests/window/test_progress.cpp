// The window shows what the batch makes of the encoder's reports.
#include "conversion/ProgressDisplay.h"

#include "support/BatchTimer.h"
#include "support/TestWindow.h"
#include "window/ProgressBar.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

// Readable failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

// A window in the middle of an encode of `duration` seconds.
struct Encoding : ::testing::Test
{
    TestWindow w;
    FormControls& f = w.c();

    void start(float duration) { f.form.ShowProgressMaximum(duration); }
    // What the batch shows for a report of `position`, `elapsed` seconds into the job.
    void report(double position, float duration, int elapsed, QChar separator = QLatin1Char('.'))
    {
        if (const auto shown = ProgressFor(position, duration, elapsed, separator))
            f.form.ShowProgress(*shown);
    }
    QString caption() const { return f.form.windowTitle(); }
    QString frm() const { return w.t(QStringLiteral("frmCaption")); }
};

} // namespace

TEST_F(Encoding, BarRemainingTimePercentAndCaption)
{
    start(600);
    report(150, 600, 60);
    EXPECT_EQ(f.lblTimeR->text(), "00:03:00");
    EXPECT_EQ(f.lblPercent->text(), "25%");
    EXPECT_EQ(caption(), frm() + " - 25%");
    EXPECT_FLOAT_EQ(BarValue(f.pBar), 150);

    start(100);
    report(12.25, 100, 10, QLatin1Char(','));
    EXPECT_FLOAT_EQ(BarValue(f.pBar), 12.25f);
    EXPECT_EQ(f.lblPercent->text(), "12,2%");
    EXPECT_EQ(caption(), frm() + " - 12,2%");
}

TEST_F(Encoding, PositionPastTheDurationShowsAFullBar)
{
    start(100);
    report(50, 100, 10);
    report(100.4, 100, 10);
    EXPECT_EQ(f.lblPercent->text(), "100%");
    EXPECT_EQ(caption(), frm() + " - 100%");
    EXPECT_FLOAT_EQ(BarValue(f.pBar), 100);
    EXPECT_EQ(f.pBar->value(), f.pBar->maximum());
    EXPECT_EQ(f.lblTimeR->text(), "00:00:00");
}

TEST_F(Encoding, PositionEqualToTheDurationKeepsTheBar)
{
    start(100);
    report(90, 100, 10);
    report(100, 100, 10);
    EXPECT_EQ(f.lblPercent->text(), "100%");
    EXPECT_FLOAT_EQ(BarValue(f.pBar), 90);
}

TEST_F(Encoding, UnknownDurationLeavesTheLastValuesOnABusyBar)
{
    start(600);
    report(150, 600, 60);
    // The next job's probe found no duration.
    start(0);
    EXPECT_EQ(f.pBar->minimum(), 0);
    EXPECT_EQ(f.pBar->maximum(), 0); // busy
    report(42.5, 0, 10);
    EXPECT_EQ(f.pBar->maximum(), 0);
    EXPECT_EQ(f.lblPercent->text(), "25%");
    EXPECT_EQ(f.lblTimeR->text(), "00:03:00");
    EXPECT_EQ(caption(), frm() + " - 25%");
}

TEST_F(Encoding, AnAbsurdDurationKeepsTheBarsRangeSound)
{
    start(4e9f); // more than the widget's integer steps can hold
    EXPECT_EQ(f.pBar->minimum(), 0);
    EXPECT_EQ(f.pBar->maximum(), std::numeric_limits<int>::max());
    report(150, 4e9f, 60);
    EXPECT_EQ(f.pBar->minimum(), 0);
    EXPECT_GT(f.pBar->value(), 0);
}

TEST_F(Encoding, TimerTicksCountTheElapsedTime)
{
    // A batch under way: its probe is running, and the window's timer counts.
    QTemporaryDir destination;
    w.addSources({destination.filePath("clip.avi")});
    f.txtDestination->setText(destination.path() + "/");
    w.startConversion();
    ASSERT_TRUE(f.batch->Timer().isActive());
    TickBatchTimer(*f.batch);
    EXPECT_EQ(f.batch->Progress().ElapsedSeconds, 1);
    EXPECT_EQ(f.lblTimeE->text(), "00:00:01");
}
