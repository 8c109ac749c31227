#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR under /usr, checks the desktop files and the icon theme
# a desktop finds there, and starts the installed program through bin/reelpocket.
# Arguments: cmake, build folder, application id.
cmake=$1 build=$2 appid=$3
. "$(dirname "$0")/common.sh"

root="$work/root"
DESTDIR="$root" "$cmake" --install "$build" --prefix /usr >"$work/install.txt" || fail "cmake --install failed"
usr="$root/usr"

# The program folder stays together, and the link on the PATH leads into it.
for name in reelpocket ffmpeg.exe modules/reelpocket-probe.so modules/reelpocket-network.so Languages VSFilter.dll; do
    [ -f "$usr/lib/reelpocket/$name" ] || fail "lib/reelpocket/$name is not installed"
done
[ -x "$usr/lib/reelpocket/ffmpeg.exe" ] || fail "the encoder bridge is not executable"
[ -L "$usr/bin/reelpocket" ] || fail "bin/reelpocket is not a link"
[ "$(readlink "$usr/bin/reelpocket")" = ../lib/reelpocket/reelpocket ] \
    || fail "bin/reelpocket points to $(readlink "$usr/bin/reelpocket"), not into the program folder"

# Menu entry and AppStream file: valid, named after the application id, and pointing at each other.
desktop="$usr/share/applications/$appid.desktop"
metainfo="$usr/share/metainfo/$appid.metainfo.xml"
[ -f "$desktop" ] || fail "no desktop entry $appid.desktop"
[ -f "$metainfo" ] || fail "no AppStream file $appid.metainfo.xml"
complaints=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $complaints"
[ -z "$complaints" ] || fail "desktop-file-validate: $complaints"
# The tree check also finds the desktop entry the AppStream file launches.
appstreamcli validate-tree --no-net "$root" >"$work/appstream.txt" 2>&1 \
    || fail "appstreamcli validate-tree: $(cat "$work/appstream.txt")"
grep -qx "Exec=reelpocket %F" "$desktop" || fail "the menu entry does not start reelpocket with its files"

# Every icon size the theme lists is there, at the size its folder claims.
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ "$icon" = "$appid" ] || fail "the menu entry's icon is '$icon', not the application id"
for size in 16 32 48 64 128 256; do
    png="$usr/share/icons/hicolor/${size}x${size}/apps/$icon.png"
    [ -f "$png" ] || fail "no ${size}x${size} icon"
    file "$png" | grep -q "PNG image data, $size x $size," || fail "$(file "$png")"
done
svg="$usr/share/icons/hicolor/scalable/apps/$icon.svg"
file "$svg" | grep -q "SVG" || fail "no scalable icon: $(file "$svg" 2>&1)"

# The licence text goes with the documentation.
cmp -s "$usr/share/doc/reelpocket/LICENSE" /usr/share/common-licenses/GPL-3 \
    || fail "share/doc/reelpocket/LICENSE is not the GPL version 3"
grep -q "^License: GPL-3+" "$usr/share/doc/reelpocket/copyright" || fail "the copyright file names no GPL-3+"

expect_window "$usr/bin/reelpocket"

# Without its language file the program cannot start, and the window check must see that.
rm "$usr/lib/reelpocket/Languages"
if (expect_window "$usr/bin/reelpocket") 2>/dev/null; then
    fail "the window check passed for a program folder without Languages"
fi
expect_start_failure "$usr/bin/reelpocket"
echo "installed program: window came up; without Languages start-up fails"
