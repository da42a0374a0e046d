#!/usr/bin/env bash
# Builds what the benchmarks need and runs every benchmark of bench/, then
# prints one table: each measure, its reference measured side by side in the
# same run, the ratio and the goal.
#
# Native benchmarks build in a Release build without sanitizers of their own
# (build/bench-native); the Windows ones come from build/windows and run under
# Wine, each in a throwaway prefix with a display of its own. Each benchmark's
# whole output lands in build/bench/<name>.txt. BUILD_ROOT moves the build trees.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
root=${BUILD_ROOT:-$top/build}
out=$root/bench
"$top/scripts/setup.sh"
mkdir -p "$out"

echo "building the native benchmarks (Release, no sanitizers)..."
CC=clang CXX=clang++ cmake -S "$top" -B "$root/bench-native" -DCMAKE_BUILD_TYPE=Release -DKEST_NO_SANITIZE=ON \
    >/dev/null
cmake --build "$root/bench-native" -j "$(nproc)" --target bench_drawings >/dev/null
echo "building the Windows benchmarks..."
"$top/scripts/build.sh" windows >/dev/null
template=$root/windows/wine-template
"$top/tests/wine/make-template.sh" "$template"

# Every benchmark prints its table rows as lines "BENCH<tab>measure<tab>value<tab>reference<tab>ratio<tab>goal".
run() {
    local name=$1
    shift
    echo "running $name..."
    if ! "$@" >"$out/$name.txt" 2>&1; then
        echo "  $name failed; see $out/$name.txt"
        status=1
    fi
}
status=0
run drawings "$root/bench-native/bench/bench_drawings"
export KEST_WINE_TEMPLATE=$template KEST_XVFB=1 KEST_BIN=$root/windows/bin
# The batch: three batch rows, then 1,000 drawings through the batch and a loop (a quarter of an hour under Wine).
run batch "$top/tests/wine/wine-run.sh" "$root/windows/bin/bench_batch.exe"
run progress "$top/tests/wine/wine-run.sh" "$root/windows/bin/ProgressBench.exe"
run files "$top/tests/wine/wine-run.sh" "$root/windows/bin/bench_files.exe"

echo
{
    printf 'measure\tvalue\treference (same run)\tratio\tgoal\n'
    cat "$out"/drawings.txt "$out"/batch.txt "$out"/progress.txt "$out"/files.txt | tr -d '\r' |
        sed -n 's/^BENCH\t//p'
} | awk -F '\t' '
    { for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > width[i]) width[i] = length($i) }
      if (NF > cols) cols = NF }
    END { for (r = 1; r <= NR; r++) {
              line = ""
              for (i = 1; i <= cols; i++) line = line sprintf("%-" width[i] "s  ", cell[r, i])
              print line
              if (r == 1) {
                  line = ""
                  for (i = 1; i <= cols; i++) {
                      dash = sprintf("%" width[i] "s", ""); gsub(/ /, "-", dash); line = line dash "  "
                  }
                  print line } } }'
exit $status
