"""Short synthesised sounds of the wav folder (mono, 16-bit, 22050 Hz).

Each sound is a few bell-like notes: a sine with two soft overtones and an
exponential decay, so that nothing clicks or sounds harsh on small speakers.
"""

import math
import struct
import wave

RATE = 22050
NOTES = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}


def freq(name):
    # "A4" = 440 Hz; "C#5", "Bb3" also work.
    letter, rest = name[0], name[1:]
    semis = NOTES[letter]
    if rest.startswith("#"):
        semis, rest = semis + 1, rest[1:]
    elif rest.startswith("b"):
        semis, rest = semis - 1, rest[1:]
    octave = int(rest)
    return 440.0 * 2 ** ((semis + 12 * (octave - 4)) / 12)


def render(events, length, volume=0.5):
    """events: (start seconds, note or list of notes, duration, decay)."""
    n = int(length * RATE)
    buf = [0.0] * n
    for start, notes, dur, decay in events:
        if isinstance(notes, str):
            notes = [notes]
        s0 = int(start * RATE)
        count = int(dur * RATE)
        for note in notes:
            f = freq(note)
            amp = 1.0 / len(notes)
            for i in range(count):
                j = s0 + i
                if j >= n:
                    break
                t = i / RATE
                attack = min(1.0, t / 0.006)
                env = attack * math.exp(-t * decay)
                tail = min(1.0, (count - i) / (0.02 * RATE))
                w = (math.sin(2 * math.pi * f * t) + 0.3 * math.sin(4 * math.pi * f * t)
                     + 0.12 * math.sin(6 * math.pi * f * t))
                buf[j] += amp * env * tail * w
    peak = max(1e-9, max(abs(v) for v in buf))
    scale = volume * 32767 / peak
    return b"".join(struct.pack("<h", int(round(v * scale))) for v in buf)


SOUNDS = {
    # category screen opens: a light two-note chime
    "cat.wav": ([(0.0, "E5", 0.5, 7), (0.12, "A5", 0.6, 6)], 0.75),
    # course menu shown: a welcoming arpeggio
    "test.wav": ([(0.0, "C5", 0.5, 6), (0.1, "E5", 0.5, 6), (0.2, "G5", 0.7, 5)], 0.95),
    # exam starts: rising arpeggio ending on a chord
    "start.wav": ([(0.0, "C5", 0.3, 8), (0.09, "E5", 0.3, 8), (0.18, "G5", 0.3, 8),
                   (0.27, ["C6", "G5", "E5"], 0.9, 4)], 1.2),
    # remaining-time warnings: one, two and three ding-dongs
    "10min.wav": ([(0.0, "G5", 0.6, 5), (0.45, "E5", 0.9, 4)], 1.4),
    "05min.wav": ([(0.0, "G5", 0.5, 6), (0.35, "E5", 0.5, 6), (0.8, "G5", 0.5, 6),
                   (1.15, "E5", 0.8, 4)], 2.0),
    "01min.wav": ([(0.0, "A5", 0.2, 12), (0.22, "A5", 0.2, 12), (0.44, "A5", 0.2, 12),
                   (0.7, ["E6", "A5"], 0.7, 5)], 1.45),
    # results, best to worst
    "Excellent.wav": ([(0.0, "C5", 0.25, 7), (0.13, "E5", 0.25, 7), (0.26, "G5", 0.25, 7),
                       (0.39, "C6", 0.3, 6), (0.6, ["C6", "E5", "G5", "C5"], 1.2, 2.8)], 1.85),
    "Good.wav": ([(0.0, "D5", 0.3, 7), (0.15, "F#5", 0.3, 7), (0.3, ["A5", "D5"], 0.9, 3.5)], 1.25),
    "Soso.wav": ([(0.0, "G4", 0.4, 6), (0.25, "C5", 0.7, 4.5)], 1.0),
    "Bad.wav": ([(0.0, "E4", 0.45, 5), (0.35, "C4", 0.8, 4)], 1.2),
    "Dorvel.wav": ([(0.0, "C4", 0.45, 5), (0.3, "A3", 0.45, 5), (0.6, ["F3", "C4"], 0.9, 3.5)],
                   1.55),
}


def write(path, name):
    events, length = SOUNDS[name]
    data = render(events, length)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(data)
