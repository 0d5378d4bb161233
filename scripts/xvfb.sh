#!/usr/bin/env bash
# A private X server for the tests and the measurements; sourced by test.sh and the benches.
#
#   start_xvfb
# starts Xvfb on a free display and returns once the server takes connections, with
# xvfb_display set to its number and xvfb_pid to its process. The caller stops it.
#
# The server picks its display itself (-displayfd) and says which once it listens: a number
# chosen here from the sockets in /tmp could be taken by another run starting at the same
# moment, and this run would then test on that run's server until it went away.
start_xvfb() {
    local said
    said=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$said" >/dev/null 2>&1 &
    xvfb_pid=$!
    xvfb_display=
    # A loaded machine may take seconds to start a server; give it 30.
    for _ in $(seq 600); do
        xvfb_display=$(tr -dc '0-9' <"$said")
        [ -n "$xvfb_display" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    rm -f "$said"
    if [ -z "$xvfb_display" ]; then
        echo "Xvfb ne démarre pas" >&2
        kill "$xvfb_pid" 2>/dev/null || true
        return 1
    fi
}
