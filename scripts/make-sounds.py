#!/usr/bin/env python3
"""Writes the program's three sounds into data/: welcome.wav, gotit.wav, newitem.wav.

16-bit PCM, mono, 22050 Hz. Every note rises and falls along a raised cosine and every
file starts and ends on silence, so nothing clicks. The output is the same bytes on every
run: run it again after changing a sound and commit the files it writes.
"""

import math
import struct
import sys
import wave
from pathlib import Path

RATE = 22050
PEAK = 0.45  # of full scale: leaves headroom where notes overlap
FILE_RELEASE = 0.03  # seconds faded to silence at the end of each file


def smooth_step(x):
    """0 at x <= 0, 1 at x >= 1, a raised cosine in between."""
    if x <= 0.0:
        return 0.0
    if x >= 1.0:
        return 1.0
    return 0.5 - 0.5 * math.cos(math.pi * x)


def bell(freq, t, decay):
    """A soft bell: the tone with a little of its octave and twelfth, dying away."""
    tone = (math.sin(2 * math.pi * freq * t)
            + 0.25 * math.sin(2 * math.pi * 2 * freq * t)
            + 0.08 * math.sin(2 * math.pi * 3 * freq * t))
    return tone / 1.33 * math.exp(-t / decay)


def note(freq, start, length, attack, decay):
    """A note as a function of time in seconds, silent outside [start, start + length]."""
    def sample(t):
        local = t - start
        if local < 0.0 or local > length:
            return 0.0
        envelope = smooth_step(local / attack) * smooth_step((length - local) / 0.02)
        return envelope * bell(freq, local, decay)
    return sample


def render(notes, seconds):
    count = int(round(RATE * seconds))
    frames = bytearray()
    for i in range(count):
        t = i / RATE
        value = sum(n(t) for n in notes)
        value *= smooth_step((seconds - t) / FILE_RELEASE)
        clipped = max(-1.0, min(1.0, value * PEAK))
        frames += struct.pack("<h", int(round(clipped * 32767)))
    return bytes(frames)


def write_wav(path, frames):
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


# C major arpeggio rising to the octave: a friendly hello at the first start.
def welcome():
    c5, e5, g5, c6 = 523.25, 659.26, 783.99, 1046.50
    return render([
        note(c5, 0.00, 0.95, 0.012, 0.35),
        note(e5, 0.12, 0.83, 0.012, 0.32),
        note(g5, 0.24, 0.71, 0.012, 0.30),
        note(c6, 0.36, 0.59, 0.012, 0.26),
    ], 1.0)


# Two quick rising notes: a rule took a message.
def gotit():
    return render([
        note(880.00, 0.00, 0.12, 0.006, 0.08),
        note(1318.51, 0.09, 0.20, 0.006, 0.07),
    ], 0.3)


# A fifth, gently: new mail waits, or a new item is being made.
def newitem():
    return render([
        note(659.26, 0.00, 0.45, 0.03, 0.20),
        note(987.77, 0.15, 0.33, 0.03, 0.16),
    ], 0.5)


def main():
    data = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "data"
    for name, make in (("welcome.wav", welcome), ("gotit.wav", gotit), ("newitem.wav", newitem)):
        write_wav(data / name, make())
        print(data / name)


if __name__ == "__main__":
    main()
