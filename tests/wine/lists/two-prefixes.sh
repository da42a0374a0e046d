#!/usr/bin/env bash
# two-prefixes.sh PROGRAM: two Wine prefixes as two workstations on one folder (Z: is "/" in both). Sharing
# modes do not hold between prefixes; byte-range locks and new files must. First both mark the halves of a
# list, then both run a list by claims with a stopped workstation's claim in it; PROGRAM checks each result.
set -u
program=$1
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
template=${KEST_WINE_TEMPLATE:-${TMPDIR:-/tmp}/kest-wine-template}
[ -f "$template/.ready" ] || "$(dirname "$0")/../make-template.sh" "$template"
work=$(mktemp -d "${TMPDIR:-/tmp}/kest-two.XXXXXX")
cleanup() {
    for p in a b; do
        WINEPREFIX=$work/$p wineserver -k >/dev/null 2>&1
        WINEPREFIX=$work/$p wineserver -w >/dev/null 2>&1
    done
    rm -rf "$work"
}
trap cleanup EXIT
for p in a b; do mkdir "$work/$p" && cp -a "$template/." "$work/$p/"; done
mkdir "$work/share"
run_in() { local p=$1; shift; WINEPREFIX=$work/$p timeout 300 wine "$program" "$@"; }
share="Z:$(echo "$work/share" | tr / '\\')"
list="$share\\all.dml"
export KEST_SHARED_GO="$share\\go"
# Both workers are ready (their files beside the go file) before either starts: prefixes start unevenly.
go() {
    for _ in $(seq 1 1200); do
        [ -e "$work/share/go.$1" ] && [ -e "$work/share/go.$2" ] && break
        sleep 0.1
    done
    touch "$work/share/go"
}

fail=0
run_in a --new "$list" || fail=1
run_in a --mark "$list" 0 & a=$!
run_in b --mark "$list" 1 & b=$!
go 0 1
wait $a || fail=1
wait $b || fail=1
run_in a --check "$list" || { echo "marks of two prefixes were lost"; fail=1; }

rm -f "$work/share"/go*
run_in a --prepare "$list" || fail=1
run_in a --claim "$list" WS-A "$share\\a.txt" & a=$!
run_in b --claim "$list" WS-B "$share\\b.txt" & b=$!
go WS-A WS-B
wait $a || fail=1
wait $b || fail=1
run_in a --check "$list" "$share\\a.txt" "$share\\b.txt" || { echo "claims of two prefixes failed"; fail=1; }
exit $fail
