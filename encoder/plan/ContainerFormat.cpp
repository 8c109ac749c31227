#include "encoder/plan/ContainerFormat.h"

#include <utility>

std::string GuessFormat(const std::string& output)
{
    const auto dot = output.rfind('.');
    const auto slash = output.rfind('/');
    std::string extension;
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        extension = output.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    static const std::pair<const char*, const char*> formats[]
        = {{"m4v", "ipod"},  {"m4a", "ipod"}, {"mov", "mov"},   {"3gp", "3gp"},  {"mkv", "matroska"},
           {"webm", "webm"}, {"avi", "avi"},  {"ts", "mpegts"}, {"mpg", "mpeg"}, {"mpeg", "mpeg"},
           {"flv", "flv"},   {"ogg", "ogg"},  {"wmv", "asf"},   {"asf", "asf"},  {"m2ts", "mpegts"}};
    for (const auto& [name, format] : formats)
        if (extension == name)
            return format;
    return "mp4";
}

bool IsMovFamily(const std::string& format)
{
    return format == "mp4" || format == "ipod" || format == "mov" || format == "3gp";
}
