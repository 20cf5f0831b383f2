#!/usr/bin/env python3
"""Synthesises the program's five sounds as 16-bit mono WAV files.

    make_sounds.py OUTPUT_DIRECTORY

writes 148.wav (refused move), 149.wav (move), 150.wav (lost on time),
151.wav (new game) and 152.wav (check). The output is the same on every run:
the only noise comes from a fixed-seed linear congruential generator.
"""

import math
import os
import struct
import sys
import wave

RATE = 22050
PEAK = 0.55  # share of full scale at the loudest point


def frames(seconds):
    return int(round(seconds * RATE))


def envelope(i, count, attack, release):
    """Linear fade in over `attack` samples and out over `release` samples."""
    gain = 1.0
    if attack > 0 and i < attack:
        gain = i / attack
    if release > 0 and count - i <= release:
        gain = min(gain, (count - i) / release)
    return gain


def refused_move():
    # A low buzz: odd harmonics of 110 Hz (a rounded square wave).
    count = frames(0.15)
    out = []
    for i in range(count):
        t = i / RATE
        v = sum(math.sin(2 * math.pi * 110 * k * t) / k for k in (1, 3, 5, 7, 9))
        out.append(0.8 * v * envelope(i, count, frames(0.005), frames(0.03)))
    return out


def move():
    # A wooden click: two damped resonances and a short burst of noise.
    count = frames(0.08)
    seed = 12345
    out = []
    for i in range(count):
        t = i / RATE
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        noise = (seed / 0x3FFFFFFF - 1.0) * math.exp(-t / 0.002)
        body = (0.7 * math.sin(2 * math.pi * 820 * t) * math.exp(-t / 0.012) +
                0.3 * math.sin(2 * math.pi * 1930 * t) * math.exp(-t / 0.006))
        out.append((body + 0.4 * noise) * envelope(i, count, 0, frames(0.01)))
    return out


def lost_on_time():
    # A tone falling from 880 Hz to 220 Hz along an exponential sweep.
    count = frames(0.6)
    phase = 0.0
    out = []
    for i in range(count):
        f = 880.0 * (220.0 / 880.0) ** (i / count)
        phase += 2 * math.pi * f / RATE
        v = math.sin(phase) + 0.25 * math.sin(2 * phase)
        out.append(0.8 * v * envelope(i, count, frames(0.01), frames(0.08)))
    return out


def bell(t, f):
    return (math.sin(2 * math.pi * f * t) + 0.3 * math.sin(2 * math.pi * 2 * f * t)) * \
        math.exp(-t / 0.09)


def new_game():
    # A rising chime: C6 then G6, each struck and left to ring out.
    count = frames(0.4)
    second = frames(0.17)
    out = []
    for i in range(count):
        if i < second:
            v = bell(i / RATE, 1046.5) * envelope(i, second, frames(0.003), frames(0.01))
        else:
            j = i - second
            v = bell(j / RATE, 1568.0) * envelope(j, count - second, frames(0.003),
                                                   frames(0.02))
        out.append(0.8 * v)
    return out


def check():
    # Two short high beeps with a gap between them.
    count = frames(0.25)
    length = frames(0.09)
    starts = (0, frames(0.14))
    out = []
    for i in range(count):
        v = 0.0
        for s in starts:
            if s <= i < s + length:
                j = i - s
                v = math.sin(2 * math.pi * 1760 * j / RATE) * \
                    envelope(j, length, frames(0.004), frames(0.01))
        out.append(v)
    return out


SOUNDS = {148: refused_move, 149: move, 150: lost_on_time, 151: new_game, 152: check}


def write_wave(path, samples):
    top = max(1e-9, max(abs(s) for s in samples))
    scale = PEAK * 32767 / top
    data = b"".join(struct.pack("<h", int(round(s * scale))) for s in samples)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(data)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_sounds.py OUTPUT_DIRECTORY")
    os.makedirs(sys.argv[1], exist_ok=True)
    for sound_id, make in SOUNDS.items():
        write_wave(os.path.join(sys.argv[1], "%d.wav" % sound_id), make())


if __name__ == "__main__":
    main()
