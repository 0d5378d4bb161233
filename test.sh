#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#
# Every stage runs even when an earlier one failed, so that one run shows all that is broken;
# the summary at the end gives each stage's result, and the status is non-zero if any failed.
set -uo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
set +e # setup.sh asks for -e; the stages below carry on past a failure

results=()
failed=0
# Runs one stage and records its result with the time since the start: the whole command must
# stay well within CI's limits.
stage() {
    local name=$1
    shift
    echo "== $name : début à ${SECONDS} s"
    ("$@")
    local status=$?
    if [ "$status" -eq 0 ]; then
        results+=("réussi   $name (fini à ${SECONDS} s)")
    else
        results+=("ÉCHEC    $name (statut $status, fini à ${SECONDS} s)")
        failed=1
    fi
    echo "== $name : statut $status à ${SECONDS} s"
    return "$status"
}

# Without the packages nothing else can run.
if ! install_missing; then
    echo "ÉCHEC : installation des paquets manquants" >&2
    exit 1
fi

# The tests that start the real program need an X server; bring our own when there is none.
xvfb_pid=
if [ -z "${DISPLAY:-}" ]; then
    source scripts/xvfb.sh
    trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT
    trap 'exit 130' INT TERM # through the EXIT trap, so the server goes too
    if ! start_xvfb; then
        echo "ÉCHEC : pas de serveur X pour les tests" >&2
        exit 1
    fi
    export DISPLAY=":$xvfb_display"
fi

# Runs one preset's tests, keeping their output: when some fail, the summary at the end names
# them with the lines that say why, since a long log is often read from its tail only.
# Stages run in a subshell: what they find goes through a file.
failures=$(mktemp)
run_tests() {
    local preset=$1 log="build/$1/tests.log"
    ctest --preset "$preset" 2>&1 | tee "$log"
    local status=${PIPESTATUS[0]}
    if [ "$status" -ne 0 ]; then
        {
            echo "-- tests $preset en échec :"
            grep -E '\*\*\*(Failed|Timeout|Exception)|Failure$|^Expected|FAIL!|^\s+(Loc|Actual|Expected|Value of|Which is)|SUMMARY: |ERROR: AddressSanitizer|runtime error|ÉCHEC : ' "$log" |
                sed -E 's/ ?\.{4,} ?/ … /' | cut -c1-300 | head -n 60
        } >>"$failures"
    fi
    return "$status"
}

# A stage whose build failed has nothing to test; its tests are then counted as failed too.
if stage "compilation dev" build_preset dev; then
    stage "tests dev" run_tests dev
else
    results+=("ÉCHEC    tests dev (pas de compilation)")
fi

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
if stage "compilation ASan + UBSan" build_preset asan; then
    stage "tests ASan + UBSan" run_tests asan
else
    results+=("ÉCHEC    tests ASan + UBSan (pas de compilation)")
fi

# Each fuzz target runs for a short, fixed time from its seed corpus.
if stage "compilation fuzz" build_preset fuzz; then
    stage "fuzzing" run_tests fuzz
else
    results+=("ÉCHEC    fuzzing (pas de compilation)")
fi

echo
echo "== Bilan, en ${SECONDS} s :"
printf '   %s\n' "${results[@]}"
sed 's/^/   /' "$failures"
rm -f "$failures"
exit "$failed"
