#!/usr/bin/env bash
# make-template.sh DIR [BASE]: builds the Wine prefix that every suite of a test run copies.
# With BASE, DIR becomes a copy of the template BASE (built first when missing) whose
# system runs in the caller's locale (LANG, e.g. ja_JP.UTF-8), with the dialog fonts
# of that language taken from the Debian font packages.
set -eu
dir=$1
base=${2:-}
export WINEPREFIX=$dir WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
exec 9>"$dir.lock"
flock 9
if [ -f "$dir/.ready" ]; then exit 0; fi
rm -rf "$dir"
if [ -n "$base" ]; then
    "$0" "$base"
    cp -a "$base/." "$dir/"
    rm -f "$dir/.ready"
    # Japanese faces that Wine lacks; without them the dialogs of a Japanese system show no glyphs.
    fonts='HKCU\Software\Wine\Fonts\Replacements'
    for face in "MS UI Gothic" "MS PGothic"; do
        wine reg add "$fonts" /v "$face" /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
    done
    wine reg add "$fonts" /v "MS Gothic" /t REG_SZ /d IPAGothic /f >/dev/null 2>&1
    wineserver -w
    touch "$dir/.ready"
    exit 0
fi
mkdir -p "$dir"
wine wineboot -i >/dev/null 2>&1 || true
# Wine looks for fonts in the prefix's Fonts folder and the system's, not in its own data folder,
# where its Marlett lies: without it every caption button shows a letter ("0", "1", "r").
for fonts in /usr/share/wine/fonts /usr/local/share/wine/fonts /opt/wine*/share/wine/fonts; do
    if [ -f "$fonts/marlett.ttf" ]; then cp "$fonts/marlett.ttf" "$dir/drive_c/windows/Fonts/"; break; fi
done
# No crash dialog: a crashing host must simply end, as it does on a server.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1 || true
wineserver -w
touch "$dir/.ready"
