#include "conversion/Batch.h"
#include "support/TestWindow.h"
#include "window/CancelDialog.h"
#include "window/Twips.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString ProbeText(int seconds = 10)
{
    return QStringLiteral("Input #0, avi, from 'x':\n  Duration: 00:00:%1.00, start: 0.000000, bitrate: 100 kb/s\n"
                          "    Stream #0.0: Video: mpeg4, yuv420p, 320x240 [PAR 1:1 DAR 4:3], 25 tb(r)\n"
                          "At least one output file must be specified\n")
        .arg(seconds, 2, 10, QLatin1Char('0'));
}

// A window with a real destination folder and sources that live in another folder.
struct BatchWindow : TestWindow
{
    QTemporaryDir sources;
    QTemporaryDir destination;

    explicit BatchWindow(int count)
    {
        c().txtDestination->setText(destination.path() + QLatin1Char('/'));
        QStringList paths;
        for (int i = 0; i < count; ++i)
            paths << sources.filePath(QStringLiteral("clip%1.avi").arg(i));
        addSources(paths);
    }
    QString source(int i) const { return sources.filePath(QStringLiteral("clip%1.avi").arg(i)); }
    QString output(int i) const { return destination.filePath(QStringLiteral("clip%1.mp4").arg(i)); }
    QString status() const { return c().lblStatus->title(); }
    FakeRunner* runner() const { return CurrentRunner(); }
    const QStringList& commands() const { return fake.runners->commands; }

    void finishProbe() { runner()->finish(ProbeText()); }
    // An encode that succeeds leaves its output behind, as the real encoder does.
    void finishEncode(bool ok = true)
    {
        if (ok) {
            QFile out(c().batch->OutputFileName());
            out.open(QIODevice::WriteOnly);
        }
        runner()->finish(QStringLiteral("size= 10kB time=10.00 bitrate= 8.0kbits/s\n"), ok);
    }
    void runAll(int count)
    {
        for (int i = 0; i < count; ++i)
            finishProbe();
        for (int i = 0; i < count; ++i)
            finishEncode();
    }
};

} // namespace

TEST(StartConversion, AnEmptyListOrABadDestinationStartsNothing)
{
    BatchWindow empty(0);
    QTest::mouseClick(empty.c().cmdConvert, Qt::LeftButton);
    EXPECT_EQ(empty.fake.messages->shown, QStringList {empty.t(QStringLiteral("error_badsource"))});
    EXPECT_TRUE(empty.commands().isEmpty());
    EXPECT_TRUE(empty.c().batch->ConversionPhase() == Phase::Idle);

    BatchWindow noSeparator(1);
    noSeparator.c().txtDestination->setText(noSeparator.destination.path());
    noSeparator.startConversion();
    BatchWindow missing(1);
    missing.c().txtDestination->setText(missing.destination.path() + QStringLiteral("/gone/"));
    missing.startConversion();
    for (BatchWindow* b : {&noSeparator, &missing}) {
        EXPECT_EQ(b->fake.messages->shown, QStringList {b->t(QStringLiteral("error_badDestination"))});
        EXPECT_TRUE(b->commands().isEmpty());
        EXPECT_TRUE(b->c().cmdConvert->isVisible() || !b->form->isVisible());
        EXPECT_TRUE(b->status().isEmpty());
    }
    // The check never creates the folder.
    EXPECT_FALSE(QDir(missing.destination.filePath(QStringLiteral("gone"))).exists());
}

TEST(StartConversion, OneSourceIsProbedThenEncodedWithoutACounter)
{
    BatchWindow b(1);
    QTest::mouseClick(b.c().cmdConvert, Qt::LeftButton);
    EXPECT_EQ(b.c().batch->ConversionPhase(), Phase::Info);
    EXPECT_EQ(b.commands(), QStringList {QStringLiteral("ffmpeg.exe -i \"") + b.source(0) + QLatin1Char('"')});
    EXPECT_EQ(b.status(), b.t(QStringLiteral("cmdConvert_ing")));
    b.finishProbe();
    ASSERT_EQ(b.commands().size(), 2);
    EXPECT_TRUE(b.commands()[1].startsWith(QStringLiteral("ffmpeg.exe -y -i \"") + b.source(0) + QLatin1Char('"')));
    EXPECT_EQ(b.c().batch->ConversionPhase(), Phase::Conversion);
    EXPECT_EQ(b.status(), b.t(QStringLiteral("cmdConvert_ing")));
    b.finishEncode();
    EXPECT_EQ(b.status(), b.t(QStringLiteral("cmdConvert_ed")));
    EXPECT_TRUE(b.c().batch->ConversionPhase() == Phase::Idle);
    EXPECT_EQ(b.commands().size(), 2);
    EXPECT_TRUE(b.fake.messages->shown.isEmpty());
}

TEST(StartConversion, ThreeSourcesAreProbedThenEncodedInListOrderWithACounter)
{
    BatchWindow b(3);
    b.startConversion();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(b.commands().last(), QStringLiteral("ffmpeg.exe -i \"") + b.source(i) + QLatin1Char('"'));
        b.finishProbe();
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(
            b.commands().last().startsWith(QStringLiteral("ffmpeg.exe -y -i \"") + b.source(i) + QLatin1Char('"')));
        EXPECT_EQ(b.status(), b.t(QStringLiteral("cmdConvert_ing")) + QStringLiteral("(%1/3)").arg(i + 1));
        b.finishEncode();
    }
    EXPECT_EQ(b.commands().size(), 6);
    EXPECT_EQ(b.status(), b.t(QStringLiteral("cmdConvert_ed")));
    EXPECT_EQ(b.c().batch->Summary().Converted(), 3);
}

TEST(StartConversion, ARefusedSecondSourceStopsBeforeAnythingIsEncoded)
{
    BatchWindow b(3);
    QFile existing(b.output(1));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep me");
    existing.close();
    SetCheckValue(b.c().chkOverwrite, 1);
    b.fake.messages->answers = {false};
    b.startConversion();
    b.finishProbe();
    b.finishProbe();
    EXPECT_EQ(b.fake.messages->asked.size(), 1);
    EXPECT_TRUE(b.fake.messages->asked.first().startsWith(b.output(1) + QStringLiteral(":\n")));
    EXPECT_EQ(b.commands().size(), 2); // two probes, no encode
    for (const QString& c : b.commands())
        EXPECT_TRUE(c.startsWith(QStringLiteral("ffmpeg.exe -i ")));
    EXPECT_EQ(b.status(), b.t(QStringLiteral("cmdCancel_ed")));
    EXPECT_EQ(TextColour(b.c().lblStatus), QColor(255, 0, 0));
    EXPECT_TRUE(b.c().batch->ConversionPhase() == Phase::Idle);
    QFile check(b.output(1));
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("keep me"));
}

TEST(StartConversion, ARefusedSourcesRowIsSelectedAndMarkedSoDeleteAndConvertGoOn)
{
    BatchWindow b(3);
    SourceList* list = b.c().lstSource;
    b.form->show();
    b.startConversion();
    b.finishProbe();
    b.runner()->finish(QStringLiteral("Unknown format\n"));
    ASSERT_EQ(list->selectedItems(), QList<QListWidgetItem*> {list->item(1)});
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(b.form->focusWidget(), list);
    const QString notConverted = b.t(QStringLiteral("outcome_notconverted"));
    EXPECT_EQ(list->MarkOf(1), JobState::Refused);
    EXPECT_EQ(list->item(1)->data(Qt::AccessibleDescriptionRole).toString(),
              FillIn(notConverted, {b.t(QStringLiteral("error_badsource"))}));
    for (const int row : {0, 2}) {
        EXPECT_EQ(list->MarkOf(row), JobState::NotReached);
        EXPECT_EQ(list->item(row)->toolTip(), FillIn(notConverted, {b.t(QStringLiteral("reason_notreached"))}));
    }

    // Delete takes the refused file away, and with it every mark; Convert then runs the rest.
    QTest::keyClick(list, Qt::Key_Delete);
    ASSERT_EQ(b.form->Sources(), QStringList({b.source(0), b.source(2)}));
    EXPECT_EQ(list->MarkOf(0), JobState::Waiting);
    EXPECT_FALSE(list->HasMarks());
    QTest::mouseClick(b.c().cmdConvert, Qt::LeftButton);
    b.finishProbe();
    b.finishProbe();
    // The row being converted is marked as such.
    EXPECT_EQ(list->MarkOf(0), JobState::Converting);
    EXPECT_EQ(list->item(0)->toolTip(), b.t(QStringLiteral("outcome_converting")));
    EXPECT_EQ(list->MarkOf(1), JobState::Waiting); // probed and waiting for its encode: no mark yet
    b.finishEncode();
    b.finishEncode();
    EXPECT_EQ(list->MarkOf(0), JobState::Converted);
    EXPECT_EQ(list->MarkOf(1), JobState::Converted);
}

TEST(StartConversion, AQuotedSourceIsRefusedBeforeItsProbeRuns)
{
    // Unquoted, the rest of this name would reach the encoder as "-y" and an output path.
    BatchWindow b(2);
    const QString quoted = b.sources.filePath(QStringLiteral("a.avi\" -y \"/tmp/victim.mp4"));
    b.c().lstSource->item(1)->setText(quoted);
    b.startConversion();
    b.finishProbe();
    EXPECT_EQ(b.commands().size(), 1);
    EXPECT_EQ(b.fake.messages->shown,
              QStringList {quoted + QStringLiteral(":\n") + b.t(QStringLiteral("error_badsource"))});
    EXPECT_EQ(b.status(), b.t(QStringLiteral("cmdCancel_ed")));
    EXPECT_TRUE(b.c().batch->ConversionPhase() == Phase::Idle);
}

TEST(Cancel, NoLetsTheBatchGoOnAndALaterCloseAsksAgain)
{
    BatchWindow b(2);
    b.form->show();
    b.startConversion();
    QTest::mouseClick(b.c().cmdCancel, Qt::LeftButton);
    EXPECT_TRUE(b.c().frmCancel->isVisible());
    EXPECT_FALSE(b.form->isEnabled());
    EXPECT_TRUE(b.c().frmCancel->isEnabled());
    EXPECT_EQ(b.c().lblMsg->text(), b.t(QStringLiteral("cmdCancel_confirm")));
    EXPECT_EQ(b.c().cmdYes->text(), b.t(QStringLiteral("cmdYes")));
    // Events keep arriving while the question is open.
    b.finishProbe();
    EXPECT_EQ(b.commands().size(), 2);
    QTest::mouseClick(b.c().cmdNo, Qt::LeftButton);
    EXPECT_FALSE(b.c().frmCancel->isVisible());
    EXPECT_TRUE(b.form->isEnabled());
    EXPECT_EQ(b.fake.runners->stops, 0);
    b.finishProbe();
    EXPECT_EQ(b.c().batch->ConversionPhase(), Phase::Conversion);

    EXPECT_FALSE(b.form->close());
    EXPECT_TRUE(b.form->isVisible());
    EXPECT_TRUE(b.c().frmCancel->isVisible());
    EXPECT_TRUE(b.c().batch->CloseAfterCancel());
    // Escape is the same as No: the window is usable again and stays open.
    QTest::keyClick(b.c().frmCancel, Qt::Key_Escape);
    EXPECT_FALSE(b.c().frmCancel->isVisible());
    EXPECT_TRUE(b.form->isEnabled());
    EXPECT_FALSE(b.c().batch->CloseAfterCancel());
    EXPECT_TRUE(b.form->isVisible());
}

TEST(Cancel, YesAfterACloseRequestStopsTheEncoderAndClosesTheWindow)
{
    BatchWindow b(1);
    b.form->show();
    QSignalSpy unloaded(b.form.get(), &MainWindow::unloaded);
    b.startConversion();
    b.finishProbe();
    FakeRunner* encoder = b.runner();
    EXPECT_FALSE(b.form->close());
    QTest::mouseClick(b.c().cmdYes, Qt::LeftButton);
    EXPECT_TRUE(encoder->stopped);
    EXPECT_EQ(CurrentRunner(), nullptr);
    EXPECT_TRUE(b.c().batch->ConversionPhase() == Phase::Idle);
    EXPECT_EQ(b.status(), b.t(QStringLiteral("cmdCancel_ed")));
    EXPECT_TRUE(b.form->isEnabled());
    EXPECT_FALSE(b.form->isVisible());
    EXPECT_FALSE(b.c().frmCancel->isVisible());
    EXPECT_EQ(unloaded.count(), 1);
}

TEST(Cancel, YesFromTheButtonKeepsTheWindowAndIgnoresTheStoppedProcess)
{
    BatchWindow b(2);
    b.form->show();
    b.startConversion();
    FakeRunner* probe = b.runner();
    b.batch().RequestCancel();
    b.batch().ConfirmCancel();
    EXPECT_TRUE(probe->stopped);
    EXPECT_TRUE(b.form->isVisible());
    EXPECT_EQ(b.status(), b.t(QStringLiteral("cmdCancel_ed")));
    // A completion that still arrives changes nothing.
    probe->finish(ProbeText());
    EXPECT_EQ(b.commands().size(), 1);
    // The cancelled window closes without a question.
    EXPECT_TRUE(b.form->close());
}

TEST(Cancel, TheBatchMayFinishWhileTheQuestionIsOpen)
{
    BatchWindow b(1);
    b.form->show();
    b.startConversion();
    b.finishProbe();
    b.batch().RequestCancel();
    FakeRunner* encoder = b.runner();
    b.finishEncode();
    EXPECT_EQ(b.status(), b.t(QStringLiteral("cmdConvert_ed")));
    EXPECT_TRUE(b.c().frmCancel->isVisible());
    QTest::mouseClick(b.c().cmdYes, Qt::LeftButton);
    EXPECT_TRUE(encoder->stopped);
    EXPECT_EQ(b.status(), b.t(QStringLiteral("cmdCancel_ed")));
    EXPECT_TRUE(b.form->isEnabled());
}

TEST(CloseRule, AnEmptyConvertingTextNeverBlocksClosing)
{
    TestWindow w;
    // A language table without the converting status.
    w.lang.LanguageEntries = QStringList {QStringLiteral("cmdCancel_ed|\r\nCancelled")};
    EXPECT_TRUE(w.batch().MayClose());
    EXPECT_FALSE(w.c().frmCancel->isVisible());
}

TEST(BatchSize, AThousandSourcesRunAndOneMoreIsRefused)
{
    BatchWindow tooMany(1001);
    tooMany.startConversion();
    EXPECT_EQ(tooMany.fake.messages->shown, QStringList {tooMany.t(QStringLiteral("error_toomanysources"))});
    EXPECT_TRUE(tooMany.commands().isEmpty());
    EXPECT_TRUE(tooMany.status().isEmpty());

    BatchWindow b(1000);
    b.startConversion();
    b.runAll(1000);
    EXPECT_EQ(b.commands().size(), 2000);
    EXPECT_EQ(b.c().batch->Jobs().size(), 1000u);
    EXPECT_EQ(b.status(), b.t(QStringLiteral("cmdConvert_ed")));
    EXPECT_TRUE(b.fake.messages->shown.isEmpty());
}

TEST(EndOfBatch, FailedEncodesAreReportedAndThePageOpensOnlyAfterASuccess)
{
    BatchWindow b(2);
    SetCheckValue(b.c().chkShowPutiPhone, 1);
    b.startConversion();
    b.finishProbe();
    b.finishProbe();
    b.finishEncode(false);
    b.finishEncode(true);
    // The status counts the failures, and the window does not claim the whole batch done.
    EXPECT_EQ(b.status(), QStringLiteral("1 of 2 files could not be converted."));
    EXPECT_EQ(TextColour(b.c().lblStatus), QColor(255, 0, 0));
    EXPECT_EQ(b.c().lblPercent->text(), QStringLiteral("50%"));
    EXPECT_EQ(b.form->windowTitle(), b.t(QStringLiteral("frmCaption")) + QStringLiteral(" - 50%"));
    EXPECT_EQ(b.c().pBar->value(), b.c().pBar->maximum() / 2);
    EXPECT_EQ(b.fake.messages->shown,
              QStringList {b.source(0) + QStringLiteral(":\n") + b.t(QStringLiteral("error_encodefailed"))});
    EXPECT_EQ(b.fake.shell->urls.size(), 1);
    EXPECT_TRUE(b.fake.shell->urls.first().endsWith(QStringLiteral("How_to_put_a_video_on_your_iPhone")));

    BatchWindow none(1);
    SetCheckValue(none.c().chkShowPutiPhone, 1);
    none.startConversion();
    none.finishProbe();
    none.finishEncode(false);
    EXPECT_TRUE(none.fake.shell->urls.isEmpty());

    BatchWindow greyed(1);
    SetCheckValue(greyed.c().chkShowPutiPhone, 2);
    greyed.startConversion();
    greyed.runAll(1);
    EXPECT_TRUE(greyed.fake.shell->urls.isEmpty());
}
