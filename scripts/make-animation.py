#!/usr/bin/env python3
"""Writes data/sam.gif, the rule list's animation: a sieve holding a caught envelope while
drops fall through it.

Frame 0 is the still picture shown while auto-check is off: nothing falls. The other
frames loop while auto-check is on. 32x32 pixels, transparent background, written with
the standard library alone (a small GIF89a writer with its own LZW coder below). The
output is the same bytes on every run.
"""

import struct
import sys
from pathlib import Path

SIZE = 32
SUPERSAMPLE = 4  # shapes are sampled 4x4 per pixel; a pixel is drawn when half is covered
FRAME_DELAY_CS = 9  # hundredths of a second per moving frame
MOVING_FRAMES = 8

TRANSPARENT = 0
PALETTE = [
    (255, 255, 255),  # transparent background
    (43, 74, 111),    # sieve rim and handle, envelope outline
    (120, 150, 185),  # sieve mesh
    (245, 247, 250),  # envelope paper
    (52, 132, 228),   # drops
    (200, 60, 50),    # the envelope's stamp: the caught spam
    (0, 0, 0),
    (0, 0, 0),
]

BOWL_CX, BOWL_TOP, BOWL_RX, BOWL_RY = 14.0, 12.0, 11.0, 9.0
DROP_COLUMNS = (9.0, 14.0, 19.0)
DROP_START, DROP_END = 23.0, 33.0


# ---- shapes: each answers whether a point (x, y) in pixel units lies inside it ----

def in_bowl(x, y):
    """The lower half of an ellipse: the sieve's bowl."""
    if y < BOWL_TOP:
        return False
    dx = (x - BOWL_CX) / BOWL_RX
    dy = (y - BOWL_TOP) / BOWL_RY
    return dx * dx + dy * dy <= 1.0


def in_bowl_edge(x, y):
    dx = (x - BOWL_CX) / (BOWL_RX - 1.3)
    dy = (y - BOWL_TOP) / (BOWL_RY - 1.3)
    return in_bowl(x, y) and dx * dx + dy * dy > 1.0


def in_mesh(x, y):
    """A grid of wires across the bowl, one every three pixels."""
    return in_bowl(x, y) and (int(x) % 3 == 0 or int(y) % 3 == 0)


def in_rim(x, y):
    return BOWL_CX - BOWL_RX - 1 <= x <= BOWL_CX + BOWL_RX + 1 and BOWL_TOP - 1.5 <= y <= BOWL_TOP + 0.5


def in_handle(x, y):
    return BOWL_CX + BOWL_RX <= x <= 31 and BOWL_TOP - 1.0 <= y <= BOWL_TOP + 0.5


ENV_X0, ENV_Y0, ENV_X1, ENV_Y1 = 7.5, 4.0, 20.5, 13.5


def in_envelope(x, y):
    return ENV_X0 <= x <= ENV_X1 and ENV_Y0 <= y <= ENV_Y1


def in_envelope_outline(x, y):
    if not in_envelope(x, y):
        return False
    if x < ENV_X0 + 1 or x > ENV_X1 - 1 or y < ENV_Y0 + 1 or y > ENV_Y1 - 1:
        return True
    # the flap: two lines from the top corners to the middle
    mid = (ENV_X0 + ENV_X1) / 2
    half = (ENV_X1 - ENV_X0) / 2
    flap_y = ENV_Y0 + (1 - abs(x - mid) / half) * 4.5
    return abs(y - flap_y) < 0.75


def in_stamp(x, y):
    return ENV_X1 - 4 <= x <= ENV_X1 - 1.5 and ENV_Y0 + 1.5 <= y <= ENV_Y0 + 4


def in_drop(x, y, cx, cy):
    """A small drop: a round bottom with a point above it."""
    dx, dy = x - cx, y - cy
    if dy >= 0:
        return dx * dx + dy * dy <= 2.0 * 2.0
    return dy >= -4.0 and abs(dx) <= 2.0 * (1 + dy / 4.0)


# ---- frames ----

def drops_in_frame(frame):
    """Drop centres for a moving frame; each column falls with its own phase."""
    if frame == 0:
        return []
    span = DROP_END - DROP_START
    centres = []
    for column, x in enumerate(DROP_COLUMNS):
        phase = ((frame - 1) / MOVING_FRAMES + column / len(DROP_COLUMNS)) % 1.0
        centres.append((x, DROP_START + phase * span))
    return centres


def colour_at(x, y, drops):
    """The palette index of one sample point; later tests draw over earlier ones."""
    colour = TRANSPARENT
    if in_mesh(x, y) or in_bowl_edge(x, y):
        colour = 2 if in_mesh(x, y) and not in_bowl_edge(x, y) else 1
    if in_envelope(x, y):
        colour = 3
        if in_stamp(x, y):
            colour = 5
        if in_envelope_outline(x, y):
            colour = 1
    # the rim in front of the envelope: the envelope lies in the bowl
    if in_rim(x, y) or in_handle(x, y):
        colour = 1
    for cx, cy in drops:
        if in_drop(x, y, cx, cy):
            colour = 4
    return colour


def render(frame):
    drops = drops_in_frame(frame)
    pixels = bytearray()
    step = 1.0 / SUPERSAMPLE
    for py in range(SIZE):
        for px in range(SIZE):
            votes = {}
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    c = colour_at(px + (sx + 0.5) * step, py + (sy + 0.5) * step, drops)
                    votes[c] = votes.get(c, 0) + 1
            opaque = {c: n for c, n in votes.items() if c != TRANSPARENT}
            covered = sum(opaque.values())
            if covered * 2 < SUPERSAMPLE * SUPERSAMPLE:
                pixels.append(TRANSPARENT)
            else:
                pixels.append(max(opaque, key=lambda c: (opaque[c], -c)))
    return bytes(pixels)


# ---- GIF writer ----

def lzw_encode(indices, min_code_size):
    """GIF's variable-width LZW, codes packed least significant bit first."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bit_buffer = 0
    bit_count = 0

    def emit(code, width):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += width
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    def fresh_table():
        return {(i,): i for i in range(clear)}

    table = fresh_table()
    next_code = end + 1
    width = min_code_size + 1
    emit(clear, width)
    current = ()
    for index in indices:
        candidate = current + (index,)
        if candidate in table:
            current = candidate
            continue
        emit(table[current], width)
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table = fresh_table()
            next_code = end + 1
            width = min_code_size + 1
        current = (index,)
    if current:
        emit(table[current], width)
    emit(end, width)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def sub_blocks(data):
    blocks = bytearray()
    for start in range(0, len(data), 255):
        chunk = data[start:start + 255]
        blocks.append(len(chunk))
        blocks += chunk
    blocks.append(0)
    return bytes(blocks)


def graphic_control(delay_cs):
    # disposal 2 (restore to background) so drops leave no trails; transparency on
    packed = (2 << 2) | 1
    return b"\x21\xF9\x04" + struct.pack("<BHB", packed, delay_cs, TRANSPARENT) + b"\x00"


def image(pixels):
    descriptor = b"\x2C" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
    min_code_size = 3  # eight palette entries
    return descriptor + bytes([min_code_size]) + sub_blocks(lzw_encode(pixels, min_code_size))


def gif(frames):
    header = b"GIF89a" + struct.pack("<HHBBB", SIZE, SIZE, 0xF2, TRANSPARENT, 0)
    palette = b"".join(bytes(rgb) for rgb in PALETTE)
    loop = b"\x21\xFF\x0BNETSCAPE2.0\x03\x01" + struct.pack("<H", 0) + b"\x00"
    body = b"".join(graphic_control(delay) + image(pixels) for delay, pixels in frames)
    return header + palette + loop + body + b"\x3B"


def main():
    data = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "data"
    frames = [(FRAME_DELAY_CS, render(frame)) for frame in range(MOVING_FRAMES + 1)]
    target = data / "sam.gif"
    target.write_bytes(gif(frames))
    print(target)


if __name__ == "__main__":
    main()
