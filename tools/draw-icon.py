#!/usr/bin/env python3
# Draws the Quorvane setup icon -- a diskette in front of a desktop computer (monitor on a
# small case), dark blue with light grey / white details -- and writes it to res/setup.ico.
#
#   python3 tools/draw-icon.py            (from anywhere; the path is taken from this file)
#
# The .ico holds the 16x16 image as a 4-bit palette DIB with its 1-bit AND mask, the form every
# icon path of Windows reads, and the 32x32 and 48x48 images as 32-bit RGBA PNGs (read by
# Windows Vista and later; a third of the 4-bit DIB at 32x32). The drawing has fewer
# than 16 colours and no half-transparent pixel, so both forms are exact; together they take
# under a tenth of the space of three 32-bit DIBs. Each size is drawn pixel by pixel with its own
# rectangles and lines rather than scaled from one big picture, so the small one stays sharp.
# Standard library only; rerun it after changing the drawing and commit the .ico with it.

import os
import struct
import zlib

# Palette (R, G, B). BLUE is the program's colour.
BLUE = (0, 0, 128)
BLUE_LIGHT = (40, 40, 176)   # bevel highlight on top/left edges
BLUE_DARK = (0, 0, 80)       # bevel shade on bottom/right edges
INK = (0, 0, 0)              # outlines
WHITE = (255, 255, 255)
GREY_LIGHT = (216, 216, 216)
GREY = (176, 176, 176)
GREY_DARK = (104, 104, 104)
SCREEN = (200, 216, 240)     # pale, slightly blue screen glass
SCREEN_GLINT = (250, 252, 255)


class Canvas:
    """A size x size picture; pixels are (r, g, b, a) with (0, 0) at the top left."""

    def __init__(self, size):
        self.size = size
        self.px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def dot(self, x, y, rgb):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = rgb + (255,)

    def fill(self, x0, y0, x1, y1, rgb):
        """Solid rectangle, corners inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, rgb)

    def hline(self, x0, x1, y, rgb):
        self.fill(x0, y, x1, y, rgb)

    def vline(self, x, y0, y1, rgb):
        self.fill(x, y0, x, y1, rgb)

    def frame(self, x0, y0, x1, y1, rgb):
        """One-pixel rectangle outline, corners inclusive."""
        self.hline(x0, x1, y0, rgb)
        self.hline(x0, x1, y1, rgb)
        self.vline(x0, y0, y1, rgb)
        self.vline(x1, y0, y1, rgb)

    def box(self, x0, y0, x1, y1, body, outline=INK, bevel=True):
        """Outlined block with a light top/left and dark bottom/right edge inside the outline."""
        self.fill(x0, y0, x1, y1, body)
        if bevel and x1 - x0 >= 4 and y1 - y0 >= 4:
            self.hline(x0 + 1, x1 - 1, y0 + 1, BLUE_LIGHT)
            self.vline(x0 + 1, y0 + 1, y1 - 1, BLUE_LIGHT)
            self.hline(x0 + 1, x1 - 1, y1 - 1, BLUE_DARK)
            self.vline(x1 - 1, y0 + 2, y1 - 1, BLUE_DARK)
        self.frame(x0, y0, x1, y1, outline)

    def save(self):
        return [row[:] for row in self.px]

    def restore(self, saved, x, y):
        """Put back what was at (x, y) before a shape was drawn over it (for cut corners)."""
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = saved[y][x]

    def diskette_corner(self, saved, x1, y0, cut):
        """Cut the top-right corner of a diskette drawn at right edge x1, top y0: the
        triangle above the diagonal shows what is behind, the diagonal is outlined."""
        for i in range(cut):
            for j in range(cut - i):
                self.restore(saved, x1 - j, y0 + i)
        for k in range(cut + 1):
            self.dot(x1 - cut + k, y0 + k, INK)


# --- 16x16 -------------------------------------------------------------------------------
# Every pixel counts here: no bevels, the monitor keeps a 1-pixel blue rim round a 7x5
# screen, and the diskette is 9x9 with a grey shutter on top and a white label below.

def draw16():
    c = Canvas(16)
    # Monitor.
    c.fill(5, 0, 15, 8, BLUE)
    c.frame(5, 0, 15, 8, INK)
    c.fill(7, 2, 13, 6, SCREEN)
    c.hline(7, 9, 2, SCREEN_GLINT)
    c.dot(7, 3, SCREEN_GLINT)
    # Neck and flat case under it.
    c.fill(9, 9, 11, 9, INK)
    c.fill(6, 10, 15, 12, BLUE)
    c.frame(6, 10, 15, 12, INK)
    c.hline(12, 14, 11, GREY)            # drive slot
    # Diskette, top-right corner cut off.
    behind = c.save()
    c.fill(0, 7, 8, 15, BLUE)
    c.frame(0, 7, 8, 15, INK)
    c.diskette_corner(behind, 8, 7, 1)
    c.fill(2, 7, 5, 9, GREY_LIGHT)       # shutter
    c.vline(4, 8, 9, INK)                # shutter window
    c.fill(2, 11, 6, 14, WHITE)          # label
    c.hline(3, 5, 12, GREY)
    return c


# --- 32x32 -------------------------------------------------------------------------------

def draw32():
    c = Canvas(32)
    # Monitor.
    c.box(9, 0, 31, 19, BLUE)
    c.fill(12, 3, 28, 15, INK)           # screen bezel
    c.fill(13, 4, 27, 14, SCREEN)
    c.hline(13, 19, 4, SCREEN_GLINT)
    c.vline(13, 4, 8, SCREEN_GLINT)
    c.hline(14, 16, 5, SCREEN_GLINT)
    c.dot(29, 17, GREY)                  # power light
    # Neck and case.
    c.fill(18, 20, 23, 21, INK)
    c.fill(19, 20, 22, 21, BLUE_DARK)
    c.box(11, 22, 31, 28, BLUE)
    c.fill(22, 24, 29, 25, INK)          # drive slot
    c.hline(23, 28, 25, GREY)
    # Diskette.
    x0, y0, x1, y1 = 0, 14, 17, 31
    behind = c.save()
    c.box(x0, y0, x1, y1, BLUE)
    c.diskette_corner(behind, x1, y0, 3)
    c.fill(4, 14, 13, 20, INK)           # shutter
    c.fill(5, 14, 12, 19, GREY_LIGHT)
    c.vline(5, 14, 19, WHITE)
    c.fill(9, 15, 11, 18, BLUE_DARK)     # shutter window
    c.fill(3, 22, 14, 31, INK)           # label
    c.fill(4, 23, 13, 30, WHITE)
    for y in (25, 27):
        c.hline(5, 12, y, GREY)
    return c


# --- 48x48 -------------------------------------------------------------------------------

def draw48():
    c = Canvas(48)
    # Monitor.
    c.box(13, 0, 47, 29, BLUE)
    c.frame(14, 1, 46, 28, INK)          # double rim reads better at this size
    c.fill(15, 2, 45, 27, BLUE)
    c.hline(15, 45, 2, BLUE_LIGHT)
    c.vline(15, 2, 26, BLUE_LIGHT)
    c.hline(16, 45, 27, BLUE_DARK)
    c.vline(45, 3, 27, BLUE_DARK)
    c.fill(18, 5, 42, 23, INK)           # screen bezel
    c.fill(19, 6, 41, 22, SCREEN)
    c.hline(19, 29, 6, SCREEN_GLINT)
    c.vline(19, 6, 13, SCREEN_GLINT)
    c.hline(20, 24, 7, SCREEN_GLINT)
    c.vline(20, 7, 9, SCREEN_GLINT)
    c.fill(42, 25, 43, 25, GREY)         # power light
    # Neck and case.
    c.fill(26, 30, 34, 32, INK)
    c.fill(27, 30, 33, 31, BLUE_DARK)
    c.box(16, 33, 47, 43, BLUE)
    c.fill(32, 36, 44, 38, INK)          # drive slot
    c.hline(33, 43, 37, GREY)
    c.fill(42, 40, 43, 40, GREY)         # case light
    # Diskette.
    x0, y0, x1, y1 = 0, 21, 26, 47
    behind = c.save()
    c.box(x0, y0, x1, y1, BLUE)
    c.diskette_corner(behind, x1, y0, 4)
    c.fill(6, 21, 20, 31, INK)           # shutter
    c.fill(7, 21, 19, 30, GREY_LIGHT)
    c.vline(7, 21, 30, WHITE)
    c.hline(7, 19, 30, GREY)
    c.fill(14, 23, 17, 28, BLUE_DARK)    # shutter window
    c.fill(4, 34, 22, 47, INK)           # label
    c.fill(5, 35, 21, 46, WHITE)
    for y in (38, 41, 44):
        c.hline(7, 19, y, GREY)
    c.dot(2, 44, BLUE_DARK)              # write-protect hole
    c.dot(24, 44, BLUE_DARK)
    return c


# --- .ico writing ------------------------------------------------------------------------

def palette(canvases):
    """The opaque colours of all images, black first: an icon pixel whose AND-mask bit is set
    must be black in the colour image to show what is behind it."""
    colours = [INK]
    for c in canvases:
        for row in c.px:
            for r, g, b, a in row:
                if a and (r, g, b) not in colours:
                    colours.append((r, g, b))
    assert len(colours) <= 16, "more colours than a 4-bit palette holds"
    return colours + [INK] * (16 - len(colours))


def dib4(canvas, colours):
    """BITMAPINFOHEADER + 16-entry palette + bottom-up 4-bit pixels + bottom-up 1-bit AND mask
    (1 = transparent). The drawing has fewer than 16 colours and only fully opaque or fully
    transparent pixels, so this is the 32-bit image pixel for pixel at a fraction of its size."""
    n = canvas.size
    xor = bytearray()
    mask = bytearray()
    xor_stride = (n * 4 + 31) // 32 * 4
    mask_stride = (n + 31) // 32 * 4
    for y in range(n - 1, -1, -1):
        row = canvas.px[y]
        line = bytearray(xor_stride)
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            index = colours.index((r, g, b)) if a else 0
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    return header + table + bytes(xor) + bytes(mask)


def png(canvas):
    """A 32-bit RGBA PNG (the form Windows Vista and later read inside an .ico; it takes the
    transparency from the alpha channel, so there is no AND mask)."""
    n = canvas.size
    raw = bytearray()
    for row in canvas.px:
        raw.append(0)  # filter: none; the flat areas compress best unfiltered
        for r, g, b, a in row:
            raw += bytes((r, g, b, a)) if a else b"\0\0\0\0"

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    ihdr = struct.pack(">IIBBBBB", n, n, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def ico(small, large):
    """The small images as 4-bit DIBs, the large ones as PNGs."""
    colours = palette(small + large)
    images = [(c.size, 16, 4, dib4(c, colours)) for c in small]
    images += [(c.size, 0, 32, png(c)) for c in large]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, count, bits, data in images:
        out += struct.pack("<BBBBHHII", size, size, count, 0, 1, bits, len(data), offset)
        offset += len(data)
    for _, _, _, data in images:
        out += data
    return bytes(out)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = os.path.join(root, "res", "setup.ico")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = ico([draw16()], [draw32(), draw48()])
    with open(path, "wb") as f:
        f.write(data)
    print(f"wrote {path} ({len(data)} bytes)")


if __name__ == "__main__":
    main()
