#include "OutputCheck.h"

#include <cstring>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

bool NameListHas(const char* list, const std::string& name)
{
    const std::string names = std::string(",") + (list ? list : "") + ",";
    return names.find("," + name + ",") != std::string::npos;
}

} // namespace

bool OutputReadsBack(const std::string& path, const std::string& format, std::string& why)
{
    av_log_set_level(AV_LOG_QUIET);
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, ("file:" + path).c_str(), nullptr, nullptr) < 0) {
        why = "the finished file cannot be read back";
        return false;
    }
    // The muxer's name ("mp4", "ipod", "mov") need not be the demuxer's, which reads the whole family.
    const bool movFamily = format == "mp4" || format == "ipod" || format == "mov" || format == "3gp";
    const bool formatOk = format.empty() || NameListHas(context->iformat->name, movFamily ? "mp4" : format);
    bool video = false;
    for (unsigned i = 0; i < context->nb_streams && !video; ++i) {
        const AVStream* stream = context->streams[i];
        if (stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO)
            continue;
        const bool streamDuration = stream->duration != AV_NOPTS_VALUE && stream->duration > 0;
        const bool fileDuration = context->duration != AV_NOPTS_VALUE && context->duration > 0;
        video = streamDuration || fileDuration;
    }
    avformat_close_input(&context);
    if (!formatOk) {
        why = "the finished file is not a " + format + " file";
    } else if (!video) {
        why = "the finished file holds no video";
    }
    return formatOk && video;
}
