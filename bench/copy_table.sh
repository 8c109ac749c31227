#!/usr/bin/env bash
# The copy rows: clips that already play on iPhone, through the command-line program, against encoding the
# same file and against ffmpeg's bare stream copy; the output's video packets against the source's. Needs a
# finished build (program folder) and the system's ffmpeg.
#
#     bash bench/copy_table.sh [BUILD_FOLDER]     # default: build; REPS=5 runs per side for the copies,
#                                                 # ENCODE_REPS=1 for the minute of 1080p encoded
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
program="$build/program"
reps=${REPS:-5}
encode_reps=${ENCODE_REPS:-1}
ffmpeg=$(command -v ffmpeg)
for file in "$program/reelpocket" "$program/ffmpeg.exe"; do
    [ -x "$file" ] || { echo "copy_table.sh: $file is missing; build first" >&2; exit 1; }
done

work=$(mktemp -d /tmp/reelpocket-copy-XXXXXX)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/table_common.sh"
row()
{
    rows+=("$(awk -v m="$1" -v a="$2" -v b="$3" -v u="$4" -v r="$5" \
        'BEGIN { printf "%-40s %10.1f %-3s %10.1f %-3s %7.3f  %s", m, a, u, b, u, (b > 0 ? a / b : 0), r }')")
}
packet_sums() { "$ffmpeg" -v error -i "$1" -map 0:v:0 -c copy -f framemd5 - | grep -v '^#' | awk -F, '{ print $NF }'; }

# A program folder whose encoder is asked, on top of the program's line, for the null filter: a filter of
# the user's own is never copied through, so this is the encode the program made before it copied.
forced="$work/forced"
mkdir -p "$forced"
cp "$program/reelpocket" "$program/Languages" "$forced/"
cat >"$forced/ffmpeg.exe" <<SCRIPT
#!/usr/bin/env bash
if [ "\$1" = -y ]; then set -- "\${@:1:\$#-1}" -vf null "\${@: -1}"; fi
exec "$program/ffmpeg.exe" "\$@"
SCRIPT
chmod +x "$forced/ffmpeg.exe"

# The program on one file into a fresh folder, settings of its own.
convert()
{
    local folder=$1 output=$2
    shift 2
    rm -rf "$output" && mkdir -p "$output"
    XDG_CONFIG_HOME="$work/config" "$folder/reelpocket" --convert --yes --quiet --to "$output" "$@"
}

# What the program's line for the file says it did: "Copied" or "Converted".
said()
{
    local folder=$1
    shift
    mkdir -p "$work/said"
    XDG_CONFIG_HOME="$work/config" "$folder/reelpocket" --convert --yes --to "$work/said" "$@" 2>/dev/null \
        | sed -n 's/^\(Copied\|Converted\).*/\1/p'
}

say "making the sources in $work"
# A minute of a phone's 1080p30: grain and motion, H.264 High at level 4.0 within 16 Mbit/s, AAC stereo.
"$ffmpeg" -v error -y -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=60,noise=alls=12:allf=t+u" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=60" -ac 2 -pix_fmt yuv420p -c:v libx264 \
    -preset veryfast -crf 20 -maxrate 16M -bufsize 20M -profile:v high -level 4.0 -c:a aac -b:a 192k \
    "$work/g1080p30.mp4"
# A camera's 720p30 in Main at level 3.1.
"$ffmpeg" -v error -y -f lavfi -i "testsrc2=size=1280x720:rate=30:duration=20,noise=alls=8:allf=t+u" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=20" -ac 2 -pix_fmt yuv420p -c:v libx264 \
    -preset veryfast -crf 20 -maxrate 8M -bufsize 10M -profile:v main -level 3.1 -c:a aac -b:a 128k \
    "$work/m720p30.mp4"

for name in g1080p30 m720p30; do
    src="$work/$name.mp4"
    say "$name: copies"
    : >"$work/c.ours" >"$work/c.bare"
    for ((i = 0; i < reps; i++)); do
        time_ms convert "$program" "$work/out" --full-hd "$src" >>"$work/c.ours"
        time_ms "$ffmpeg" -v error -y -i "$src" -c copy -movflags +faststart "$work/bare.mp4" >>"$work/c.bare"
    done
    same=$([ "$(packet_sums "$work/out/$name.mp4")" = "$(packet_sums "$src")" ] && echo identical || echo DIFFERENT)
    copied=$(said "$program" --full-hd "$src")
    ours=$(median <"$work/c.ours") bare=$(median <"$work/c.bare")
    row "$name, Full HD: wall" "$ours" "$bare" ms "ffmpeg -c copy -movflags +faststart"

    say "$name: encodes"
    : >"$work/c.encode"
    for ((i = 0; i < encode_reps; i++)); do
        time_ms convert "$forced" "$work/enc" --full-hd "$src" >>"$work/c.encode"
    done
    encode=$(median <"$work/c.encode")
    say "  copy $ours ms, bare copy $bare ms, encode $encode ms"
    row "$name, Full HD: wall" "$ours" "$encode" ms "the same file encoded (Full HD line)"
    : >"$work/c.classic"
    for ((i = 0; i < encode_reps; i++)); do
        time_ms convert "$program" "$work/enc" --no-full-hd "$src" >>"$work/c.classic"
    done
    row "$name, classic: wall ($(said "$program" --no-full-hd "$src"))" "$(median <"$work/c.classic")" "$encode" ms \
        "the same file encoded (Full HD line)"
    notes+=("$(awk -v n="$name" -v o="$ours" -v e="$encode" -v b="$bare" -v s="$same" -v c="$copied" 'BEGIN {
        printf "%s: said %s; video packets %s; %.4fx the encode (at most 0.05: %s), %.2fx the bare copy (at most 1.5: %s)",
            n, c, s, o / e, (o <= 0.05 * e ? "met" : "MISSED"), o / b, (o <= 1.5 * b ? "met" : "MISSED") }')")
done

printf '\n%-40s %14s %14s %7s  %s\n' measurement ours reference ratio "reference is"
printf '%s\n' "${rows[@]}"
printf '\n(median of %d runs per side for the copies, %d for the encodes, interleaved)\n' "$reps" "$encode_reps"
printf '%s\n' "${notes[@]}"
