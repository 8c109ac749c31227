// Sleep locks, Pause and "when done" against logind as python3-dbusmock plays it on a private system bus,
// with the real window, the real program on the command line and the real encoder.
#include "desktop/SystemPower.h"
#include "support/LogindMock.h"
#include "support/MediaFixtures.h"
#include "support/TestPaths.h"
#include "support/TestWindow.h"
#include "support/Wait.h"
#include "window/CancelDialog.h"
#include "window/CountdownPanel.h"
#include "window/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// One bus and one mock for the whole executable: the program's system bus connection is made once.
LogindMock& Logind()
{
    static LogindMock* mock = [] {
        TestApp();
        qputenv("REELPOCKET_COUNTDOWN_SECONDS", "1");
        return new LogindMock;
    }();
    return *mock;
}

// Long enough at Full HD to be held half-way on a busy machine.
const QString& Clip()
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath("clip.avi");
    static const bool made
        = media::MakeClip(path, "1280x720:rate=25", 12, {"-c:v", "mpeg4", "-q:v", "4", "-c:a", "mp2"});
    return made ? path : *new QString;
}

// Processes whose command line names `marker` (the encoder bridge and its ffmpeg), and their state.
struct Encoders
{
    QList<qint64> pids;
    // Clock ticks of CPU time used so far, and whether every one of them is stopped.
    qint64 cpu = 0;
    bool allStopped = true;
};

Encoders EncodersOf(const QString& marker)
{
    Encoders e;
    for (const qint64 pid : media::ProcessesMentioning(marker)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        // After the name in parentheses: state, then thirteen fields up to utime and stime.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13 || fields[0] == "Z")
            continue;
        e.pids << pid;
        e.allStopped = e.allStopped && fields[0] == "T";
        e.cpu += fields[11].toLongLong() + fields[12].toLongLong();
    }
    return e;
}

QByteArray FrameHashes(const QString& path)
{
    QProcess p;
    p.start("/usr/bin/ffmpeg", {"-v", "error", "-i", path, "-f", "framemd5", "-"});
    p.waitForFinished(60000);
    const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
    QByteArray frames;
    for (const QByteArray& line : lines) {
        if (!line.startsWith('#'))
            frames += line + '\n';
    }
    return frames;
}

int CountOf(const QStringList& list, const QString& item)
{
    return static_cast<int>(list.count(item));
}

} // namespace

TEST(SystemPower, LogindLocksAndActionsAndTheirRefusals)
{
    LogindMock& logind = Logind();
    ASSERT_TRUE(logind.ready()) << "no logind mock on a private system bus";
    std::unique_ptr<Power> power = DesktopPower();

    std::unique_ptr<SleepLock> lock = power->KeepAwake("Reelpocket", "Converting 2 video(s) into /v/");
    ASSERT_TRUE(lock);
    EXPECT_EQ(logind.Inhibitors(), QStringList {"sleep:idle|Reelpocket|Converting 2 video(s) into /v/|block"});
    lock.reset();
    ASSERT_TRUE(WaitUntil([&] { return logind.Inhibitors().isEmpty(); }, 5000, "the closed lock to go"));

    EXPECT_EQ(power->Perform(PowerAction::Suspend), std::nullopt);
    EXPECT_EQ(power->Perform(PowerAction::PowerOff), std::nullopt);
    const QStringList calls = logind.Calls();
    EXPECT_EQ(CountOf(calls, "Suspend false"), 1) << calls.join(", ").toStdString();
    EXPECT_EQ(CountOf(calls, "PowerOff false"), 1) << calls.join(", ").toStdString();

    // What logind or polkit refuses is said in their words, and nothing is started.
    ASSERT_TRUE(logind.Replace("CanPowerOff", "", "s", "ret = 'challenge'"));
    EXPECT_EQ(power->Perform(PowerAction::PowerOff), QString("CanPowerOff: challenge"));
    ASSERT_TRUE(logind.Replace("Suspend", "b", "",
                               "raise dbus.exceptions.DBusException('Interactive authentication required.', "
                               "name='org.freedesktop.DBus.Error.InteractiveAuthorizationRequired')"));
    EXPECT_EQ(power->Perform(PowerAction::Suspend), QString("Interactive authentication required."));
    EXPECT_EQ(CountOf(logind.Calls(), "PowerOff false"), 1);
    ASSERT_TRUE(logind.Replace("Suspend", "b", "", ""));
    ASSERT_TRUE(logind.Replace("CanPowerOff", "", "s", "ret = 'yes'"));

    // Without any bus the batch runs without a lock, and the action is refused.
    SystemPower none([] { return QDBusConnection(QStringLiteral("no bus")); }, {});
    EXPECT_FALSE(none.KeepAwake("Reelpocket", "why"));
    EXPECT_TRUE(none.Perform(PowerAction::Suspend).has_value());
}

TEST(PowerWindow, OneLockPerBatchPauseHoldsTheEncoderAndWhenDoneFollowsOnlyAnEnd)
{
    LogindMock& logind = Logind();
    ASSERT_TRUE(logind.ready()) << "no logind mock on a private system bus";
    ASSERT_FALSE(Clip().isEmpty()) << "could not make the test video";
    TestWindow t("English", "http://127.0.0.1/");
    t.fake.useRealRunner();
    t.fake.platform.power = DesktopPower();
    FormControls& c = t.c();
    auto* cmdPause = t.f().findChild<QPushButton*>("cmdPause");
    auto* comboWhenDone = t.f().findChild<QComboBox*>("comboWhenDone");
    auto* countdown = t.f().findChild<CountdownPanel*>("frameWhenDone");
    ASSERT_TRUE(cmdPause && comboWhenDone && countdown);
    SetCheckValue(c.chkOverwrite, 0);
    SetCheckValue(c.chkShowPutiPhone, 0);
    SetCheckValue(c.chkFullHD, 1);
    t.addSources({Clip()});
    t.f().show();
    const auto suspends = [&] {
        return CountOf(logind.Calls(), "Suspend false");
    };
    const int suspendsBefore = suspends();
    QTemporaryDir paused, straight, cancelled;
    const auto convertInto = [&](const QTemporaryDir& dir) {
        c.txtDestination->setText(dir.path() + "/");
        c.cmdConvert->click();
        // The encoder has begun its hidden file and used half a second of CPU time.
        return WaitUntil(
            [&] {
                return c.batch->ConversionPhase() == Phase::Conversion && EncodersOf(dir.path()).cpu > 50
                    && QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size() == 1;
            },
            60000, "the encode to make progress");
    };
    const auto finished = [&] {
        return WaitUntil([&] { return !c.batch->IsRunning(); }, 120000, "the batch's end");
    };
    const QString lock = "sleep:idle|Reelpocket|Converting 1 video(s) into " + paused.path() + "/|block";

    comboWhenDone->setCurrentIndex(static_cast<int>(WhenDone::Suspend));
    ASSERT_TRUE(convertInto(paused));
    EXPECT_EQ(logind.Inhibitors(), QStringList {lock});
    EXPECT_EQ(cmdPause->text(), t.t("cmdPause"));

    // Paused: the encoder is held, the time stands still, and the machine may sleep.
    cmdPause->click();
    EXPECT_EQ(c.lblStatus->title(), t.t("cmdPause_ed"));
    EXPECT_EQ(cmdPause->text(), t.t("cmdResume"));
    ASSERT_TRUE(WaitUntil([&] { return logind.Inhibitors().isEmpty(); }, 5000, "the lock to go while paused"));
    ASSERT_TRUE(WaitUntil([&] { return EncodersOf(paused.path()).allStopped; }, 5000, "the encoders to stop"));
    const Encoders held = EncodersOf(paused.path());
    ASSERT_GE(held.pids.size(), 2) << "the bridge and its ffmpeg";
    const QString elapsed = c.lblTimeE->text(), remaining = c.lblTimeR->text();
    const int bar = c.pBar->value();
    QTest::qWait(2500);
    EXPECT_EQ(EncodersOf(paused.path()).cpu, held.cpu);
    EXPECT_EQ(c.lblTimeE->text(), elapsed);
    EXPECT_EQ(c.lblTimeR->text(), remaining);
    EXPECT_EQ(c.pBar->value(), bar);
    EXPECT_TRUE(c.batch->IsRunning());

    cmdPause->click();
    EXPECT_EQ(c.lblStatus->title(), t.t("cmdConvert_ing"));
    ASSERT_TRUE(WaitUntil([&] { return logind.Inhibitors() == QStringList {lock}; }, 5000, "the lock again"));
    ASSERT_TRUE(WaitUntil([&] { return c.lblTimeE->text() != elapsed; }, 5000, "the elapsed time to go on"));
    ASSERT_TRUE(finished());
    EXPECT_EQ(c.lblStatus->title(), t.t("cmdConvert_ed"));
    EXPECT_TRUE(logind.Inhibitors().isEmpty());
    // The countdown (a second here) runs out, and logind is asked to suspend.
    EXPECT_TRUE(countdown->IsRunning());
    ASSERT_TRUE(WaitUntil([&] { return suspends() == suspendsBefore + 1; }, 5000, "Suspend after the end"));

    // Never paused: the same frames; its countdown stopped, nothing is asked of logind.
    qputenv("REELPOCKET_COUNTDOWN_SECONDS", "3");
    ASSERT_TRUE(convertInto(straight));
    ASSERT_TRUE(finished());
    ASSERT_TRUE(countdown->IsRunning());
    QTest::mouseClick(countdown->findChild<QPushButton*>("cmdStopCountdown"), Qt::LeftButton);
    EXPECT_FALSE(countdown->IsRunning());
    const QString name = QFileInfo(Clip()).completeBaseName() + ".mp4";
    const QByteArray frames = FrameHashes(paused.filePath(name));
    EXPECT_GT(frames.count('\n'), 300);
    EXPECT_EQ(frames, FrameHashes(straight.filePath(name)));

    // Cancelled while paused, and refused: no lock after either, and no countdown.
    ASSERT_TRUE(convertInto(cancelled));
    const auto files = QDir::Files | QDir::Hidden | QDir::System;
    ASSERT_EQ(QDir(cancelled.path()).entryList(files).size(), 1) << "the hidden unfinished file";
    cmdPause->click();
    c.cmdCancel->click();
    ASSERT_TRUE(WaitUntil([&] { return CancelQuestion(t.f())->isVisible(); }, 5000, "the cancel question"));
    CancelQuestion(t.f())->findChild<QPushButton*>("cmdYes")->click();
    ASSERT_TRUE(WaitUntil([&] { return EncodersOf(cancelled.path()).pids.isEmpty(); }, 5000, "the encoders' end"));
    EXPECT_EQ(c.lblStatus->title(), t.t("cmdCancel_ed"));
    EXPECT_TRUE(logind.Inhibitors().isEmpty());
    // Held, the encoder still heard the stop and took its unfinished file away.
    EXPECT_TRUE(QDir(cancelled.path()).entryList(files).isEmpty())
        << QDir(cancelled.path()).entryList(files).join(' ').toStdString();
    QFile text(cancelled.filePath("notes.avi"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("not a video\n") > 0);
    text.close();
    c.lstSource->clear();
    t.addSources({text.fileName()});
    c.txtDestination->setText(straight.path() + "/");
    c.cmdConvert->click();
    ASSERT_TRUE(finished());
    EXPECT_FALSE(t.fake.messages->shown.isEmpty());
    EXPECT_TRUE(logind.Inhibitors().isEmpty());
    QTest::qWait(3500);
    EXPECT_FALSE(countdown->IsRunning());
    EXPECT_EQ(suspends(), suspendsBefore + 1);
    qputenv("REELPOCKET_COUNTDOWN_SECONDS", "1");
}

namespace {

// The program as a script or a cron job starts it: no display, no session bus, settings of its own.
QStringList ConsoleEnvironment(const QString& config, const QString& systemBus)
{
    QStringList env;
    for (const QString& entry : QProcessEnvironment::systemEnvironment().toStringList()) {
        const QString name = entry.section('=', 0, 0);
        if (name != "DISPLAY" && name != "WAYLAND_DISPLAY" && name != "QT_QPA_PLATFORM"
            && name != "DBUS_SESSION_BUS_ADDRESS" && name != "XDG_CONFIG_HOME" && name != "DBUS_SYSTEM_BUS_ADDRESS")
            env << entry;
    }
    return env << "XDG_CONFIG_HOME=" + config << "DBUS_SYSTEM_BUS_ADDRESS=" + systemBus;
}

// An interactive shell on a terminal of its own, as a user types into it.
struct TerminalShell
{
    explicit TerminalShell(const QStringList& environment)
    {
        std::vector<QByteArray> bytes;
        for (const QString& entry : environment)
            bytes.push_back(entry.toLocal8Bit());
        std::vector<char*> envp;
        for (QByteArray& entry : bytes)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        pid = forkpty(&master, nullptr, nullptr, nullptr);
        if (pid == 0) {
            execle("/bin/bash", "bash", "--norc", "--noprofile", "-i", nullptr, envp.data());
            _exit(127);
        }
        if (master >= 0)
            fcntl(master, F_SETFL, O_NONBLOCK);
    }
    ~TerminalShell()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (master >= 0)
            close(master);
    }
    void Type(const QByteArray& keys) { [[maybe_unused]] const auto n = write(master, keys.data(), keys.size()); }
    // Waits until the terminal has shown `text` since the last wait that found its text.
    bool Shows(const QByteArray& text, int ms)
    {
        const QDeadlineTimer deadline(ms);
        do {
            char buffer[4096];
            ssize_t n;
            while ((n = read(master, buffer, sizeof buffer)) > 0)
                seen.append(buffer, n);
            if (const qsizetype at = seen.indexOf(text); at >= 0) {
                seen.remove(0, at + text.size());
                return true;
            }
            QTest::qWait(20);
        } while (!deadline.hasExpired());
        return false;
    }
    int master = -1;
    pid_t pid = -1;
    QByteArray seen;
};

} // namespace

TEST(PowerConsole, CtrlZHoldsTheEncoderWithTheProgramAndFgLetsBothGoOn)
{
    LogindMock& logind = Logind();
    ASSERT_TRUE(logind.ready()) << "no logind mock on a private system bus";
    ASSERT_FALSE(Clip().isEmpty()) << "could not make the test video";
    QTemporaryDir config, dest, killed;
    TerminalShell shell(ConsoleEnvironment(config.path(), logind.address()));
    ASSERT_GT(shell.pid, 0);
    shell.Type("echo READY\n");
    ASSERT_TRUE(shell.Shows("READY\r\n", 10000));
    const QByteArray convert = (programFolder() + "/reelpocket --convert --yes --full-hd --to ").toLocal8Bit();
    const auto encoding = [&](const QString& folder) {
        return WaitUntil([&] { return EncodersOf(folder).pids.size() >= 2 && logind.Inhibitors().size() == 1; }, 30000,
                         "the encode and its lock");
    };

    shell.Type(convert + dest.path().toLocal8Bit() + " " + Clip().toLocal8Bit() + "\n");
    ASSERT_TRUE(encoding(dest.path()));
    QTest::qWait(500);
    shell.Type("\x1a");
    ASSERT_TRUE(shell.Shows("Stopped", 10000)) << shell.seen.toStdString();
    ASSERT_TRUE(WaitUntil([&] { return EncodersOf(dest.path()).allStopped; }, 5000, "the encoders to stop"));
    EXPECT_TRUE(WaitUntil([&] { return logind.Inhibitors().isEmpty(); }, 5000, "the lock to go"));
    const qint64 cpu = EncodersOf(dest.path()).cpu;
    QTest::qWait(2000);
    EXPECT_EQ(EncodersOf(dest.path()).cpu, cpu);

    shell.Type("fg\n");
    ASSERT_TRUE(WaitUntil([&] { return logind.Inhibitors().size() == 1; }, 5000, "the lock again"));
    ASSERT_TRUE(WaitUntil([&] { return EncodersOf(dest.path()).cpu > cpu; }, 5000, "the encoders to go on"));
    ASSERT_TRUE(WaitUntil([&] { return EncodersOf(dest.path()).pids.isEmpty(); }, 120000, "the encode's end"));
    shell.Type("echo EXIT=$?\n");
    ASSERT_TRUE(shell.Shows("EXIT=0", 10000)) << shell.seen.toStdString();
    EXPECT_TRUE(QFileInfo::exists(dest.filePath(QFileInfo(Clip()).completeBaseName() + ".mp4")));
    EXPECT_TRUE(logind.Inhibitors().isEmpty());

    // Killed while held: the kernel closes the lock, and the held encoders end too.
    shell.Type(convert + killed.path().toLocal8Bit() + " " + Clip().toLocal8Bit() + "\n");
    ASSERT_TRUE(encoding(killed.path()));
    shell.Type("\x1a");
    ASSERT_TRUE(shell.Shows("Stopped", 10000)) << shell.seen.toStdString();
    ASSERT_TRUE(WaitUntil([&] { return EncodersOf(killed.path()).allStopped; }, 5000, "the encoders to stop"));
    shell.Type("kill -9 %1\n");
    EXPECT_TRUE(WaitUntil([&] { return EncodersOf(killed.path()).pids.isEmpty(); }, 10000, "no encoder left"));
    EXPECT_TRUE(WaitUntil([&] { return logind.Inhibitors().isEmpty(); }, 5000, "the lock to go"));
    EXPECT_EQ(QDir(killed.path()).entryList(QDir::Files), QStringList {});
}

TEST(PowerConsole, SkipExistingConvertsOnlyTheNewThenSuspendsUnlessCtrlCStopsTheCountdown)
{
    LogindMock& logind = Logind();
    ASSERT_TRUE(logind.ready()) << "no logind mock on a private system bus";
    QTemporaryDir dir, config;
    const QString a = dir.filePath("a.avi"), b = dir.filePath("b.avi"), out = dir.filePath("out");
    ASSERT_TRUE(media::MakeClip(a, "320x240:rate=25", 2, {"-c:v", "mpeg4", "-c:a", "mp2"}) && QDir().mkpath(out));
    struct Run
    {
        int exitCode = -1;
        QString out, err;
    };
    // `interrupt`: Ctrl+C once the countdown has been announced, with a minute to count.
    const auto convert = [&](const QStringList& files, const QString& systemBus, bool interrupt = false) {
        QProcess p;
        QProcessEnvironment env;
        for (const QString& entry : ConsoleEnvironment(config.path(), systemBus))
            env.insert(entry.section('=', 0, 0), entry.section('=', 1));
        if (interrupt)
            env.insert("REELPOCKET_COUNTDOWN_SECONDS", "60");
        p.setProcessEnvironment(env);
        p.start(programFolder() + "/reelpocket",
                QStringList {"--convert", "--to", out, "--skip-existing", "--then", "suspend"} + files);
        QByteArray err;
        if (interrupt
            && WaitUntil(
                [&] {
                    err += p.readAllStandardError();
                    return err.contains("Ctrl+C stops it.");
                },
                30000, "the countdown"))
            kill(static_cast<pid_t>(p.processId()), SIGINT);
        Run run;
        if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
            run = {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
                   QString::fromLocal8Bit(err + p.readAllStandardError())};
        return run;
    };
    const auto suspends = [&] {
        return CountOf(logind.Calls(), "Suspend false");
    };
    const auto modified = [&](const char* name) {
        return QFileInfo(out + "/" + name).lastModified();
    };
    const QString skipped = "Skipped, already converted: ";
    const int before = suspends();

    const Run first = convert({a}, logind.address());
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_FALSE(first.out.contains(skipped));
    EXPECT_EQ(suspends(), before + 1);
    const QDateTime aDone = modified("a.mp4");

    // A new clip beside it, and no system bus: only the new one is converted, and the run says it may sleep,
    // and that it could not suspend.
    ASSERT_TRUE(QFile::copy(a, b));
    const Run second = convert({a, b}, "unix:path=" + dir.filePath("no-bus"));
    ASSERT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_TRUE(second.out.contains(skipped + a)) << second.out.toStdString();
    EXPECT_FALSE(second.out.contains(skipped + b));
    EXPECT_TRUE(QFileInfo::exists(out + "/b.mp4"));
    EXPECT_EQ(second.err.count("it may sleep"), 1) << second.err.toStdString();
    EXPECT_TRUE(second.err.contains("could not be suspended")) << second.err.toStdString();
    EXPECT_EQ(modified("a.mp4"), aDone);

    const QDateTime bDone = modified("b.mp4");
    // Ctrl+C stops the countdown: nothing is asked of logind, and the batch's own status stays.
    const Run third = convert({a, b}, logind.address(), true);
    ASSERT_EQ(third.exitCode, 0) << third.err.toStdString();
    EXPECT_TRUE(third.err.contains("Countdown stopped")) << third.err.toStdString();
    EXPECT_TRUE(third.out.contains(skipped + a) && third.out.contains(skipped + b)) << third.out.toStdString();
    EXPECT_TRUE(third.out.contains("2 skipped")) << third.out.toStdString();
    EXPECT_EQ(modified("a.mp4"), aDone);
    EXPECT_EQ(modified("b.mp4"), bDone);
    EXPECT_EQ(suspends(), before + 1);
    EXPECT_TRUE(logind.Inhibitors().isEmpty());
}
