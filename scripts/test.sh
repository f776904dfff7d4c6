#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test suite through CTest.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/ensure-deps.sh"
"$here/scripts/build.sh"
ctest --test-dir "${BUILD_DIR:-$here/build}" --output-on-failure --timeout 600 "$@"
