#!/usr/bin/env python3
"""Draws the program's icons as 16-colour .ico files (32x32 and 16x16 images).

Run once by hand; the .ico files it writes are kept in resources/.
"""
import struct
import sys

# The standard 16-colour VGA palette, as (blue, green, red, reserved).
PALETTE = [(0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
           (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0),
           (0, 255, 255), (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255)]
BLACK, NAVY, GREEN, TEAL, MAROON, PURPLE, OLIVE, SILVER, GREY, BLUE, LIME, AQUA, RED, FUCHSIA, YELLOW, WHITE = range(16)


def image(size, pixel):
    """One ICONIMAGE: header, palette, 4-bit XOR bitmap and 1-bit AND mask, bottom-up."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):
        row = [pixel(x, y, size) for x in range(size)]
        for x in range(0, size, 2):
            a, b = (row[x] or 0), (row[x + 1] or 0)
            xor.append(a << 4 | b)
        while len(xor) % 4:
            xor.append(0)
        bits = 0
        line = bytearray()
        for x in range(size):
            bits = bits << 1 | (1 if row[x] is None else 0)
            if x % 8 == 7:
                line.append(bits)
                bits = 0
        while len(line) % 4:
            line.append(0xFF)
        mask += line
    return header + palette + bytes(xor) + bytes(mask)


def icon(pixel, sizes=(32, 16)):
    images = [image(size, pixel) for size in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def scaled(draw):
    """Lets a drawing work in 32x32 units whatever the image size."""
    return lambda x, y, size: draw(x * 32 // size, y * 32 // size)


def plugin(x, y):
    # A puzzle piece: a green block with a knob on top and a notch at the right.
    if 12 <= x <= 19 and 3 <= y <= 8:
        return BLACK if x in (12, 19) or y == 3 else LIME
    if 4 <= x <= 27 and 8 <= y <= 27:
        if 24 <= x and 14 <= y <= 20:
            return None
        edge = x in (4, 27) or y in (8, 27)
        return BLACK if edge else GREEN
    return None


def program(x, y):
    # A page with a hex grid beside a tree.
    if 2 <= x <= 29 and 2 <= y <= 29:
        if x in (2, 29) or y in (2, 29):
            return NAVY
        if y == 5 or y == 6:
            return BLUE
        if x <= 11:
            if x == 5 and 9 <= y <= 25:
                return GREY
            if y in (9, 15, 21) and 5 <= x <= 10:
                return GREEN if x >= 8 else GREY
            return WHITE
        if x == 12:
            return GREY
        return (TEAL if (x + y) % 3 else BLACK) if y % 4 == 1 else WHITE
    return None


# The tree view's 16x16 pictures.

# 3x5 letters, one string per row, '#' set.
LETTERS = {
    'A': ('.#.', '#.#', '###', '#.#', '#.#'),
    'S': ('###', '#..', '###', '..#', '###'),
    'V': ('#.#', '#.#', '#.#', '#.#', '.#.'),
}


def letter_on(char, fill):
    """A letter, drawn twice the size of its 3x5 pattern, on a coloured square."""
    rows = LETTERS[char]

    def draw(x, y, size):
        if not (1 <= x <= 14 and 1 <= y <= 14):
            return None
        if x in (1, 14) or y in (1, 14):
            return BLACK
        lx, ly = (x - 5) // 2, (y - 3) // 2
        if 0 <= lx < 3 and 0 <= ly < 5 and x >= 5 and y >= 3 and rows[ly][lx] == '#':
            return BLACK
        return fill
    return draw


def disk(x, y, size):
    # A floppy disk: navy body, silver shutter, white label.
    if not (1 <= x <= 14 and 1 <= y <= 14):
        return None
    if x in (1, 14) or y in (1, 14) or (x == 13 and y == 2):
        return BLACK
    if 4 <= x <= 10 and 2 <= y <= 5:
        return BLACK if x == 9 and 3 <= y <= 4 else SILVER
    if 3 <= x <= 12 and 8 <= y <= 13:
        return GREY if y in (10, 12) and 4 <= x <= 11 else WHITE
    return NAVY


def folder(x, y, size):
    # A yellow folder with its tab at the top left.
    if 1 <= x <= 6 and y == 3:
        return OLIVE
    if 1 <= x <= 14 and 4 <= y <= 13:
        if x in (1, 14) or y in (4, 13):
            return OLIVE
        return WHITE if y == 5 else YELLOW
    return None


def tag(x, y, size):
    # A yellow luggage tag pointing left, with its hole and string.
    if (x, y) in ((1, 3), (2, 2), (3, 1)):
        return BLACK
    body = 4 <= x <= 14 and 4 <= y <= 11
    point = 1 <= x <= 3 and abs(y - 7.5) <= x + 0.5
    if not (body or point):
        return None
    if x == 5 and 7 <= y <= 8:
        return WHITE
    edge = (body and (x == 14 or y in (4, 11))) or (point and abs(y - 7.5) > x - 0.5)
    return BLACK if edge else YELLOW


def note(x, y, size):
    # A black arrow pointing right, on yellow.
    if not (1 <= x <= 14 and 1 <= y <= 14):
        return None
    if x in (1, 14) or y in (1, 14):
        return BLACK
    if (3 <= x <= 8 and 7 <= y <= 8) or (8 <= x <= 12 and abs(y - 7.5) <= 12.5 - x):
        return BLACK
    return YELLOW


def fault(x, y, size):
    # A red warning triangle with a white exclamation mark: where an analysis met damage.
    if not (1 <= y <= 14):
        return None
    half = (y - 1) * 7 / 13 + 0.5
    if abs(x - 7.5) > half:
        return None
    if y == 14 or abs(x - 7.5) > half - 1:
        return BLACK
    if 7 <= x <= 8 and (5 <= y <= 9 or 11 <= y <= 12):
        return WHITE
    return RED


TREE_PICTURES = (('tree_disk', disk), ('tree_folder', folder), ('tree_tag', tag),
                 ('tree_offset', letter_on('A', AQUA)), ('tree_size', letter_on('S', LIME)),
                 ('tree_value', letter_on('V', YELLOW)), ('tree_note', note), ('tree_fault', fault))


if __name__ == '__main__':
    folder_path = sys.argv[1] if len(sys.argv) > 1 else 'resources'
    for name, draw in (('plugin', plugin), ('program', program)):
        with open(f'{folder_path}/{name}.ico', 'wb') as f:
            f.write(icon(scaled(draw)))
    for name, draw in TREE_PICTURES:
        with open(f'{folder_path}/{name}.ico', 'wb') as f:
            f.write(icon(draw, sizes=(16,)))
