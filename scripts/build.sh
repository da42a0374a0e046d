#!/usr/bin/env bash
# build.sh [windows|native|all]: configures and builds into build/windows or build/native.
# BUILD_ROOT moves both trees elsewhere (parallel work on one checkout).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
root=${BUILD_ROOT:-$top/build}
what=${1:-all}
jobs=$(nproc)
if [ "$what" = windows ] || [ "$what" = all ]; then
    cmake -S "$top" -B "$root/windows" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" \
          -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$root/windows" -j "$jobs"
fi
if [ "$what" = native ] || [ "$what" = all ]; then
    CC=clang CXX=clang++ cmake -S "$top" -B "$root/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$root/native" -j "$jobs"
fi
