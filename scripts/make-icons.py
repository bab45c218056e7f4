#!/usr/bin/env python3
"""Draws the program's icon (res/Kelvarin.ico) and link cursor (res/hand.cur).

Standard library only. The icon is a small monitor with a magnifying glass in front,
rendered with 8x8 supersampling and stored as 8-bit palette images at 32x32 (the large
icon) and 24x24, 20x20, 16x16 (the small icon at 150, 125 and 100 % scaling);
the cursor is a 32x32 monochrome pointing hand, hot spot on the fingertip (7, 0).

    python3 scripts/make-icons.py [output-directory]    (default: res/ beside this script)
"""

import math
import os
import struct
import sys

# ---------------------------------------------------------------------------
# Icon scene, in a 32 x 32 coordinate space (pixel (i, j) covers [i, i+1) x [j, j+1)).
# Each layer is (covers(x, y) -> bool, colour(x, y) -> (r, g, b)); later layers paint
# over earlier ones.


def rounded_rect(x0, y0, x1, y1, r):
    def covers(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return covers


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_in, r_out):
    return lambda x, y: r_in * r_in < (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def capsule(ax, ay, bx, by, r):
    """A thick line segment with round ends."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def covers(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= r * r

    return covers


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(a[k] + (b[k] - a[k]) * t) for k in range(3))


def solid(c):
    return lambda x, y: c


def vertical(top, bottom, y0, y1):
    return lambda x, y: mix(top, bottom, (y - y0) / (y1 - y0))


BEZEL_LIGHT = (112, 122, 140)
BEZEL_DARK = (46, 52, 66)
SCREEN_TOP = (120, 200, 255)
SCREEN_BOTTOM = (24, 84, 190)
HILL = (60, 170, 90)
HILL_DARK = (34, 120, 64)
SUN = (255, 214, 90)
STAND = (150, 158, 172)
STAND_DARK = (92, 100, 116)
RIM = (44, 44, 52)
RIM_LIGHT = (128, 134, 150)
HANDLE = (150, 84, 34)
HANDLE_DARK = (96, 50, 18)

LENS_CENTRE = (20.5, 18.5)
LENS_RADIUS = 5.2


def screen_colour(x, y):
    """The desktop seen on the monitor: sky, sun and a green hill."""
    c = mix(SCREEN_TOP, SCREEN_BOTTOM, (y - 5) / 14)
    if (x - 9.5) ** 2 + (y - 9) ** 2 <= 2.4 ** 2:
        c = SUN
    hill = 15.5 + 3.2 * math.cos((x - 8) / 6.0)
    if y >= hill:
        c = mix(HILL, HILL_DARK, (y - hill) / 4)
    return c


def lens_colour(x, y):
    """What the glass shows: the screen, enlarged around the lens centre, tinted."""
    cx, cy = LENS_CENTRE
    sx, sy = cx + (x - cx) * 0.6, cy + (y - cy) * 0.6
    c = mix(screen_colour(sx, sy), (235, 248, 255), 0.28)
    # A soft highlight on the upper left of the glass.
    d = math.hypot(x - (cx - 2.2), y - (cy - 2.2))
    return mix(c, (255, 255, 255), 0.55 * max(0.0, 1 - d / 2.2))


def rim_colour(x, y):
    cx, cy = LENS_CENTRE
    # Lit from the upper left.
    t = ((x - cx) + (y - cy)) / (2 * LENS_RADIUS + 4) + 0.5
    return mix(RIM_LIGHT, RIM, t * 1.3)


def scene(size):
    # Below 24 x 24 a thin rim would blur into the glass; draw it a little heavier.
    rim = 1.9 if size >= 24 else 2.6
    cx, cy = LENS_CENTRE
    return [
        # monitor body
        (rounded_rect(1.5, 2.5, 29.5, 22.5, 2.5), vertical(BEZEL_LIGHT, BEZEL_DARK, 2.5, 22.5)),
        (rounded_rect(3.5, 4.5, 27.5, 20.0, 0.8), solid((20, 24, 32))),
        (rounded_rect(4.2, 5.2, 26.8, 19.3, 0.5), screen_colour),
        # stand
        (rounded_rect(12.5, 22.0, 18.5, 26.5, 0.0), vertical(STAND_DARK, STAND, 22.0, 26.5)),
        (rounded_rect(8.0, 25.5, 23.0, 29.0, 1.5), vertical(STAND, STAND_DARK, 25.5, 29.0)),
        # magnifier
        (capsule(25.0, 23.0, 29.3, 27.3, 2.1), vertical(HANDLE, HANDLE_DARK, 23.0, 30.0)),
        (disc(cx, cy, LENS_RADIUS), lens_colour),
        (ring(cx, cy, LENS_RADIUS, LENS_RADIUS + rim), rim_colour),
    ]


def render(size, samples=8):
    """Returns rows of (r, g, b) or None (transparent), top row first."""
    scale = 32.0 / size
    layers = scene(size)
    rows = []
    for j in range(size):
        row = []
        for i in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sj in range(samples):
                for si in range(samples):
                    x = (i + (si + 0.5) / samples) * scale
                    y = (j + (sj + 0.5) / samples) * scale
                    colour = None
                    for covers, paint in layers:
                        if covers(x, y):
                            colour = paint(x, y)
                    if colour is not None:
                        hits += 1
                        for k in range(3):
                            acc[k] += colour[k]
            # Icons of this format have a one-bit mask: a pixel is opaque when most of
            # it is covered, and then takes the mean of its covered samples only, so
            # edges carry no halo of a background colour.
            if hits * 2 >= samples * samples:
                row.append(tuple(round(a / hits) for a in acc))
            else:
                row.append(None)
        rows.append(row)
    return rows


def median_cut(colours, limit):
    """Reduces a list of colours to at most `limit` representatives."""
    boxes = [list(colours)]
    while len(boxes) < limit:
        best, axis, spread = None, 0, 0
        for n, box in enumerate(boxes):
            if len(set(box)) < 2:
                continue
            for k in range(3):
                values = [c[k] for c in box]
                s = max(values) - min(values)
                if s > spread:
                    best, axis, spread = n, k, s
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda c: c[axis])
        half = len(box) // 2
        boxes += [box[:half], box[half:]]
    return [tuple(round(sum(c[k] for c in box) / len(box)) for k in range(3)) for box in boxes if box]


def palette_for(rows):
    """Palette of 256 entries; entry 0 stays black, the colour of transparent pixels
    (mask 1, colour 0 leaves the screen as it is)."""
    used = [c for row in rows for c in row if c is not None]
    unique = sorted(set(used))
    chosen = unique if len(unique) <= 255 else median_cut(used, 255)
    return [(0, 0, 0)] + chosen + [(0, 0, 0)] * (255 - len(chosen))


def nearest(palette, colour, cache):
    if colour not in cache:
        cache[colour] = min(
            range(1, len(palette)),
            key=lambda n: sum((palette[n][k] - colour[k]) ** 2 for k in range(3)),
        )
    return cache[colour]


def row_bytes(bits_per_row):
    """DIB rows are padded to a multiple of four bytes."""
    return (bits_per_row + 31) // 32 * 4


def mask_plane(rows, size):
    """The AND mask, bottom row first: bit set where the pixel is transparent."""
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(row_bytes(size))
        for i, c in enumerate(row):
            if c is None:
                line[i // 8] |= 0x80 >> (i % 8)
        out += line
    return out


def info_header(size, bit_count, colours_used):
    # biHeight counts both planes (colour and mask); biSizeImage covers both as well.
    image = (row_bytes(size * bit_count) + row_bytes(size)) * size
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bit_count, 0, image, 0, 0, colours_used, 0)


def icon_image(rows):
    size = len(rows)
    palette = palette_for(rows)
    cache = {}
    data = bytearray(info_header(size, 8, 0))
    for r, g, b in palette:
        data += bytes((b, g, r, 0))
    for row in reversed(rows):
        line = bytearray(row_bytes(size * 8))
        for i, c in enumerate(row):
            line[i] = 0 if c is None else nearest(palette, c, cache)
        data += line
    data += mask_plane(rows, size)
    return bytes(data)


def directory_file(kind, entries):
    """An .ico (kind 1) or .cur (kind 2) file from (width, height, colours, field4,
    field6, image) entries; for cursors fields 4 and 6 are the hot spot's x and y."""
    head = struct.pack("<HHH", 0, kind, len(entries))
    offset = len(head) + 16 * len(entries)
    table = bytearray()
    images = bytearray()
    for width, height, colours, f4, f6, image in entries:
        table += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, f4, f6, len(image), offset)
        images += image
        offset += len(image)
    return head + bytes(table) + bytes(images)


def make_icon():
    entries = []
    for size in (32, 24, 20, 16):
        # colours 0 means 256 or more; planes 1, bits per pixel 8
        entries.append((size, size, 0, 1, 8, icon_image(render(size))))
    return directory_file(1, entries)


# ---------------------------------------------------------------------------
# The link cursor: '#' black, 'o' white, '.' transparent. The index finger's tip is the
# hot spot (7, 0).

HAND = [
    "......###",
    ".....#ooo#",
    ".....#ooo#",
    ".....#ooo#",
    ".....#ooo#",
    ".....#ooo#",
    ".....#ooo####",
    ".....#ooo#ooo###",
    ".....#ooo#ooo#oo#",
    ".....#ooo#ooo#oo###",
    ".....#ooo#ooo#oo#oo#",
    ".##..#ooo#ooo#oo#oo#",
    "#oo#.#ooo#ooo#oo#oo#",
    "#ooo##ooooooooooooo#",
    "#oooo#ooooooooooooo#",
    ".#ooooooooooooooooo#",
    "..#oooooooooooooooo#",
    "...#ooooooooooooooo#",
    "....#oooooooooooooo#",
    ".....#oooooooooooo#",
    "......#ooooooooooo#",
    "......#ooooooooooo#",
    "......#############",
    "......#ooooooooooo#",
    "......#ooooooooooo#",
    "......#############",
]
HAND_HOTSPOT = (7, 0)


def make_cursor():
    size = 32
    rows = [line.ljust(size, ".") for line in HAND] + ["." * size] * (size - len(HAND))
    assert all(len(r) == size for r in rows), "hand drawing wider than the cursor"
    assert rows[HAND_HOTSPOT[1]][HAND_HOTSPOT[0]] == "#", "hot spot is not on the outline"
    data = bytearray(info_header(size, 1, 2))
    data += bytes((0, 0, 0, 0, 255, 255, 255, 0))  # palette: 0 black, 1 white
    for row in reversed(rows):  # the colour (XOR) plane: 1 = white
        line = bytearray(row_bytes(size))
        for i, ch in enumerate(row):
            if ch == "o":
                line[i // 8] |= 0x80 >> (i % 8)
        data += line
    data += mask_plane([[None if ch == "." else 0 for ch in row] for row in rows], size)
    return directory_file(2, [(size, size, 2, HAND_HOTSPOT[0], HAND_HOTSPOT[1], bytes(data))])


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.normpath(os.path.join(here, "..", "res"))
    for name, data in (("Kelvarin.ico", make_icon()), ("hand.cur", make_cursor())):
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print("wrote %s (%d bytes)" % (os.path.join(out, name), len(data)))


if __name__ == "__main__":
    main()
