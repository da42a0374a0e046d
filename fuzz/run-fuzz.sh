#!/usr/bin/env bash
# run-fuzz.sh FUZZER SECONDS [SEED_DIR] [SEED_GENERATOR]
# Fuzzes for a bounded time on a throwaway corpus made from the checked-in seeds
# and, where given, the output of a seed generator.
set -eu
fuzzer=$1 seconds=$2 seeds=${3:-} gen=${4:-}
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
if [ -n "$seeds" ] && [ -d "$seeds" ]; then cp -r "$seeds"/. "$corpus"/; fi
if [ -n "$gen" ]; then "$gen" "$corpus"; fi
exec "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 "$corpus"
