#!/usr/bin/env bash
# Installs what is missing, builds, and runs the debugger bridge demo: a debuggee
# holding Kotlin/Native objects and a loopback lldb-server platform are started,
# attached to through the Java API, stopped at a breakpoint, inspected (stop event,
# threads, stack, instruction window, Kotlin-aware variables and one expansion),
# and cleaned up again. Extra arguments go to `nativescope-cli demo`, e.g. --legacy.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$here/build}"
"$here/scripts/ensure-deps.sh"
"$here/scripts/build.sh"
log="$build/demo-diagnostics.log"
echo "(the engine's tagged diagnostic lines on standard error are kept in $log)"
# Tagged "[...]" lines are the engine's diagnostics; anything else on stderr is shown.
"$build/nativescope-cli" demo --fixture kotlin_objects "$@" 2> >(tee "$log" | grep -v '^\[' >&2)
