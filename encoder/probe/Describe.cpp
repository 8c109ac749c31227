#include "encoder/probe/Describe.h"

#include "encoder/facts/SourceFacts.h"
#include "encoder/probe/DescribeCoding.h"

#include <cstdio>
#include <optional>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
}

namespace {

std::string Name(const char* name)
{
    return name ? name : "";
}

std::string FieldOrderName(AVFieldOrder order)
{
    switch (order) {
    case AV_FIELD_PROGRESSIVE:
        return "progressive";
    case AV_FIELD_TT:
        return "tt";
    case AV_FIELD_BB:
        return "bb";
    case AV_FIELD_TB:
        return "tb";
    case AV_FIELD_BT:
        return "bt";
    default:
        return "";
    }
}

std::optional<double> Seconds(int64_t duration, AVRational timeBase)
{
    if (duration == AV_NOPTS_VALUE || duration <= 0 || timeBase.num <= 0 || timeBase.den <= 0)
        return std::nullopt;
    return static_cast<double>(duration) * av_q2d(timeBase);
}

// Matroska states a stream's length in a tag: "DURATION" = "00:05:02.040000000".
std::optional<double> TaggedSeconds(AVStream* stream)
{
    const AVDictionaryEntry* tag = av_dict_get(stream->metadata, "DURATION", nullptr, 0);
    if (!tag)
        return std::nullopt;
    int hours = 0;
    int minutes = 0;
    double seconds = 0;
    if (std::sscanf(tag->value, "%d:%d:%lf", &hours, &minutes, &seconds) != 3 || hours < 0 || minutes < 0
        || seconds < 0)
        return std::nullopt;
    const double total = hours * 3600.0 + minutes * 60.0 + seconds;
    return total > 0 ? std::optional<double>(total) : std::nullopt;
}

// A file's or a stream's tags, keys in lower case as the capture facts look them up.
Tags TagsOf(const AVDictionary* dictionary)
{
    Tags tags;
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(dictionary, "", entry, AV_DICT_IGNORE_SUFFIX))) {
        std::string key = entry->key;
        for (char& c : key)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        tags.emplace(key, entry->value);
    }
    return tags;
}

// The checks ffmpeg's subtitle filter makes when it loads its file; empty when they all pass.
std::string SubtitleProblem(const std::string& path)
{
    AVFormatContext* context = nullptr;
    const std::string url = "file:" + path;
    const int opened = avformat_open_input(&context, url.c_str(), nullptr, nullptr);
    if (opened == AVERROR_INVALIDDATA)
        return "not a subtitle file that can be read";
    if (opened < 0) {
        char reason[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(opened, reason, sizeof reason);
        return reason;
    }
    std::string problem;
    avformat_find_stream_info(context, nullptr);
    const int index = av_find_best_stream(context, AVMEDIA_TYPE_SUBTITLE, -1, -1, nullptr, 0);
    if (index < 0) {
        problem = "holds no subtitles";
    } else {
        const AVCodecID codec = context->streams[index]->codecpar->codec_id;
        const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec);
        if (!avcodec_find_decoder(codec))
            problem = "subtitles of an unknown kind";
        else if (descriptor && !(descriptor->props & AV_CODEC_PROP_TEXT_SUB))
            problem = "picture subtitles, not text";
    }
    avformat_close_input(&context);
    return problem;
}

} // namespace

std::string DescribeSource(const std::string& path, const std::string& subtitles)
{
    av_log_set_level(AV_LOG_QUIET);
    AVFormatContext* context = nullptr;
    const std::string url = "file:" + path;
    if (avformat_open_input(&context, url.c_str(), nullptr, nullptr) < 0)
        return std::string();
    // What the header states, before lengths are guessed and filled in for every stream alike.
    std::vector<std::optional<double>> stated;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        AVStream* stream = context->streams[i];
        auto seconds = Seconds(stream->duration, stream->time_base);
        stated.push_back(seconds ? seconds : TaggedSeconds(stream));
    }
    avformat_find_stream_info(context, nullptr);
    // Programme and transport streams state nothing; there every stream's length is measured from its
    // first and last time stamps.
    const bool measured = context->duration_estimation_method == AVFMT_DURATION_FROM_PTS;

    SourceFacts facts;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        AVStream* stream = context->streams[i];
        const AVCodecParameters* par = stream->codecpar;
        StreamFacts entry;
        switch (par->codec_type) {
        case AVMEDIA_TYPE_VIDEO:
            entry.kind = StreamFacts::Kind::Video;
            break;
        case AVMEDIA_TYPE_AUDIO:
            entry.kind = StreamFacts::Kind::Audio;
            break;
        case AVMEDIA_TYPE_SUBTITLE:
            entry.kind = StreamFacts::Kind::Subtitle;
            break;
        default:
            break;
        }
        entry.isDefault = stream->disposition & AV_DISPOSITION_DEFAULT;
        entry.cover = stream->disposition & AV_DISPOSITION_ATTACHED_PIC;
        if (entry.kind == StreamFacts::Kind::Video) {
            entry.fieldOrder = FieldOrderName(par->field_order);
            entry.transfer = Name(av_color_transfer_name(par->color_trc));
            entry.primaries = Name(av_color_primaries_name(par->color_primaries));
            entry.matrix = Name(av_color_space_name(par->color_space));
            entry.range = Name(av_color_range_name(par->color_range));
        }
        entry.coding = DescribeCoding(stream);
        entry.seconds = i < stated.size() ? stated[i] : std::nullopt;
        if (!entry.seconds && measured)
            entry.seconds = Seconds(stream->duration, stream->time_base);
        facts.streams.push_back(entry);
    }
    const StreamFacts* video = ChosenVideo(facts);
    const Tags videoTags = video ? TagsOf(context->streams[video - facts.streams.data()]->metadata) : Tags();
    facts.capture = ReadCaptureFacts(TagsOf(context->metadata), videoTags);
    ReadPicturesForCopy(context, facts);
    avformat_close_input(&context);
    if (!subtitles.empty())
        facts.subtitleProblem = SubtitleProblem(subtitles);
    return FormatSourceFacts(facts);
}
