#!/usr/bin/env bash
# Installs what is missing, builds, and starts Transmora under Wine against the
# simulated host. With a display ($DISPLAY) the wizard opens there for you to use;
# without one it runs on a private Xvfb display and a screenshot is saved to
# build/demo/screen.png after a few seconds.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
root=${BUILD_ROOT:-$top/build}
"$top/scripts/setup.sh"
"$top/scripts/build.sh" windows
bin=$root/windows/bin
demo=$root/demo
mkdir -p "$demo"
export WINEPREFIX=$demo/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

headless=0
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    exec 8< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null & echo "pid $!"; wait)
    read -r _ xpid <&8
    read -r disp <&8
    export DISPLAY=:$disp
    trap 'wineserver -k 2>/dev/null; kill $xpid 2>/dev/null' EXIT
fi

if [ ! -f "$WINEPREFIX/.kest-demo" ]; then
    echo "preparing the demo Wine prefix (once)..."
    "$top/tests/wine/make-template.sh" "$WINEPREFIX"
    touch "$WINEPREFIX/.kest-demo"
fi
# The simulated host and a few sample drawings in C:\Draxil and C:\Drawings.
wine "$bin/HostSetup.exe" 'C:\Draxil' >/dev/null
drawings="$WINEPREFIX/drive_c/Drawings"
if [ ! -d "$drawings" ]; then
    mkdir -p "$drawings/Gearbox" "$drawings/Housing parts"
    i=0
    for r in DX1015 DX1018 DX1021 DX1024 DX1027; do
        i=$((i + 1))
        wine "$bin/MakeDrawing.exe" --magic $r --maint $((i * 9)) --thumb "160x120x8,rle,seed=$i" \
            "C:\\Drawings\\Gearbox\\shaft-$i.dwg" >/dev/null 2>&1 || true
        wine "$bin/MakeDrawing.exe" --magic $r --maint $((i * 11)) --thumb "160x120x24,seed=$((i + 10))" \
            "C:\\Drawings\\Housing parts\\cover-$i.dwg" >/dev/null 2>&1 || true
    done
fi

if [ $headless = 1 ]; then
    wine "$bin/Transmora.exe" &
    sleep 8
    import -window root "$demo/screen.png" && echo "screenshot: $demo/screen.png"
else
    wine "$bin/Transmora.exe"
fi
