#!/usr/bin/env bash
# The program with its curve window open on a 2-hour series that grows live (bench/curve_live),
# under its own Xvfb: the program's CPU and its X server's, the intervals between ticks and the
# redraws; then the curve's drawing and memory benchmarks (bench/curve_bench). Compare the CPU
# with bench/measure_program.sh's, where the curve is never opened. Exit status 1 when the
# program uses 3 % of a core or more, or a tick interval leaves 100 ± 20 ms.
#   bench/measure_curve.sh [seconds of measurement, default 30] [readings before, default 72000]
# THERMO_BUILD_DIR=build/rel measures an already configured build folder instead of the dev
# preset's.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8
source scripts/setup.sh
source scripts/xvfb.sh
build=${THERMO_BUILD_DIR:-build/dev}
[ -f "$build/CMakeCache.txt" ] || cmake --preset dev >/dev/null
cmake --build "$build" --target curve_live curve_bench >/dev/null

start_xvfb
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
trap 'exit 130' INT TERM
status=0
DISPLAY=":$xvfb_display" QT_QPA_PLATFORM=xcb THERMO_XSERVER_PID=$xvfb_pid \
    "$build/bench/curve_live" "${1:-30}" "${2:-72000}" || status=$?
echo "charge : $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/curve_bench"
exit "$status"
