#include "encoder/probe/DescribeCoding.h"

#include "encoder/plan/CopyRule.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/dovi_meta.h>
#include <libavutil/mastering_display_metadata.h>
#include <libavutil/pixdesc.h>
}

namespace {

Ratio RatioOf(AVRational rational)
{
    return rational.num > 0 && rational.den > 0 ? Ratio {rational.num, rational.den} : Ratio {};
}

// An MP4 index lists every sample with its decoding time and size: nothing needs to be read.
bool FromIndex(AVFormatContext* context, AVStream* stream, StreamCoding& coding)
{
    const int count = avformat_index_get_entries_count(stream);
    if (!std::strstr(context->iformat->name, "mp4") || count <= 0 || count != stream->nb_frames)
        return false;
    const double unit = av_q2d(stream->time_base);
    for (int i = 0; i < count; ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(stream, i);
        if (!entry || entry->timestamp == AV_NOPTS_VALUE) {
            coding.packets.clear();
            return false;
        }
        coding.packets.push_back({static_cast<double>(entry->timestamp) * unit, entry->size});
        if (i == 0)
            coding.startsWithKeyFrame = entry->flags & AVINDEX_KEYFRAME;
    }
    // Its composition offsets give the shown times.
    coding.shownTimes = true;
    return true;
}

// Whether an HEVC header (an hvcC record, or Annex B units as a transport stream gives them) holds the VPS, SPS
// and PPS: only then can an "hvc1" sample entry, which carries them, be written from it.
bool HasHevcHeaderSets(const uint8_t* data, int size)
{
    if (!data || size <= 0)
        return false;
    bool vps = false, sps = false, pps = false;
    const auto note = [&](int type) {
        vps = vps || type == 32;
        sps = sps || type == 33;
        pps = pps || type == 34;
    };
    if (data[0] == 1 && size >= 23) {
        int at = 23;
        for (int array = 0; array < data[22] && at + 3 <= size; ++array) {
            const int type = data[at] & 0x3f;
            const int units = (data[at + 1] << 8) | data[at + 2];
            at += 3;
            for (int unit = 0; unit < units && at + 2 <= size; ++unit) {
                const int length = (data[at] << 8) | data[at + 1];
                if (length > 0 && at + 2 + length <= size)
                    note(type);
                at += 2 + length;
            }
        }
    } else {
        for (int at = 0; at + 3 < size; ++at)
            if (data[at] == 0 && data[at + 1] == 0 && data[at + 2] == 1)
                note((data[at + 3] >> 1) & 0x3f);
    }
    return vps && sps && pps;
}

int64_t Scaled(AVRational value, double unit)
{
    return static_cast<int64_t>(std::llround(av_q2d(value) * unit));
}

// The HDR facts a container states beside the stream: Dolby Vision's record, HDR10's mastering display and
// light levels.
void DescribeHdr(AVStream* stream, StreamCoding& coding)
{
    if (const auto* dovi = reinterpret_cast<const AVDOVIDecoderConfigurationRecord*>(
            av_stream_get_side_data(stream, AV_PKT_DATA_DOVI_CONF, nullptr)))
        coding.dolbyVision
            = std::to_string(dovi->dv_profile) + "." + std::to_string(dovi->dv_bl_signal_compatibility_id);
    if (const auto* display = reinterpret_cast<const AVMasteringDisplayMetadata*>(
            av_stream_get_side_data(stream, AV_PKT_DATA_MASTERING_DISPLAY_METADATA, nullptr));
        display && display->has_primaries && display->has_luminance) {
        // FFmpeg keeps the primaries as R, G, B; x265 wants G, B, R.
        for (const int primary : {1, 2, 0})
            for (const int axis : {0, 1})
                coding.mastering.push_back(Scaled(display->display_primaries[primary][axis], 50000));
        coding.mastering.push_back(Scaled(display->white_point[0], 50000));
        coding.mastering.push_back(Scaled(display->white_point[1], 50000));
        coding.mastering.push_back(Scaled(display->max_luminance, 10000));
        coding.mastering.push_back(Scaled(display->min_luminance, 10000));
    }
    if (const auto* light = reinterpret_cast<const AVContentLightMetadata*>(
            av_stream_get_side_data(stream, AV_PKT_DATA_CONTENT_LIGHT_LEVEL, nullptr)))
        coding.lightLevel = {light->MaxCLL, light->MaxFALL};
}

struct SoundBytes
{
    int64_t bytes = 0;
    int64_t first = AV_NOPTS_VALUE;
    int64_t end = AV_NOPTS_VALUE;
};

void FromPackets(AVFormatContext* context, SourceFacts& facts, unsigned video)
{
    std::vector<SoundBytes> sound(context->nb_streams);
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const bool measured
            = facts.streams[i].kind == StreamFacts::Kind::Audio && facts.streams[i].coding.bitsPerSecond == 0;
        if (i != video && !measured)
            context->streams[i]->discard = AVDISCARD_ALL;
    }
    StreamCoding& coding = facts.streams[video].coding;
    std::vector<int64_t> decoded;
    std::vector<int64_t> shown;
    bool allDecodeTimes = true;
    bool allShownTimes = true;
    AVPacket* packet = av_packet_alloc();
    while (packet && av_read_frame(context, packet) >= 0) {
        const unsigned index = static_cast<unsigned>(packet->stream_index);
        if (index == video) {
            if (coding.packets.empty())
                coding.startsWithKeyFrame = packet->flags & AV_PKT_FLAG_KEY;
            coding.packets.push_back({0, packet->size});
            decoded.push_back(packet->dts);
            shown.push_back(packet->pts);
            allDecodeTimes = allDecodeTimes && packet->dts != AV_NOPTS_VALUE;
            allShownTimes = allShownTimes && packet->pts != AV_NOPTS_VALUE;
        } else if (index < sound.size() && packet->pts != AV_NOPTS_VALUE) {
            SoundBytes& s = sound[index];
            s.bytes += packet->size;
            s.first = s.first == AV_NOPTS_VALUE ? packet->pts : std::min(s.first, packet->pts);
            s.end = std::max(s.end, packet->pts + packet->duration);
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    // AVI keeps only the decoding order: a copy of reordered pictures would show them out of order.
    coding.shownTimes = allShownTimes && !coding.packets.empty();

    // Without decoding times (Matroska keeps only the times pictures are shown), the pictures in file order are
    // decoded at the shown times in their order.
    std::vector<int64_t>& times = allDecodeTimes ? decoded : shown;
    if (!allDecodeTimes)
        std::sort(times.begin(), times.end());
    const double unit = av_q2d(context->streams[video]->time_base);
    for (size_t i = 0; i < times.size(); ++i) {
        if (times[i] == AV_NOPTS_VALUE) {
            coding.packets.clear();
            break;
        }
        coding.packets[i].seconds = static_cast<double>(times[i]) * unit;
    }
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const SoundBytes& s = sound[i];
        const double seconds = static_cast<double>(s.end - s.first) * av_q2d(context->streams[i]->time_base);
        if (i != video && s.bytes > 0 && seconds > 0)
            facts.streams[i].coding.bitsPerSecond = static_cast<int64_t>(std::llround(s.bytes * 8 / seconds));
    }
}

} // namespace

bool TurnedSideways(AVStream* stream)
{
    const uint8_t* matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
    if (!matrix)
        return false;
    const double angle = av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
    if (std::isnan(angle))
        return false;
    const long quarterTurns = std::lround(angle / 90.0);
    return quarterTurns % 2 != 0;
}

StreamCoding DescribeCoding(AVStream* stream)
{
    const AVCodecParameters* par = stream->codecpar;
    StreamCoding coding;
    coding.codec = CodingName(avcodec_get_name(par->codec_id));
    if (par->codec_tag != 0) {
        char tag[AV_FOURCC_MAX_STRING_SIZE] = {};
        coding.tag = CodingName(av_fourcc_make_string(tag, par->codec_tag));
    }
    if (const char* profile = avcodec_profile_name(par->codec_id, par->profile))
        coding.profile = CodingName(profile);
    if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
        coding.level = std::max(par->level, 0);
        coding.reorders = par->video_delay > 0;
        if (const char* format = av_get_pix_fmt_name(static_cast<AVPixelFormat>(par->format)))
            coding.pixelFormat = CodingName(format);
        coding.width = par->width;
        coding.height = par->height;
        coding.turned = TurnedSideways(stream);
        coding.containerAspect = RatioOf(stream->sample_aspect_ratio);
        coding.codedAspect = RatioOf(par->sample_aspect_ratio);
        if (par->codec_id == AV_CODEC_ID_HEVC)
            coding.headerSets = HasHevcHeaderSets(par->extradata, par->extradata_size);
        DescribeHdr(stream, coding);
    } else if (par->codec_type == AVMEDIA_TYPE_AUDIO) {
        coding.channels = par->ch_layout.nb_channels;
        coding.sampleRate = par->sample_rate;
        coding.bitsPerSecond = std::max<int64_t>(par->bit_rate, 0);
    }
    return coding;
}

void ReadPicturesForCopy(AVFormatContext* context, SourceFacts& facts)
{
    const StreamFacts* chosen = ChosenVideo(facts);
    if (!chosen || !MightBeCopied(*chosen) || facts.streams.size() != context->nb_streams)
        return;
    const auto video = static_cast<unsigned>(chosen - facts.streams.data());
    if (!FromIndex(context, context->streams[video], facts.streams[video].coding))
        FromPackets(context, facts, video);
}
