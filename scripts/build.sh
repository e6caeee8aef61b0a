#!/usr/bin/env bash
# Builds everything: the release installer (build/i686/CorvantaSetup.exe), the
# same program with its tests for Wine (build/x86_64), and the native tools
# (build/native). Both Windows builds embed a 7za.exe built for their arch.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

"$root/scripts/bootstrap.sh"

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j"$jobs"
cmake -S . -B build/i686 -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake >/dev/null
cmake --build build/i686 -j"$jobs"
cmake -S . -B build/x86_64 -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake -DCORVANTA_BUILD_TESTS=ON >/dev/null
cmake --build build/x86_64 -j"$jobs"
