#!/usr/bin/env bash
# Checks window_timer against the baseline window: a start-up time when the window comes, the
# program ended or kept as asked, a failure when the program ends without a window or when
# there is no X server.   window_timer_test.sh WINDOW_TIMER BASELINE_WINDOW
set -uo pipefail
timer=$1
baseline=$2
title="Fenêtre de référence"
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || fail "DISPLAY is not set; this test needs an X server"

seconds=$(timeout 30 "$timer" "$title" "$baseline") || fail "no start-up time for the baseline"
echo "$seconds" | grep -Eq '^[0-9]+\.[0-9]{4}$' || fail "not a time: '$seconds'"
awk -v s="$seconds" 'BEGIN { exit !(s > 0 && s < 10) }' || fail "implausible time $seconds s"
pgrep -f -x "$baseline" >/dev/null && fail "the baseline was left running"

read -r seconds pid < <(timeout 30 "$timer" --keep "$title" "$baseline")
[ -n "${pid:-}" ] && kill -0 "$pid" 2>/dev/null || fail "--keep did not leave the program running"
kill "$pid"
# Its window must be gone before the next run watches the display for that title.
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done

timeout 30 "$timer" "$title" /bin/true 2>/dev/null
[ $? -eq 1 ] || fail "a program that ends without a window must give status 1"

env -u DISPLAY "$timer" "$title" "$baseline" 2>/dev/null
[ $? -eq 2 ] || fail "without an X server the status must be 2"
echo "window_timer: $seconds s to the baseline's window"
