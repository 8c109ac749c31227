#include "conversion/Batch.h"
#include "conversion/ProgressDisplay.h"
#include "window/WindowLooks.h"

#include "support/BatchTimer.h"
#include "support/TestWindow.h"
#include "window/CancelDialog.h"
#include "window/ProgressBar.h"
#include "window/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

// Readable failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString ProbeText(const QString& duration)
{
    return QStringLiteral("Input #0, avi, from 'clip.avi':\n  Duration: ") + duration
        + QStringLiteral(", start: 0.000000, bitrate: 1411 kb/s\n"
                         "    Stream #0.0: Video: h264, yuv420p, 640x480 [PAR 1:1 DAR 4:3], 25.00 tb(r)\n"
                         "    Stream #0.1: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s\n"
                         "At least one output file must be specified\n");
}

QString Report(const QString& time)
{
    return QStringLiteral("frame= 25 fps= 50 q=28.0 size= 100kB time=") + time
        + QStringLiteral(" bitrate= 80.0kbits/s\r");
}

QList<QWidget*> InputControls(FormControls& f)
{
    return {f.lstSource,     f.txtDestination, f.cmdSourceFile,    f.cmdDestination, f.chkSubtitles, f.cmdConvert,
            f.comboLanguage, f.chkOverwrite,   f.chkShowPutiPhone, f.chkFullHD,      f.chk4K};
}

// A batch of three sources run through the controller, the runner's events raised by hand.
struct BatchLooks : ::testing::Test
{
    TestWindow w;
    FormControls& f = w.c();
    QTemporaryDir dest;
    const QStringList durations {"00:00:10.00", "00:00:20.00", "00:00:40.00"};

    void SetUp() override
    {
        ASSERT_TRUE(dest.isValid());
        f.form.show();
        f.txtDestination->setText(dest.path() + QLatin1Char('/'));
        for (const char* name : {"clipA.avi", "clipB.avi", "clipC.avi"})
            w.addSources({QDir(dest.path()).filePath(QStringLiteral("in/") + QLatin1String(name))});
    }
    FakeRunner* runner() { return CurrentRunner(); }
    QString status() const { return f.lblStatus->title(); }
    QString frm() const { return w.t(QStringLiteral("frmCaption")); }

    void probeAll()
    {
        QTest::mouseClick(f.cmdConvert, Qt::LeftButton);
        for (const QString& d : durations) {
            ASSERT_NE(runner(), nullptr);
            ASSERT_EQ(f.batch->ConversionPhase(), Phase::Info);
            runner()->finish(ProbeText(d));
        }
        ASSERT_EQ(f.batch->ConversionPhase(), Phase::Conversion);
    }
    // The encoder reports `times` while the timer ticks `ticks` times.
    void encode(int row, const QStringList& times, int ticks)
    {
        ASSERT_EQ(f.batch->CurrentIndex(), row);
        for (int i = 0; i < ticks; ++i)
            TickBatchTimer(*f.batch);
        for (const QString& t : times)
            runner()->output(Report(t));
    }
    // The encoder writes its output and ends.
    void complete(int row)
    {
        QFile out(dest.path() + QLatin1Char('/') + QStringLiteral("clip%1.mp4").arg(QChar('A' + row)));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        runner()->finish(QStringLiteral("done"), true);
    }
    void expectIdleLook()
    {
        for (QWidget* c : InputControls(f))
            EXPECT_TRUE(c->isEnabled()) << c->objectName().toStdString();
        EXPECT_FALSE(f.cmdConvert->isHidden());
        EXPECT_FALSE(f.batch->Timer().isActive());
        EXPECT_EQ(f.batch->ConversionPhase(), Phase::Idle);
        EXPECT_EQ(f.lblTimeR->text(), "00:00:00");
    }
    void cancel()
    {
        QTest::mouseClick(f.cmdCancel, Qt::LeftButton);
        ASSERT_TRUE(f.frmCancel->isVisible());
        QTest::mouseClick(f.cmdYes, Qt::LeftButton);
    }
    void expectCancelledLook()
    {
        expectIdleLook();
        EXPECT_EQ(f.form.windowTitle(), frm());
        EXPECT_EQ(f.lblPercent->text(), "0%");
        EXPECT_EQ(f.lblTimeE->text(), "00:00:00");
        EXPECT_FLOAT_EQ(BarValue(f.pBar), 0);
        EXPECT_EQ(status(), w.t(QStringLiteral("cmdCancel_ed")));
        EXPECT_EQ(TextColour(f.lblStatus), QColor(255, 0, 0));
    }
};

} // namespace

TEST(ShowConverting, LocksTheInputsAndTouchesNoProgress)
{
    TestWindow w;
    FormControls& f = w.c();
    f.form.setWindowTitle("caption");
    f.lblPercent->setText("40%");
    f.lblTimeR->setText("00:00:07");
    SetBarValue(f.pBar, 40);
    for (int i = 0; i < 9; ++i)
        TickBatchTimer(*f.batch);
    ASSERT_EQ(f.batch->Progress().ElapsedSeconds, 9);

    // A batch starts: its probe runs.
    QTemporaryDir dest;
    w.addSources({dest.filePath("clip.avi")});
    f.txtDestination->setText(dest.path() + "/");
    w.startConversion();
    for (QWidget* c : InputControls(f))
        EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
    // Cancel sits under Convert: it shows exactly when Convert is hidden.
    EXPECT_TRUE(f.cmdConvert->isHidden());
    EXPECT_FALSE(f.cmdCancel->isHidden());
    EXPECT_TRUE(f.cmdCancel->isEnabled());
    EXPECT_EQ(f.lblStatus->title(), w.t("cmdConvert_ing"));
    EXPECT_EQ(TextColour(f.lblStatus), QColor(0, 0, 255));
    EXPECT_EQ(f.batch->Progress().ElapsedSeconds, 0);
    EXPECT_TRUE(f.batch->Timer().isActive());

    EXPECT_EQ(f.form.windowTitle(), "caption");
    EXPECT_EQ(f.lblPercent->text(), "40%");
    EXPECT_EQ(f.lblTimeE->text(), "00:00:09"); // the ticks' count, until the next tick
    EXPECT_EQ(f.lblTimeR->text(), "00:00:07");
    EXPECT_FLOAT_EQ(BarValue(f.pBar), 40);

    // The running timer really counts: the first tick shows one second.
    const QDeadlineTimer deadline(5000);
    while (f.lblTimeE->text() != "00:00:01" && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(f.lblTimeE->text(), "00:00:01");
}

TEST_F(BatchLooks, FinishedBatchOfThree)
{
    probeAll();
    EXPECT_EQ(status(), w.t("cmdConvert_ing") + "(1/3)");
    EXPECT_FLOAT_EQ(BarMax(f.pBar), 10);
    encode(0, {"5.00", "10.00"}, 4);
    complete(0);

    // Between two jobs the previous job's progress stays up until the next report.
    EXPECT_EQ(status(), w.t("cmdConvert_ing") + "(2/3)");
    EXPECT_FLOAT_EQ(BarMax(f.pBar), 20);
    EXPECT_EQ(f.lblPercent->text(), "100%");
    EXPECT_EQ(f.form.windowTitle(), frm() + " - 100%");
    EXPECT_EQ(f.lblTimeE->text(), "00:00:04");
    EXPECT_EQ(f.batch->Progress().ElapsedSeconds, 0);
    TickBatchTimer(*f.batch);
    EXPECT_EQ(f.lblTimeE->text(), "00:00:01");
    encode(1, {"5.00"}, 1);
    EXPECT_EQ(f.lblPercent->text(), "25%");
    complete(1);

    encode(2, {"10.00", "20.00"}, 7);
    EXPECT_EQ(f.lblPercent->text(), "50%");
    EXPECT_EQ(f.form.windowTitle(), frm() + " - 50%");
    complete(2);

    EXPECT_EQ(w.fake.messages->shown, QStringList());
    expectIdleLook();
    EXPECT_EQ(f.form.windowTitle(), frm() + " - 100%");
    EXPECT_EQ(f.lblPercent->text(), "100%");
    EXPECT_FLOAT_EQ(BarMax(f.pBar), 40);
    EXPECT_FLOAT_EQ(BarValue(f.pBar), 40);
    EXPECT_EQ(f.pBar->value(), f.pBar->maximum());
    // Only the last job's elapsed time: every job's start reset the count.
    EXPECT_EQ(f.lblTimeE->text(), "00:00:07");
    EXPECT_EQ(status(), w.t("cmdConvert_ed"));
    EXPECT_EQ(TextColour(f.lblStatus), QColor(0, 192, 0));
}

TEST_F(BatchLooks, CancelDuringAnEncode)
{
    probeAll();
    encode(0, {"10.00"}, 3);
    complete(0);
    encode(1, {"5.00"}, 2);
    ASSERT_EQ(f.lblPercent->text(), "25%");
    FakeRunner* encoder = runner();
    cancel();
    expectCancelledLook();
    EXPECT_EQ(w.fake.runners->stops, 1);
    // Output still arriving from the stopped encoder is ignored.
    encoder->output(Report("15.00"));
    EXPECT_EQ(f.lblPercent->text(), "0%");
}

TEST_F(BatchLooks, CancelDuringTheProbes)
{
    QTest::mouseClick(f.cmdConvert, Qt::LeftButton);
    runner()->finish(ProbeText(durations.at(0)));
    cancel();
    expectCancelledLook();
}

TEST_F(BatchLooks, RefusedJobLooksLikeACancel)
{
    // The second output exists already and the user declines to overwrite it.
    SetCheckValue(f.chkOverwrite, 1);
    QFile existing(dest.path() + QStringLiteral("/clipB.mp4"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    w.fake.messages->answers = {false};

    QTest::mouseClick(f.cmdConvert, Qt::LeftButton);
    runner()->finish(ProbeText(durations.at(0)));
    runner()->finish(ProbeText(durations.at(1)));
    ASSERT_EQ(w.fake.messages->asked.size(), 1);
    expectCancelledLook();
}

TEST_F(BatchLooks, UnknownDurationLeavesNoBusyBarBehind)
{
    // The third source's probe finds no usable duration.
    QTest::mouseClick(f.cmdConvert, Qt::LeftButton);
    runner()->finish(ProbeText(durations.at(0)));
    runner()->finish(ProbeText(durations.at(1)));
    runner()->finish(ProbeText("00:00:00.00"));
    encode(0, {"10.00"}, 1);
    complete(0);
    encode(1, {"20.00"}, 1);
    complete(1);
    EXPECT_EQ(f.pBar->maximum(), 0);
    encode(2, {"3.00"}, 1);
    EXPECT_EQ(f.batch->Progress().PositionText, "3");
    complete(2);
    expectIdleLook();
    EXPECT_EQ(status(), w.t("cmdConvert_ed"));
    EXPECT_GT(f.pBar->maximum(), 0);
    EXPECT_EQ(f.pBar->value(), f.pBar->maximum());
}
