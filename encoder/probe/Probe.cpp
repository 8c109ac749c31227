#include "encoder/probe/Probe.h"

#include "encoder/common/Console.h"
#include "encoder/probe/DescribeCoding.h"
#include "encoder/probe/ProbeText.h"

#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <sys/stat.h>
#include <utility>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/display.h>
#include <libavutil/pixdesc.h>
}

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::string VideoLine(AVFormatContext* context, AVStream* stream)
{
    const AVCodecParameters* par = stream->codecpar;
    int width = par->width;
    int height = par->height;
    const char* pixelFormat = av_get_pix_fmt_name(static_cast<AVPixelFormat>(par->format));
    AVRational sar = av_guess_sample_aspect_ratio(context, stream, nullptr);
    if (sar.num <= 0 || sar.den <= 0)
        sar = AVRational {1, 1};
    // The encoder turns such a picture upright before scaling it, so the size shown is the upright one.
    if (TurnedSideways(stream)) {
        std::swap(width, height);
        std::swap(sar.num, sar.den);
    }
    av_reduce(&sar.num, &sar.den, sar.num, sar.den, 1 << 30);
    AVRational dar {1, 1};
    if (width > 0 && height > 0)
        av_reduce(&dar.num, &dar.den, static_cast<int64_t>(width) * sar.num, static_cast<int64_t>(height) * sar.den,
                  1 << 30);
    const AVRational rate = av_guess_frame_rate(context, stream, nullptr);
    const double fps = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0;
    return Format("Video: %s, %s, %dx%d [PAR %d:%d DAR %d:%d], %s tb(r)", avcodec_get_name(par->codec_id),
                  pixelFormat ? pixelFormat : "unknown", width, height, sar.num, sar.den, dar.num, dar.den,
                  RateText(fps).c_str());
}

std::string AudioLine(AVStream* stream)
{
    const AVCodecParameters* par = stream->codecpar;
    char layout[128] = "unknown";
    if (par->ch_layout.nb_channels > 0)
        av_channel_layout_describe(&par->ch_layout, layout, sizeof layout);
    const char* sampleFormat = av_get_sample_fmt_name(static_cast<AVSampleFormat>(par->format));
    std::string line = Format("Audio: %s, %d Hz, %s, %s", avcodec_get_name(par->codec_id), par->sample_rate, layout,
                              sampleFormat ? sampleFormat : "unknown");
    if (par->bit_rate > 0)
        line += Format(", %" PRId64 " kb/s", par->bit_rate / 1000);
    return line;
}

} // namespace

int RunProbe(const std::string& shownName, const std::string& path)
{
    Console console;
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        console.Message(shownName + ": no such file or directory\n");
        return 1;
    }

    av_log_set_level(AV_LOG_QUIET);
    AVFormatContext* context = nullptr;
    const std::string url = "file:" + path;
    if (avformat_open_input(&context, url.c_str(), nullptr, nullptr) < 0) {
        console.Message(shownName + ": Unknown format\n");
        return 1;
    }
    avformat_find_stream_info(context, nullptr);

    std::string text = Format("Input #0, %s, from '", context->iformat->name) + shownName + "':\n";
    text += "  Duration: "
        + (context->duration == AV_NOPTS_VALUE ? std::string("N/A") : DurationText(context->duration));
    text += ", start: " + StartText(context->start_time == AV_NOPTS_VALUE ? 0 : context->start_time);
    text += context->bit_rate > 0 ? Format(", bitrate: %" PRId64 " kb/s\n", context->bit_rate / 1000)
                                  : std::string(", bitrate: N/A\n");
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        AVStream* stream = context->streams[i];
        std::string line;
        switch (stream->codecpar->codec_type) {
        case AVMEDIA_TYPE_VIDEO:
            // A cover picture is no video: listed as one, it would be taken for the picture to encode.
            if (stream->disposition & AV_DISPOSITION_ATTACHED_PIC)
                line = std::string("Cover picture: ") + avcodec_get_name(stream->codecpar->codec_id);
            else
                line = VideoLine(context, stream);
            break;
        case AVMEDIA_TYPE_AUDIO:
            line = AudioLine(stream);
            break;
        case AVMEDIA_TYPE_SUBTITLE:
            line = std::string("Subtitle: ") + avcodec_get_name(stream->codecpar->codec_id);
            break;
        default:
            line = std::string("Data: ") + avcodec_get_name(stream->codecpar->codec_id);
            break;
        }
        text += Format("    Stream #0.%u: ", i) + line + "\n";
    }
    avformat_close_input(&context);
    console.Message(text + "At least one output file must be specified\n");
    return 1;
}
