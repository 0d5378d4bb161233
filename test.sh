#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
install_missing
build_preset dev

# The tests that start the real program need an X server; bring our own when there is none.
xvfb_pid=
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

ctest --preset dev

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
build_preset asan
ctest --preset asan

# Each fuzz target runs for a short, fixed time from its seed corpus.
build_preset fuzz
ctest --preset fuzz
