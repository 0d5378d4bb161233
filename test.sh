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
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT
    trap 'exit 130' INT TERM # through the EXIT trap, so the server goes too
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
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
