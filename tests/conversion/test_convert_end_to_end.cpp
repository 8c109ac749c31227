// Whole batches through the real window, the real runner and the program folder's encoder,
// on small videos made at test time. Only dialogs, message boxes and the browser are fakes.
#include "localisation/Language.h"
#include "support/MediaFixtures.h"
#include "support/SmallDisk.h"
#include "support/TestWindow.h"
#include "window/Twips.h"
#include "window/WindowLooks.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

QByteArray Run(const QString& program, const QStringList& args, bool* ok = nullptr)
{
    QProcess p;
    p.start(program, args);
    const bool finished = p.waitForFinished(60000);
    if (ok)
        *ok = finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return p.readAllStandardOutput();
}

bool MakeVideo(const QString& path, const QString& video, double seconds)
{
    bool ok = false;
    const QString t = QString::number(seconds);
    Run("/usr/bin/ffmpeg",
        {"-v", "error", "-y", "-f", "lavfi", "-i", video + ":duration=" + t, "-f", "lavfi", "-i",
         "sine=frequency=440:duration=" + t, "-shortest", "-c:v", "mpeg4", "-q:v", "3", "-c:a", "mp2", path},
        &ok);
    return ok;
}

struct StreamFacts
{
    QString videoCodec;
    int width = 0;
    int height = 0;
    double fps = 0;
    QString audioCodec;
    int channels = 0;
};

double Rate(const QString& fraction)
{
    const QStringList parts = fraction.split('/');
    if (parts.size() != 2 || parts[1].toDouble() == 0)
        return 0;
    return parts[0].toDouble() / parts[1].toDouble();
}

StreamFacts Inspect(const QString& path)
{
    const QString text = QString::fromUtf8(
        Run("/usr/bin/ffprobe",
            {"-v", "error", "-show_entries", "stream=codec_type,codec_name,width,height,avg_frame_rate,channels", "-of",
             "default", path}));
    StreamFacts facts;
    QMap<QString, QString> stream;
    for (const QString& line : text.split('\n')) {
        if (line == "[/STREAM]") {
            if (stream.value("codec_type") == "video") {
                facts.videoCodec = stream.value("codec_name");
                facts.width = stream.value("width").toInt();
                facts.height = stream.value("height").toInt();
                facts.fps = Rate(stream.value("avg_frame_rate"));
            } else if (stream.value("codec_type") == "audio") {
                facts.audioCodec = stream.value("codec_name");
                facts.channels = stream.value("channels").toInt();
            }
            stream.clear();
        }
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            stream[line.left(eq)] = line.mid(eq + 1).trimmed();
    }
    return facts;
}

// One grey frame of a video, one byte per pixel.
QByteArray GreyFrame(const QString& path, double at)
{
    return Run("/usr/bin/ffmpeg",
               {"-v", "error", "-ss", QString::number(at), "-i", path, "-frames:v", "1", "-f", "rawvideo", "-pix_fmt",
                "gray", "-"});
}

int PixelsDiffering(const QByteArray& a, const QByteArray& b, int by)
{
    int count = 0;
    for (qsizetype i = 0; i < qMin(a.size(), b.size()); ++i) {
        if (qAbs(int(uchar(a[i])) - int(uchar(b[i]))) > by)
            ++count;
    }
    return count;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList FilesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

bool EncoderPresent()
{
    return QFileInfo(programFolder() + "/ffmpeg.exe").isExecutable();
}

// Sources shared by every test; nothing writes to them.
struct Sources
{
    QTemporaryDir dir;
    QString landscape; // 640x480, 25 fps
    QString fast; // 320x240, 50 fps
    QString portrait; // 360x640, 30 fps
    QString plain; // 320x240, one colour, for the subtitles
    bool ok = false;
    Sources()
    {
        landscape = dir.filePath("landscape.avi");
        fast = dir.filePath("fast.mkv");
        portrait = dir.filePath("portrait.avi");
        plain = dir.filePath("plain.avi");
        ok = dir.isValid() && MakeVideo(landscape, "testsrc=size=640x480:rate=25", 1)
            && MakeVideo(fast, "testsrc2=size=320x240:rate=50", 1)
            && MakeVideo(portrait, "testsrc=size=360x640:rate=30", 1)
            && MakeVideo(plain, "color=c=0x2050a0:size=320x240:rate=25", 2);
    }
};

Sources& Shared()
{
    static Sources sources;
    return sources;
}

// The real window over the real runner, as the program builds it.
struct Converter : TestWindow
{
    explicit Converter(const QString& language = QStringLiteral("English"))
        : TestWindow(language, QStringLiteral("http://127.0.0.1/"))
    {
        fake.useRealRunner();
        EXPECT_TRUE(out.isValid());
        dest = out.path() + "/";
        c().txtDestination->setText(dest);
        SetCheckValue(c().chkOverwrite, 1);
        SetCheckValue(c().chkSubtitles, 0);
        SetCheckValue(c().chkShowPutiPhone, 1);
        form->show();
    }
    bool running() const { return c().batch->IsRunning() || c().lblStatus->title().contains(t("cmdConvert_ing")); }
    // Presses Convert and waits for the batch to end, noting every status caption on the way.
    // `during` runs at each look, with the phase the batch is in.
    bool convert(const std::function<void(FormControls&)>& during = {})
    {
        c().cmdConvert->click();
        const QDeadlineTimer deadline(90000);
        while (running() && !deadline.hasExpired()) {
            const QString title = c().lblStatus->title();
            if (statuses.isEmpty() || statuses.last() != title)
                statuses << title;
            if (during)
                during(c());
            QTest::qWait(5);
        }
        return !running();
    }
    // Converts with subtitles written to `working`, keeping the text of the script an encode read while it ran.
    bool convertReadingScript(const QString& working, QByteArray& script)
    {
        return convert([&](FormControls&) {
            for (const QString& name : QDir(working).entryList({"tmp-*.avs"}, QDir::Files))
                script = ReadAll(working + "/" + name);
        });
    }
    QString status() const { return c().lblStatus->title(); }

    QTemporaryDir out;
    QString dest;
    QStringList statuses;
};

#define REQUIRE_ENCODER()                                                                                              \
    do {                                                                                                               \
        ASSERT_TRUE(EncoderPresent()) << "no encoder in the program folder";                                           \
        ASSERT_TRUE(Shared().ok) << "could not make the test videos";                                                  \
    } while (0)

} // namespace

TEST(ConvertEndToEnd, ThreeSourcesInListOrder)
{
    REQUIRE_ENCODER();
    Converter c;
    c.c().lstSource->addItems({Shared().landscape, Shared().fast, Shared().portrait});
    ASSERT_TRUE(c.convert());
    EXPECT_EQ(c.status(), c.t("cmdConvert_ed"));
    EXPECT_TRUE(c.fake.messages->shown.isEmpty()) << c.fake.messages->shown.join("|").toStdString();
    EXPECT_EQ(FilesIn(c.dest), (QStringList {"fast.mp4", "landscape.mp4", "portrait.mp4"}));

    // Encoded one after another in list order.
    QStringList counters;
    for (const QString& s : c.statuses) {
        if (s.startsWith(c.t("cmdConvert_ing") + "("))
            counters << s.mid(c.t("cmdConvert_ing").size());
    }
    EXPECT_EQ(counters, (QStringList {"(1/3)", "(2/3)", "(3/3)"}));
    // Each output is put in place when its encode ends (its date is its source's).
    const auto placed = [&](const QString& name) {
        return QFileInfo(c.dest + name).metadataChangeTime();
    };
    EXPECT_LE(placed("landscape.mp4"), placed("fast.mp4"));
    EXPECT_LE(placed("fast.mp4"), placed("portrait.mp4"));

    const struct
    {
        const char* name;
        int width;
        int height;
        double fps;
    } expected[] = {{"landscape.mp4", 480, 360, 25}, {"fast.mp4", 320, 240, 30}, {"portrait.mp4", 270, 480, 30}};
    for (const auto& e : expected) {
        const StreamFacts facts = Inspect(c.dest + e.name);
        EXPECT_EQ(facts.videoCodec, "h264") << e.name;
        EXPECT_EQ(facts.width, e.width) << e.name;
        EXPECT_EQ(facts.height, e.height) << e.name;
        EXPECT_NEAR(facts.fps, e.fps, 0.1) << e.name;
        EXPECT_EQ(facts.audioCodec, "aac") << e.name;
        EXPECT_EQ(facts.channels, 2) << e.name;
    }
    EXPECT_EQ(c.fake.shell->urls.size(), 1);
}

TEST(ConvertEndToEnd, OverwriteDeclinedAtTheSecondSource)
{
    REQUIRE_ENCODER();
    Converter c;
    const QByteArray old = "an earlier output that must survive";
    {
        QFile existing(c.dest + "fast.mp4");
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write(old);
    }
    c.fake.messages->answers = {false};
    c.c().lstSource->addItems({Shared().landscape, Shared().fast, Shared().portrait});
    ASSERT_TRUE(c.convert());
    EXPECT_EQ(c.status(), c.t("cmdCancel_ed"));
    EXPECT_EQ(c.fake.messages->asked, QStringList {c.dest + "fast.mp4:\n" + c.t("cmdConvert_overwrite")});
    EXPECT_EQ(FilesIn(c.dest), QStringList {"fast.mp4"});
    EXPECT_EQ(ReadAll(c.dest + "fast.mp4"), old);
    EXPECT_TRUE(c.fake.shell->urls.isEmpty());
}

TEST(ConvertEndToEnd, SubtitlesBurnedFromTheScript)
{
    REQUIRE_ENCODER();
    ASSERT_TRUE(QFile::exists(programFolder() + "/VSFilter.dll"));
    QTemporaryDir videos;
    ASSERT_TRUE(videos.isValid());
    const QString withSubs = videos.filePath("with subs.avi");
    const QString without = videos.filePath("without.avi");
    ASSERT_TRUE(QFile::copy(Shared().plain, withSubs));
    ASSERT_TRUE(QFile::copy(Shared().plain, without));
    {
        QFile srt(videos.filePath("with subs.srt"));
        ASSERT_TRUE(srt.open(QIODevice::WriteOnly));
        srt.write("1\r\n00:00:00,000 --> 00:00:02,000\r\nWWWWWWWW MMMMMMMM\r\n\r\n");
    }
    QTemporaryDir working;
    ASSERT_TRUE(working.isValid());

    Converter c;
    c.fake.system->working = working.path();
    SetCheckValue(c.c().chkSubtitles, 1);
    c.c().lstSource->addItems({withSubs, without});
    // The script is there while its encode runs.
    QByteArray script;
    ASSERT_TRUE(c.convertReadingScript(working.path(), script));
    EXPECT_EQ(c.status(), c.t("cmdConvert_ed"));
    EXPECT_TRUE(c.fake.messages->shown.isEmpty()) << c.fake.messages->shown.join("|").toStdString();

    EXPECT_EQ(QString::fromUtf8(script),
              "DirectShowSource(\"" + withSubs + "\")\r\nLoadPlugin (\"" + programFolder()
                  + "/VSFilter.dll\")\r\nTextSub (\"" + videos.path() + "/with subs.srt\")");
    EXPECT_TRUE(QDir(working.path()).isEmpty()) << "the script goes with its encode";

    const StreamFacts facts = Inspect(c.dest + "with subs.mp4");
    EXPECT_EQ(facts.videoCodec, "h264");
    EXPECT_EQ(facts.width, 320);
    EXPECT_EQ(facts.height, 240);
    const QByteArray subtitled = GreyFrame(c.dest + "with subs.mp4", 1.0);
    const QByteArray plain = GreyFrame(c.dest + "without.mp4", 1.0);
    ASSERT_EQ(subtitled.size(), 320 * 240);
    ASSERT_EQ(plain.size(), 320 * 240);
    EXPECT_GT(PixelsDiffering(subtitled, plain, 60), 200);
    // Encoded twice from one source, the plain picture itself barely moves.
    EXPECT_LT(PixelsDiffering(plain, GreyFrame(without, 1.0), 60), 20);
}

TEST(ConvertEndToEnd, SubtitledPhoneClipKeepsTheDatesOfTheVideoNotOfTheScript)
{
    REQUIRE_ENCODER();
    QTemporaryDir videos;
    ASSERT_TRUE(videos.isValid());
    const QString clip = videos.filePath("PXL_20240602.mp4");
    ASSERT_TRUE(media::Generate({"-f", "lavfi", "-i", "color=c=0x2050a0:size=320x240:rate=25:duration=2", "-c:v",
                                 "libx264", "-pix_fmt", "yuv420p", "-f", "mov", "-brand", "mp42", "-metadata",
                                 "creation_time=2024-06-02T08:30:00Z", "-metadata", "location=+37.7749-122.4194/"},
                                clip));
    {
        QFile srt(videos.filePath("PXL_20240602.srt"));
        ASSERT_TRUE(srt.open(QIODevice::WriteOnly));
        srt.write("1\r\n00:00:00,000 --> 00:00:02,000\r\nWWWWWWWW MMMMMMMM\r\n\r\n");
        QFile video(clip);
        ASSERT_TRUE(video.open(QIODevice::ReadWrite));
        ASSERT_TRUE(video.setFileTime(QDateTime(QDate(2024, 6, 2), QTime(8, 31)), QFileDevice::FileModificationTime));
    }

    QTemporaryDir working;
    ASSERT_TRUE(working.isValid());
    Converter c;
    c.fake.system->working = working.path();
    SetCheckValue(c.c().chkSubtitles, 1);
    SetCheckValue(c.c().chkFullHD, 1);
    c.c().lstSource->addItem(clip);
    QByteArray script;
    ASSERT_TRUE(c.convertReadingScript(working.path(), script));
    EXPECT_EQ(c.status(), c.t("cmdConvert_ed"));
    EXPECT_TRUE(c.fake.messages->shown.isEmpty()) << c.fake.messages->shown.join("|").toStdString();
    EXPECT_TRUE(script.contains(clip.toUtf8()));

    const QString output = c.dest + "PXL_20240602.mp4";
    EXPECT_GT(PixelsDiffering(GreyFrame(output, 1.0), GreyFrame(clip, 1.0), 60), 200) << "the subtitles are drawn";
    const QMap<QString, QString> exif = media::ExifTags(output);
    EXPECT_EQ(exif.value("QuickTime:CreateDate"), "2024:06:02 08:30:00+00:00");
    // "2024:06:02 08:30:00+00:00" -> ISO 8601; the local time is this machine's, the moment the clip's.
    QString local = exif.value("Keys:CreationDate");
    local.replace(4, 1, '-').replace(7, 1, '-').replace(10, 1, 'T');
    EXPECT_EQ(QDateTime::fromString(local, Qt::ISODate), QDateTime(QDate(2024, 6, 2), QTime(8, 30), Qt::UTC))
        << local.toStdString();
    EXPECT_TRUE(exif.value("UserData:GPSCoordinates").startsWith("37 deg 46'"));
    EXPECT_EQ(exif.value("Keys:GPSCoordinates"), exif.value("UserData:GPSCoordinates"));
    EXPECT_EQ(QFileInfo(output).lastModified(), QFileInfo(clip).lastModified());
    EXPECT_NE(QFileInfo(output).lastModified(), QFileInfo(script).lastModified());
}

TEST(ConvertEndToEnd, UnreadableSubtitlesAreLeftOutAndNamed)
{
    REQUIRE_ENCODER();
    QTemporaryDir videos;
    ASSERT_TRUE(videos.isValid());
    const QString source = videos.filePath("film.avi");
    ASSERT_TRUE(QFile::copy(Shared().plain, source));
    const QString srt = videos.filePath("film.srt");
    {
        QFile noise(srt);
        ASSERT_TRUE(noise.open(QIODevice::WriteOnly));
        QByteArray bytes(4096, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(QRandomGenerator::global()->bounded(256));
        noise.write(bytes);
    }
    Converter c;
    SetCheckValue(c.c().chkSubtitles, 1);
    c.c().lstSource->addItem(source);
    ASSERT_TRUE(c.convert());
    // The video is converted; the subtitles are named at the end.
    EXPECT_EQ(c.status(), c.t("cmdConvert_ed"));
    EXPECT_EQ(FilesIn(c.dest), QStringList {"film.mp4"});
    EXPECT_EQ(Inspect(c.dest + "film.mp4").videoCodec, "h264");
    EXPECT_NE(c.t("error_subtitlesleftout"), "error_subtitlesleftout");
    EXPECT_EQ(c.fake.messages->shown, QStringList {srt + ":\n" + c.t("error_subtitlesleftout")});
}

TEST(ConvertEndToEnd, UnreadableSourcesRefusedBeforeAnyEncode)
{
    REQUIRE_ENCODER();
    QTemporaryDir videos;
    ASSERT_TRUE(videos.isValid());
    const QString junk = videos.filePath("junk.avi");
    {
        QFile file(junk);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4000, 'j'));
    }
    const QString quoted = videos.filePath("say \"hi\".avi");
    ASSERT_TRUE(QFile::copy(Shared().landscape, quoted));

    for (const QString& bad : {junk, quoted, videos.filePath("missing.avi")}) {
        Converter c;
        c.c().lstSource->addItems({Shared().landscape, bad, Shared().fast});
        ASSERT_TRUE(c.convert());
        EXPECT_EQ(c.status(), c.t("cmdCancel_ed"));
        EXPECT_EQ(c.fake.messages->shown, QStringList {bad + ":\n" + c.t("error_badsource")});
        EXPECT_TRUE(FilesIn(c.dest).isEmpty()) << bad.toStdString();
    }
}

TEST(ConvertEndToEnd, SameOutputNameRefused)
{
    REQUIRE_ENCODER();
    QTemporaryDir videos;
    ASSERT_TRUE(videos.isValid());
    const QString twin = videos.filePath("fast.avi");
    ASSERT_TRUE(QFile::copy(Shared().landscape, twin));
    Converter c;
    c.c().lstSource->addItems({Shared().fast, Shared().portrait, twin});
    ASSERT_TRUE(c.convert());
    EXPECT_EQ(c.status(), c.t("cmdCancel_ed"));
    EXPECT_EQ(c.fake.messages->shown, QStringList {twin + ":\n" + c.t("error_sameoutput")});
    EXPECT_TRUE(FilesIn(c.dest).isEmpty());
}

TEST(ConvertEndToEnd, SourceGoneBeforeItsEncodeIsReportedAsFailed)
{
    REQUIRE_ENCODER();
    QTemporaryDir videos;
    ASSERT_TRUE(videos.isValid());
    const QString first = videos.filePath("first.avi");
    const QString gone = videos.filePath("gone.avi");
    const QString last = videos.filePath("last.avi");
    ASSERT_TRUE(QFile::copy(Shared().landscape, first));
    ASSERT_TRUE(QFile::copy(Shared().fast, gone));
    ASSERT_TRUE(QFile::copy(Shared().portrait, last));

    Converter c;
    c.c().lstSource->addItems({first, gone, last});
    ASSERT_TRUE(c.convert([&](FormControls& f) {
        if (f.batch->ConversionPhase() == Phase::Conversion)
            QFile::remove(gone);
    }));
    // The encoder's own words say what went wrong.
    const QString failed = FillIn(c.t("reason_encodererror"), {"file:" + gone + ": No such file or directory"});
    EXPECT_EQ(c.status(), "1 of 3 files could not be converted.");
    EXPECT_EQ(TextColour(c.c().lblStatus), CancelledColour);
    EXPECT_EQ(c.fake.messages->shown.join("|"), gone + ":\n" + failed);
    // No leftover of the failed job, not even a temporary file.
    EXPECT_EQ(FilesIn(c.dest), (QStringList {"first.mp4", "last.mp4"}));
    EXPECT_EQ(c.fake.shell->urls.size(), 1);
}

TEST(ConvertEndToEnd, DestinationGoneDuringTheBatch)
{
    REQUIRE_ENCODER();
    Converter c;
    c.c().lstSource->addItems({Shared().landscape, Shared().portrait});
    ASSERT_TRUE(c.convert([&](FormControls& f) {
        if (f.batch->ConversionPhase() == Phase::Conversion && QDir(c.dest).exists())
            QDir(c.dest).removeRecursively();
    }));
    const QString failed = c.t("reason_destinationunwritable");
    EXPECT_EQ(c.status(), "2 of 2 files could not be converted.");
    EXPECT_EQ(c.c().lblPercent->text(), "0%");
    EXPECT_EQ(c.fake.messages->shown,
              QStringList {Shared().landscape + ":\n" + failed + "\n\n" + Shared().portrait + ":\n" + failed});
    EXPECT_TRUE(!QDir(c.dest).exists() || FilesIn(c.dest).isEmpty()) << FilesIn(c.dest).join(",").toStdString();
    // Nothing was converted, so there is nothing to put on the phone.
    EXPECT_TRUE(c.fake.shell->urls.isEmpty());
}

// What a screen reader says of a row beside its text.
QString Description(QListWidget* list, int row)
{
    QAccessibleInterface* rows = QAccessible::queryAccessibleInterface(list);
    QAccessibleInterface* cell = rows ? rows->child(row) : nullptr;
    return cell ? cell->text(QAccessible::Description) : QStringLiteral("<no cell>");
}

TEST(ConvertEndToEnd, EveryRowSaysWhatBecameOfItsFile)
{
    REQUIRE_ENCODER();
    QTemporaryDir videos;
    ASSERT_TRUE(videos.isValid());
    // One that converts; one whose index promises eight seconds of which half is there; one too large for
    // what the destination has left.
    const QString good = Shared().fast;
    const QString whole = videos.filePath("whole.mp4");
    const QString cut = videos.filePath("cut.mp4");
    const QString large = videos.filePath("large.avi");
    ASSERT_TRUE(media::MakeClip(whole, "320x240:rate=25", 8,
                                {"-movflags", "+faststart", "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac"}));
    const QByteArray bytes = ReadAll(whole);
    QFile half(cut);
    ASSERT_TRUE(half.open(QIODevice::WriteOnly) && half.write(bytes.left(bytes.size() / 2)) > 0);
    half.close();
    ASSERT_TRUE(
        media::Generate({"-f", "lavfi", "-i", "nullsrc=s=640x480:r=25:d=3,geq=lum='random(1)*255':cb=128:cr=128",
                         "-c:v", "mpeg4", "-q:v", "2"},
                        large));

    for (const QString language : {"English", "Français"}) {
        SCOPED_TRACE(language.toStdString());
        Converter c(language);
        const SmallDisk disk(c.out.filePath("stick"), "size=256k");
        ASSERT_TRUE(disk.mounted) << "cannot mount a small file system";
        c.c().txtDestination->setText(c.out.filePath("stick") + "/");
        SourceList* list = c.c().lstSource;
        list->addItems({good, cut, large});
        ASSERT_TRUE(c.convert());

        // Nothing is left under the names of the two that failed, not even a partial file.
        EXPECT_EQ(FilesIn(c.out.filePath("stick")), QStringList {"fast.mp4"});
        EXPECT_EQ(list->MarkOf(0), JobState::Converted);
        EXPECT_EQ(list->MarkOf(1), JobState::Failed);
        EXPECT_EQ(list->MarkOf(2), JobState::Failed);
        EXPECT_EQ(Description(list, 0), c.t("outcome_converted"));
        const QString full = FillIn(c.t("outcome_failed"), {c.t("reason_destinationfull")});
        EXPECT_EQ(Description(list, 2), full);
        EXPECT_TRUE(list->item(2)->toolTip().startsWith(full + "\n")) << list->item(2)->toolTip().toStdString();
        EXPECT_TRUE(list->item(2)->toolTip().contains("No space left on device"));
        // Cut short, with how much of its eight seconds could be read.
        QString shortText = QRegularExpression::escape(FillIn(c.t("outcome_failed"), {c.t("reason_sourceshort")}));
        shortText.replace("\\%1", "[0-9]+([.,][0-9])?").replace("\\%2", "8");
        EXPECT_TRUE(QRegularExpression("^" + shortText + "$").match(Description(list, 1)).hasMatch())
            << Description(list, 1).toStdString();
        // Three marks that differ where they differ.
        QList<QImage> marks;
        for (int row = 0; row < 3; ++row)
            marks << list->item(row)->icon().pixmap(16).toImage();
        EXPECT_FALSE(marks[0].isNull());
        EXPECT_NE(marks[0], marks[1]);
        EXPECT_NE(marks[1], marks[2]);
        EXPECT_NE(marks[0], marks[2]);
        // The end of the batch names both failures with their reasons.
        ASSERT_EQ(c.fake.messages->shown.size(), 1);
        EXPECT_TRUE(c.fake.messages->shown.first().endsWith(large + ":\n" + c.t("reason_destinationfull")))
            << c.fake.messages->shown.first().toStdString();

        // A new destination is a new question: the marks go.
        c.c().txtDestination->setText(c.dest);
        EXPECT_EQ(list->MarkOf(2), JobState::Waiting);
        EXPECT_TRUE(Description(list, 2).isEmpty());
    }
}
