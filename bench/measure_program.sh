#!/usr/bin/env bash
# Measures the real program under Xvfb beside a minimal Qt Widgets program doing the same
# visible work (bench/baseline_window.cpp): time from start to the first window mapped, CPU
# time while measuring at 10 Hz (the program's own, and its X server's), and peak resident
# memory; prints the ratios and checks the targets (each ratio at most 1.2, the program under
# 1 % of one core while measuring). Exit status 1 if a target is missed.
#   bench/measure_program.sh [seconds of measurement, default 30] [start-up runs, default 21]
# THERMO_BUILD_DIR=build/rel measures an already configured build folder instead of the dev
# preset's.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8 # numbers with a point for bc and printf; window titles in UTF-8
source scripts/setup.sh
source scripts/xvfb.sh
install_missing xdotool bc
if [ -n "${THERMO_BUILD_DIR:-}" ]; then
    build=$THERMO_BUILD_DIR
    cmake --build "$build" --target thermometre baseline_window window_timer >/dev/null
else
    build=build/dev
    build_preset dev >/dev/null
fi

seconds=${1:-30}
runs=${2:-21}
program=$build/ui/thermometre
baseline=$build/bench/baseline_window
timer=$build/bench/window_timer
dialog_title="Paramètres de la CTN"
main_title="Thermomètre avec une thermistance"
baseline_title="Fenêtre de référence"

pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The program and the baseline each get their own X server, so that the drawing each one
# asks of its server is measured too.
start_xvfb
pids+=("$xvfb_pid")
program_display=$xvfb_display
program_server=$xvfb_pid
start_xvfb
pids+=("$xvfb_pid")
baseline_display=$xvfb_display
baseline_server=$xvfb_pid

# CPU time of a process and all its threads so far, in nanoseconds.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {print s}'; }
peak_kib() { awk '/^VmHWM:/ {print $2}' "/proc/$1/status"; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

# Seconds from start to the first window mapped, the program ended at once.
start_time() {
    DISPLAY=":$1" "$timer" "$2" "$3" 2>/dev/null ||
        { echo "$3 ne montre pas « $2 »" >&2; return 1; }
}

# Start-up, alternating the two programs so that both see the same machine state; one
# uncounted start of each first fills the file cache.
start_time "$program_display" "$dialog_title" "$program" >/dev/null
start_time "$baseline_display" "$baseline_title" "$baseline" >/dev/null
program_starts=()
baseline_starts=()
for _ in $(seq "$runs"); do
    program_starts+=("$(start_time "$program_display" "$dialog_title" "$program")")
    baseline_starts+=("$(start_time "$baseline_display" "$baseline_title" "$baseline")")
done
program_start=$(printf '%s\n' "${program_starts[@]}" | median)
baseline_start=$(printf '%s\n' "${baseline_starts[@]}" | median)

# Measuring: the program is validated with its defaults (a click on "Validation"), the
# baseline runs its timer from the start. Both run side by side over the same seconds.
read -r _ program_pid < <(DISPLAY=":$program_display" "$timer" --keep \
    "$dialog_title" "$program" 2>/dev/null) || true
[ -n "${program_pid:-}" ] || { echo "Thermomètre ne montre pas sa fenêtre" >&2; exit 1; }
pids+=("$program_pid")
read -r _ baseline_pid < <(DISPLAY=":$baseline_display" "$timer" --keep \
    "$baseline_title" "$baseline" 2>/dev/null) || true
[ -n "${baseline_pid:-}" ] || { echo "La référence ne montre pas sa fenêtre" >&2; exit 1; }
pids+=("$baseline_pid")

export DISPLAY=":$program_display"
dialog=$(xdotool search --onlyvisible --name "^${dialog_title}\$" | head -1)
# "Validation" is centred at (1927, 3547) twips in a 4140 x 3930 twips client area; taken
# as a share of the window's size, the point holds at any zoom.
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove --window "$dialog" $((WIDTH * 1927 / 4140)) $((HEIGHT * 3547 / 3930)) click 1
main=
for _ in $(seq 100); do
    main=$(xdotool search --onlyvisible --name "^${main_title}\$" 2>/dev/null | head -1) || true
    [ -n "$main" ] && break
    sleep 0.1
done
[ -n "$main" ] || { echo "La fenêtre principale ne s'ouvre pas après Validation" >&2; exit 1; }

sleep 2 # the first ticks and paints settle
# CPU time so far of the program, the baseline, and their X servers.
cpu_times() {
    echo "$(cpu_ns "$program_pid") $(cpu_ns "$baseline_pid") $(cpu_ns "$program_server")" \
        "$(cpu_ns "$baseline_server")"
}
read -r p0 b0 ps0 bs0 < <(cpu_times)
sleep "$seconds"
read -r p1 b1 ps1 bs1 < <(cpu_times)
percent() { echo "($2 - $1) / ($seconds * 10000000)" | bc -l; }
program_cpu=$(percent "$p0" "$p1")
baseline_cpu=$(percent "$b0" "$b1")
program_server_cpu=$(percent "$ps0" "$ps1")
baseline_server_cpu=$(percent "$bs0" "$bs1")
program_peak=$(peak_kib "$program_pid")
baseline_peak=$(peak_kib "$baseline_pid")

ratio() { echo "scale=3; if ($2 == 0) 0 else $1 / $2" | bc -l; }
start_ratio=$(ratio "$program_start" "$baseline_start")
cpu_ratio=$(ratio "$program_cpu" "$baseline_cpu")
server_ratio=$(ratio "$program_server_cpu" "$baseline_server_cpu")
peak_ratio=$(ratio "$program_peak" "$baseline_peak")
# printf pads by bytes; these are padded by characters.
left() { printf '%s%*s' "$1" $(($2 - ${#1})) ""; }
right() { printf '%*s%s' $(($2 - ${#1})) "" "$1"; }
row() { echo "$(left "$1" 36) $(right "$2" 12) $(right "$3" 12) $(right "$4" 8)"; }
row "" "Thermomètre" "référence" "ratio"
row "démarrage jusqu'à la fenêtre (s)" "$(printf %.4f "$program_start")" \
    "$(printf %.4f "$baseline_start")" "$(printf %.2f "$start_ratio")"
row "CPU en mesure (% d'un cœur)" "$(printf %.3f "$program_cpu")" \
    "$(printf %.3f "$baseline_cpu")" "$(printf %.2f "$cpu_ratio")"
row "CPU de son serveur X (% d'un cœur)" "$(printf %.3f "$program_server_cpu")" \
    "$(printf %.3f "$baseline_server_cpu")" "$(printf %.2f "$server_ratio")"
row "mémoire résidente maximale (Kio)" "$program_peak" "$baseline_peak" \
    "$(printf %.2f "$peak_ratio")"
echo "(démarrage : médiane de $runs lancements de chacun ; mesure sur $seconds s)"

missed=0
target() {
    if [ "$(echo "$2" | bc -l)" != 1 ]; then
        echo "Cible manquée : $1 ($2)" >&2
        missed=1
    fi
}
target "démarrage, ratio au plus 1,2" "$start_ratio <= 1.2"
target "CPU en mesure, ratio au plus 1,2" "$cpu_ratio <= 1.2"
target "CPU du serveur X, ratio au plus 1,2" "$server_ratio <= 1.2"
target "mémoire, ratio au plus 1,2" "$peak_ratio <= 1.2"
target "CPU en mesure sous 1 % d'un cœur" "$program_cpu < 1"
exit "$missed"
