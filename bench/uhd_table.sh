#!/usr/bin/env bash
# The 4K and HDR output against HandBrake's "Apple 2160p60 4K HEVC Surround" preset (Debian's handbrake-cli), and
# Full HD's even frame-rate cap against its "Apple 1080p30 Surround": the program's command line and the
# reference in turn on the same source, medians of the runs. Needs a finished build and HandBrakeCLI.
#
#     bash bench/uhd_table.sh [BUILD_FOLDER]      # default: build; REPS=3 runs per side for the copies,
#                                                 # ENCODE_REPS=1 for the encodes (HandBrake's take minutes)
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
program="$build/program"
reps=${REPS:-3}
encode_reps=${ENCODE_REPS:-1}
ffmpeg=$(command -v ffmpeg)
ffprobe=$(command -v ffprobe)
handbrake=$(command -v HandBrakeCLI) || { echo "uhd_table.sh: HandBrakeCLI is missing (apt-get install handbrake-cli)" >&2; exit 1; }
[ -x "$program/reelpocket" ] || { echo "uhd_table.sh: $program/reelpocket is missing; build first" >&2; exit 1; }

work=$(mktemp -d /tmp/reelpocket-uhd-XXXXXX)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/table_common.sh"
ours() # OUTPUT_FOLDER OPTION SOURCE
{
    rm -rf "$1" && mkdir -p "$1"
    XDG_CONFIG_HOME="$work/config" "$program/reelpocket" --convert --yes --quiet --to "$1" "$2" "$3"
}
theirs() { "$handbrake" -i "$3" -o "$2" -Z "$1"; }
# What ffprobe says of the output's video: tag, profile, level, transfer, frame rate.
facts()
{
    "$ffprobe" -v error -select_streams v:0 -show_entries stream=codec_tag_string,profile,level,color_transfer,avg_frame_rate \
        -of default=noprint_wrappers=1 "$1" | awk -F= '{ v[$1] = $2 } END {
            split(v["avg_frame_rate"], r, "/"); fps = r[2] > 0 ? r[1] / r[2] : 0
            printf "%-5s %-8s %4s %-13s %6.2f", v["codec_tag_string"], v["profile"], v["level"], v["color_transfer"], fps }'
}
# SSIM of an output against its source, both as 8-bit 4:2:0 at the source's size; "-" when their frame rates differ.
ssim()
{
    local out=$1 src=$2
    local a b
    a=$("$ffprobe" -v error -select_streams v:0 -show_entries stream=avg_frame_rate -of csv=p=0 "$out")
    b=$("$ffprobe" -v error -select_streams v:0 -show_entries stream=avg_frame_rate -of csv=p=0 "$src")
    if [ "$(awk -v a="$a" -v b="$b" 'BEGIN { split(a, x, "/"); split(b, y, "/"); print (x[1] / x[2] - y[1] / y[2])^2 < 0.01 }')" != 1 ]; then
        echo "-"
        return
    fi
    "$ffmpeg" -v info -i "$out" -i "$src" -lavfi \
        "[1:v]format=yuv420p[s];[0:v]format=yuv420p[o];[o][s]scale2ref=flags=bicubic[o2][s2];[o2][s2]ssim" \
        -f null - 2>&1 | sed -n 's/.*All:\([0-9.]*\).*/\1/p' | tail -1
}
size_mb() { awk -v s="$(stat -c %s "$1")" 'BEGIN { printf "%.2f", s / 1e6 }'; }

lines=()
notes=()
# Runs one source through both sides, `n` times interleaved, and adds their two lines.
compare() # NAME SOURCE OUR_OPTION HANDBRAKE_PRESET N
{
    local name=$1 src=$2 option=$3 preset=$4 n=$5 i
    : >"$work/t.ours" >"$work/t.theirs"
    for ((i = 0; i < n; i++)); do
        time_ms ours "$work/ours" "$option" "$src" >>"$work/t.ours"
        time_ms theirs "$preset" "$work/theirs.mp4" "$src" >>"$work/t.theirs"
    done
    local out="$work/ours/$(basename "${src%.*}").mp4"
    o_ms=$(median <"$work/t.ours") t_ms=$(median <"$work/t.theirs")
    o_size=$(size_mb "$out") t_size=$(size_mb "$work/theirs.mp4")
    o_ssim=$(ssim "$out" "$src") t_ssim=$(ssim "$work/theirs.mp4" "$src")
    lines+=("$(printf '%-34s %-9s %9s %8s %8s  %s' "$name" ours "$o_ms" "$o_size" "$o_ssim" "$(facts "$out")")")
    lines+=("$(printf '%-34s %-9s %9s %8s %8s  %s' "" HandBrake "$t_ms" "$t_size" "$t_ssim" "$(facts "$work/theirs.mp4")")")
    ratio=$(awk -v a="$o_ms" -v b="$t_ms" 'BEGIN { printf "%.3f", a / b }')
    size_ratio=$(awk -v a="$o_size" -v b="$t_size" 'BEGIN { printf "%.2f", a / b }')
    packets=$([ "$("$ffmpeg" -v error -i "$out" -map 0:v:0 -c copy -f framemd5 - | grep -v '^#' | awk -F, '{ print $NF }')" \
        = "$("$ffmpeg" -v error -i "$src" -map 0:v:0 -c copy -f framemd5 - | grep -v '^#' | awk -F, '{ print $NF }')" ] \
        && echo "identical to the source's" || echo "encoded")
}

say "making the sources in $work (a few minutes: libx265 at 4K)"
# (a) A phone's 4K60 HDR clip: HEVC Main 10, HLG with a phone's colour tags, AAC stereo, as hvc1.
"$ffmpeg" -v error -y -f lavfi -i "testsrc2=size=3840x2160:rate=60:duration=1,noise=alls=6:allf=t+u" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=1" -ac 2 -pix_fmt yuv420p10le -c:v libx265 -preset ultrafast \
    -x265-params "log-level=error:level-idc=5.1:vbv-maxrate=50000:vbv-bufsize=50000:crf=20" \
    -color_primaries bt2020 -color_trc arib-std-b67 -colorspace bt2020nc -tag:v hvc1 -c:a aac -b:a 192k \
    "$work/a-phone4k60hlg.mov"
# (b) 1080p60 H.264 High@4.2 in Matroska with AC-3 5.1.
"$ffmpeg" -v error -y -f lavfi -i "testsrc2=size=1920x1080:rate=60:duration=5,noise=alls=8:allf=t+u" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=5" -ac 6 -pix_fmt yuv420p -c:v libx264 -preset veryfast \
    -crf 20 -maxrate 20M -bufsize 25M -profile:v high -level 4.2 -c:a ac3 -b:a 448k "$work/b-1080p60ac3.mkv"
# (c) 4K30 that no iPhone plays: MPEG-4 Visual (ffmpeg's mpeg4).
"$ffmpeg" -v error -y -f lavfi -i "testsrc2=size=3840x2160:rate=30:duration=2,noise=alls=10:allf=t+u" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=2" -ac 2 -c:v mpeg4 -q:v 2 -c:a aac -b:a 192k \
    "$work/c-4k30mpeg4.mp4"
# (d) 1080p50 into Full HD.
"$ffmpeg" -v error -y -f lavfi -i "testsrc2=size=1920x1080:rate=50:duration=4,noise=alls=8:allf=t+u" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=4" -ac 2 -pix_fmt yuv420p -c:v libx264 -preset veryfast \
    -crf 18 -profile:v high -level 4.2 -c:a aac "$work/d-1080p50.mp4"

preset="Apple 2160p60 4K HEVC Surround"
for source in a-phone4k60hlg.mov b-1080p60ac3.mkv; do
    say "$source"
    compare "$source" "$work/$source" --4k "$preset" "$reps"
    notes+=("$source: video $packets; $ratio x HandBrake's wall (at most 0.05: $(awk -v r="$ratio" 'BEGIN { print r <= 0.05 ? "met" : "MISSED" }'))")
done
say "c-4k30mpeg4.mp4"
compare c-4k30mpeg4.mp4 "$work/c-4k30mpeg4.mp4" --4k "$preset" "$encode_reps"
notes+=("$(awk -v r="$ratio" -v z="$size_ratio" -v o="$o_ssim" -v t="$t_ssim" 'BEGIN {
    printf "c-4k30mpeg4.mp4: %.3fx HandBrake'"'"'s wall (at most 0.6: %s), SSIM %+.4f (at least -0.002: %s), %.2fx its size (at most 1.1: %s)",
        r, (r <= 0.6 ? "met" : "MISSED"), o - t, (o - t >= -0.002 ? "met" : "MISSED"), z, (z <= 1.1 ? "met" : "MISSED") }')")
say "d-1080p50.mp4"
compare d-1080p50.mp4 "$work/d-1080p50.mp4" --full-hd "Apple 1080p30 Surround" "$encode_reps"
fps=$("$ffprobe" -v error -select_streams v:0 -show_entries stream=avg_frame_rate -of csv=p=0 "$work/ours/d-1080p50.mp4")
notes+=("d-1080p50.mp4 into Full HD: $fps frames a second (25 wanted: $([ "$fps" = 25/1 ] && echo met || echo MISSED))")

printf '\n%-34s %-9s %9s %8s %8s  %-5s %-8s %4s %-13s %6s\n' source side "wall ms" "size MB" SSIM tag profile level transfer fps
printf '%s\n' "${lines[@]}"
printf '\n(median of %d runs per side for the copies, %d for the encodes, interleaved; SSIM against the source at its\nsize, "-" where the output shows another frame rate)\n' "$reps" "$encode_reps"
printf '%s\n' "${notes[@]}"
