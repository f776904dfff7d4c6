#!/usr/bin/env bash
# Configures and builds everything into ./build (or $BUILD_DIR); the full log
# stays in the build folder, only a failure's tail is printed.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$here/build}"
mkdir -p "$build"
if ! cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build/configure.log" 2>&1; then
  tail -40 "$build/configure.log"; exit 1
fi
start=$(date +%s)
if ! cmake --build "$build" -j"$(nproc)" >"$build/build.log" 2>&1; then
  grep -E "error|Error" "$build/build.log" | head -40; tail -20 "$build/build.log"; exit 1
fi
echo "build ok in $(( $(date +%s) - start ))s (log: $build/build.log)"
