#!/usr/bin/env python3
"""Draws the programs' small pictures and writes them as BMP, GIF and icon files.

  make_art.py OUTDIR

writes
  ImageList1.bmp   32 document-type icons, 16 x 16 each in one strip, on olive
                   (RGB 808000), which the list treats as transparent
  ImageList2.bmp   14 menu icons on magenta (RGB FF00FF), the mask colour
  Glyph<Name>.bmp  the bottom-bar button glyphs, the portal's Move and
                   Delete glyphs and the discovery window's Refresh glyph,
                   16 x 16 on magenta (their bottom-left
                   pixel gives the transparent colour)
  AddressEntry.bmp the address book's 32 x 32 entry icon, on white
  Close.bmp        the monitor's 10 x 9 close glyph, black on silver
  Searching.gif    the network search's 32 x 32 looping animation, 8 frames:
                   a blue dot going round a ring over a small computer, on
                   magenta (RGB FF00FF), the GIF's transparent colour
  Tessaly.ico      the programs' icons, 32 x 32 and 16 x 16 with an alpha
  Brimwell.ico     channel: recent pages with a clock; three gauge cylinders

Every picture is drawn here from a few shapes, so it can be read and changed
as text; nothing else describes them.
"""
import math
import os
import struct
import sys

OLIVE = (0x80, 0x80, 0x00)
KEY = (0xFF, 0x00, 0xFF)

INK = (0x40, 0x40, 0x48)
PAPER = (0xFF, 0xFF, 0xFF)
FOLD = (0xD8, 0xD8, 0xE0)
BLUE = (0x1E, 0x64, 0xC8)
LIGHTBLUE = (0x7C, 0xA8, 0xD3)
GREEN = (0x1E, 0x8C, 0x3C)
RED = (0xC8, 0x20, 0x20)
ORANGE = (0xE8, 0x8C, 0x10)
YELLOW = (0xF0, 0xC8, 0x20)
PURPLE = (0x80, 0x40, 0xB0)
TEAL = (0x10, 0x90, 0x90)
GREY = (0x90, 0x90, 0x98)
BROWN = (0x90, 0x60, 0x30)
SKY = (0x90, 0xC8, 0xF0)
DARK = (0x20, 0x20, 0x28)


class Canvas:
    def __init__(self, background, width=16, height=16):
        self.width, self.height = width, height
        self.px = [[background] * width for _ in range(height)]

    def dot(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):  # inclusive corners
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.dot(x, y0, c)
            self.dot(x, y1, c)
        for y in range(y0, y1 + 1):
            self.dot(x0, y, c)
            self.dot(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.dot(round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), c)

    def disc(self, cx, cy, r, c):
        for y in range(self.height):
            for x in range(self.width):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + 0.5:
                    self.dot(x, y, c)

    def pattern(self, x0, y0, rows, colours):
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch != '.':
                    self.dot(x0 + dx, y0 + dy, colours[ch])


# ---- shapes shared by the pictures ------------------------------------------

def page(c, band=None):
    """A sheet with a folded top-right corner; `band` colours its header."""
    c.rect(2, 0, 13, 15, PAPER)
    c.frame(2, 0, 13, 15, INK)
    for i in range(4):  # the fold
        c.dot(10 + i, i, c.px[0][0])
        c.line(10, i, 10 + i, i, FOLD)
    c.line(10, 0, 13, 3, INK)
    c.line(10, 0, 10, 3, INK)
    c.line(10, 3, 13, 3, INK)
    if band:
        c.rect(3, 4, 12, 5, band)


def text_lines(c, colour=GREY, top=7, bottom=13):
    for y in range(top, bottom + 1, 2):
        c.line(4, y, 11 if y % 4 else 9, y, colour)


def note(c, colour, x=5, y=6):
    c.pattern(x, y, ["...##",
                     "...#.#",
                     "...#..",
                     "...#..",
                     ".###..",
                     "####..",
                     ".##..."], {'#': colour})


def film(c, colour):
    c.rect(3, 7, 12, 13, colour)
    for x in (4, 6, 8, 10):
        c.dot(x, 8, PAPER)
        c.dot(x, 12, PAPER)
    c.rect(6, 9, 9, 11, SKY)


def picture(c):
    c.rect(3, 6, 12, 13, SKY)
    c.disc(10, 8, 1, YELLOW)
    c.line(3, 13, 6, 9, GREEN)
    c.line(6, 9, 9, 13, GREEN)
    c.rect(4, 12, 8, 13, GREEN)
    c.line(8, 13, 10, 11, (0x30, 0x70, 0x30))
    c.line(10, 11, 12, 13, (0x30, 0x70, 0x30))


def grid(c, colour):
    c.rect(3, 6, 12, 13, PAPER)
    c.frame(3, 6, 12, 13, colour)
    for x in (6, 9):
        c.line(x, 6, x, 13, colour)
    for y in (8, 10, 12):
        c.line(3, y, 12, y, colour)
    c.rect(4, 7, 5, 7, colour)


def globe(c, cx=8, cy=9, r=4):
    c.disc(cx, cy, r, SKY)
    c.line(cx - r, cy, cx + r, cy, BLUE)
    c.line(cx, cy - r, cx, cy + r, BLUE)
    c.dot(cx - 2, cy - 3, BLUE)
    c.dot(cx + 2, cy + 3, BLUE)
    c.pattern(cx - 2, cy - 2, ["##.", "###", ".#."], {'#': GREEN})


def letter(c, ch, colour, x=5, y=7):
    glyphs = {
        'A': [".##.", "#..#", "####", "#..#", "#..#"],
        'P': ["###.", "#..#", "###.", "#...", "#..."],
        'D': ["###.", "#..#", "#..#", "#..#", "###."],
        'F': ["####", "#...", "###.", "#...", "#..."],
        'M': ["#...#", "##.##", "#.#.#", "#...#", "#...#"],
        'N': ["#..#", "##.#", "#.##", "#..#", "#..#"],
        'W': ["#...#", "#...#", "#.#.#", "##.##", "#...#"],
        'V': ["#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
        '?': [".##.", "#..#", "..#.", "....", "..#."],
        'T': ["###", ".#.", ".#.", ".#.", ".#."],
    }
    c.pattern(x, y, glyphs[ch], {'#': colour})


def badge(c, colour, ch):
    c.rect(4, 8, 11, 14, colour)
    letter(c, ch, PAPER, 6 if ch not in 'MWV' else 5, 9)


def envelope(c):
    c.rect(1, 4, 14, 12, PAPER)
    c.frame(1, 4, 14, 12, INK)
    c.line(1, 4, 8, 9, INK)
    c.line(14, 4, 8, 9, INK)


def archive(c):
    c.rect(3, 2, 12, 14, BROWN)
    c.frame(3, 2, 12, 14, DARK)
    for y in range(3, 10, 2):
        c.dot(7, y, YELLOW)
        c.dot(8, y + 1, YELLOW)
    c.rect(6, 10, 9, 12, YELLOW)
    c.frame(6, 10, 9, 12, DARK)


def printer(c):
    c.rect(4, 1, 11, 6, PAPER)
    c.frame(4, 1, 11, 6, INK)
    c.rect(1, 6, 14, 11, GREY)
    c.frame(1, 6, 14, 11, INK)
    c.rect(4, 10, 11, 14, PAPER)
    c.frame(4, 10, 11, 14, INK)
    c.dot(12, 8, GREEN)


def help_book(c):
    c.rect(3, 1, 12, 14, BLUE)
    c.frame(3, 1, 12, 14, DARK)
    c.line(4, 13, 12, 13, PAPER)
    letter(c, '?', YELLOW, 6, 4)


def arrows_circle(c, colour):
    c.pattern(2, 2, ["....####....",
                     "..##....##..",
                     ".#........#.",
                     "#.......####",
                     "#.........#.",
                     "#...........",
                     "...........#",
                     ".#.........#",
                     "####.......#",
                     ".#........#.",
                     "..##....##..",
                     "....####...."], {'#': colour})


def cross(c, colour):
    for i in range(4, 12):
        c.dot(i, i, colour)
        c.dot(i + 1, i, colour)
        c.dot(15 - i, i, colour)
        c.dot(14 - i, i, colour)


def tick(c, colour):
    c.pattern(2, 4, ["...........#",
                     "..........##",
                     ".........##.",
                     "#.......##..",
                     "##.....##...",
                     ".##...##....",
                     "..##.##.....",
                     "...###......",
                     "....#......."], {'#': colour})


# ---- the document-type icons of the list, by index --------------------------

def doc_icon(index):
    c = Canvas(OLIVE)
    draw = {
        0: lambda: (page(c), globe(c)),                                       # web page
        1: lambda: (page(c, BLUE), text_lines(c)),                            # document
        2: lambda: (page(c, TEAL), note(c, TEAL)),                            # voice recording
        3: lambda: (page(c, ORANGE), picture(c)),                             # photo album
        4: lambda: (page(c, GREY), text_lines(c, INK)),                       # plain page
        5: lambda: (page(c, RED), text_lines(c)),                             # marked page
        6: lambda: (page(c, PURPLE), note(c, PURPLE)),                        # music
        7: lambda: (page(c, GREEN), grid(c, GREEN)),                          # table
        8: lambda: (page(c, BLUE), letter(c, 'W', BLUE, 5, 8)),               # word processor
        9: lambda: (page(c, GREEN), letter(c, 'T', GREEN, 6, 8)),             # template
        10: lambda: (page(c, GREY), letter(c, 'F', INK, 6, 8)),               # form
        11: lambda: (page(c, ORANGE), text_lines(c, ORANGE)),                 # draft
        12: lambda: (page(c, TEAL), text_lines(c, TEAL)),                     # notes
        13: lambda: (page(c, PURPLE), text_lines(c, PURPLE)),                 # minutes
        14: lambda: (page(c), badge(c, RED, 'P')),                            # PDF
        15: lambda: (page(c, ORANGE), note(c, ORANGE)),                       # open audio
        16: lambda: (page(c, BLUE), grid(c, BLUE)),                           # database
        17: lambda: (page(c, RED), letter(c, 'A', RED, 6, 8)),                # presentation
        18: lambda: (page(c, GREY), letter(c, 'D', GREY, 6, 8)),              # data
        19: lambda: archive(c),                                               # zip archive
        20: lambda: (page(c), text_lines(c, INK)),                            # text
        21: lambda: (page(c, GREEN), text_lines(c, GREEN)),                   # log
        22: lambda: (page(c, GREEN), grid(c, GREEN)),                         # spreadsheet
        23: lambda: page(c),                                                  # any document
        24: lambda: (page(c), picture(c)),                                    # picture
        25: lambda: envelope(c),                                              # mail
        26: lambda: (page(c, BLUE), text_lines(c, BLUE)),                     # rich document
        27: lambda: printer(c),                                               # print file
        28: lambda: (page(c, TEAL), letter(c, 'N', TEAL, 6, 8)),              # suite notes
        29: lambda: (page(c, BLUE), grid(c, BLUE), c.rect(10, 11, 12, 13, ORANGE)),  # suite spreadsheet
        30: lambda: (page(c), film(c, DARK)),                                 # movie
        31: lambda: help_book(c),                                             # help
    }[index]
    draw()
    return c


# ---- the menu icons, by index -----------------------------------------------

def menu_icon(index):
    c = Canvas(KEY)
    draw = {
        0: lambda: (c.rect(2, 3, 13, 4, BLUE), c.rect(4, 7, 11, 8, BLUE), c.rect(6, 11, 9, 12, BLUE)),  # list only
        1: lambda: (page(c), text_lines(c, INK)),                                     # text documents
        2: lambda: cross(c, RED),                                                     # close
        3: lambda: [c.rect(2, y, 3, y + 1, BLUE) or c.rect(5, y, 13, y + 1, INK) for y in (2, 6, 10, 14)],  # all
        4: lambda: arrows_circle(c, GREEN),                                           # refresh
        5: lambda: (page(c), cross(c, RED)),                                          # clear list
        6: lambda: (page(c), c.disc(8, 10, 3, BLUE), c.rect(8, 8, 8, 8, PAPER), c.rect(8, 10, 8, 12, PAPER)),  # properties
        7: lambda: (c.rect(1, 3, 14, 13, SKY), c.frame(1, 3, 14, 13, INK), c.disc(11, 6, 1, YELLOW),
                    c.line(2, 12, 6, 7, GREEN), c.line(6, 7, 10, 12, GREEN), c.rect(3, 11, 9, 12, GREEN)),  # graphics
        8: lambda: (page(c, BLUE), text_lines(c, BLUE)),                              # rich documents
        9: lambda: c.pattern(3, 1, ["....######",
                                     "....######",
                                     "....#....#",
                                     "....#....#",
                                     "....#....#",
                                     "....#....#",
                                     "....#....#",
                                     "..###..###",
                                     ".####.####",
                                     ".####.####",
                                     "..##...##."], {'#': PURPLE}),                # music
        10: lambda: (c.rect(1, 3, 14, 12, DARK), [c.dot(x, y, PAPER) for x in (2, 5, 8, 11, 13) for y in (4, 11)],
                     c.rect(4, 6, 11, 9, SKY)),                                       # movies
        11: lambda: (c.disc(8, 8, 6, BLUE), letter(c, 'M', PAPER, 6, 6)),            # Morvel Office
        12: lambda: (c.frame(1, 1, 14, 14, INK), c.rect(10, 3, 13, 12, BLUE), c.line(3, 8, 8, 8, INK),
                     c.line(6, 6, 8, 8, INK), c.line(6, 10, 8, 8, INK)),              # default position
        13: lambda: (page(c), tick(c, GREEN)),                                        # close on open
    }[index]
    draw()
    return c


GLYPHS = {'All': 3, 'Morvel': 11, 'Rich': 8, 'Text': 1, 'Sheet': None, 'Music': 9, 'Movie': 10, 'Graphic': 7}


def glyph(name):
    index = GLYPHS[name]
    if index is None:  # spreadsheet files
        c = Canvas(KEY)
        page(c, GREEN)
        grid(c, GREEN)
        return c
    return menu_icon(index)


def move_glyph():
    """The portal's Move button: a page with a green arrow leaving it."""
    c = Canvas(KEY)
    page(c)
    text_lines(c, GREY)
    c.rect(5, 9, 11, 10, GREEN)
    for i in range(4):
        c.line(12 - i, 6 + i, 12 - i, 13 - i, GREEN)
    return c


def delete_glyph():
    """The portal's Delete button: a page struck out in red."""
    c = Canvas(KEY)
    page(c)
    text_lines(c, GREY)
    cross(c, RED)
    return c


def refresh_glyph():
    """The discovery window's Refresh List button: two arrows chasing round."""
    c = Canvas(KEY)
    arrows_circle(c, BLUE)
    return c


def address_entry():
    """The address book's entry icon, 32 x 32 on white: a computer screen with a peer on it."""
    c = Canvas(PAPER, 32, 32)
    c.rect(3, 4, 28, 21, INK)          # the screen's frame
    c.rect(5, 6, 26, 19, SKY)          # the screen
    c.disc(15, 10, 2, BLUE)            # a head
    c.rect(11, 14, 19, 19, BLUE)       # shoulders
    c.rect(13, 22, 18, 24, GREY)       # the stand
    c.rect(9, 25, 22, 26, INK)         # its foot
    return c


def close_glyph():
    """The monitor's close button: an X with two-pixel strokes, black on silver."""
    c = Canvas((0xC0, 0xC0, 0xC0), 10, 9)
    for i in range(9):
        c.dot(i, i, DARK_BLACK)
        c.dot(i + 1, i, DARK_BLACK)
        c.dot(8 - i, i, DARK_BLACK)
        c.dot(9 - i, i, DARK_BLACK)
    return c


def searching_frame(step, steps=8):
    """One frame of the network search: a ring of dots round a small computer,
    the bright one `step` eighths of the way round, with a fading tail."""
    c = Canvas(KEY, 32, 32)
    c.rect(9, 10, 22, 20, INK)         # the screen's frame
    c.rect(11, 12, 20, 18, SKY)        # the screen
    c.rect(15, 13, 16, 14, BLUE)       # a peer's head
    c.rect(13, 16, 18, 18, BLUE)       # and shoulders
    c.rect(14, 21, 17, 22, GREY)       # the stand
    c.rect(12, 23, 19, 23, INK)        # its foot
    tail = {0: BLUE, 1: LIGHTBLUE, 2: SKY}
    for i in range(steps):
        angle = 2 * math.pi * i / steps - math.pi / 2   # from the top, clockwise
        x, y = 15.5 + round(12 * math.cos(angle)), 15.5 + round(12 * math.sin(angle))
        c.disc(x, y, 1.5, tail.get((step - i) % steps, FOLD))
    return c


DARK_BLACK = (0, 0, 0)
CLEAR = None  # a transparent pixel of an icon


# ---- the program icons, drawn at 32 x 32 --------------------------------------


def tessaly_icon():
    """Two recent pages, the front one written on, and a clock over its corner."""
    c = Canvas(CLEAR, 32, 32)
    c.rect(10, 1, 27, 23, PAPER)
    c.frame(10, 1, 27, 23, INK)
    c.rect(4, 6, 21, 29, PAPER)
    c.frame(4, 6, 21, 29, INK)
    for i in range(5):  # the folded corner
        c.line(17 + i, 6, 21, 10 - i, FOLD)
    c.line(17, 6, 17, 10, INK)
    c.line(17, 10, 21, 10, INK)
    for y in (13, 16, 19, 22, 25):
        c.line(7, y, 16 if y < 22 else 13, y, BLUE)
    c.disc(24, 24, 7, ORANGE)
    c.disc(24, 24, 5, PAPER)
    c.line(24, 24, 24, 20, DARK)
    c.line(24, 24, 27, 24, DARK)
    return c


def shade(colour, factor):
    return tuple(max(0, min(255, round(v * factor))) for v in colour)


def brimwell_icon():
    """The monitor's white panel with its blue rim and three shaded cylinders."""
    rim = (0x00, 0x80, 0xC0)
    c = Canvas(CLEAR, 32, 32)
    c.rect(1, 1, 30, 30, rim)
    c.rect(3, 3, 28, 28, PAPER)
    for x, y in ((1, 1), (30, 1), (1, 30), (30, 30)):
        c.dot(x, y, CLEAR)
    silver = (0xC0, 0xC0, 0xC0)
    # Lighter in the middle of each cylinder, darker at its edges.
    profile = (0.75, 1.0, 1.15, 1.0, 0.75)
    for top, fill, colour in ((7, 19, (0x00, 0x80, 0x00)), (14, 13, (0xCC, 0x00, 0x00)), (21, 23, (0x00, 0x6B, 0xD7))):
        for dy, factor in enumerate(profile):
            c.line(5, top + dy, fill, top + dy, shade(colour, factor))
            c.line(fill + 1, top + dy, 26, top + dy, shade(silver, factor))
    return c


def halved(big):
    """The 16 x 16 picture: each 2 x 2 block averaged, clear where most of it is."""
    small = Canvas(CLEAR, big.width // 2, big.height // 2)
    for y in range(small.height):
        for x in range(small.width):
            block = [big.px[2 * y + j][2 * x + i] for j in (0, 1) for i in (0, 1)]
            solid = [p for p in block if p is not CLEAR]
            if len(solid) >= 2:
                small.px[y][x] = tuple(sum(p[k] for p in solid) // len(solid) for k in range(3))
    return small


def palette_of(pixels):
    """The palette of the colours among `pixels`, where at most 256 are used:
    each colour's index and the palette's BGRX entries; ({}, b'') otherwise."""
    colours = sorted(set(pixels))
    if len(colours) > 256:
        return {}, b''
    return {p: i for i, p in enumerate(colours)}, b''.join(bytes((b, g, r, 0)) for r, g, b in colours)


def icon_image(c):
    """One image of an icon file: a bottom-up DIB and its AND mask. Every
    pixel is either solid or clear, so the mask says all there is to say
    about transparency: 8 bits per pixel with a palette where the colours
    fit, 32 bits otherwise. Returns the image and its bit count."""
    mask = bytearray()
    mask_stride = ((c.width + 31) // 32) * 4
    for y in reversed(range(c.height)):
        row = bytearray(mask_stride)
        for x in range(c.width):
            if c.px[y][x] is CLEAR:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    solid = lambda p: (0, 0, 0) if p is CLEAR else p
    index, palette = palette_of(solid(p) for line in c.px for p in line)
    if index:
        bits = 8
        stride = (c.width + 3) & ~3
        pixels = b''.join(bytes(index[solid(p)] for p in c.px[y]).ljust(stride, b'\0')
                          for y in reversed(range(c.height)))
    else:
        bits = 32
        pixels = b''.join(bytes((0, 0, 0, 0)) if p is CLEAR else bytes((p[2], p[1], p[0], 255))
                          for y in reversed(range(c.height)) for p in c.px[y])
    info = struct.pack('<IiiHHIIiiII', 40, c.width, 2 * c.height, 1, bits, 0, len(pixels) + len(mask), 0, 0,
                       len(index), 0)
    return info + palette + pixels + mask, bits


def write_ico(path, canvases):
    images = [icon_image(c) for c in canvases]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, (image, bits) in zip(canvases, images):
        data += struct.pack('<BBBBHHII', c.width, c.height, 0, 0, 1, bits, len(image), offset)
        offset += len(image)
    with open(path, 'wb') as f:
        f.write(data + b''.join(image for image, _ in images))


def write_bmp(path, canvases):
    """A strip of the canvases, 8 bits per pixel with a palette of the colours
    used (a third of the size of 24 bits), or 24 bits where there are more."""
    width, height = sum(c.width for c in canvases), canvases[0].height
    pixels = [[c.px[y][x] for c in canvases for x in range(c.width)] for y in reversed(range(height))]
    index, palette = palette_of(p for row in pixels for p in row)
    if index:
        bits = 8
        encode = lambda row: bytes(index[p] for p in row)
    else:
        bits = 24
        encode = lambda row: b''.join(bytes((b, g, r)) for r, g, b in row)
    stride = (width * bits // 8 + 3) & ~3
    rows = b''.join(encode(row).ljust(stride, b'\0') for row in pixels)
    offset = 54 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(rows), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(rows), 3780, 3780, len(index), 0)
    with open(path, 'wb') as f:
        f.write(header + info + palette + rows)


def lzw(indices, min_size):
    """GIF's LZW: variable-width codes (min_size + 1 up to 12 bits), packed LSB first."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    out, acc, nbits = bytearray(), 0, 0

    def emit(code):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc, nbits = acc >> 8, nbits - 8

    table, width = {}, min_size + 1
    emit(clear)
    prefix = indices[0]
    for k in indices[1:]:
        if (prefix, k) in table:
            prefix = table[prefix, k]
            continue
        emit(prefix)
        code = end + 1 + len(table)
        table[prefix, k] = code
        if code == 4095:               # the table is full: start again
            emit(clear)
            table, width = {}, min_size + 1
        elif code == 1 << width:
            width += 1
        prefix = k
    emit(prefix)
    if end + 1 + len(table) == 1 << width:  # the decoder adds one more entry after the last code
        width += 1
    emit(end)
    if nbits:
        out.append(acc)
    return bytes(out)


def sub_blocks(data):
    """Data in blocks of at most 255 bytes, each after its length, then a 0 terminator."""
    return b''.join(bytes((len(data[i:i + 255]),)) + data[i:i + 255] for i in range(0, len(data), 255)) + b'\0'


def write_gif(path, canvases, delay=10):
    """A looping GIF89a of the frames, 16 colours, the KEY colour (index 0) transparent."""
    width, height = canvases[0].width, canvases[0].height
    colours = [KEY] + sorted({p for c in canvases for row in c.px for p in row} - {KEY})
    assert len(colours) <= 16, 'a GIF here has at most 16 colours'
    colours += [DARK_BLACK] * (16 - len(colours))
    index = {colour: i for i, colour in enumerate(colours)}
    data = b'GIF89a' + struct.pack('<HHBBB', width, height, 0xF3, 0, 0)  # 16-entry global table
    data += b''.join(bytes(colour) for colour in colours)
    data += b'\x21\xFF\x0BNETSCAPE2.0' + struct.pack('<BBHB', 3, 1, 0, 0)  # loop for ever
    for c in canvases:
        data += struct.pack('<BBBBHBB', 0x21, 0xF9, 4, 0x09, delay, 0, 0)  # dispose 2 (background), index 0 transparent
        data += struct.pack('<BHHHHB', 0x2C, 0, 0, width, height, 0)
        data += b'\x04' + sub_blocks(lzw([index[p] for row in c.px for p in row], 4))
    with open(path, 'wb') as f:
        f.write(data + b'\x3B')


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, 'ImageList1.bmp'), [doc_icon(i) for i in range(32)])
    write_bmp(os.path.join(out, 'ImageList2.bmp'), [menu_icon(i) for i in range(14)])
    for name in GLYPHS:
        write_bmp(os.path.join(out, 'Glyph%s.bmp' % name), [glyph(name)])
    write_bmp(os.path.join(out, 'GlyphMove.bmp'), [move_glyph()])
    write_bmp(os.path.join(out, 'GlyphDelete.bmp'), [delete_glyph()])
    write_bmp(os.path.join(out, 'GlyphRefresh.bmp'), [refresh_glyph()])
    write_bmp(os.path.join(out, 'AddressEntry.bmp'), [address_entry()])
    write_bmp(os.path.join(out, 'Close.bmp'), [close_glyph()])
    write_gif(os.path.join(out, 'Searching.gif'), [searching_frame(i) for i in range(8)])
    for name, draw in (('Tessaly', tessaly_icon), ('Brimwell', brimwell_icon)):
        big = draw()
        write_ico(os.path.join(out, name + '.ico'), [big, halved(big)])


if __name__ == '__main__':
    main()
