#!/usr/bin/env bash
# Listens to the program as a blind student does, keyboard only: Orca 43 in French speaking
# through speech-dispatcher and espeak-ng, into a transcript instead of a loudspeaker (each
# utterance as it starts, ▶, and once said in full, ■; one cut short by a newer one has no ■).
# The scenario (bench/orca_listen.py): the parameters dialog, the main window's fields, a
# cooling heard on the temperature, 20 faults and fault ends from the bench's menu, the
# calibration, the giant display, the zoom. About a quarter of an hour, Orca speaking in real
# time; not part of ./test.sh.
#   bench/orca_listen.sh [TRANSCRIPT]     (default: build/orca-transcript.txt)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
source scripts/xvfb.sh
install_missing locales
build_preset dev >/dev/null

# Orca, speech-dispatcher and GTK need the French locale itself, not only its name.
if ! locale -a | grep -qi '^fr_FR\.utf-\?8$'; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "Il manque la locale fr_FR.UTF-8 : sudo sed -i 's/^# *fr_FR.UTF-8/fr_FR.UTF-8/' \
/etc/locale.gen && sudo locale-gen" >&2
        exit 1
    fi
    sed -i 's/^# *fr_FR.UTF-8 UTF-8/fr_FR.UTF-8 UTF-8/' /etc/locale.gen
    locale-gen >/dev/null
fi

transcript=$(realpath -m "${1:-build/orca-transcript.txt}")
work=$(mktemp -d)
# Orca's and speech-dispatcher's logs are kept when something went wrong.
cleanup() {
    local status=$?
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    if [ "$status" -eq 0 ]; then rm -rf "$work"; else echo "Journaux : $work" >&2; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb
export DISPLAY=":$xvfb_display"
: >"$transcript"

# Speech-dispatcher's own configuration: one voice, bench/orca/speak.sh, which writes what it
# says to the transcript; French; the usual symbol dictionaries ("°" said "degré").
mkdir -p "$work/speechd/modules" "$work/orca"
cat >"$work/speechd/speechd.conf" <<CONF
LogLevel 3
LogDir "$work"
DefaultModule transcript
AddModule "transcript" "sd_generic" "transcript.conf"
DefaultLanguage "fr"
DefaultRate 0
# No sound card is needed: speak.sh writes the speech itself; the module's own sound goes to
# ALSA's null device.
AudioOutputMethod "alsa"
AudioALSADevice "null"
SymbolsPreproc "char"
SymbolsPreprocFile "gender-neutral.dic"
SymbolsPreprocFile "font-variants.dic"
SymbolsPreprocFile "symbols.dic"
SymbolsPreprocFile "emojis.dic"
SymbolsPreprocFile "orca.dic"
SymbolsPreprocFile "orca-chars.dic"
CONF
cat >"$work/speechd/modules/transcript.conf" <<CONF
GenericExecuteSynth "$PWD/bench/orca/speak.sh '$transcript' \'\$DATA\' \$VOICE \$RATE \$PITCH"
GenericCmdDependency "espeak-ng"
GenericRateAdd 175
GenericRateMultiply 1
GenericPitchAdd 50
GenericPitchMultiply 1
GenericLanguage "fr" "fr" "utf-8"
AddVoice "fr" "MALE1" "fr"
DefaultVoice "fr"
CONF

export LANG=fr_FR.UTF-8 LANGUAGE=fr LC_ALL=
export SPEECHD_ADDRESS="unix_socket:$work/speechd.sock"
dbus-run-session -- /usr/bin/python3 -u bench/orca_listen.py build/dev/ui/thermometre "$work" \
    "$transcript"
echo "Transcription : $transcript"
