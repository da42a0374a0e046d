#!/usr/bin/env bash
# make-template.sh DIR: builds the Wine prefix that every suite of a test run copies.
set -eu
dir=$1
export WINEPREFIX=$dir WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
exec 9>"$dir.lock"
flock 9
if [ -f "$dir/.ready" ]; then exit 0; fi
rm -rf "$dir"
mkdir -p "$dir"
wine wineboot -i >/dev/null 2>&1 || true
# No crash dialog: a crashing host must simply end, as it does on a server.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1 || true
# Japanese dialog fonts that Wine lacks, taken from the Debian font package on a Japanese system.
for face in "MS UI Gothic" "MS PGothic"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
done
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "MS Gothic" /t REG_SZ /d IPAGothic /f >/dev/null 2>&1
wineserver -w
touch "$dir/.ready"
