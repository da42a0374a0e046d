#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building and testing.
set -eu
pkgs="cmake make g++ clang libclang-rt-14-dev googletest g++-mingw-w64-x86-64-posix wine64 wine xvfb xauth xdotool imagemagick x11-utils"
missing=""
for p in $pkgs; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "installing:$missing"
    SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q $missing
fi
