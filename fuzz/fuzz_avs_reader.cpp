// The subtitle script and subtitle file readers: any bytes at all.
#include "encoder/SubtitleScript.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ScriptCalls calls = ParseSubtitleScript(text);
    for (const auto* value : {&calls.source, &calls.plugin, &calls.subtitles}) {
        // A value never spans lines: paths are read one line at a time.
        if (*value && value->value().find('\n') != std::string::npos)
            std::abort();
    }
    const std::string characterSet = SubtitleCharacterSet(text);
    if (!characterSet.empty() && characterSet != "CP1252")
        std::abort();
    return 0;
}
