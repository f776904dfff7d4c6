#!/usr/bin/env bash
# Installs what is missing, builds, and runs the debugger bridge demo: a fixture
# debuggee and a loopback lldb-server platform are started, attached to through
# the Java API, inspected, and cleaned up again.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/ensure-deps.sh"
"$here/scripts/build.sh"
exec "${BUILD_DIR:-$here/build}/nativescope-cli" demo "$@"
