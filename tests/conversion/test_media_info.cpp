#include "conversion/MediaInfo.h"

#include <gtest/gtest.h>

namespace {

const QString kDurationLine = QStringLiteral("  Duration: 00:01:23.45, start: 0.000000, bitrate: 1411 kb/s\n");
const QString kVideoLine
    = QStringLiteral("    Stream #0.0: Video: h264, yuv420p, 640x480 [PAR 1:1 DAR 4:3], 25.00 tb(r)\n");

QString Probe(const QString& duration, const QString& video)
{
    return QStringLiteral("Input #0, avi, from 'clip.avi':\n") + duration + video
        + QStringLiteral("    Stream #0.1: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s\n"
                         "At least one output file must be specified\n");
}

} // namespace

TEST(ParseProbeOutput, WorkedExample)
{
    EXPECT_EQ(ParseProbeOutput(Probe(kDurationLine, kVideoLine)), "83| 640|480|25");
}

TEST(ParseProbeOutput, DurationForms)
{
    EXPECT_EQ(ParseProbeOutput(Probe("  Duration: 01:00:00.99, start: 0.000000, bitrate: 5 kb/s\n", kVideoLine)),
              "3600| 640|480|25");
    EXPECT_EQ(ParseProbeOutput(Probe("  Duration: N/A, start: 0.000000, bitrate: N/A\n", kVideoLine)), "0| 640|480|25");
    EXPECT_EQ(ParseProbeOutput(Probe("", kVideoLine)), "0| 640|480|25");
    // A two-part time is an error, and no partial result survives.
    EXPECT_EQ(ParseProbeOutput(Probe("  Duration: 01:23.45, start: 0.000000\n", kVideoLine)), "");
}

TEST(ParseProbeOutput, FrameRates)
{
    auto withRate = [](const QString& rate) {
        return ParseProbeOutput(
            Probe(kDurationLine,
                  "    Stream #0.0: Video: mpeg4, yuv420p, 1280x720 [PAR 1:1 DAR 16:9], " + rate + " tb(r)\n"));
    };
    EXPECT_EQ(withRate("29.97"), "83| 1280|720|29.97");
    EXPECT_EQ(withRate("23.976"), "83| 1280|720|23.976");
    EXPECT_EQ(withRate("59.94"), "83| 1280|720|59.94");
    EXPECT_EQ(withRate("30"), "83| 1280|720|30");
    // A tail longer than ", " plus 6 characters loses its ", ": the rate reads as 0.
    EXPECT_EQ(withRate("1234.5678"), "83| 1280|720|0");
    // No " tb" anywhere: 0, not a failure.
    EXPECT_EQ(ParseProbeOutput(Probe(kDurationLine, "Stream #0.0: Video: h264, yuv420p, 640x480 [PAR 1:1 DAR 4:3]\n")),
              "83| 640|480|0");
}

TEST(ParseProbeOutput, UnusableVideoLinesFail)
{
    // No PAR block: videoText is "0".
    EXPECT_EQ(ParseProbeOutput(Probe(kDurationLine, "Stream #0.0: Video: h264, yuv420p, 640x480, 25 tb(r)\n")), "");
    // Third comma piece without an "x".
    EXPECT_EQ(
        ParseProbeOutput(Probe(kDurationLine, "Stream #0.0: Video: h264, yuv420p, 640 [PAR 1:1 DAR 4:3], 25 tb(r)\n")),
        "");
    // A comma inside the pixel format shifts the pieces; the size is not looked for anywhere else.
    EXPECT_EQ(
        ParseProbeOutput(Probe(kDurationLine,
                               "Stream #0.0: Video: h264, yuv420p(tv, bt709), 640x480 [PAR 1:1 DAR 4:3], 25 tb(r)\n")),
        "");
    EXPECT_EQ(ParseProbeOutput(
                  Probe(kDurationLine, "Stream #0.0: Video: h264, yuv(x, 5x6), 640x480 [PAR 1:1 DAR 4:3], 25 tb(r)\n")),
              "83| 5|6)|25");
    EXPECT_EQ(ParseProbeOutput("foo: Unknown format\n"), "");
    EXPECT_EQ(ParseProbeOutput(""), "");
}

TEST(ParseProbeOutput, CarriageReturnLineEndsAreReadLikeText)
{
    // CR LF output: "." matches the CR, so the lines read the same as with LF alone.
    QString text = Probe(kDurationLine, kVideoLine);
    text.replace("\n", "\r\n");
    EXPECT_EQ(ParseProbeOutput(text), "83| 640|480|25");
}
