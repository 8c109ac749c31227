#!/usr/bin/env bash
# Builds the Debian package from the finished build folder and checks its files, its control fields
# and that the program it unpacks starts.
# Arguments: cmake, build folder, application id.
cmake=$1 build=$2 appid=$3
. "$(dirname "$0")/common.sh"

cpack=$(dirname "$cmake")/cpack
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.txt" 2>&1 \
    || fail "cpack failed: $(cat "$work/cpack.txt")"
debs=("$work"/package/reelpocket_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single reelpocket package"
deb=${debs[0]}

dpkg-deb -c "$deb" >"$work/files.txt"
expect_file()
{
    grep -qE " \./usr/$1( |\$)" "$work/files.txt" || fail "the package lacks /usr/$1"
}
for name in reelpocket ffmpeg.exe modules/reelpocket-probe.so modules/reelpocket-network.so Languages VSFilter.dll; do
    expect_file "lib/reelpocket/$name"
done
expect_file "bin/reelpocket -> \.\./lib/reelpocket/reelpocket"
expect_file "share/applications/$appid\.desktop"
expect_file "share/metainfo/$appid\.metainfo\.xml"
expect_file "share/icons/hicolor/scalable/apps/$appid\.svg"
expect_file "share/icons/hicolor/48x48/apps/$appid\.png"
expect_file "share/doc/reelpocket/copyright"
expect_file "share/doc/reelpocket/LICENSE"
expect_file "share/man/man1/reelpocket\.1\.gz"

# The dependencies: ffmpeg runs the encoding; the Qt 6 and FFmpeg libraries are what the binaries link.
depends=$(dpkg-deb -f "$deb" Depends)
for package in ffmpeg libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libavformat libavcodec libavutil; do
    echo ", $depends," | grep -qE "[ ,]$package[0-9a-z.+-]*( \(|,)" || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = video ] || fail "Section is $(dpkg-deb -f "$deb" Section)"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer"
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -gt 2 ] || fail "no long description"

# Debian's own package check: no errors and no warnings.
lintian --fail-on error,warning "$deb" >"$work/lintian.txt" 2>&1 || fail "lintian: $(cat "$work/lintian.txt")"

# What the package unpacks is stripped and runs.
dpkg-deb -x "$deb" "$work/root"
for name in reelpocket ffmpeg.exe; do
    file "$work/root/usr/lib/reelpocket/$name" | grep -q ", stripped" || fail "$name is not stripped"
done
expect_window "$work/root/usr/bin/reelpocket"
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes; Depends: $depends"
