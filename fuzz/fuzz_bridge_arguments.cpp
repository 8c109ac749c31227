// The bridge's command line: words separated by NUL bytes, parsed and translated as an encode would be.
#include "encoder/Arguments.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> words(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }
    const Request request = ParseArguments(words);
    if (request.mode == Request::Mode::Invalid) {
        if (request.error.empty())
            std::abort(); // a refusal always says why
        return 0;
    }
    if (request.mode == Request::Mode::Encode && request.output.empty())
        std::abort();
    const Translation translation = TranslateOutputOptions(request.outputOptions);
    if (translation.size
        && (translation.size->width % 2 != 0 || translation.size->height % 2 != 0 || translation.size->width < 2
            || translation.size->height < 2))
        std::abort(); // 4:2:0 pictures have even sides
    const std::string chain = BuildVideoFilters(translation, EscapeFilterGraph(EscapeFilterValue(request.input)));
    if (chain.empty())
        std::abort();
    return 0;
}
