#!/usr/bin/env bash
# A private X server for the tests and the measurements; sourced by test.sh and
# bench/measure_program.sh.
#
#   start_xvfb FIRST LAST
# starts Xvfb on the first free display number from FIRST to LAST and returns once the server
# takes connections, with xvfb_display set to its number and xvfb_pid to its process. The
# caller stops it.
start_xvfb() {
    local n found=
    for n in $(seq "$1" "$2"); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            found=$n
            break
        fi
    done
    if [ -z "$found" ]; then
        echo "Aucun écran X libre de :$1 à :$2" >&2
        return 1
    fi
    Xvfb ":$found" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$found" ] && break
        sleep 0.05
    done
    if [ ! -e "/tmp/.X11-unix/X$found" ]; then
        echo "Xvfb :$found ne démarre pas" >&2
        kill "$xvfb_pid" 2>/dev/null || true
        return 1
    fi
    xvfb_display=$found
}
