#!/usr/bin/env bash
# Builds and runs every benchmark; each prints its figures and its ratio against
# the raw SB API (or a plain N-API thread-safe function) measured in the same run.
# Run it on a quiet machine: the ratios are only as steady as the load allows.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$here/build}"
"$here/scripts/ensure-deps.sh"
"$here/scripts/build.sh"
for target in nativescope_run_control_bench_run nativescope_variables_bench_run \
              nativescope_disassembly_bench_run canvasport_bench_run; do
  echo "== $target"
  # The engine's diagnostic lines go to stderr; only the figures are shown.
  cmake --build "$build" --target "$target" 2>/dev/null | grep -Ev '^\[|^Connection established|^Built target|lldb-server exiting|lost connection|^\(sink'
done
