#!/usr/bin/env bash
# wine-run.sh PROGRAM [ARGS...]: ctest's emulator for Windows programs.
# Each call gets a throwaway WINEPREFIX copied from the run's template and,
# for GUI suites (KEST_XVFB=1), an Xvfb display of its own.
set -u
here=$(cd "$(dirname "$0")" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
template=${KEST_WINE_TEMPLATE:-${TMPDIR:-/tmp}/kest-wine-template}
[ -f "$template/.ready" ] || "$here/make-template.sh" "$template"

prefix=$(mktemp -d "${TMPDIR:-/tmp}/kest-prefix.XXXXXX")
cp -a "$template/." "$prefix/"
export WINEPREFIX=$prefix

xpid=""
if [ "${KEST_XVFB:-0}" = 1 ]; then
    exec 8< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null & echo "pid $!"; wait)
    read -r _ xpid <&8
    read -r disp <&8
    export DISPLAY=:$disp
fi

cleanup() {
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
    WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
    [ "${KEST_KEEP_PREFIX:-0}" = 1 ] && echo "prefix kept: $prefix" >&2 || rm -rf "$prefix"
}
trap cleanup EXIT
if [ "${KEST_END_PREFIX_BETWEEN:-0}" = 1 ]; then
    # Two phases in one prefix, and between them every process of it ends, as at a reboot.
    KEST_PREFIX_PHASE=1 wine "$@"
    first=$?
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    KEST_PREFIX_PHASE=2 wine "$@"
    rc=$?
    [ "$first" -ne 0 ] && rc=$first
    exit $rc
fi
wine "$@"
rc=$?
exit $rc
