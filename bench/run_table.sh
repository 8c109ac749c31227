#!/usr/bin/env bash
# One benchmark table, measured in one run: every row runs ours and its reference in turn (A, B, A, B,
# ...) and reports the medians. Needs a finished build (program folder, bench/bare_widgets,
# bench/batch_driver) and the system's ffmpeg and ffprobe.
#
#     bash bench/run_table.sh [BUILD_FOLDER]      # default: build; REPS=5 repetitions per side
#                                                 # (FULLHD_REPS=3 for the Full HD rows);
#                                                 # ROWS=probe stops after the probe rows
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
program="$build/program"
reps=${REPS:-5}
fhd_reps=${FULLHD_REPS:-3}
probe_reps=$((reps * 3))
ffmpeg=$(command -v ffmpeg)
ffprobe=$(command -v ffprobe)
for file in "$program/reelpocket" "$program/ffmpeg.exe" "$build/bench/bare_widgets" "$build/bench/batch_driver" \
    "$build/bench/output_line"; do
    [ -x "$file" ] || { echo "run_table.sh: $file is missing; build first" >&2; exit 1; }
done

work=$(mktemp -d /tmp/reelpocket-table-XXXXXX)
cleanup()
{
    jobs -p | xargs -r kill 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/table_common.sh"
# A row of the table: measurement, ours, reference, unit, the reference's name, and the decimals (1).
row()
{
    rows+=("$(awk -v m="$1" -v a="$2" -v b="$3" -v u="$4" -v r="$5" -v d="${6:-1}" \
        'BEGIN { printf "%-44s %10.*f %-3s %10.*f %-3s %6.2f  %s", m, d, a, u, d, b, u, (b > 0 ? a / b : 0), r }')")
}
print_table()
{
    printf '\n%-44s %14s %14s %6s  %s\n' measurement ours reference ratio "reference is"
    printf '%s\n' "${rows[@]}"
}
# Runs a command quietly and prints its wall time in milliseconds; a failure ends the table. A probe
# ends with status 1 (it was given no output), as ffmpeg -i does: PROBE=1 accepts that.
time_ms()
{
    local start end status=0
    start=$(now_us)
    "$@" </dev/null >/dev/null 2>&1 || status=$?
    end=$(now_us)
    [ "$status" -le "${PROBE:-0}" ] || { say "failed ($status): $*"; return 1; }
    awk -v d=$((end - start)) 'BEGIN { printf "%.3f\n", d / 1000 }'
}

# --- sources: short clips of the three kinds, a minute of small video, and a damaged transport stream
say "making the sources in $work"
make_source()
{
    local out=$1 size=$2 rate=$3 seconds=$4
    shift 4
    "$ffmpeg" -v error -y -f lavfi -i "testsrc2=size=$size:rate=$rate:duration=$seconds" \
        -f lavfi -i "sine=frequency=440:duration=$seconds" -pix_fmt yuv420p -c:v libx264 -preset ultrafast \
        -c:a aac "$@" "$out"
}
make_source "$work/a720p30.mp4" 1280x720 30 4
make_source "$work/b540p25.mkv" 960x540 25 4
make_source "$work/c1080p60.mp4" 1920x1080 60 2
make_source "$work/d720p30.mp4" 1280x720 30 3
make_source "$work/e540p25.mkv" 960x540 25 3
make_source "$work/long.mp4" 320x240 25 60
make_source "$work/clean.ts" 320x240 25 20 -f mpegts
cp "$work/clean.ts" "$work/damaged.ts"
# Random bytes over every 25th transport packet past the first second: a flood of decoder warnings.
size=$(stat -c %s "$work/damaged.ts")
for ((packet = 400; packet * 188 < size; packet += 25)); do
    dd if=/dev/urandom of="$work/damaged.ts" bs=188 seek=$packet count=1 conv=notrunc status=none
done

# --- probe: the bridge against ffmpeg -i and ffprobe
for source in a720p30.mp4 b540p25.mkv c1080p60.mp4; do
    say "probe $source"
    : >"$work/p.ours" >"$work/p.ffmpeg" >"$work/p.ffprobe"
    for ((i = 0; i < probe_reps; i++)); do
        (cd "$program" && PROBE=1 time_ms ./ffmpeg.exe -i "$work/$source") >>"$work/p.ours"
        PROBE=1 time_ms "$ffmpeg" -i "$work/$source" >>"$work/p.ffmpeg"
        time_ms "$ffprobe" "$work/$source" >>"$work/p.ffprobe"
    done
    ours=$(median <"$work/p.ours")
    row "probe $source (vs ffmpeg -i)" "$ours" "$(median <"$work/p.ffmpeg")" ms "ffmpeg -i"
    row "probe $source (vs ffprobe)" "$ours" "$(median <"$work/p.ffprobe")" ms "ffprobe"
done
if [ "${ROWS:-all}" = probe ]; then
    print_table
    printf '\n(median of %d runs per side, interleaved)\n' "$probe_reps"
    exit 0
fi

# --- the five-source batch through the real window, and the command lines it ran in a shell loop
say "batch of five sources"
sources=("$work/a720p30.mp4" "$work/b540p25.mkv" "$work/c1080p60.mp4" "$work/d720p30.mp4" "$work/e540p25.mkv")
out="$work/out/"
: >"$work/b.ours" >"$work/b.loop"
for ((i = 0; i < reps; i++)); do
    rm -rf "$out" && mkdir -p "$out"
    QT_QPA_PLATFORM=offscreen HOME="$work/home" XDG_CONFIG_HOME="$work/home" \
        "$build/bench/batch_driver" "$out" "${sources[@]}" >"$work/batch.txt" 2>"$work/batch.err" \
        || { cat "$work/batch.err" >&2; exit 1; }
    sed -n 's/^batch_ms //p' "$work/batch.txt" >>"$work/b.ours"
    grep '^ffmpeg.exe ' "$work/batch.txt" >"$work/commands.txt"
    rm -rf "$out" && mkdir -p "$out"
    start=$(now_us)
    # The probes end with status 1, the encodes with 0; the runner starts them from the program folder.
    (cd "$program" && while IFS= read -r line; do eval "./$line" </dev/null >/dev/null 2>&1 || true; done \
        <"$work/commands.txt")
    end=$(now_us)
    [ "$(find "$out" -name '*.mp4' | wc -l)" = 5 ] || { say "the shell loop made no five outputs"; exit 1; }
    awk -v d=$((end - start)) 'BEGIN { printf "%.3f\n", d / 1000 }' >>"$work/b.loop"
done
row "batch of 5 through the window (offscreen)" "$(median <"$work/b.ours")" "$(median <"$work/b.loop")" ms \
    "its command lines in a shell loop"

# --- encode: the batch's command line for the 720p30 source against what the bridge hands to ffmpeg
say "encode"
encode_line=$(grep -F -- "-i \"$work/a720p30.mp4\"" "$work/commands.txt" | grep -- ' -y ')
# A logging ffmpeg first on the PATH shows the translated command once.
mkdir -p "$work/shim"
cat >"$work/shim/ffmpeg" <<SHIM
#!/usr/bin/env bash
printf '%s\0' "\$@" >"$work/translated.args"
exec "$ffmpeg" "\$@"
SHIM
chmod +x "$work/shim/ffmpeg"
(cd "$program" && PATH="$work/shim:$PATH" eval "./$encode_line" </dev/null >/dev/null 2>&1)
mapfile -d '' translated <"$work/translated.args"
: >"$work/e.ours" >"$work/e.ffmpeg"
for ((i = 0; i < reps; i++)); do
    (cd "$program" && time_ms eval "./$encode_line") >>"$work/e.ours"
    # The bridge reads ffmpeg's progress from descriptor 3; here nobody does.
    time_ms "$ffmpeg" "${translated[@]}" 3>/dev/null >>"$work/e.ffmpeg"
done
row "encode a720p30.mp4 through the bridge" "$(median <"$work/e.ours")" "$(median <"$work/e.ffmpeg")" ms \
    "the translated ffmpeg command"

# --- start-up and idle memory against a bare Qt widgets program
say "start-up and idle memory"
# The time from starting the program to its first painted window; QPA names the window system.
startup_ms()
{
    local start shown
    start=$(now_us)
    shown=$(env QT_QPA_PLATFORM="$QPA" HOME="$work/home" XDG_CONFIG_HOME="$work/home" \
        REELPOCKET_BENCH_QUIT_AFTER_SHOW=1 "$@" 2>/dev/null | sed -n 's/^shown //p')
    [ -n "$shown" ] || { say "no window from $1"; return 1; }
    awk -v d=$((shown - start)) 'BEGIN { printf "%.3f\n", d / 1000 }'
}
# Resident and proportional set size in kB once the program has been idle for a while.
idle_memory()
{
    env QT_QPA_PLATFORM=offscreen HOME="$work/home" XDG_CONFIG_HOME="$work/home" REELPOCKET_BENCH_IDLE=1 \
        "$@" >/dev/null 2>&1 &
    local pid=$! rss pss
    sleep 3
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
    pss=$(awk '/^Pss:/ { print $2 }' "/proc/$pid/smaps_rollup")
    kill -TERM "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$rss $pss"
}
# The bare program shows an empty window; with REELPOCKET_BENCH_LABEL set it shows one line of text,
# which costs the font set-up any window with text pays.
: >"$work/s.ours" >"$work/s.bare" >"$work/s.label" >"$work/m.ours" >"$work/m.bare" >"$work/m.label"
for ((i = 0; i < reps; i++)); do
    QPA=offscreen startup_ms "$program/reelpocket" >>"$work/s.ours"
    QPA=offscreen startup_ms "$build/bench/bare_widgets" >>"$work/s.bare"
    QPA=offscreen REELPOCKET_BENCH_LABEL=1 startup_ms "$build/bench/bare_widgets" >>"$work/s.label"
done
# The same under a real X server, when Xvfb is there.
if command -v Xvfb >/dev/null; then
    display=:$((100 + RANDOM % 800))
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    sleep 1
    : >"$work/x.ours" >"$work/x.bare"
    for ((i = 0; i < reps; i++)); do
        DISPLAY=$display QPA=xcb startup_ms "$program/reelpocket" >>"$work/x.ours"
        DISPLAY=$display QPA=xcb startup_ms "$build/bench/bare_widgets" >>"$work/x.bare"
    done
    kill "$xvfb"
    wait "$xvfb" 2>/dev/null || true
fi
for ((i = 0; i < reps; i++)); do
    idle_memory "$program/reelpocket" >>"$work/m.ours"
    idle_memory "$build/bench/bare_widgets" >>"$work/m.bare"
    REELPOCKET_BENCH_LABEL=1 idle_memory "$build/bench/bare_widgets" >>"$work/m.label"
done
row "start to window painted (offscreen)" "$(median <"$work/s.ours")" "$(median <"$work/s.bare")" ms \
    "bare Qt widgets program"
row "start to window painted (offscreen)" "$(median <"$work/s.ours")" "$(median <"$work/s.label")" ms \
    "bare program with one label"
if [ -s "$work/x.ours" ]; then
    row "start to window painted (Xvfb)" "$(median <"$work/x.ours")" "$(median <"$work/x.bare")" ms \
        "bare Qt widgets program"
fi
mb() { awk -v c="$1" '{ print $c / 1024 }' "$2" | median; }
row "idle memory, VmRSS" "$(mb 1 "$work/m.ours")" "$(mb 1 "$work/m.bare")" MB "bare Qt widgets program"
row "idle memory, VmRSS" "$(mb 1 "$work/m.ours")" "$(mb 1 "$work/m.label")" MB "bare program with one label"
row "idle memory, Pss" "$(mb 2 "$work/m.ours")" "$(mb 2 "$work/m.bare")" MB "bare Qt widgets program"

# --- the bridge's own peak memory (VmHWM, not its ffmpeg's) on a long encode and a warning flood
say "bridge memory"
bridge_peak_kb()
{
    local source=$1 result="$work/hwm.mp4"
    local line=${encode_line/"$work/a720p30.mp4"/"$source"}
    line=${line%\"*\"}\"$result\"
    (cd "$program" && eval "exec ./$line" </dev/null >/dev/null 2>&1) &
    local pid=$! peak=0 key value
    while [ -r "/proc/$pid/status" ]; do
        while read -r key value _; do
            [ "$key" = VmHWM: ] && peak=$value
        done <"/proc/$pid/status" 2>/dev/null || true
        sleep 0.02
    done
    wait "$pid" 2>/dev/null || true
    echo "$peak"
}
: >"$work/h.short" >"$work/h.long" >"$work/h.flood"
for ((i = 0; i < reps; i++)); do
    bridge_peak_kb "$work/d720p30.mp4" >>"$work/h.short"
    bridge_peak_kb "$work/long.mp4" >>"$work/h.long"
    bridge_peak_kb "$work/damaged.ts" >>"$work/h.flood"
done
short=$(awk '{ print $1 / 1024 }' "$work/h.short" | median)
row "bridge peak RSS, 60 s encode" "$(awk '{ print $1 / 1024 }' "$work/h.long" | median)" "$short" MB \
    "the bridge on a 3 s encode"
row "bridge peak RSS, damaged MPEG-TS (warnings)" "$(awk '{ print $1 / 1024 }' "$work/h.flood" | median)" "$short" MB \
    "the bridge on a 3 s encode"
warnings=$("$ffmpeg" -v warning -i "$work/damaged.ts" -f null - 2>&1 | wc -l)

# --- Full HD: the program's Full HD line through the bridge against x264's medium preset at CRF 22 at the
# same size (what general-purpose converters use for 1080p30), and decoding and scaling alone. The sources
# have fine grain and motion, stored near-losslessly, with stereo sound.
say "Full HD"
"$ffmpeg" -v error -y -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=8,noise=alls=12:allf=t+u" \
    -f lavfi -i "sine=frequency=440:duration=8" -ac 2 -pix_fmt yuv420p -c:v libx264 -preset veryfast -crf 10 \
    -c:a aac -b:a 192k "$work/g1080p30.mp4"
"$ffmpeg" -v error -y -f lavfi -i "testsrc2=size=3840x2160:rate=30:duration=4,noise=alls=12:allf=t+u" \
    -f lavfi -i "sine=frequency=440:duration=4" -ac 2 -pix_fmt yuv420p -c:v libx264 -preset veryfast -crf 10 \
    -c:a aac -b:a 192k "$work/g2160p30.mp4"
# SSIM of a picture against the source scaled to its size.
ssim()
{
    "$ffmpeg" -i "$1" -i "$2" -lavfi "[1:v]scale=$3:$4[source];[0:v][source]ssim" -f null - 2>&1 \
        | sed -n 's/.*All:\([0-9.]*\).*/\1/p'
}
for source in g1080p30.mp4:1920:1080 g2160p30.mp4:3840:2160; do
    IFS=: read -r name width height <<<"$source"
    src="$work/$name"
    line=$("$build/bench/output_line" fullhd "$src" "$width" "$height" 30 "$work/fhd-ours.mp4")
    size=$(sed -n 's/.* -s \([0-9]*x[0-9]*\) .*/\1/p' <<<"$line")
    w=${size%x*} h=${size#*x}
    say "Full HD $name at $size"
    : >"$work/f.ours" >"$work/f.ref" >"$work/f.floor"
    for ((i = 0; i < fhd_reps; i++)); do
        (cd "$program" && time_ms eval "./$line") >>"$work/f.ours"
        time_ms "$ffmpeg" -y -i "$src" -c:v libx264 -preset medium -crf 22 -profile:v high -level 4.1 \
            -pix_fmt yuv420p -vf "scale=$w:$h" -c:a aac -b:a 160k "$work/fhd-ref.mp4" >>"$work/f.ref"
        time_ms "$ffmpeg" -i "$src" -vf "scale=$w:$h" -f null - >>"$work/f.floor"
    done
    ours=$(median <"$work/f.ours") ref=$(median <"$work/f.ref") floor=$(median <"$work/f.floor")
    ours_mb=$(stat -c %s "$work/fhd-ours.mp4" | awk '{ print $1 / 1048576 }')
    ref_mb=$(stat -c %s "$work/fhd-ref.mp4" | awk '{ print $1 / 1048576 }')
    ours_ssim=$(ssim "$work/fhd-ours.mp4" "$src" "$w" "$h")
    ref_ssim=$(ssim "$work/fhd-ref.mp4" "$src" "$w" "$h")
    row "Full HD $name: wall time" "$ours" "$ref" ms "x264 medium, CRF 22"
    row "Full HD $name: wall time" "$ours" "$floor" ms "decoding and scaling alone"
    row "Full HD $name: size" "$ours_mb" "$ref_mb" MB "x264 medium, CRF 22" 2
    row "Full HD $name: SSIM against the scaled source" "$ours_ssim" "$ref_ssim" "" "x264 medium, CRF 22" 4
    notes+=("$(awk -v n="$name" -v o="$ours" -v r="$ref" -v f="$floor" -v os="$ours_ssim" -v rs="$ref_ssim" \
        -v om="$ours_mb" -v rm="$ref_mb" 'BEGIN {
            limit = (0.6 * r > 1.3 * f ? 0.6 * r : 1.3 * f)
            printf "Full HD %s goals: SSIM %+.4f against the reference (at least -0.002: %s), size %.2fx (at most 1.1: %s), wall %.0f ms (at most %.0f ms, max(0.6x reference, 1.3x floor): %s)",
                n, os - rs, (os - rs >= -0.002 ? "met" : "MISSED"), om / rm, (om <= 1.1 * rm ? "met" : "MISSED"),
                o, limit, (o <= limit ? "met" : "MISSED") }')")
done

print_table
printf '\n(median of %d runs per side, %d for probes and %d for Full HD, interleaved; the damaged stream makes ffmpeg print %d warning lines)\n' \
    "$reps" "$probe_reps" "$fhd_reps" "$warnings"
printf '%s\n' "${notes[@]}"
