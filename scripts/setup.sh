#!/bin/sh
# Installs every Debian 12 package that building, running and testing the workbench need.
# Idempotent: packages already present are skipped without touching the network.
set -e
PACKAGES="build-essential cmake pkg-config git
 qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-l10n-tools qt6-translations-l10n
 libqscintilla2-qt6-dev
 libmozjs-102-dev libicu-dev
 libgumbo-dev
 libcurl4-openssl-dev libcpp-httplib-dev zlib1g-dev libssl-dev
 libxcb1-dev libxcb-keysyms1-dev libx11-xcb-dev libxkbcommon-dev
 libgl-dev
 libegl-dev libgles-dev libegl-mesa0 libgl1-mesa-dri
 fonts-wqy-microhei fonts-wqy-zenhei
 xvfb xauth x11-apps xdotool imagemagick openbox
 libjs-jquery libjs-underscore libjs-d3 libjs-moment
 googletest libgtest-dev libgmock-dev libbenchmark-dev
 clang libclang-rt-14-dev
 locales"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
if [ -z "$missing" ]; then
    exit 0
fi
SUDO=""
if [ "$(id -u)" != "0" ]; then SUDO="sudo"; fi
echo "setup: installing$missing"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
