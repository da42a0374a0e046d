#!/usr/bin/env bash
# Installs what is missing, builds, and shows Transmora at work under Wine
# against the simulated host, with ten sample drawings of five earlier
# releases and their drawing list (C:\Drawings\samples.dml in the prefix).
#
# With a display ($DISPLAY) the wizard opens there for you to use. Without one
# the demo goes through the wizard itself on a private Xvfb display: the sample
# list, the default options, Finish; it follows the run to its end, prints
# where the migration log is and its summary, saves a screenshot of each page
# and of the run in build/demo/shots/, and exits 0 only when every sample
# drawing was migrated.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
root=${BUILD_ROOT:-$top/build}
"$top/scripts/setup.sh"
"$top/scripts/build.sh" windows
bin=$root/windows/bin
demo=$root/demo
mkdir -p "$demo"
export WINEPREFIX=$demo/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export KEST_BIN=$bin

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
    template=$root/windows/wine-template
    if [ -f "$template/.ready" ]; then
        # The test run's prefix is made the same way: a copy saves booting Wine.
        rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX" && cp -a "$template/." "$WINEPREFIX/"
    else
        "$top/tests/wine/make-template.sh" "$WINEPREFIX"
    fi
    touch "$WINEPREFIX/.kest-demo"
fi
wine "$root/windows/tests/DemoTour.exe" --prepare

if [ $headless = 1 ]; then
    # Window frames drawn by Wine itself, as the display has no window manager.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    rm -rf "$demo/shots"
    status=0
    wine "$root/windows/tests/DemoTour.exe" --run "$demo/shots" || status=$?
    exit $status
else
    # Your window manager frames the windows again.
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Decorated /f >/dev/null 2>&1 || true
    # The log's default name has no folder: it lands beside the samples.
    cd "$WINEPREFIX/drive_c/Drawings"
    echo "load C:\Drawings\samples.dml on the Files page; the migration log will be C:\Drawings\DrxlMMigr.log"
    wine "$bin/Transmora.exe"
fi
