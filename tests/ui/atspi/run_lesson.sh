#!/usr/bin/env bash
# Runs the keyboard cooling lesson (cooling_lesson.py) against the program on a private
# session bus, with its own accessibility bus, on the X server of DISPLAY:
#   run_lesson.sh PROGRAM TRANSCRIPT [PICTURES FOLDER]
set -euo pipefail
if [ "${1:-}" != "--on-bus" ]; then
    exec dbus-run-session -- "$0" --on-bus "$@"
fi
shift
program=$1
here=$(cd "$(dirname "$0")" && pwd)
# The program's own files (its data folder) in a folder of this run.
home=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT
export HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config
# French, as in a French classroom: Qt takes the decimal comma from LANG.
unset LC_ALL LC_NUMERIC LANGUAGE
export LANG=fr_FR.UTF-8
export QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
"$program" >"$home/program.log" 2>&1 &
pid=$!
export THERMO_PID=$pid
/usr/bin/python3 "$here/cooling_lesson.py" "${@:2}" || {
    status=$?
    echo "Ce que le programme a écrit :" >&2
    tail -n 20 "$home/program.log" >&2
    exit "$status"
}
