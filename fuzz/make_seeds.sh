#!/usr/bin/env bash
# Writes raw seeds from real output into build-fuzz/seeds-raw/<target>/: probe texts and progress
# reports of the program folder's bridge on small generated videos, the language file, HTTP replies,
# the command lines the program builds, and tmp.avs scripts. Minimise them into the kept corpus with
#   build-fuzz/fuzz/<target> -merge=1 fuzz/corpus/<target> build-fuzz/seeds-raw/<target>
# Usage: fuzz/make_seeds.sh <program folder>   (e.g. build/program)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
program="$(cd "${1:?program folder}" && pwd)"
bridge="$program/ffmpeg.exe"
out="$here/../build-fuzz/seeds-raw"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
rm -rf "$out"
mkdir -p "$out"/{fuzz_language,fuzz_probe_parse,fuzz_progress_report,fuzz_version_reply,fuzz_command_line,fuzz_bridge_arguments,fuzz_avs_reader}

gen() { # name, ffmpeg arguments...
    local name=$1
    shift
    ffmpeg -hide_banner -loglevel error -y "$@" "$work/$name"
}
gen small.mp4 -f lavfi -i testsrc=size=320x240:rate=25:duration=2 -f lavfi -i sine=duration=2 -shortest -c:v libx264 -c:a aac
gen ntsc.mkv -f lavfi -i testsrc2=size=640x360:rate=30000/1001:duration=1 -c:v libx264
gen tiny.avi -f lavfi -i smptebars=size=176x144:rate=15:duration=1 -c:v mpeg4
gen fast.mov -f lavfi -i testsrc=size=1280x720:rate=60:duration=1 -c:v libx264 -preset ultrafast
gen turned.mp4 -f lavfi -i testsrc=size=360x640:rate=30:duration=1 -c:v libx264 -metadata:s:v rotate=90
gen sound.m4a -f lavfi -i sine=duration=1 -c:a aac
gen webm.webm -f lavfi -i testsrc=size=256x144:rate=24:duration=1 -c:v libvpx -b:v 200k

for f in small.mp4 ntsc.mkv tiny.avi fast.mov turned.mp4 sound.m4a webm.webm missing.mp4; do
    "$bridge" -i "$work/$f" >"$out/fuzz_probe_parse/$f.txt" 2>&1 || true
done

# One real encode with the program's command line; its progress reports cut into a few chunks.
"$bridge" -y -i "$work/small.mp4" -f mp4 -vcodec libx264 -crf 21 -subq 4 -level 30 -refs 2 -me hex \
    -partitions +parti4x4+partp4x4+partp8x8+partb8x8 -s 320x240 -bufsize 4M -maxrate 1.5M -g 250 -coder 0 \
    -threads auto -acodec libfaac -ac 2 -ab 128k "$work/out.mp4" >"$work/encode.txt" 2>&1
n=0
tr '\r' '\n' <"$work/encode.txt" | grep -m3 'time=' | while IFS= read -r line; do
    printf '%s\r' "$line" >"$out/fuzz_progress_report/line$((++n)).txt"
done
head -c 2000 "$work/encode.txt" >"$out/fuzz_progress_report/start.txt"
tail -c 1500 "$work/encode.txt" >"$out/fuzz_progress_report/end.txt"

# The language file: its first entries, and the same re-encoded as Windows-1252.
head -c 3000 "$here/../resources/Languages" >"$work/lang"
printf '%s' "$(cat "$work/lang")" >"$out/fuzz_language/head"
iconv -f UTF-8 -t WINDOWS-1252//TRANSLIT "$out/fuzz_language/head" >"$out/fuzz_language/head-1252" || true

reply() { printf -- "$2" >"$out/fuzz_version_reply/$1"; }
reply newer 'HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 38\r\n\r\nCURRENT_VERSION=>0.75<=CURRENT_VERSION'
reply same 'HTTP/1.1 200 OK\r\nServer: nginx\r\nConnection: close\r\n\r\n<html>CURRENT_VERSION=>0.74<=CURRENT_VERSION</html>\n'
reply notfound 'HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n<h1>Not Found</h1>'
reply failed '-1'
reply comma 'HTTP/1.0 200 OK\r\n\r\nCURRENT_VERSION=>0,80<=CURRENT_VERSION'

src="/home/user/Videos/Holiday 2019/beach day.mov"
probe="ffmpeg.exe -i \"$src\""
encode="ffmpeg.exe -y -i \"$src\" -r 30 -f mp4 -vcodec libx264 -crf 21 -subq 4 -level 30 -refs 2 -me hex -partitions +parti4x4+partp4x4+partp8x8+partb8x8 -s 480x270 -bufsize 4M -maxrate 1.5M -g 250 -coder 0 -threads auto -acodec libfaac -ac 2 -ab 128k \"/home/user/iPhoneMovies/beach day.mp4\""
avs="ffmpeg.exe -y -i \"/opt/reelpocket/tmp.avs\" -f mp4 -vcodec libx264 -crf 21 -subq 4 -level 30 -refs 2 -me hex -partitions +parti4x4+partp4x4+partp8x8+partb8x8 -s 320x240 -bufsize 4M -maxrate 1.5M -g 250 -coder 0 -threads auto -acodec libfaac -ac 2 -ab 128k \"/tmp/out.mp4\""
printf '%s' "$probe" >"$out/fuzz_command_line/probe"
printf '%s' "$encode" >"$out/fuzz_command_line/encode"
printf '%s' "$avs" >"$out/fuzz_command_line/avs"
# The bridge sees the same lines as argv, without the program name.
for name in probe encode avs; do
    python3 -c 'import shlex, sys; sys.stdout.write("\0".join(shlex.split(open(sys.argv[1]).read())[1:]))' \
        "$out/fuzz_command_line/$name" >"$out/fuzz_bridge_arguments/$name"
done

script() { # name, program folder, source
    local folder=$2 src=$3
    printf 'DirectShowSource("%s")\r\nLoadPlugin ("%s/VSFilter.dll")\r\nTextSub ("%s.srt")' \
        "$src" "$folder" "${src%.*}" >"$out/fuzz_avs_reader/$1"
}
script plain "$program" "$work/small.mp4"
script blanks "/opt/Reel Pocket" "/home/user/Videos/Holiday 2019/beach day.mov"
printf '1\r\n00:00:00,500 --> 00:00:01,500\r\nHello\r\n' >"$out/fuzz_avs_reader/subtitles.srt"
printf '1\n00:00:00,500 --> 00:00:01,500\nCaf\xe9 cr\xe8me\n' >"$out/fuzz_avs_reader/subtitles-1252.srt"
ls -l "$out"/*
