#!/usr/bin/env bash
# workstations.sh STEP TRANSMORA: three Wine prefixes as three workstations (WS-A, WS-B, WS-C) run one list of
# drawings on a shared folder (Z: is "/" in each) at once. WS-C is ended in the middle of its run, as a machine
# that is switched off; its claims are then made as old as a stopped workstation's would be. STEP checks the
# share once the other two have finished.
set -u
step=$1
transmora=$2
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=" KEST_DRAWINGS=60
work=$(mktemp -d "${TMPDIR:-/tmp}/kest-workstations.XXXXXX")
exec 8< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null & echo "pid $!"; wait)
read -r _ xpid <&8
read -r disp <&8
export DISPLAY=:$disp
cleanup() {
    for p in a b c; do WINEPREFIX=$work/$p wineserver -k; WINEPREFIX=$work/$p wineserver -w; done >/dev/null 2>&1
    kill "$xpid" 2>/dev/null
    [ "${KEST_KEEP_PREFIX:-0}" = 1 ] && echo "kept: $work" >&2 || rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/share"
export KEST_SHARE="Z:$(echo "$work/share" | tr / '\\')"
list="$KEST_SHARE\\all.dml"
in_prefix() { local p=$1; shift; WINEPREFIX=$work/$p timeout 600 wine "$@"; }

for p in a b c; do
    mkdir "$work/$p" && cp -a "$KEST_WINE_TEMPLATE/." "$work/$p/"
    # The name holds while this server runs: a server started later would take the host's name again.
    WINEPREFIX=$work/$p wineserver -p
    name="WS-$(echo $p | tr a-z A-Z)"
    in_prefix $p reg add 'HKLM\System\CurrentControlSet\Control\ComputerName\ActiveComputerName' \
        /v ComputerName /t REG_SZ /d "$name" /f >/dev/null || exit 1
    in_prefix $p "$step" --gtest_filter=Workstations.Setup --gtest_brief=1 || exit 1
done

declare -A run
for p in a b c; do
    in_prefix $p "$transmora" /unattended /list "$list" & run[$p]=$!
done

# WS-C is ended once its second drawing is under way.
started() { local n && n=$(grep -c 'Migrating drawing' "$work/share/all-WS-C.log" 2>/dev/null); [ "${n:-0}" -ge 2 ]; }
for _ in $(seq 1 3000); do
    started && break
    kill -0 "${run[c]}" 2>/dev/null || break
    sleep 0.1
done
started || { echo "WS-C never got under way"; exit 1; }
WINEPREFIX=$work/c wineserver -k
wait "${run[c]}"
for claim in "$work/share/all.claims/"*.claim; do
    grep -q "computer=WS-C" "$claim" 2>/dev/null && touch -d '-2 days' "$claim"
done

fail=0
for p in a b; do
    wait "${run[$p]}"
    rc=$?
    [ $rc = 0 ] || { echo "WS-${p^^} ended with $rc"; fail=1; }
done
KEST_ENDED=WS-C in_prefix a "$step" --gtest_filter=Workstations.Check --gtest_brief=1 || fail=1
[ $fail = 0 ] || { for f in "$work/share/"*.log; do echo "== $f"; cat "$f"; done; }
exit $fail
