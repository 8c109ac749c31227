// The capture facts as files state them: dates with and without zones, places, names.
#include "encoder/capture/CaptureFacts.h"

#include <gtest/gtest.h>
#include <optional>
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
