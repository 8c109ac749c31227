// `reelpocket --convert`: the real program, without a display, on small videos made at test time.
#include "support/MediaFixtures.h"
#include "support/MediaSuite.h"
#include "support/SmallDisk.h"
#include "support/TestPaths.h"
#include "support/TestWindow.h"
#include "support/Wait.h"
#include "window/Twips.h"

#include <QLineEdit>
#include <QPushButton>

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Outcome
{
    int exitCode = -1;
    QString out;
    QString err;
};

class ConsoleBatch : public MediaSuite<ConsoleBatch>
{
protected:
    static void SetUpTestSuite()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        const QStringList mpeg4 {"-c:v", "mpeg4", "-c:a", "mp2"};
        ok_ = media::MakeClip(Source("a.avi"), "320x240:rate=25", 2, mpeg4)
            && media::MakeClip(Source("b.mkv"), "640x360:rate=50", 2, {"-c:v", "libx264", "-c:a", "aac"})
            && media::MakeClip(Source("fast.mkv"), "640x360:rate=120", 1,
                               {"-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac"})
            // Long and large enough to be stopped half-way.
            && media::MakeClip(Source("long.avi"), "1280x720:rate=30", 30, {"-c:v", "mpeg4", "-q:v", "2", "-an"}, false)
            && media::MakeClip(Source("eight.mp4"), "320x240:rate=25", 8,
                               {"-movflags", "+faststart", "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac"});
        // Its index still promises eight seconds; half of the media is gone.
        QFile whole(Source("eight.mp4"));
        QFile cut(Source("cut.mp4"));
        ok_ = ok_ && whole.open(QIODevice::ReadOnly) && cut.open(QIODevice::WriteOnly)
            && cut.write(whole.read(whole.size() / 2)) > 0;
        cut.close();
        // Noise that needs the encoder's whole bit rate: more than a small stick holds.
        ok_ = ok_
            && media::Generate({"-f", "lavfi", "-i", "nullsrc=s=640x480:r=25:d=3,geq=lum='random(1)*255':cb=128:cr=128",
                                "-c:v", "mpeg4", "-q:v", "2"},
                               Source("noise.avi"))
            && QFile::copy(Source("a.avi"), Source("film.avi"));
        // Bytes that are no text in any encoding, zeros among them.
        QByteArray bytes(4096, '\0');
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>((i * 131 + 7) % 256);
        QFile junk(Source("film.srt"));
        ok_ = ok_ && junk.open(QIODevice::WriteOnly) && junk.write(bytes) > 0;
        junk.close();
        QFile text(Source("notes.avi"));
        ok_ = ok_ && text.open(QIODevice::WriteOnly) && text.write("not a video\n") > 0;
        // Two sources of one name in two folders, with different pictures and subtitles of their own.
        ok_ = ok_ && QDir(dir_->path()).mkpath("one") && QDir(dir_->path()).mkpath("two")
            && media::MakeClip(Source("one/trip.avi"), "320x240:rate=25", 3, mpeg4)
            && media::Generate({"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=3", "-pix_fmt", "yuv420p",
                                "-c:v", "libx264", "-preset", "ultrafast"},
                               Source("two/trip.mkv"));
        for (const auto& [name, text] :
             {std::pair {"one/trip.srt", "FIRST FIRST"}, {"two/trip.srt", "SECOND SECOND"}, {"a.srt", "AAAA AAAA"}}) {
            QFile srt(Source(name));
            ok_ = ok_ && srt.open(QIODevice::WriteOnly)
                && srt.write(QByteArray("1\n00:00:00,000 --> 00:00:03,000\n") + text + "\n") > 0;
        }
    }

    // The program as a script or a cron job starts it: no display, no terminal, settings of its own.
    QProcessEnvironment Environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS"})
            env.remove(QLatin1String(name));
        env.insert("XDG_CONFIG_HOME", config_.path());
        env.insert("XDG_CACHE_HOME", cache_.path());
        env.insert("XDG_RUNTIME_DIR", runtime_.path());
        // No logind either, whatever the machine has: the run says once that nothing keeps it awake.
        env.insert("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + runtime_.filePath("no-system-bus"));
        return env;
    }

    void Start(QProcess& p, const QStringList& args, const QString& folder = programFolder()) const
    {
        p.setProcessEnvironment(Environment());
        p.setWorkingDirectory(dir_->path());
        p.start(folder + "/reelpocket", QStringList {"--convert"} + args);
    }

    Outcome Convert(const QStringList& args, const QString& folder = programFolder()) const
    {
        QProcess p;
        Start(p, args, folder);
        Outcome run;
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
            return run;
        run.exitCode = p.exitCode();
        run.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        run.err = QString::fromLocal8Bit(p.readAllStandardError());
        return run;
    }

    // The same run with a terminal for its input and output, as a user at a shell starts it.
    Outcome ConvertOnTerminal(const QStringList& args) const
    {
        std::vector<QByteArray> words {(programFolder() + "/reelpocket").toLocal8Bit(), "--convert"};
        for (const QString& arg : args)
            words.push_back(arg.toLocal8Bit());
        std::vector<QByteArray> settings;
        for (const QString& entry : Environment().toStringList())
            settings.push_back(entry.toLocal8Bit());
        const auto pointers = [](std::vector<QByteArray>& texts) {
            std::vector<char*> list;
            for (QByteArray& text : texts)
                list.push_back(text.data());
            list.push_back(nullptr);
            return list;
        };
        std::vector<char*> argv = pointers(words);
        std::vector<char*> envp = pointers(settings);
        const QByteArray folder = dir_->path().toLocal8Bit();
        struct winsize size = {24, 80, 0, 0};
        int terminal = -1;
        const pid_t child = ::forkpty(&terminal, nullptr, nullptr, &size);
        if (child == 0) {
            if (::chdir(folder.constData()) == 0)
                ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        Outcome run;
        if (child < 0)
            return run;
        QByteArray bytes;
        char buffer[4096];
        QDeadlineTimer deadline(60000);
        for (;;) {
            struct pollfd ready = {terminal, POLLIN, 0};
            if (::poll(&ready, 1, static_cast<int>(deadline.remainingTime())) <= 0) {
                ::kill(child, SIGKILL);
                break;
            }
            const ssize_t got = ::read(terminal, buffer, sizeof buffer);
            if (got <= 0 && errno != EINTR)
                break;
            bytes.append(buffer, std::max<ssize_t>(got, 0));
        }
        ::close(terminal);
        int status = 0;
        if (::waitpid(child, &status, 0) == child && WIFEXITED(status))
            run.exitCode = WEXITSTATUS(status);
        // Each line as it stays on the screen: the last of what was drawn over it.
        for (const QString& line : QString::fromLocal8Bit(bytes).remove("\x1b[K").split("\r\n"))
            run.out += line.section('\r', -1) + "\n";
        return run;
    }

    static QByteArray Hash(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1)
                                           : QByteArray();
    }

    // Every subtitle script a run left in the user's folders.
    QStringList ScriptsLeft() const
    {
        QStringList scripts;
        for (const QString& folder : {runtime_.path(), cache_.path()})
            for (QDirIterator it(folder, {"*.avs"}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
                 it.hasNext();)
                scripts << it.next();
        return scripts;
    }

    QTemporaryDir config_;
    QTemporaryDir cache_;
    QTemporaryDir runtime_;
};

TEST_F(ConsoleBatch, ConvertsTwoFilesWithALinePerFileWhenOutputIsAPipe)
{
    // Relative names are the shell's: the working folder of the run.
    const Outcome run = Convert({"--to", out_.path(), "a.avi", "b.mkv"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(OutputFolder(), QStringList({"a.mp4", "b.mp4"}));
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << run.out.toStdString();
    EXPECT_EQ(lines[0], "Converting... (1/2) " + Source("a.avi"));
    EXPECT_EQ(lines[1], "Converted: " + Source("a.avi"));
    EXPECT_EQ(lines[2], "Converting... (2/2) " + Source("b.mkv"));
    EXPECT_EQ(lines[4], "Conversion finished: 2 converted, 0 failed.");
    EXPECT_EQ(media::Probe(Out("b.mp4"), "v:0").value("width"), "480");
    EXPECT_EQ(run.err, "Nothing keeps the computer awake: it may sleep before the batch ends.\n");

    // Full HD for this run only: the picture keeps its size, in High profile, and 50 frames a second become 25.
    const Outcome fullHd = Convert({"--yes", "--full-hd", "--quiet", "--to", out_.path(), "b.mkv"});
    ASSERT_EQ(fullHd.exitCode, 0) << fullHd.err.toStdString();
    EXPECT_EQ(fullHd.out, "Conversion finished: 1 converted, 0 failed.\n");
    const QMap<QString, QString> video = media::Probe(Out("b.mp4"), "v:0");
    EXPECT_EQ(video.value("width"), "640");
    EXPECT_EQ(video.value("profile"), "High");
    EXPECT_EQ(video.value("avg_frame_rate"), "25/1");

    // 4K: HEVC, and 120 frames a second halved to 60.
    const Outcome fourK = Convert({"--yes", "--4k", "--quiet", "--to", out_.path(), "fast.mkv"});
    ASSERT_EQ(fourK.exitCode, 0) << fourK.err.toStdString();
    const QMap<QString, QString> hevc = media::Probe(Out("fast.mp4"), "v:0");
    EXPECT_EQ(hevc.value("codec_name"), "hevc");
    EXPECT_EQ(hevc.value("avg_frame_rate"), "60/1");
    EXPECT_EQ(hevc.value("width"), "640");
}

// A program folder of its own whose encoder runs `before` (a shell snippet), then the real one.
bool MakeProgramFolder(const QString& folder, const QByteArray& before)
{
    const QString real = programFolder();
    QFile script(folder + "/ffmpeg.exe");
    const bool written = script.open(QIODevice::WriteOnly)
        && script.write("#!/bin/sh\nhere=$(dirname \"$0\")\n" + before + "exec '" + real.toUtf8()
                        + "/ffmpeg.exe' \"$@\"\n")
            > 0;
    script.close();
    return written && script.setPermissions(script.permissions() | QFile::ExeOwner)
        && QFile::copy(real + "/reelpocket", folder + "/reelpocket")
        && QFile::copy(real + "/Languages", folder + "/Languages")
        && QFile::copy(real + "/VSFilter.dll", folder + "/VSFilter.dll");
}

// Its encoder writes down every command line it is given.
bool MakeRecordingFolder(const QString& folder)
{
    return MakeProgramFolder(folder, "printf '%s\\n' \"$*\" >> \"$here/commands.log\"\n");
}

// Its encoder holds every encode (not the probes) until a file "go" appears, leaving a "waiting.PID" mark:
// batches started together then surely encode side by side, each having checked its files and written
// what its encode reads.
bool MakeWaitingFolder(const QString& folder)
{
    return MakeProgramFolder(folder,
                             "if [ \"$1\" = -y ]; then\n    : > \"$here/waiting.$$\"\n"
                             "    while [ ! -e \"$here/go\" ]; do sleep 0.05; done\nfi\n");
}

int Waiting(const QString& folder)
{
    return static_cast<int>(QDir(folder).entryList({"waiting.*"}, QDir::Files).size());
}

QStringList TakeCommands(const QString& folder)
{
    QFile log(folder + "/commands.log");
    QStringList lines = log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts)
                                                      : QStringList {};
    log.remove();
    // Each subtitled job's script has a name of its own.
    static const QRegularExpression script("\\S*/tmp-[0-9a-f]{8}-[0-9]+-[A-Za-z0-9]+\\.avs");
    return lines.replaceInStrings(script, "SCRIPT");
}

TEST_F(ConsoleBatch, OnATerminalEveryFileNotSimplyConvertedGetsALine)
{
    const Outcome run = ConvertOnTerminal({"--yes", "--full-hd", "--to", out_.path(), "eight.mp4", "cut.mp4"});
    EXPECT_EQ(run.exitCode, 1) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("\nCopied, already plays on iPhone: " + Source("eight.mp4") + "\n"))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("\nFailed: " + Source("cut.mp4") + " — The source is cut short"))
        << run.out.toStdString();
    const Outcome refused = ConvertOnTerminal({"--yes", "--to", out_.path(), "a.avi", "notes.avi"});
    EXPECT_EQ(refused.exitCode, 2);
    for (const char* name : {"a.avi", "notes.avi"})
        EXPECT_TRUE(refused.out.contains("Not converted: " + Source(name) + " — ")) << refused.out.toStdString();
}

TEST_F(ConsoleBatch, TheEncoderIsGivenTheWindowsCommandLines)
{
    QTemporaryDir folder;
    ASSERT_TRUE(MakeRecordingFolder(folder.path()));
    const QStringList sources {Source("a.avi"), Source("b.mkv")};
    {
        TestWindow w;
        w.fake.system->folder = folder.path();
        w.fake.useRealRunner();
        w.addSources(sources);
        w.c().txtDestination->setText(out_.path() + "/");
        SetCheckValue(w.c().chkSubtitles, 1);
        QTest::mouseClick(w.c().cmdConvert, Qt::LeftButton);
        ASSERT_TRUE(WaitUntil([&] { return !w.batch().IsRunning(); }, 60000, "the window's batch"));
        ASSERT_EQ(w.batch().Summary().Converted(), 2);
    }
    const QStringList window = TakeCommands(folder.path());
    ASSERT_EQ(window.size(), 4) << "a probe and an encode for each source";
    EXPECT_TRUE(window[2].startsWith("-y -i SCRIPT -f mp4")) << window[2].toStdString();
    for (const QString& name : OutputFolder())
        QFile::remove(Out(name));

    const Outcome run = Convert({"--subtitles", "--to", out_.path(), "a.avi", Source("b.mkv")}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(TakeCommands(folder.path()), window);
}

TEST_F(ConsoleBatch, AnExistingOutputIsReplacedOnlyWhenSomebodySaidYes)
{
    ASSERT_TRUE(QFile::copy(Source("a.avi"), Out("a.mp4")));
    const QByteArray before = Hash(Out("a.mp4"));
    // Nobody at a terminal to ask, and --no: both answer No before anything is encoded.
    for (const QStringList& answer : {QStringList {}, QStringList {"--no"}}) {
        const Outcome run = Convert(answer + QStringList {"--to", out_.path(), "--quiet", "a.avi"});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(Out("a.mp4") + ":\nThis file already exists.")) << run.err.toStdString();
        EXPECT_EQ(Hash(Out("a.mp4")), before);
        EXPECT_TRUE(run.out.isEmpty()) << "--quiet prints only the summary, and nothing ran";
    }
    const Outcome run = Convert({"--yes", "--to", out_.path(), "--language", "français", "a.avi"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_NE(Hash(Out("a.mp4")), before);
    EXPECT_TRUE(run.out.contains("Conversion terminée : 1 convertie(s), 0 en échec.")) << run.out.toStdString();
}

TEST_F(ConsoleBatch, RefusedRunsEndWithTwoAndSayWhy)
{
    Outcome run = Convert({"--to", out_.path(), "a.avi", "notes.avi"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(Source("notes.avi") + ":\nThis file is not a video")) << run.err.toStdString();
    // Each file is named with why it was not converted.
    EXPECT_EQ(run.out,
              "Not converted: " + Source("a.avi")
                  + " — The conversion stopped before this file.\nNot converted: " + Source("notes.avi")
                  + " — This file is not a video that can be converted. Please add a valid "
                    "video file.\n");
    EXPECT_TRUE(OutputFolder().isEmpty()) << "every question and check comes before the first encode";

    run = Convert({"--to", out_.filePath("missing"), "a.avi"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("The destination folder cannot be used")) << run.err.toStdString();
    EXPECT_EQ(Convert({"--to", out_.path()}).exitCode, 2);
    run = Convert({"--to", out_.path(), "--colour", "a.avi"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("colour")) << run.err.toStdString();
    EXPECT_EQ(Convert({"--yes", "--no", "a.avi"}).exitCode, 2);
    EXPECT_TRUE(OutputFolder().isEmpty());
}

TEST_F(ConsoleBatch, EachFileIsNamedWithWhatBecameOfItAndFailuresEndWithOne)
{
    // Subtitles that cannot be read, a source cut short, and one too large for what the stick has left.
    const QString stick = out_.filePath("stick");
    const SmallDisk disk(stick, "size=256k");
    ASSERT_TRUE(disk.mounted) << "cannot mount a small file system";
    // The outputs may not fit in what is free: yes, go on.
    const QStringList files {"--yes", "--subtitles", "--to", stick, "film.avi", "cut.mp4", "noise.avi"};
    const Outcome run = Convert(files);
    EXPECT_EQ(run.exitCode, 1) << run.out.toStdString();
    EXPECT_EQ(QDir(stick).entryList(QDir::Files | QDir::Hidden), QStringList({"film.mp4"}));
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7) << run.out.toStdString();
    EXPECT_EQ(lines[1],
              "Converted without subtitles: " + Source("film.avi") + " — " + Source("film.srt")
                  + " could not be read.");
    EXPECT_TRUE(QRegularExpression("^Failed: " + QRegularExpression::escape(Source("cut.mp4"))
                                   + " — The source is cut short or damaged: only [0-9.]+ of its 8 seconds could be "
                                     "read\\.$")
                    .match(lines[3])
                    .hasMatch())
        << lines[3].toStdString();
    EXPECT_EQ(lines[5], "Failed: " + Source("noise.avi") + " — The destination is full.");
    EXPECT_EQ(lines[6], "Conversion finished: 1 converted, 2 failed.");
    EXPECT_TRUE(run.err.contains(Source("noise.avi") + ":\nThe destination is full.")) << run.err.toStdString();

    // Quiet, and in French: only the summary on standard output, the failures with their reasons on error.
    ASSERT_TRUE(QFile::remove(stick + "/film.mp4"));
    const Outcome quiet = Convert(QStringList {"--quiet", "--language", "français"} + files);
    EXPECT_EQ(quiet.exitCode, 1);
    EXPECT_EQ(quiet.out, "Conversion terminée : 1 convertie(s), 2 en échec.\n");
    EXPECT_TRUE(quiet.err.contains(Source("cut.mp4") + ":\nLa source est tronquée ou endommagée : seules "))
        << quiet.err.toStdString();
    EXPECT_TRUE(quiet.err.contains(Source("noise.avi") + ":\nLa destination est pleine.")) << quiet.err.toStdString();
    EXPECT_TRUE(quiet.err.contains(Source("film.srt") + ":\nCes sous-titres n'ont pas pu être lus."));
}

TEST_F(ConsoleBatch, InterruptOrTerminationStopsTheEncodeAndLeavesNothingBehind)
{
    // Ctrl+C, twice soon after the first as impatient users do; and the polite end a service manager or
    // `timeout` sends.
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        QProcess p;
        Start(p, {"--to", out_.path(), "long.avi"});
        ASSERT_TRUE(p.waitForReadyRead(20000));
        ASSERT_TRUE(p.readAllStandardOutput().startsWith("Converting..."));
        // The encoder must be under way, with a partial file in the folder.
        ASSERT_TRUE(WaitUntil([&] { return !OutputFolder().isEmpty(); }, 20000, "the partial file"));
        const auto pid = static_cast<pid_t>(p.processId());
        ASSERT_GT(pid, 0) << "the run ended on its own: " << p.readAllStandardError().toStdString();
        ::kill(pid, signal);
        if (signal == SIGINT) {
            QTest::qWait(50);
            ::kill(pid, signal);
        }
        // The wait above may have seen it end already.
        ASSERT_TRUE(p.state() == QProcess::NotRunning || p.waitForFinished(10000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 130);
        EXPECT_TRUE(OutputFolder().isEmpty()) << OutputFolder().join(", ").toStdString();
        EXPECT_TRUE(media::ProcessesMentioning(Source("long.avi")).isEmpty());
    }
}

// The frame a second in: the subtitles are on screen.
QByteArray Frame(const QString& path)
{
    return media::GreyFrame(path, 1.0);
}

TEST_F(ConsoleBatch, BatchesAtOnceEachConvertTheirOwnPictureWithTheirOwnSubtitles)
{
    // Each source converted alone is what it must look like.
    const QStringList sources {Source("one/trip.avi"), Source("two/trip.mkv")};
    QList<QByteArray> alone;
    for (const QString& source : sources) {
        const QString folder = out_.filePath("alone-" + QString::number(alone.size()));
        ASSERT_TRUE(QDir().mkpath(folder));
        const Outcome run = Convert({"--subtitles", "--quiet", "--to", folder, source});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        alone << Frame(folder + "/trip.mp4");
        ASSERT_EQ(alone.last().size(), 320 * 240);
    }
    ASSERT_GT(media::MeanDifference(alone[0], alone[1]), 20);

    QTemporaryDir folder;
    ASSERT_TRUE(MakeWaitingFolder(folder.path()));
    QProcess runs[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(QDir().mkpath(out_.filePath("together-" + QString::number(i))));
        Start(runs[i], {"--subtitles", "--to", out_.filePath("together-" + QString::number(i)), sources[i]},
              folder.path());
    }
    ASSERT_TRUE(WaitUntil([&] { return Waiting(folder.path()) == 2; }, 30000, "both encodes"))
        << runs[0].readAllStandardOutput().toStdString() << runs[0].readAllStandardError().toStdString()
        << runs[1].readAllStandardOutput().toStdString() << runs[1].readAllStandardError().toStdString();
    // Both scripts are written before either encoder reads its own: two of them, in the user's own folder.
    const QStringList scripts = ScriptsLeft();
    EXPECT_EQ(scripts.size(), 2) << scripts.join(' ').toStdString();
    for (const QString& script : scripts)
        EXPECT_EQ(QFileInfo(QFileInfo(script).path()).permissions() & 0x0077, 0) << script.toStdString();
    QFile(folder.filePath("go")).open(QIODevice::WriteOnly);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(runs[i].waitForFinished(60000));
        EXPECT_EQ(runs[i].exitCode(), 0) << runs[i].readAllStandardError().toStdString();
        const QByteArray together = Frame(out_.filePath("together-" + QString::number(i) + "/trip.mp4"));
        EXPECT_LT(media::MeanDifference(together, alone[i]), 1) << i;
        EXPECT_GT(media::MeanDifference(together, alone[1 - i]), 20) << i;
    }
    // Each script went with its encode.
    EXPECT_TRUE(ScriptsLeft().isEmpty()) << ScriptsLeft().join(' ').toStdString();
    EXPECT_TRUE(QDir(folder.path()).entryList({"*.avs"}).isEmpty());
}

TEST_F(ConsoleBatch, TwoBatchesNeverBothConvertOneNameNorReplaceWhatTheOtherMade)
{
    // Two different videos named trip, into one folder, and nobody agreed to replace anything: both find
    // the name free, both encode, only one may end as trip.mp4.
    const QStringList sources {Source("one/trip.avi"), Source("two/trip.mkv")};
    QTemporaryDir folder;
    ASSERT_TRUE(MakeWaitingFolder(folder.path()));
    QProcess runs[2];
    for (int i = 0; i < 2; ++i)
        Start(runs[i], {"--no", "--to", out_.path(), sources[i]}, folder.path());
    ASSERT_TRUE(WaitUntil([&] { return Waiting(folder.path()) == 2; }, 30000, "both encodes"));
    QFile(folder.filePath("go")).open(QIODevice::WriteOnly);
    int converted = 0;
    int winner = -1;
    QString complaint;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(runs[i].waitForFinished(60000));
        const QString out = QString::fromLocal8Bit(runs[i].readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(runs[i].readAllStandardError());
        // The Matroska trip already plays on iPhone: its line says it was copied.
        if (runs[i].exitCode() == 0
            && (out.contains("Converted: ") || out.contains("Copied, already plays on iPhone: "))) {
            ++converted;
            winner = i;
        } else {
            EXPECT_EQ(runs[i].exitCode(), 1) << err.toStdString();
            EXPECT_TRUE(out.contains("Failed: " + sources[i])) << out.toStdString();
            complaint = err;
        }
    }
    ASSERT_EQ(converted, 1);
    EXPECT_TRUE(complaint.contains(Out("trip.mp4") + ":\nAnother file took this name")) << complaint.toStdString();
    // The one that finished first is kept whole; nothing else is left behind under any name.
    EXPECT_EQ(OutputFolder(), QStringList {"trip.mp4"});
    const QByteArray kept = Frame(Out("trip.mp4"));
    ASSERT_TRUE(QDir().mkpath(out_.filePath("alone")));
    const Outcome alone = Convert({"--quiet", "--to", out_.filePath("alone"), sources[winner]});
    ASSERT_EQ(alone.exitCode, 0) << alone.err.toStdString();
    EXPECT_LT(media::MeanDifference(kept, Frame(out_.filePath("alone/trip.mp4"))), 1);
}

} // namespace
