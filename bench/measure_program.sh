#!/usr/bin/env bash
# Measures the real program under Xvfb beside a minimal Qt Widgets program doing the same
# visible work (bench/baseline_window.cpp): time from start to the first window shown, CPU time
# per second while measuring at 10 Hz, and peak resident memory; prints the ratios.
#   bench/measure_program.sh [seconds of measurement, default 30] [start-up runs, default 7]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
install_missing xdotool x11-utils bc
build_preset dev >/dev/null

seconds=${1:-30}
runs=${2:-7}
program=build/dev/ui/thermometre
baseline=build/dev/bench/baseline_window
dialog_title="Paramètres de la CTN"
main_title="Thermomètre avec une thermistance"
baseline_title="Fenêtre de référence"

for n in $(seq 150 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":$n"
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done

now() { date +%s.%N; }

# Waits until a mapped window with this exact title exists; prints the seconds waited.
wait_for_window() {
    local title=$1 start=$2
    until xwininfo -root -tree 2>/dev/null | grep -qF "\"$title\""; do sleep 0.005; done
    echo "$(now) - $start" | bc -l
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
peak_kib() { awk '/^VmHWM:/ {print $2}' "/proc/$1/status"; }

start_time() {
    local exe=$1 title=$2 t0 pid
    t0=$(now)
    "$exe" >/dev/null 2>&1 &
    pid=$!
    pids+=("$pid")
    wait_for_window "$title" "$t0"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

# Start-up, alternating the two programs so that both see the same machine state.
program_starts=()
baseline_starts=()
for _ in $(seq "$runs"); do
    program_starts+=("$(start_time "$program" "$dialog_title")")
    baseline_starts+=("$(start_time "$baseline" "$baseline_title")")
done
program_start=$(printf '%s\n' "${program_starts[@]}" | median)
baseline_start=$(printf '%s\n' "${baseline_starts[@]}" | median)

# Measuring: the program is validated with its defaults (a click on "Validation"), the baseline
# runs its timer from the start. Both run side by side over the same seconds.
"$program" >/dev/null 2>&1 &
program_pid=$!
pids+=("$program_pid")
"$baseline" >/dev/null 2>&1 &
baseline_pid=$!
pids+=("$baseline_pid")
wait_for_window "$dialog_title" "$(now)" >/dev/null
wait_for_window "$baseline_title" "$(now)" >/dev/null
dialog=$(xdotool search --name "^${dialog_title}\$" | head -1)
# "Validation" sits at (1440, 3360) twips, 975 x 375: its centre is at (128, 236) pixels.
xdotool mousemove --window "$dialog" 128 236 click 1
wait_for_window "$main_title" "$(now)" >/dev/null
sleep 2
hz=$(getconf CLK_TCK)
p0=$(cpu_ticks "$program_pid")
b0=$(cpu_ticks "$baseline_pid")
sleep "$seconds"
p1=$(cpu_ticks "$program_pid")
b1=$(cpu_ticks "$baseline_pid")
program_cpu=$(echo "($p1 - $p0) / $hz / $seconds * 100" | bc -l)
baseline_cpu=$(echo "($b1 - $b0) / $hz / $seconds * 100" | bc -l)
program_peak=$(peak_kib "$program_pid")
baseline_peak=$(peak_kib "$baseline_pid")

ratio() { echo "scale=3; if ($2 == 0) 0 else $1 / $2" | bc -l; }
printf '%-32s %12s %12s %8s\n' "" "Thermomètre" "référence" "ratio"
printf '%-32s %12.3f %12.3f %8.2f\n' "démarrage jusqu'à la fenêtre (s)" \
    "$program_start" "$baseline_start" "$(ratio "$program_start" "$baseline_start")"
printf '%-32s %12.3f %12.3f %8.2f\n' "CPU en mesure (% d'un cœur)" \
    "$program_cpu" "$baseline_cpu" "$(ratio "$program_cpu" "$baseline_cpu")"
printf '%-32s %12d %12d %8.2f\n' "mémoire résidente max. (Kio)" \
    "$program_peak" "$baseline_peak" "$(ratio "$program_peak" "$baseline_peak")"
