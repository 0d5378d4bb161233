#!/usr/bin/env bash
# A power cut during a lesson, simulated: the program records (journal and a CSV kept up to
# date, as with --enregistrer) on an ext4 filesystem in an image on a loop device; at a random
# moment the image is copied, which keeps exactly what had reached the "disk", as a power cut
# would. The copy is then repaired as at the next boot (e2fsck) and mounted, and the journal and
# the CSV are read: how many readings are missing against what the program had measured, the
# journal's integrity, NUL bytes in the CSV. Needs root and loop devices.
#   bench/power_cut.sh [rounds, default 5]
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8
rounds=${1:-5}
child=build/dev/tests/ui/seance_reliability_test
[ -x "$child" ] || { echo "Compiler d'abord : cmake --build --preset dev" >&2; exit 1; }
if [ "$(id -u)" -ne 0 ] || ! losetup -f >/dev/null 2>&1; then
    echo "Pas de périphérique loop ici (il faut root et /dev/loop*) : mesure impossible" >&2
    exit 77
fi
[ -n "${DISPLAY:-}" ] || { echo "Il faut un serveur X (DISPLAY)" >&2; exit 1; }

work=$(mktemp -d)
loops=()
mounts=()
child_pid=
cleanup() {
    [ -z "$child_pid" ] || kill -9 "$child_pid" 2>/dev/null || true
    for m in "${mounts[@]}"; do umount "$m" 2>/dev/null || true; done
    for l in "${loops[@]}"; do losetup -d "$l" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

worst_journal=0
worst_csv=0
for round in $(seq "$rounds"); do
    image=$work/disque.img
    rm -f "$image"
    truncate -s 64M "$image"
    mkfs.ext4 -q "$image"
    loop=$(losetup -f --show "$image")
    loops+=("$loop")
    mkdir -p "$work/live" "$work/copy"
    mount "$loop" "$work/live"
    mounts+=("$work/live")

    SEANCE_CHILD=1 XDG_DATA_HOME=$work/live SEANCE_CSV=$work/live/seance.csv \
        QT_QPA_PLATFORM=xcb "$child" >"$work/out.txt" 2>"$work/err.txt" &
    child_pid=$!
    # Between 5 and 15 s of measurement, then the cut.
    sleep "$((5 + RANDOM % 11)).$((RANDOM % 10))"
    cp --sparse=always "$image" "$work/cut.img"
    measured=$(grep -a '^READING ' "$work/out.txt" | tail -n 1 | cut -d' ' -f2)
    kill -9 "$child_pid"
    wait "$child_pid" 2>/dev/null || true
    child_pid=
    umount "$work/live"
    losetup -d "$loop"

    e2fsck -fy "$work/cut.img" >/dev/null 2>&1 || true # what the next boot does
    copy=$(losetup -f --show "$work/cut.img")
    loops+=("$copy")
    mount "$copy" "$work/copy"
    mounts+=("$work/copy")
    journal=$(find "$work/copy" -name 'seance-*.thermo' | head -n 1)
    integrity=$(sqlite3 "$journal" 'PRAGMA integrity_check' 2>&1 | head -n 1)
    kept=$(sqlite3 "$journal" 'SELECT total(count) FROM readings' 2>&1 | cut -d. -f1)
    csv_lines=$(($(wc -l <"$work/copy/seance.csv") - 1))
    nuls=$(tr -cd '\000' <"$work/copy/seance.csv" | wc -c)
    missing_journal=$((measured - kept))
    missing_csv=$((measured - csv_lines))
    printf 'coupure %d : %d mesures prises ; journal (%s) : %d gardées, %d perdues (%.1f s) ; CSV : %d lignes, %d perdues (%.1f s), %d octets nuls\n' \
        "$round" "$measured" "$integrity" "$kept" "$missing_journal" \
        "$(bc <<<"scale=1; $missing_journal / 10")" "$csv_lines" "$missing_csv" \
        "$(bc <<<"scale=1; $missing_csv / 10")" "$nuls"
    [ "$missing_journal" -le "$worst_journal" ] || worst_journal=$missing_journal
    [ "$missing_csv" -le "$worst_csv" ] || worst_csv=$missing_csv
    umount "$work/copy"
    losetup -d "$copy"
    rm -f "$work/cut.img"
done
echo "au pire : journal $worst_journal mesures perdues, CSV $worst_csv (objectif : 20, soit 2 s)"
[ "$worst_journal" -le 20 ] && [ "$worst_csv" -le 20 ]
