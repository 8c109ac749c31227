#include "desktop/ProcessRunner.h"
#include "platform/CommandLine.h"
#include "support/EncoderBridge.h"
#include "support/MediaFixtures.h"
#include "support/TestPaths.h"
#include "support/TestWindow.h"
#include "support/Wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace {

const QString Helper = QStringLiteral(HELPER_runner_child);

bool Alive(pid_t pid)
{
    // A zombie still answers kill(0); read its state instead.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close > 0 && text.mid(close + 2, 1) != "Z";
}

struct Events
{
    QStringList pieces;
    QStringList completed;
};

std::shared_ptr<Events> Collect(ProcessRunner& runner)
{
    auto events = std::make_shared<Events>();
    QObject::connect(&runner, &CommandRunner::Output, [events](const QString& p) { events->pieces << p; });
    QObject::connect(&runner, &CommandRunner::Completed, [events](const QString& r) { events->completed << r; });
    return events;
}

} // namespace

TEST(CommandLine, SplitsLikeWindowsProgramsWithoutAShell)
{
    EXPECT_EQ(SplitCommandLine(QStringLiteral("ffmpeg.exe -i \"/v/my clip.avi\"")),
              (QStringList {"ffmpeg.exe", "-i", "/v/my clip.avi"}));
    // Shell syntax is plain text: nothing is expanded or run.
    EXPECT_EQ(SplitCommandLine(QStringLiteral("a \"$(rm -rf x); `y`\" b|c")),
              (QStringList {"a", "$(rm -rf x); `y`", "b|c"}));
    EXPECT_EQ(SplitCommandLine(QStringLiteral("  a   \"\"  b ")), (QStringList {"a", "", "b"}));
    EXPECT_EQ(SplitCommandLine(QStringLiteral("x -s 480x360 \"/o/it's.mp4\"")),
              (QStringList {"x", "-s", "480x360", "/o/it's.mp4"}));
}

TEST(ProcessRunner, DeliversPiecesThenOneCompletedWithTheWholeOutput)
{
    TestApp();
    ProcessRunner runner(QFileInfo(Helper).absolutePath());
    QList<QString> order;
    QString whole;
    QObject::connect(&runner, &CommandRunner::Output, [&](const QString& p) { order << QStringLiteral("out:") + p; });
    QObject::connect(&runner, &CommandRunner::Completed, [&](const QString& r) {
        order << QStringLiteral("done");
        whole = r;
    });
    // A bare program name is found in the program folder.
    ASSERT_FALSE(runner.Run(QFileInfo(Helper).fileName() + QStringLiteral(" pieces")).has_value());
    ASSERT_TRUE(WaitUntil([&] { return order.contains(QStringLiteral("done")); }, 5000));
    EXPECT_EQ(whole, QStringLiteral("onetwo\nthree"));
    EXPECT_GE(order.size(), 3); // arrived in more than one piece
    EXPECT_EQ(order.last(), QStringLiteral("done"));
    EXPECT_EQ(order.count(QStringLiteral("done")), 1);
    QString joined;
    for (const QString& o : order.mid(0, order.size() - 1))
        joined += o.mid(4);
    EXPECT_EQ(joined, whole);
    EXPECT_TRUE(runner.Succeeded());
}

TEST(ProcessRunner, KeepsTheExitStatusAndPassesArgumentsUnchanged)
{
    TestApp();
    ProcessRunner failing(QFileInfo(Helper).absolutePath());
    auto run = Collect(failing);
    ASSERT_FALSE(failing.Run(Helper + QStringLiteral(" exit 3")).has_value());
    ASSERT_TRUE(WaitUntil([&] { return run->completed.size() == 1; }, 5000));
    EXPECT_FALSE(failing.Succeeded());

    ProcessRunner args(QFileInfo(Helper).absolutePath());
    auto argsRun = Collect(args);
    ASSERT_FALSE(args.Run(Helper + QStringLiteral(" args \"a b\" ; $HOME \"é'x\"")).has_value());
    ASSERT_TRUE(WaitUntil([&] { return argsRun->completed.size() == 1; }, 5000));
    EXPECT_EQ(argsRun->completed.first(), QStringLiteral("[a b]\n[;]\n[$HOME]\n[é'x]\n"));
    EXPECT_TRUE(args.Succeeded());
}

TEST(ProcessRunner, StopEndsTheProcessAndEverythingItStarted)
{
    TestApp();
    QTemporaryDir dir;
    const QString pidFile = dir.filePath(QStringLiteral("pids"));
    pid_t parent = 0;
    pid_t child = 0;
    {
        ProcessRunner runner(dir.path());
        auto run = Collect(runner);
        ASSERT_FALSE(runner.Run(Helper + QStringLiteral(" tree ") + pidFile).has_value());
        ASSERT_TRUE(WaitUntil([&] { return QFileInfo(pidFile).size() > 0; }, 5000));
        QFile f(pidFile);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> ids = f.readAll().trimmed().split(' ');
        parent = ids.value(0).toInt();
        child = ids.value(1).toInt();
        ASSERT_TRUE(Alive(parent));
        ASSERT_TRUE(Alive(child));
        runner.Stop();
        QTest::qWait(100);
        // Nothing is raised after Stop().
        EXPECT_TRUE(run->completed.isEmpty());
    }
    ASSERT_TRUE(WaitUntil([&] { return !Alive(parent) && !Alive(child); }, 3000));
}

TEST(ProcessRunner, AStopRightAfterTheStartLeavesNothingRunning)
{
    TestApp();
    // Stopped before the process has reported its start, and before it has started its own child.
    for (int i = 0; i < 5; ++i) {
        QTemporaryDir dir;
        const QString pidFile = dir.filePath(QStringLiteral("pids"));
        {
            ProcessRunner runner(dir.path());
            ASSERT_FALSE(runner.Run(Helper + QStringLiteral(" tree ") + pidFile).has_value());
            runner.Stop();
        }
        // Both the command and anything it managed to start are gone.
        ASSERT_TRUE(WaitUntil([&] { return media::ProcessesMentioning(dir.path()).isEmpty(); }, 5000,
                              "the stopped command and its child to end"));
    }
}

TEST(ProcessRunner, DestroyingTheRunnerLeavesNoProcessBehind)
{
    TestApp();
    QTemporaryDir dir;
    const QString pidFile = dir.filePath(QStringLiteral("pids"));
    auto runner = std::make_unique<ProcessRunner>(dir.path());
    ASSERT_FALSE(runner->Run(Helper + QStringLiteral(" tree ") + pidFile).has_value());
    ASSERT_TRUE(WaitUntil([&] { return QFileInfo(pidFile).size() > 0; }, 5000));
    QFile f(pidFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> ids = f.readAll().trimmed().split(' ');
    runner.reset();
    ASSERT_TRUE(WaitUntil([&] { return !Alive(ids.value(0).toInt()) && !Alive(ids.value(1).toInt()); }, 3000));
}

TEST(ProcessRunner, StoppingAnEncodeLeavesNothingInTheDestination)
{
    TestApp();
    QTemporaryDir sources;
    QTemporaryDir destination;
    const QString source = sources.filePath(QStringLiteral("long.mkv"));
    ASSERT_TRUE(media::MakeClip(source, QStringLiteral("160x120:rate=25"), 10,
                                {"-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac"}));
    // The program's command line, paced in real time ("-re") so that the encode is still running when stopped.
    QString cmd = QStringLiteral("ffmpeg.exe -re");
    for (const QString& arg : bridge::EncodeArguments(source, destination.filePath("long.mp4"), 160, 120))
        cmd += QStringLiteral(" \"") + arg + QLatin1Char('"');
    const QStringList all {QStringLiteral("*")};
    const auto files = QDir::Files | QDir::Hidden | QDir::System;

    ProcessRunner runner(programFolder());
    auto run = Collect(runner);
    ASSERT_FALSE(runner.Run(cmd).has_value());
    ASSERT_TRUE(WaitUntil(
        [&] {
            const QList<double> positions = bridge::ReportedPositions(run->pieces.join(QString()));
            return !positions.isEmpty() && positions.last() > 0;
        },
        30000, "the encode to report progress"))
        << run->pieces.join(QString()).toStdString();
    ASSERT_EQ(QDir(destination.path()).entryList(all, files).size(), 1); // the hidden partial file
    runner.Stop();

    ASSERT_TRUE(WaitUntil([&] { return media::ProcessesMentioning(destination.path()).isEmpty(); }, 5000,
                          "the bridge and its ffmpeg to end"));
    EXPECT_TRUE(QDir(destination.path()).entryList(all, files).isEmpty())
        << QDir(destination.path()).entryList(all, files).join(' ').toStdString();
}

TEST(ProcessRunner, AProgramThatIsNotThereIsAnErrorWithDescriptionSourceAndNumber)
{
    TestApp();
    QTemporaryDir dir;
    ProcessRunner runner(dir.path());
    const auto error = runner.Run(QStringLiteral("ffmpeg.exe -i \"x.avi\""));
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->description.contains(QStringLiteral("ffmpeg.exe")));
    EXPECT_EQ(error->source, QStringLiteral("ShellRpk"));
    EXPECT_EQ(error->number, 53);
}

TEST(ProcessRunner, ABatchWhoseEncoderCannotStartShowsWhyAndEnds)
{
    // A program folder without its encoder, and one whose encoder is no program.
    QTemporaryDir missing;
    QTemporaryDir broken;
    QTemporaryDir out;
    QFile notAProgram(broken.filePath(QStringLiteral("ffmpeg.exe")));
    ASSERT_TRUE(notAProgram.open(QIODevice::WriteOnly) && notAProgram.write("not a program\n") > 0);
    notAProgram.close();
    ASSERT_TRUE(notAProgram.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    for (const QTemporaryDir* folder : {&missing, &broken}) {
        TestWindow w;
        w.fake.system->folder = folder->path();
        w.fake.useRealRunner();
        w.c().txtDestination->setText(out.path() + QLatin1Char('/'));
        w.addSources({out.filePath(QStringLiteral("clip.avi"))});
        QTest::mouseClick(w.c().cmdConvert, Qt::LeftButton);
        ASSERT_TRUE(WaitUntil([&] { return !w.batch().IsRunning(); }, 5000, "the batch to end"));
        // Said in words the user understands, with the runner's own kept on the row.
        EXPECT_EQ(w.fake.messages->shown, QStringList {out.filePath("clip.avi") + ":\n" + w.t("reason_encoderstart")});
        EXPECT_EQ(w.c().lstSource->MarkOf(0), JobState::Refused);
        const QStringList tip = w.c().lstSource->item(0)->toolTip().split('\n');
        ASSERT_EQ(tip.size(), 2);
        EXPECT_EQ(tip[0], FillIn(w.t("outcome_notconverted"), {w.t("reason_encoderstart")}));
        EXPECT_FALSE(tip[1].isEmpty()); // "File not found: ...", "execvp: Exec format error"
        // Nothing waits for a completion that cannot come: the window can close.
        EXPECT_EQ(w.c().lblStatus->title(), w.t(QStringLiteral("cmdCancel_ed")));
        EXPECT_EQ(w.batch().Summary().ending, BatchSummary::Ending::Refused);
    }
}
