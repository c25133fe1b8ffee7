#!/usr/bin/env bash
# Makes data/petan.wav, the stamp's sound: a short, soft thud, 16-bit PCM,
# mono, 44.1 kHz, about a fifth of a second. The file is kept in the
# repository, so building needs no sox; run this only to change the sound.
#
# The thud is a sine falling from 150 Hz to 50 Hz (the rubber meeting the
# desk), mixed with a few milliseconds of dull brown noise (the paper),
# both dying away quickly, then softened by a low-pass and levelled to -6 dBFS.
# -R seeds sox's noise the same way every run and -D leaves out dither, so
# the same sox writes the same bytes.
set -euo pipefail

if ! command -v sox >/dev/null; then
    echo "make-petan-wav.sh: sox is needed (Debian: apt-get install sox)" >&2
    exit 1
fi

root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/data/petan.wav"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rate=44100
sox -R -D -n -r $rate -b 16 -c 1 "$work/body.wav" \
    synth 0.20 sine 150:50 fade l 0.002 0.20 0.19
sox -R -D -n -r $rate -b 16 -c 1 "$work/tap.wav" \
    synth 0.03 brownnoise lowpass 1500 fade l 0.001 0.03 0.028 gain -6
sox -R -D -m "$work/body.wav" "$work/tap.wav" -b 16 "$out" \
    lowpass 2500 highpass 35 norm -6

echo "wrote $out"
