#!/usr/bin/env bash
# Installs what building, running and testing Reelpocket needs on Debian 12.
set -euo pipefail
packages=(cmake g++ pkg-config qt6-base-dev ffmpeg libavformat-dev libavcodec-dev libavutil-dev
          libgtest-dev libbenchmark-dev
          # the formatting check of the test command (pinned: other releases format differently)
          clang-format-14
          # the icon's rendering, the Debian package, and the checks of both
          librsvg2-bin dpkg-dev file desktop-file-utils appstream lintian
          # Qt's own texts in the chosen language; a private session bus for the notification tests
          qt6-translations-l10n dbus-daemon
          # logind played on a private system bus for the sleep lock and power tests
          python3-dbusmock
          # a second reader of the dates and places the outputs keep
          libimage-exiftool-perl)
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
