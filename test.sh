#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
# Each stage ends with the time since the start: the whole command must stay well within
# CI's limits.
stage() { echo "== $1 : ${SECONDS} s depuis le début"; }
install_missing
build_preset dev
stage "compilation dev"

# The tests that start the real program need an X server; bring our own when there is none.
xvfb_pid=
if [ -z "${DISPLAY:-}" ]; then
    source scripts/xvfb.sh
    trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT
    trap 'exit 130' INT TERM # through the EXIT trap, so the server goes too
    start_xvfb 90 140
    export DISPLAY=":$xvfb_display"
fi

ctest --preset dev
stage "tests dev"

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
build_preset asan
ctest --preset asan
stage "compilation et tests ASan + UBSan"

# Each fuzz target runs for a short, fixed time from its seed corpus.
build_preset fuzz
ctest --preset fuzz
stage "fuzzing"
