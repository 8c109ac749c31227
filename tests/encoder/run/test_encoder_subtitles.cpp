// Burned-in subtitles: the bridge reads the program's three-line script and draws the .srt into the picture.
#include "conversion/MediaInfo.h"
#include "conversion/OutputFormat.h"
#include "support/EncoderBridge.h"
#include "support/MediaFixtures.h"
#include "support/TestPaths.h"

#include <QDir>
#include <QFile>
#include <QRect>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kSubtitleText = QStringLiteral("1\r\n00:00:00,000 --> 00:00:02,000\r\nÉté à Noël: ça, où\r\n\r\n");

class EncoderSubtitles : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        // A plain picture, so that anything drawn on it shows.
        ok_ = media::Generate({"-f", "lavfi", "-i", "color=c=0x204060:size=320x240:rate=25:duration=2", "-pix_fmt",
                               "yuv420p", "-c:v", "libx264", "-preset", "ultrafast"},
                              Path("plain.mkv"));
        ok_ = ok_ && bridge::Run(bridge::EncodeArguments(Path("plain.mkv"), Path("plain.mp4"), 320, 240)).exitCode == 0;
        plainFrame_ = media::GreyFrame(Path("plain.mp4"), 1.0);
    }
    static void TearDownTestSuite() { dir_.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(ok_) << "test media could not be made";
        ASSERT_EQ(plainFrame_.size(), 320 * 240);
    }

    static QString Path(const QString& name) { return dir_->filePath(name); }

    static bool WriteFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    // The script as the program writes it: three lines joined by CR LF, UTF-8.
    static QString WriteScript(const QString& source, const QString& plugin, const QString& subtitles)
    {
        const QString text = "DirectShowSource(\"" + source + "\")\r\nLoadPlugin (\"" + plugin + "\")\r\nTextSub (\""
            + subtitles + "\")";
        const QString path = Path("tmp.avs");
        return WriteFile(path, text.toUtf8()) ? path : QString();
    }

    static QString Plugin() { return programFolder() + "/VSFilter.dll"; }

    // Encodes through a script and returns the frame one second in, empty on failure.
    static QByteArray SubtitledFrame(const QString& source, const QString& subtitles, const QString& output)
    {
        const auto run
            = bridge::Run(bridge::EncodeArguments(WriteScript(source, Plugin(), subtitles), output, 320, 240));
        EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
        return media::GreyFrame(output, 1.0);
    }

    static std::unique_ptr<QTemporaryDir> dir_;
    static bool ok_;
    static QByteArray plainFrame_;
};

// The smallest rectangle holding every pixel that stands out from the top left one, the background.
QRect DrawnBox(const QByteArray& grey, int width)
{
    QRect box;
    const auto background = static_cast<unsigned char>(grey.at(0));
    for (int i = 0; i < grey.size(); ++i) {
        if (std::abs(static_cast<unsigned char>(grey.at(i)) - background) > 40)
            box |= QRect(i % width, i / width, 1, 1);
    }
    return box;
}

std::unique_ptr<QTemporaryDir> EncoderSubtitles::dir_;
bool EncoderSubtitles::ok_ = false;
QByteArray EncoderSubtitles::plainFrame_;

TEST_F(EncoderSubtitles, TheProgramFolderHasTheSwitch)
{
    EXPECT_TRUE(QFileInfo(Plugin()).isFile());
}

TEST_F(EncoderSubtitles, SubtitlesChangeThePictureAndNothingElseDoes)
{
    ASSERT_TRUE(WriteFile(Path("plain.srt"), kSubtitleText.toUtf8()));
    const QByteArray withText = SubtitledFrame(Path("plain.mkv"), Path("plain.srt"), Path("subtitled.mp4"));
    EXPECT_GT(media::MeanDifference(withText, plainFrame_), 0.2);

    // The same encode without the script changes nothing: the difference above is the text.
    ASSERT_EQ(bridge::Run(bridge::EncodeArguments(Path("plain.mkv"), Path("again.mp4"), 320, 240)).exitCode, 0);
    EXPECT_LT(media::MeanDifference(media::GreyFrame(Path("again.mp4"), 1.0), plainFrame_), 0.01);

    const auto video = media::Probe(Path("subtitled.mp4"), "v:0");
    EXPECT_EQ(video.value("codec_name").toStdString(), "h264");
    EXPECT_EQ(video.value("width").toStdString(), "320");
}

TEST_F(EncoderSubtitles, TextGrowsWithAFullHdPicture)
{
    ASSERT_TRUE(WriteFile(Path("plain.srt"), kSubtitleText.toUtf8()));
    const QRect small = DrawnBox(SubtitledFrame(Path("plain.mkv"), Path("plain.srt"), Path("small.mp4")), 320);
    ASSERT_GT(small.height(), 0);

    ASSERT_TRUE(media::Generate({"-f", "lavfi", "-i", "color=c=0x204060:size=1920x1080:rate=25:duration=2", "-pix_fmt",
                                 "yuv420p", "-c:v", "libx264", "-preset", "ultrafast"},
                                Path("plain1080.mkv")));
    const QString script = WriteScript(Path("plain1080.mkv"), Plugin(), Path("plain.srt"));
    const auto run = bridge::Run(
        bridge::ArgumentsOf(EncoderCommand(OutputFormat::FullHd, script, "", 1920, 1080, Path("large.mp4"))));
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    const QByteArray frame = media::GreyFrame(Path("large.mp4"), 1.0);
    ASSERT_EQ(frame.size(), 1920 * 1080);
    const QRect large = DrawnBox(frame, 1920);

    // The same share of the picture's height as on a small picture, near its foot, centred.
    EXPECT_NEAR(large.height() / 1080.0, small.height() / 240.0, small.height() / 240.0 * 0.25)
        << large.height() << " of 1080 against " << small.height() << " of 240";
    EXPECT_GT(large.height(), 1080 / 30);
    EXPECT_GT(large.top(), 1080 / 2);
    EXPECT_NEAR(large.center().x(), 960, 60);
}

TEST_F(EncoderSubtitles, Windows1252SubtitlesLookLikeTheirUtf8Twin)
{
    ASSERT_TRUE(WriteFile(Path("utf8.srt"), kSubtitleText.toUtf8()));
    QStringEncoder toWindows1252("windows-1252");
    ASSERT_TRUE(toWindows1252.isValid());
    const QByteArray windows = toWindows1252.encode(kSubtitleText);
    QStringDecoder utf8Check(QStringDecoder::Utf8);
    const QString decoded = utf8Check.decode(windows);
    ASSERT_TRUE(utf8Check.hasError()); // the bytes really are not UTF-8
    ASSERT_TRUE(WriteFile(Path("ansi.srt"), windows));

    const QByteArray utf8 = SubtitledFrame(Path("plain.mkv"), Path("utf8.srt"), Path("utf8.mp4"));
    const QByteArray ansi = SubtitledFrame(Path("plain.mkv"), Path("ansi.srt"), Path("ansi.mp4"));
    EXPECT_GT(media::MeanDifference(ansi, plainFrame_), 0.2);
    EXPECT_LT(media::MeanDifference(ansi, utf8), 0.05);
}

TEST_F(EncoderSubtitles, ByteOrderMarksAreHonoured)
{
    ASSERT_TRUE(WriteFile(Path("utf8.srt"), kSubtitleText.toUtf8()));
    const QByteArray utf8 = SubtitledFrame(Path("plain.mkv"), Path("utf8.srt"), Path("utf8.mp4"));
    ASSERT_GT(media::MeanDifference(utf8, plainFrame_), 0.2);

    struct Case
    {
        const char* name;
        QStringConverter::Encoding encoding;
        const char* mark;
    };
    const Case cases[] = {{"le.srt", QStringConverter::Utf16LE, "\xFF\xFE"},
                          {"be.srt", QStringConverter::Utf16BE, "\xFE\xFF"},
                          {"bom8.srt", QStringConverter::Utf8, "\xEF\xBB\xBF"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringEncoder encoder(c.encoding, QStringConverter::Flag::WriteBom);
        const QByteArray bytes = encoder.encode(kSubtitleText);
        ASSERT_TRUE(bytes.startsWith(c.mark));
        ASSERT_TRUE(WriteFile(Path(c.name), bytes));
        const QByteArray frame = SubtitledFrame(Path("plain.mkv"), Path(c.name), Path("marked.mp4"));
        EXPECT_LT(media::MeanDifference(frame, utf8), 0.05); // the same letters as the UTF-8 file
    }
}

TEST_F(EncoderSubtitles, AwkwardCharactersInTheSubtitlePath)
{
    // Every character the filter graph treats specially, in the folder and in the name.
    const QString folder = Path("it's, [odd]; a:b \\ c=d ü");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString source = folder + "/clip, 'one'.mkv";
    const QString subtitles = folder + "/clip, 'one'.srt";
    ASSERT_TRUE(QFile::copy(Path("plain.mkv"), source));
    ASSERT_TRUE(WriteFile(subtitles, kSubtitleText.toUtf8()));
    const QByteArray frame = SubtitledFrame(source, subtitles, folder + "/out [1].mp4");
    EXPECT_GT(media::MeanDifference(frame, plainFrame_), 0.2);
}

TEST_F(EncoderSubtitles, ScriptFailuresAreReportedAsTheScriptHostWould)
{
    ASSERT_TRUE(WriteFile(Path("plain.srt"), kSubtitleText.toUtf8()));
    const QString noPlugin = WriteScript(Path("plain.mkv"), Path("nowhere/VSFilter.dll"), Path("plain.srt"));
    const auto run = bridge::Run(bridge::EncodeArguments(noPlugin, Path("failed.mp4"), 320, 240));
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("LoadPlugin: unable to load")) << run.output.toStdString();

    const QString noSubtitles = WriteScript(Path("plain.mkv"), Plugin(), Path("missing.srt"));
    const auto missing = bridge::Run(bridge::EncodeArguments(noSubtitles, Path("failed.mp4"), 320, 240));
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_TRUE(missing.output.contains("TextSub")) << missing.output.toStdString();

    EXPECT_FALSE(QFileInfo::exists(Path("failed.mp4")));
    EXPECT_TRUE(QDir(dir_->path()).entryList(QDir::Hidden | QDir::Files).filter(".partial").isEmpty());
}

TEST_F(EncoderSubtitles, SubtitlesThatCannotBeReadAreLeftOutAndNamed)
{
    QByteArray noise(4096, '\0');
    for (qsizetype i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919 + (i >> 3) * 104729) % 251);
    const struct
    {
        const char* name;
        QByteArray bytes;
    } cases[] = {{"noise.srt", noise}, {"letter.srt", "Dear Sir,\r\nthis is a letter, not subtitles.\r\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteFile(Path(c.name), c.bytes));
        const auto run = bridge::Run(
            bridge::EncodeArguments(WriteScript(Path("plain.mkv"), Plugin(), Path(c.name)), Path("out.mp4"), 320, 240));
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
        // One line that a program can find, naming the file.
        EXPECT_TRUE(run.output.contains("\nffmpeg.exe: subtitles skipped, unreadable: " + Path(c.name) + "\n"))
            << run.output.toStdString();
        EXPECT_LT(media::MeanDifference(media::GreyFrame(Path("out.mp4"), 1.0), plainFrame_), 0.01);
    }
}

TEST_F(EncoderSubtitles, ProbingAScriptDescribesItsSource)
{
    ASSERT_TRUE(WriteFile(Path("plain.srt"), kSubtitleText.toUtf8()));
    const auto run = bridge::Run({"-i", WriteScript(Path("plain.mkv"), Plugin(), Path("plain.srt"))});
    EXPECT_EQ(ParseProbeOutput(run.output), "2| 320|240|25") << run.output.toStdString();
}

} // namespace
