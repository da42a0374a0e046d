#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building and testing.
set -eu
pkgs="cmake make g++ clang libclang-rt-14-dev googletest g++-mingw-w64-x86-64-posix wine64 wine xvfb xauth xdotool imagemagick x11-utils"
# The Japanese Wine suite: a locale for a system of code page 932 and a font with its glyphs.
pkgs="$pkgs locales fonts-ipafont-gothic"
SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
missing=""
for p in $pkgs; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "installing:$missing"
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q $missing
fi
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
    echo "generating the locale ja_JP.UTF-8"
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
        echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen
fi
