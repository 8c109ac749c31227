// The texts of the probe lines the program reads back.
#include "conversion/MediaInfo.h"
#include "encoder/probe/ProbeText.h"

#include <QString>
#include <gtest/gtest.h>

namespace {

TEST(ProbeText, DurationLineCutsHundredthsSoWholeSecondsNeverRoundUp)
{
    struct Case
    {
        long long microseconds;
        const char* text;
        const char* wholeSeconds; // as the program reads the line back
    };
    const Case cases[] = {
        {83456000, "00:01:23.45", "83"},          {83999999, "00:01:23.99", "83"}, {59996000, "00:00:59.99", "59"},
        {3600000000, "01:00:00.00", "3600"},      {0, "00:00:00.00", "0"},         {-40000, "00:00:00.00", "0"},
        {360000000000, "100:00:00.00", "360000"}, {9990, "00:00:00.00", "0"},      {10000, "00:00:00.01", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.microseconds);
        EXPECT_EQ(DurationText(c.microseconds), c.text);
        const QString probe = QString("  Duration: %1, start: 0.000000, bitrate: 100 kb/s\n"
                                      "    Stream #0.0: Video: h264, yuv420p, 640x480 [PAR 1:1 DAR 4:3], 25 tb(r)\n")
                                  .arg(QString::fromStdString(DurationText(c.microseconds)));
        EXPECT_EQ(ParseProbeOutput(probe).section('|', 0, 0).toStdString(), c.wholeSeconds);
    }
    EXPECT_EQ(StartText(0), "0.000000");
    EXPECT_EQ(StartText(1500000), "1.500000");
    EXPECT_EQ(StartText(-21333), "-0.021333");
}

TEST(ProbeText, RatesInTheirShortestForm)
{
    EXPECT_EQ(RateText(25), "25");
    EXPECT_EQ(RateText(30000.0 / 1001), "29.97");
    EXPECT_EQ(RateText(24000.0 / 1001), "23.976");
    EXPECT_EQ(RateText(12.5), "12.5");
    EXPECT_EQ(RateText(0), "0");
}

} // namespace
