// The three outputs' size rules, frame-rate caps, command lines and room estimates.
#include "conversion/OutputFormat.h"
#include "conversion/OutputSize.h"

#include <gtest/gtest.h>
#include <limits>

TEST(OutputFormat, FullHdFitsTheFrameWithEvenSides)
{
    const struct
    {
        double w;
        double h;
        QSize expected;
    } rows[] = {
        {3840, 2160, {1920, 1080}}, {1920, 1200, {1728, 1080}},
        {2560, 1080, {1920, 810}},  {4096, 2160, {1920, 1012}}, // 1012.5: the tie goes to the even side
        {2000, 1001, {1920, 960}}, // 960.96 gives 961, odd
        {1920, 1088, {1906, 1080}}, // the height meets the frame first: 1905.88 rounds up to an even width
        {1080, 1920, {1080, 1920}}, {1280, 720, {1280, 720}},
        {1440, 1080, {1440, 1080}}, {721, 481, {720, 480}}, // kept, then made even
        {2160, 3840, {1080, 1920}}, {2000, 2000, {1080, 1080}}, // upright and square fit 1080x1920
    };
    for (const auto& row : rows) {
        const auto size = OutputSize(OutputFormat::FullHd, row.w, row.h);
        ASSERT_TRUE(size) << row.w << "x" << row.h;
        EXPECT_EQ(*size, row.expected) << row.w << "x" << row.h;
    }
    // Nothing left to encode.
    for (const auto& [w, h] :
         {std::pair {0.0, 1080.0}, {1920.0, 1.0}, {100000.0, 20.0}, {std::numeric_limits<double>::infinity(), 1080.0}})
        EXPECT_FALSE(OutputSize(OutputFormat::FullHd, w, h)) << w << "x" << h;

    // The classic rule is unchanged: a ratio rounded to two decimals, kept sizes left odd.
    EXPECT_EQ(OutputSize(OutputFormat::Classic, 640, 480), QSize(480, 360));
    EXPECT_EQ(OutputSize(OutputFormat::Classic, 321, 241), QSize(321, 241));
}

TEST(OutputFormat, FourKFitsItsFrameWithEvenSides)
{
    const struct
    {
        double w;
        double h;
        QSize expected;
    } rows[] = {
        {3840, 2160, {3840, 2160}}, {4096, 2160, {3840, 2024}}, // 2025, odd
        {2160, 3840, {2160, 3840}}, {7680, 4320, {3840, 2160}}, {1280, 720, {1280, 720}}, // never enlarged
        {1921, 1081, {1920, 1080}}, {3841, 2161, {3838, 2160}}, // odd sides: kept or scaled, then made even
        {4000, 4000, {2160, 2160}}, // square fits the upright frame
    };
    for (const auto& row : rows) {
        const auto size = OutputSize(OutputFormat::FourK, row.w, row.h);
        ASSERT_TRUE(size) << row.w << "x" << row.h;
        EXPECT_EQ(*size, row.expected) << row.w << "x" << row.h;
    }
    EXPECT_FALSE(OutputSize(OutputFormat::FourK, 100000, 20));
}

TEST(OutputFormat, FrameRateCapsKeepAnEvenCadence)
{
    const auto fourK = OutputFormat::FourK, fullHd = OutputFormat::FullHd, classic = OutputFormat::Classic;
    const double endless = std::numeric_limits<double>::infinity();
    const struct
    {
        OutputFormat format;
        double rate;
        const char* cap;
    } rows[] = {
        {fourK, 60, ""},
        {fourK, 0, ""},
        {fourK, 60.06, ""}, // a thousandth over is rounding
        {fourK, 60.1, " -r 30.05"},
        {fourK, 119.88, " -r 59.94"},
        {fourK, 120, " -r 60"},
        {fourK, 100, " -r 50"},
        {fourK, 240, " -r 60"},
        {fullHd, 30, ""},
        {fullHd, 30.03, ""},
        {fullHd, 29.97, ""},
        {fullHd, 50, " -r 25"},
        {fullHd, 100, " -r 25"},
        {fullHd, 60, " -r 30"},
        {fullHd, 90, " -r 30"},
        {fullHd, 59.94, " -r 29.97"},
        {fullHd, 47.952, " -r 23.976"},
        {fullHd, endless, " -r 30"},
        {classic, 30, ""},
        {classic, 30.03, " -r 30"},
        {classic, 50, " -r 30"}, // exact, as it has always been
    };
    for (const auto& row : rows)
        EXPECT_EQ(FrameRateCap(row.format, row.rate), row.cap) << int(row.format) << " at " << row.rate;
}

TEST(OutputFormat, FourKLine)
{
    EXPECT_EQ(EncoderCommand(OutputFormat::FourK, "/v/clip.mkv", " -r 60", 3840, 2160, "/out/clip.mp4"),
              "ffmpeg.exe -y -i \"/v/clip.mkv\" -r 60 -f mp4 -vcodec libx265 -crf 26 -preset fast -level 51 "
              "-s 3840x2160 -bufsize 120M -maxrate 100M -threads auto -acodec libfaac -ac 2 -ab 160k "
              "\"/out/clip.mp4\"");
    // An hour at the cap with both sound tracks, and the buffer on top.
    EXPECT_GT(MaxOutputBytes(OutputFormat::FourK, 3600), qint64(3600) * 100'800'000 / 8 + 120'000'000 / 8);
    EXPECT_GT(MaxOutputBytes(OutputFormat::FourK, 0), 120'000'000 / 8);
}

TEST(OutputFormat, FullHdLine)
{
    EXPECT_EQ(EncoderCommand(OutputFormat::FullHd, "/v/clip.mkv", " -r 30", 1920, 1080, "/out/clip.mp4"),
              "ffmpeg.exe -y -i \"/v/clip.mkv\" -r 30 -f mp4 -vcodec libx264 -crf 22 -subq 2 -level 41 -refs 1 "
              "-me hex -partitions +parti4x4+parti8x8 -trellis 1 -weightp 1 -rc-lookahead 10 -s 1920x1080 "
              "-bufsize 30M -maxrate 25M -g 250 -bf 3 -vprofile high -threads auto -acodec libfaac -ac 2 -ab 160k "
              "\"/out/clip.mp4\"");
    // Room for an hour at the cap, audio included.
    EXPECT_GT(MaxOutputBytes(OutputFormat::FullHd, 3600), qint64(3600) * 25'160'000 / 8);
    EXPECT_GT(MaxOutputBytes(OutputFormat::FullHd, 0), 30'000'000 / 8);
}
