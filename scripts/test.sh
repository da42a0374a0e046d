#!/usr/bin/env bash
# Installs what is missing, builds both configurations and runs every test, then
# the demo without a display (not when ctest arguments narrow the run).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
root=${BUILD_ROOT:-$top/build}
"$top/scripts/setup.sh"
"$top/scripts/build.sh" all
status=0
echo "== native tests"
(cd "$root/native" && ctest --output-on-failure -j 2 "$@") || status=1
echo "== Windows tests under Wine"
rm -rf "$root/windows/wine-template"*
(cd "$root/windows" && ctest --output-on-failure -j 2 "$@") || status=1
if [ $# -eq 0 ]; then
    echo "== the demo, without a display"
    (unset DISPLAY; BUILD_ROOT=$root "$top/scripts/demo.sh") || status=1
fi
exit $status
