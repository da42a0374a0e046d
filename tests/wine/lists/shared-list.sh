#!/usr/bin/env bash
# shared-list.sh PROGRAM PREFIXES: two workers of PROGRAM on one list in one folder, in one Wine prefix or in two
# (as two workstations on a share; Z: is "/" in both). Sharing modes do not hold between prefixes; byte-range
# locks and new files must. Both run a list by claims, with a stopped workstation's claim in it, and mark it
# while a reader loads it; PROGRAM checks the result.
set -u
program=$1
prefixes=$2
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
template=$KEST_WINE_TEMPLATE
work=$(mktemp -d "${TMPDIR:-/tmp}/kest-shared.XXXXXX")
second=a && [ "$prefixes" = 2 ] && second=b
cleanup() {
    for p in a $second; do WINEPREFIX=$work/$p wineserver -k; WINEPREFIX=$work/$p wineserver -w; done >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
for p in a $second; do [ -d "$work/$p" ] || { mkdir "$work/$p" && cp -a "$template/." "$work/$p/"; }; done
mkdir "$work/share"
run_in() { local p=$1; shift; WINEPREFIX=$work/$p timeout 300 wine "$program" "$@"; }
share="Z:$(echo "$work/share" | tr / '\\')"
list="$share\\all.dml"
export KEST_SHARED_GO="$share\\go"
# Every worker is ready (its file beside the go file) before any starts: prefixes start unevenly.
go() {
    for _ in $(seq 1 1200); do
        local ready=1 && for id in "$@"; do [ -e "$work/share/go.$id" ] || ready=0; done
        [ $ready = 1 ] && break || sleep 0.1
    done
    touch "$work/share/go"
}

fail=0
run_in a --prepare "$list" || fail=1
run_in a --claim "$list" WS-A "$share\\a.txt" & a=$!
run_in $second --claim "$list" WS-B "$share\\b.txt" & b=$!
run_in $second --read "$list" "$share\\stop" & r=$!
go WS-A WS-B read
wait $a && wait $b || fail=1
touch "$work/share/stop"
wait $r || { echo "a reader found the list cut"; fail=1; }
run_in a --check "$list" "$share\\a.txt" "$share\\b.txt" || fail=1
exit $fail
