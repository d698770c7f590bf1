#!/usr/bin/env python3
"""Draws Pelmira's icons and cursor and writes them as .ico/.cur files (standard library only).

    bhide.ico  32 x 32, 16 colours: a painter's palette (the hook library's icon; it has eight
               colours, so the 16-colour form holds the same pixels in a quarter of the bytes of
               a library that every program on the desktop maps)
    ashow.ico  32 x 32, 24-bit: a palette with an eyedropper (the controller's icon)
    spuit.cur  32 x 32, monochrome, hot spot (6, 6): an eyedropper whose tip is the hot spot

Run it in this folder; the generated files are committed next to it.
"""
import math
import struct

SIZE = 32
HOT_SPOT = (6, 6)


def dist_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def palette_pixel(x, y):
    """Colour (r, g, b) of the painter's palette at pixel centre (x, y), or None outside it."""
    cx, cy = x + 0.5, y + 0.5
    inside = ((cx - 16) / 15.0) ** 2 + ((cy - 17) / 12.0) ** 2 <= 1.0
    thumb = math.hypot(cx - 21, cy - 22) <= 3.0
    if not inside or thumb:
        return None
    edge = ((cx - 16) / 13.8) ** 2 + ((cy - 17) / 10.8) ** 2 > 1.0
    if edge or math.hypot(cx - 21, cy - 22) <= 4.0:
        return (120, 80, 40)
    blobs = [((9, 13), (220, 30, 30)), ((15, 10), (250, 200, 20)), ((22, 11), (40, 160, 60)),
             ((8, 20), (30, 80, 220)), ((14, 23), (150, 40, 170))]
    for (bx, by), colour in blobs:
        if math.hypot(cx - bx, cy - by) <= 2.6:
            return colour
    return (225, 185, 130)


def dropper_shape(x, y, tip, end):
    """'outline', 'fill' or None for an eyedropper from tip to end (pixel centre (x, y))."""
    cx, cy = x + 0.5, y + 0.5
    if math.hypot(cx - end[0], cy - end[1]) <= 4.5:
        return 'outline'  # the rubber bulb, solid
    d = dist_to_segment(cx, cy, tip[0], tip[1], end[0], end[1])
    if d <= 1.3:
        return 'fill'
    if d <= 2.4:
        return 'outline'
    return None


def bitmap_header(bit_count, image_bytes, colours):
    # Icon and cursor bitmaps count the XOR and AND halves in the height.
    return struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, bit_count, 0, image_bytes, 0, 0,
                       colours, 0)


def and_mask(transparent):
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up
        row = bytearray(4)
        for x in range(SIZE):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    return b''.join(rows)


def container(kind, width_colours, plane_or_hx, bits_or_hy, image):
    header = struct.pack('<HHH', 0, kind, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, width_colours, 0, plane_or_hx, bits_or_hy,
                        len(image), 6 + 16)
    return header + entry + image


def icon_24(pixel):
    """A 24-bit icon; pixel(x, y) gives (r, g, b) or None for transparent."""
    xor = bytearray()
    for y in reversed(range(SIZE)):
        for x in range(SIZE):
            r, g, b = pixel(x, y) or (0, 0, 0)
            xor += bytes((b, g, r))
        # 32 pixels x 3 bytes = 96 bytes: already a multiple of 4
    mask = and_mask(lambda x, y: pixel(x, y) is None)
    image = bitmap_header(24, len(xor) + len(mask), 0) + bytes(xor) + mask
    return container(1, 0, 1, 24, image)


def icon_4(pixel):
    """A 16-colour icon of the same pixels as icon_24 would write; at most 16 distinct colours."""
    palette = []
    for y in range(SIZE):
        for x in range(SIZE):
            colour = pixel(x, y) or (0, 0, 0)
            if colour not in palette:
                palette.append(colour)
    assert len(palette) <= 16, 'more than 16 colours: write the icon with icon_24'
    palette += [(0, 0, 0)] * (16 - len(palette))
    colours = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    xor = bytearray()
    for y in reversed(range(SIZE)):
        for x in range(0, SIZE, 2):
            high = palette.index(pixel(x, y) or (0, 0, 0))
            low = palette.index(pixel(x + 1, y) or (0, 0, 0))
            xor.append(high << 4 | low)
        # 32 pixels x 4 bits = 16 bytes: already a multiple of 4
    mask = and_mask(lambda x, y: pixel(x, y) is None)
    image = bitmap_header(4, len(xor) + len(mask), 16) + colours + bytes(xor) + mask
    return container(1, 16, 1, 4, image)


def cursor_mono(shape):
    """A monochrome cursor; shape(x, y) gives 'outline' (black), 'fill' (white) or None."""
    colours = struct.pack('<BBBBBBBB', 0, 0, 0, 0, 255, 255, 255, 0)
    xor = bytearray()
    for y in reversed(range(SIZE)):
        row = bytearray(4)
        for x in range(SIZE):
            if shape(x, y) == 'fill':
                row[x // 8] |= 0x80 >> (x % 8)
        xor += row
    mask = and_mask(lambda x, y: shape(x, y) is None)
    image = bitmap_header(1, len(xor) + len(mask), 2) + colours + bytes(xor) + mask
    return container(2, 2, HOT_SPOT[0], HOT_SPOT[1], image)


def ashow_pixel(x, y):
    shape = dropper_shape(x, y, (4, 4), (14, 14))
    if shape == 'outline':
        return (20, 20, 20)
    if shape == 'fill':
        return (200, 230, 255)
    return palette_pixel(x, y)


def spuit_shape(x, y):
    if (x, y) == HOT_SPOT:
        return 'outline'  # the tip itself is the hot spot
    return dropper_shape(x, y, HOT_SPOT, (24, 24))


def main():
    with open('bhide.ico', 'wb') as f:
        f.write(icon_4(palette_pixel))
    with open('ashow.ico', 'wb') as f:
        f.write(icon_24(ashow_pixel))
    with open('spuit.cur', 'wb') as f:
        f.write(cursor_mono(spuit_shape))


if __name__ == '__main__':
    main()
