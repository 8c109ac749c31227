// What an output keeps of its source: when, where and with what it was filmed, and the file's own date.
// Read back with exiftool as well as ffprobe.
#include "conversion/OutputFormat.h"
#include "support/EncoderBridge.h"
#include "support/MediaFixtures.h"
#include "support/MediaSuite.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

const QStringList kPicture {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=1",
                            "-f", "lavfi", "-i", "sine=duration=1"};

// The names of the boxes inside the box at `path` of an MP4 ("" the file itself, "moov/udta"), in order.
QStringList BoxesIn(const QString& file, const QString& path)
{
    QFile f(file);
    const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    qsizetype at = 0;
    qsizetype end = bytes.size();
    QStringList steps = path.split('/', Qt::SkipEmptyParts);
    for (;;) {
        QStringList names;
        qsizetype inside = -1;
        for (qsizetype box = at; box + 8 <= end;) {
            const qsizetype size = qFromBigEndian<quint32>(bytes.constData() + box);
            names << QString::fromLatin1(bytes.mid(box + 4, 4));
            if (size < 8 || box + size > end)
                return {};
            if (!steps.isEmpty() && names.last() == steps.first() && inside < 0) {
                inside = box + 8;
                at = inside;
                end = box + size;
                break;
            }
            box += size;
        }
        if (steps.isEmpty())
            return names;
        if (inside < 0)
            return {};
        steps.removeFirst();
    }
}

class EncoderCapture : public MediaSuite<EncoderCapture>
{
protected:
    static void SetUpTestSuite()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        // An iPhone's clip: HDR (HLG) HEVC at 60 fps in a MOV; its date in its own zone, its place and its
        // maker in Apple's keys, and a title that is nobody else's business.
        ok_ = media::Generate(
                  {"-f",
                   "lavfi",
                   "-i",
                   "testsrc2=size=320x240:rate=60:duration=1",
                   "-f",
                   "lavfi",
                   "-i",
                   "sine=duration=1",
                   "-vf",
                   "zscale=tin=bt709:pin=bt709:min=bt709:t=arib-std-b67:p=bt2020:m=bt2020nc:npl=203,format=yuv420p10le",
                   "-c:v",
                   "libx265",
                   "-preset",
                   "ultrafast",
                   "-x265-params",
                   "log-level=error",
                   "-color_primaries",
                   "bt2020",
                   "-color_trc",
                   "arib-std-b67",
                   "-colorspace",
                   "bt2020nc",
                   "-c:a",
                   "aac",
                   "-f",
                   "mov",
                   "-movflags",
                   "use_metadata_tags",
                   "-metadata",
                   "creation_time=2024-05-01T10:00:00Z",
                   "-metadata",
                   "com.apple.quicktime.creationdate=2024-05-01T12:00:00+0200",
                   "-metadata",
                   "com.apple.quicktime.location.ISO6709=+48.8584+002.2945+035.000/",
                   "-metadata",
                   "com.apple.quicktime.make=Apple",
                   "-metadata",
                   "com.apple.quicktime.model=iPhone 15 Pro",
                   "-metadata",
                   "title=Not for the phone"},
                  Source("IMG_0001.MOV"))
            // An Android phone's MP4: ©xyz, ©mak and ©mod in the user data.
            && media::Generate(kPicture + QStringList {"-c:v",      "libx264",
                                                       "-preset",   "ultrafast",
                                                       "-pix_fmt",  "yuv420p",
                                                       "-c:a",      "aac",
                                                       "-f",        "mov",
                                                       "-brand",    "mp42",
                                                       "-metadata", "creation_time=2024-06-02T08:30:00Z",
                                                       "-metadata", "location=+37.7749-122.4194/",
                                                       "-metadata", "make=Google",
                                                       "-metadata", "model=Pixel 8"},
                               Source("PXL_20240602.mp4"))
            // A camera's interlaced recording in Matroska, dated by its container only.
            && media::Generate({"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=50:duration=1,interlace", "-f",
                                "lavfi", "-i", "sine=duration=1", "-c:v", "mpeg2video", "-flags", "+ilme+ildct", "-top",
                                "1", "-c:a", "mp2", "-metadata", "creation_time=2023-12-24T18:30:00Z"},
                               Source("camera.mkv"))
            && media::MakeClip(Source("old.avi"), "320x240:rate=25", 1, {"-c:v", "mpeg4", "-c:a", "mp2"});
        // Filmed well before they were copied here.
        for (const char* name : {"IMG_0001.MOV", "PXL_20240602.mp4", "camera.mkv", "old.avi"}) {
            QFile file(Source(name));
            ok_ = ok_ && file.open(QIODevice::ReadWrite)
                && file.setFileTime(QDateTime(QDate(2024, 5, 1), QTime(10, 1, 2, 345), Qt::UTC),
                                    QFileDevice::FileModificationTime);
        }
    }

    // Converts `source` with the program's classic line, in a machine whose time zone is `zone`.
    QMap<QString, QString> Convert(const QString& source, const QString& output, const QString& zone,
                                   bool capRate = false)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TZ", zone);
        const auto run = bridge::Run(bridge::EncodeArguments(Source(source), Out(output), 320, 240, capRate), {}, env);
        EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
        ExpectFileDateOf(source, output);
        return media::ExifTags(Out(output));
    }

    void ExpectFileDateOf(const QString& source, const QString& output) const
    {
        EXPECT_EQ(QFileInfo(Out(output)).lastModified(), QFileInfo(Source(source)).lastModified())
            << output.toStdString();
    }

    // The movie's and each track's creation time.
    static void ExpectMovieTimes(const QMap<QString, QString>& exif, const QString& utc)
    {
        for (const char* tag :
             {"QuickTime:CreateDate", "Track1:TrackCreateDate", "Track1:MediaCreateDate", "Track2:TrackCreateDate"})
            EXPECT_EQ(exif.value(tag).toStdString(), utc.toStdString()) << tag;
    }
};

TEST_F(EncoderCapture, IphoneClipKeepsItsDateInItsZoneItsPlaceAndItsPhoneInBothOutputs)
{
    const QString fullHd
        = EncoderCommand(OutputFormat::FullHd, Source("IMG_0001.MOV"), " -r 30", 320, 240, Out("fullhd.mp4"));
    const auto run = bridge::Run(bridge::ArgumentsOf(fullHd));
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    ExpectFileDateOf("IMG_0001.MOV", "fullhd.mp4");
    // This machine's own zone plays no part: the clip names its own.
    const auto classic = Convert("IMG_0001.MOV", "classic.mp4", "EST5EDT,M3.2.0,M11.1.0", true);

    for (const auto& exif : {media::ExifTags(Out("fullhd.mp4")), classic}) {
        ExpectMovieTimes(exif, "2024:05:01 10:00:00+00:00");
        EXPECT_EQ(exif.value("Keys:CreationDate").toStdString(), "2024:05:01 12:00:00+02:00");
        EXPECT_TRUE(exif.value("Keys:GPSCoordinates").startsWith("48 deg 51' 30.24\" N, 2 deg 17' 40.20\" E, 35 m"))
            << exif.value("Keys:GPSCoordinates").toStdString();
        EXPECT_EQ(exif.value("UserData:GPSCoordinates").toStdString(), exif.value("Keys:GPSCoordinates").toStdString());
        EXPECT_EQ(exif.value("Keys:Make").toStdString(), "Apple");
        EXPECT_EQ(exif.value("UserData:Make").toStdString(), "Apple");
        EXPECT_EQ(exif.value("Keys:Model").toStdString(), "iPhone 15 Pro");
        EXPECT_EQ(exif.value("UserData:Model").toStdString(), "iPhone 15 Pro");
    }
    for (const char* output : {"fullhd.mp4", "classic.mp4"}) {
        const auto format = media::Probe(Out(output), "format");
        EXPECT_EQ(format.value("TAG:creation_time").toStdString(), "2024-05-01T10:00:00.000000Z");
        EXPECT_EQ(format.value("TAG:com.apple.quicktime.creationdate").toStdString(), "2024-05-01T12:00:00+0200");
        EXPECT_EQ(format.value("TAG:location").toStdString(), "+48.8584+002.2945+035.000/");
        EXPECT_EQ(format.value("TAG:model").toStdString(), "iPhone 15 Pro");
        EXPECT_FALSE(format.contains("TAG:title")) << "only the date, place and device are carried";
        EXPECT_FALSE(format.contains("TAG:comment"));
        // Apple's keys in the movie's own meta box, as the iPhone writes them; the index still in front.
        EXPECT_TRUE(BoxesIn(Out(output), "moov").contains("meta"))
            << BoxesIn(Out(output), "moov").join(' ').toStdString();
        EXPECT_FALSE(BoxesIn(Out(output), "moov/udta").contains("meta"));
        EXPECT_TRUE(BoxesIn(Out(output), "moov/udta").contains(QString::fromLatin1("\xa9xyz")));
        const QStringList top = BoxesIn(Out(output), "");
        EXPECT_LT(top.indexOf("moov"), top.indexOf("mdat")) << top.join(' ').toStdString();
        // Tone-mapped to SDR and capped at 30 frames a second on the way.
        const auto video = media::Probe(Out(output), "v:0");
        EXPECT_EQ(video.value("color_transfer").toStdString(), "bt709");
        EXPECT_EQ(video.value("r_frame_rate").toStdString(), "30/1");
    }
}

TEST_F(EncoderCapture, AndroidClipKeepsItsDateAndPlaceInBothForms)
{
    // The clip states the moment only; its local time is this machine's.
    const auto exif = Convert("PXL_20240602.mp4", "android.mp4", "<+0530>-5:30");
    ExpectMovieTimes(exif, "2024:06:02 08:30:00+00:00");
    EXPECT_EQ(exif.value("Keys:CreationDate").toStdString(), "2024:06:02 14:00:00+05:30");
    EXPECT_TRUE(exif.value("UserData:GPSCoordinates").startsWith("37 deg 46' 29.64\" N, 122 deg 25' 9.84\" W"))
        << exif.value("UserData:GPSCoordinates").toStdString();
    EXPECT_EQ(exif.value("Keys:GPSCoordinates").toStdString(), exif.value("UserData:GPSCoordinates").toStdString());
    EXPECT_EQ(exif.value("Keys:Make").toStdString(), "Google");
    EXPECT_EQ(exif.value("UserData:Model").toStdString(), "Pixel 8");
    EXPECT_EQ(media::Probe(Out("android.mp4"), "format").value("TAG:com.apple.quicktime.location.ISO6709"),
              "+37.7749-122.4194/");
}

TEST_F(EncoderCapture, MatroskaDateIsKeptAndNothingElseMadeUp)
{
    const auto exif = Convert("camera.mkv", "camera.mp4", "UTC0");
    ExpectMovieTimes(exif, "2023:12:24 18:30:00+00:00");
    EXPECT_EQ(exif.value("Keys:CreationDate").toStdString(), "2023:12:24 18:30:00+00:00");
    for (const char* tag : {"Keys:GPSCoordinates", "UserData:GPSCoordinates", "Keys:Make", "UserData:Model"})
        EXPECT_FALSE(exif.contains(tag)) << tag;
    EXPECT_EQ(media::Probe(Out("camera.mp4"), "v:0").value("field_order"), "progressive");
    EXPECT_EQ(OutputFolder(), QStringList {"camera.mp4"});
}

TEST_F(EncoderCapture, UndatedAviGetsNoDateInvented)
{
    const auto exif = Convert("old.avi", "old.mp4", "UTC0");
    // Zero: the MP4 epoch, which readers take for "not set".
    ExpectMovieTimes(exif, "1904:01:01 00:00:00+00:00");
    for (auto it = exif.begin(); it != exif.end(); ++it)
        EXPECT_FALSE(it.key().startsWith("Keys:") || it.key().startsWith("UserData:")) << it.key().toStdString();
    EXPECT_FALSE(media::Probe(Out("old.mp4"), "format").contains("TAG:creation_time"));
}

} // namespace
