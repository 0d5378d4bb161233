#!/usr/bin/env bash
# Speech-dispatcher's voice for bench/orca_listen.sh: what Orca says is written to the
# transcript as it starts (▶) and again once said in full (■), and espeak-ng says it, in real
# time, into a file instead of a loudspeaker. An utterance that Orca cuts short (a newer one
# interrupts it) is killed by speech-dispatcher before its ■.
#   speak.sh TRANSCRIPT TEXT VOICE RATE PITCH
set -u
transcript=$1 text=$2 voice=$3 rate=$4 pitch=$5
printf '%s ▶ %s\n' "$(date +%T.%N | cut -c1-12)" "$text" >>"$transcript"
wav=$(mktemp --suffix=.wav)
trap 'rm -f "$wav"' EXIT
printf '%s' "$text" | espeak-ng -v "$voice" -s "$rate" -p "$pitch" --stdin -w "$wav"
# As long as a loudspeaker would take to say it.
/usr/bin/python3 -c 'import sys, time, wave
w = wave.open(sys.argv[1]); time.sleep(w.getnframes() / w.getframerate())' "$wav"
printf '%s ■ %s\n' "$(date +%T.%N | cut -c1-12)" "$text" >>"$transcript"
