#include "encoder/common/LineSplitter.h"

std::vector<std::string> LineSplitter::Feed(std::string_view data)
{
    std::vector<std::string> lines;
    partial_.append(data);
    size_t start = 0;
    for (size_t end = partial_.find_first_of(ends_); end != std::string::npos;
         end = partial_.find_first_of(ends_, start)) {
        lines.push_back(partial_.substr(start, end - start));
        start = end + 1;
    }
    partial_.erase(0, start);
    return lines;
}

std::string LineSplitter::TakeRest()
{
    std::string rest;
    rest.swap(partial_);
    return rest;
}
