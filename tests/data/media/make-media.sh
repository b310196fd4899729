#!/bin/sh
# Rebuilds the sound files in this folder. Everything here is synthesised
# by this script; nothing is downloaded. Needs python3, lame and abcmidi.
set -eu
cd "$(dirname "$0")"

python3 - <<'PY'
import math, struct

def wav(name, rate, channels, frames):
    data = b"".join(struct.pack("<" + "h" * channels, *f) for f in frames)
    with open(name, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE")
        f.write(b"fmt " + struct.pack("<IHHIIHH", 16, 1, channels, rate, rate * 2 * channels, 2 * channels, 16))
        f.write(b"data" + struct.pack("<I", len(data)) + data)

# A two-partial chime, 0.5 s, 22050 Hz mono.
rate = 22050
chime = []
for i in range(rate // 2):
    t = i / rate
    v = math.exp(-6 * t) * (0.6 * math.sin(2 * math.pi * 880 * t) + 0.3 * math.sin(2 * math.pi * 1320 * t))
    chime.append((int(v * 32767),))
wav("chime.wav", rate, 1, chime)

# A short phrase for the MP3 encoder: 2 s, 44100 Hz stereo.
rate = 44100
notes = [262, 330, 392, 523, 392, 330, 262, 196]
phrase = []
for i in range(2 * rate):
    t = i / rate
    n = notes[int(t / 0.25) % len(notes)]
    local = t % 0.25
    env = min(1.0, local * 50) * math.exp(-4 * local)
    v = 0.5 * env * math.sin(2 * math.pi * n * t)
    phrase.append((int(v * 32767), int(v * 0.8 * 32767)))
wav("phrase.wav", rate, 2, phrase)
PY

lame --quiet -b 128 phrase.wav tune.mp3
lame --quiet -m m --resample 22.05 -b 48 phrase.wav tune-mono22k.mp3
rm phrase.wav

cat > tune.abc <<'ABC'
X:1
T:Tidepool test tune
M:4/4
L:1/8
Q:1/4=240
K:C
CEGc GEC2 | DFAd AFD2 |]
ABC
abc2midi tune.abc -o tune.mid -quiet -silent
rm tune.abc
