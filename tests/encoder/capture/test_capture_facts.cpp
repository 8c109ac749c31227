// The capture facts as files state them: dates with and without zones, places, names.
#include "encoder/capture/CaptureFacts.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>

namespace {

TEST(CaptureFacts, RecordingDatesAsFilesStateThem)
{
    const long long may1 = 1714557600; // 2024-05-01 10:00:00 UTC
    // The zone is kept only where the text names one.
    const std::pair<const char*, std::optional<int>> stated[]
        = {{"2024-05-01T12:00:00+0200", 120},     {"2024-05-01T12:00:00.5+02:00", 120},
           {"2024-05-01T03:00-07", -420},         {"2024-05-01T10:00:00.000000Z", std::nullopt},
           {"2024:05:01 10:00:00", std::nullopt}, {" 2024-05-01 10:00 ", std::nullopt}};
    for (const auto& [text, offset] : stated) {
        const auto time = ParseStatedTime(text);
        ASSERT_TRUE(time) << text;
        EXPECT_EQ(time->utcSeconds, may1) << text;
        EXPECT_EQ(time->offsetMinutes, offset) << text;
    }
    // A year alone (a song's), an impossible day, a clock never set, a zone beyond any on Earth.
    for (const char* text : {"2024", "2023-02-29", "1970-01-01T00:00:00Z", "2024-05-01T10:00:00+1900", "yesterday"})
        EXPECT_FALSE(ParseStatedTime(text)) << text;
    // Apple's date keeps its zone and wins over the container's; a malformed place is passed over, a name made one
    // line.
    const CaptureFacts facts = ReadCaptureFacts({{"creation_time", "2024-05-01T09:59:58.000000Z"},
                                                 {"com.apple.quicktime.creationdate", "2024-05-01T12:00:00+0200"},
                                                 {"com.apple.quicktime.location.iso6709", "somewhere nice"},
                                                 {"location", "+37.7749-122.4194/"},
                                                 {"model", "Pixel\n8\n"}},
                                                {});
    EXPECT_EQ(facts.utcSeconds, may1);
    EXPECT_EQ(facts.offsetMinutes, 120);
    EXPECT_EQ(facts.place, "+37.7749-122.4194/");
    EXPECT_EQ(facts.model, "Pixel 8");
    EXPECT_TRUE(facts.make.empty());
    // Else the video track's own time; a year alone is no date.
    EXPECT_EQ(ReadCaptureFacts({{"date", "2024"}}, {{"creation_time", "2024-05-01T10:00:00Z"}}).utcSeconds, may1);
    EXPECT_TRUE(ReadCaptureFacts({{"date", "2024"}, {"title", "x"}}, {}).empty());
}

} // namespace

TEST(CaptureFacts, AtTheEdgesOfZonesClocksAndPlaces)
{
    // Zones with minutes either side of UTC and the farthest ones, each at 2024-05-01 10:00 UTC.
    const std::pair<const char*, const char*> zones[] = {{"2024-05-01T07:30:00-02:30", "2024-05-01T07:30:00-0230"},
                                                         {"2024-05-01T06:30-03:30", "2024-05-01T06:30:00-0330"},
                                                         {"2024-05-01T00:30:00-0930", "2024-05-01T00:30:00-0930"},
                                                         {"2024-05-01T15:45:00+05:45", "2024-05-01T15:45:00+0545"},
                                                         {"2024-05-02T00:00:00+14:00", "2024-05-02T00:00:00+1400"},
                                                         {"2024-04-30T22:00:00-12:00", "2024-04-30T22:00:00-1200"}};
    for (const auto& [text, written] : zones) {
        const auto time = ParseStatedTime(text);
        ASSERT_TRUE(time) << text;
        EXPECT_EQ(time->utcSeconds, 1714557600) << text;
        EXPECT_EQ(FormatStatedTime(time->utcSeconds, time->offsetMinutes), written) << text;
    }
    // A clock never set reads some time on 1970-01-01, in whatever zone.
    for (const char* text : {"1970-01-01T00:03:27Z", "1970-01-01 23:59:59", "1970-01-01T20:00:00-05:00", "1970-01-01",
                             "1969-12-31T23:00:00Z"})
        EXPECT_FALSE(ParseStatedTime(text)) << text;
    EXPECT_EQ(ParseStatedTime("1970-01-02T00:00:00Z").value_or(StatedTime {}).utcSeconds, 86400);
    // A date alone stays that day where the file is converted, east or west.
    const std::string zone = std::getenv("TZ") ? std::getenv("TZ") : "";
    for (const char* here :
         {"America/New_York", "America/St_Johns", "Etc/GMT+12", "Asia/Tokyo", "Pacific/Kiritimati"}) {
        ::setenv("TZ", here, 1);
        ::tzset();
        const auto day = ParseStatedTime("2021-07-04");
        ASSERT_TRUE(day) << here;
        EXPECT_FALSE(day->offsetMinutes) << here;
        EXPECT_EQ(FormatStatedTime(day->utcSeconds, LocalOffsetMinutes(day->utcSeconds)).substr(0, 19),
                  "2021-07-04T00:00:00")
            << here;
    }
    zone.empty() ? ::unsetenv("TZ") : ::setenv("TZ", zone.c_str(), 1);
    ::tzset();
    // Altitudes of 1 to 5 digits, below the sea, or none; then places that are no ISO 6709.
    for (const char* place : {"+48.8584+002.2945+5/", "+48.8584+002.2945+035.000/", "+39.7392-104.9903+1609.000/",
                              "+35.6812+139.7671+10668/", "+31.5590+035.4732-430.500/", "+48.8584+002.2945/",
                              "+4851+00217/", "+48.8584+002.2945+035CRSWGS_84/"})
        EXPECT_EQ(ReadCaptureFacts({{"location", place}}, {}).place, place);
    for (const char* place :
         {"+48.8584/", "48.8584+002.2945/", "+48.8584+002.2945+35+1/", "+48.+002.2945/", "+48.8584 +002.2945/",
          "+48.8584+002.2945+12345678/", "+48.8584+002.2945CRS/", "+48.8584+002.2945CRSwgs/", "+48.8584+002.2945x"})
        EXPECT_EQ(ReadCaptureFacts({{"location", place}}, {}).place, "") << place;
}
