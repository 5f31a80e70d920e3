#!/usr/bin/env python3
"""Draws Kelpwise's icons and banner bitmaps (Python 3, standard library only).

    python3 res/tools/make_art.py [output folder, default: res]

Writes icons/*.ico (the twelve category icons at 16, 20, 24 and 32 pixels on
an opaque white background, the program icon at 16 to 64 pixels with a
transparency mask) and banner_top.bmp / banner_bottom.bmp with their
twice-as-large banner_*_2x.bmp, all 24-bit.

Shapes are described in a 16x16 design space and rasterised at each size by
sampling pixel centres, so every size stays crisp pixel art.
"""

import math
import os
import struct
import sys

# ---------------------------------------------------------------- raster ---


class Canvas:
    def __init__(self, width, height, background=None):
        self.width = width
        self.height = height
        self.px = [[background] * width for _ in range(height)]

    def set(self, x, y, color):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = color

    def get(self, x, y):
        if 0 <= x < self.width and 0 <= y < self.height:
            return self.px[y][x]
        return None


class Icon:
    """A canvas of `size` pixels addressed in a 16x16 design space."""

    def __init__(self, size, background=None):
        self.size = size
        self.unit = size / 16.0
        self.canvas = Canvas(size, size, background)

    def covered(self, shape):
        """Pixels whose centres lie inside `shape` (a predicate on design
        coordinates)."""
        result = set()
        for y in range(self.size):
            for x in range(self.size):
                if shape((x + 0.5) / self.unit, (y + 0.5) / self.unit):
                    result.add((x, y))
        return result

    def fill(self, shape, color):
        for x, y in self.covered(shape):
            self.canvas.set(x, y, color)

    def draw(self, shape, fill, border):
        """Fills `shape` and gives it a one-pixel border at any size."""
        inside = self.covered(shape)
        for x, y in inside:
            edge = any((x + dx, y + dy) not in inside
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            color = border if edge else fill
            if color is not None:
                self.canvas.set(x, y, color)

    def line(self, x0, y0, x1, y1, color, width=1.0):
        """A stroke of `width` design units, never thinner than one pixel."""
        half = max(width / 2.0, 0.72 / self.unit)
        self.fill(capsule(x0, y0, x1, y1, half), color)

    def hrule(self, y, x0, x1, color):
        """A one-pixel row at design height y from x0 to x1."""
        row = int(y * self.unit)
        for x in range(int(x0 * self.unit), int(x1 * self.unit)):
            self.canvas.set(x, row, color)

    def vrule(self, x, y0, y1, color):
        """A one-pixel column at design x from y0 to y1."""
        col = int(x * self.unit)
        for y in range(int(y0 * self.unit), int(y1 * self.unit)):
            self.canvas.set(col, y, color)


# Shapes: predicates on design coordinates.

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def ring(cx, cy, outer, inner):
    return lambda x, y: inner ** 2 < (x - cx) ** 2 + (y - cy) ** 2 <= outer ** 2


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def capsule(x0, y0, x1, y1, half):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        length = dx * dx + dy * dy
        t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= half * half
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


# ---------------------------------------------------------------- colours ---

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
INK = (40, 44, 52)
GREY = (128, 132, 140)
LIGHT_GREY = (200, 204, 210)
SILVER = (170, 176, 186)
NAVY = (20, 50, 130)
BLUE = (40, 100, 200)
SKY = (150, 200, 240)
PALE_BLUE = (215, 235, 250)
GREEN = (30, 140, 60)
DARK_GREEN = (20, 90, 40)
LIGHT_GREEN = (120, 200, 110)
KELP = (60, 150, 70)
KELP_DARK = (25, 85, 45)
YELLOW = (250, 210, 70)
DARK_YELLOW = (190, 140, 30)
ORANGE = (240, 140, 40)
DARK_ORANGE = (170, 80, 20)
RED = (210, 40, 40)
DARK_RED = (130, 20, 20)
BROWN = (150, 95, 45)
DARK_BROWN = (95, 55, 25)
PURPLE = (120, 70, 170)
LAVENDER = (180, 140, 220)
CUBE_TOP = (120, 170, 235)
CUBE_LEFT = (50, 100, 190)
CUBE_RIGHT = (30, 65, 140)

# ------------------------------------------------------- category icons ---


def icon_run(ic):
    """RunMRU: the Run box, a small window with a green arrow."""
    ic.draw(rect(1, 2, 15, 14), WHITE, INK)
    ic.fill(rect(1.5, 2.5, 14.5, 5), BLUE)
    ic.draw(polygon([(4, 7), (9, 7), (9, 5.5), (13, 9), (9, 12.5), (9, 11), (4, 11)]),
            LIGHT_GREEN, DARK_GREEN)


def icon_search(ic):
    """Search Assistant: a magnifier."""
    ic.line(9.5, 9.5, 14, 14, DARK_BROWN, 2.6)
    ic.line(9.8, 9.8, 13.6, 13.6, BROWN, 1.2)
    ic.draw(ellipse(6.5, 6.5, 5, 5), SKY, INK)
    ic.fill(ellipse(6.5, 6.5, 3.6, 3.6), PALE_BLUE)
    ic.line(4.5, 5.5, 5.5, 4.3, WHITE, 1.0)


def icon_paint(ic):
    """Last Paint Files: a paint brush with a splash of colour."""
    ic.draw(ellipse(4.5, 12, 3.5, 2.6), (245, 120, 120), DARK_RED)
    ic.line(14.5, 1.5, 8.5, 7.5, DARK_BROWN, 2.4)
    ic.line(14.2, 1.8, 8.8, 7.2, BROWN, 1.0)
    ic.draw(polygon([(7.2, 6.4), (9.6, 8.8), (8.4, 10), (6, 7.6)]), SILVER, GREY)
    ic.draw(polygon([(6, 7.6), (8.4, 10), (5, 13), (2.4, 13.6), (3, 11)]), RED, DARK_RED)


def icon_wordpad(ic):
    """Last Wordpad Files: a page with a pen."""
    ic.draw(polygon([(2, 1), (9.5, 1), (13, 4.5), (13, 15), (2, 15)]), WHITE, INK)
    ic.draw(polygon([(9.5, 1), (13, 4.5), (9.5, 4.5)]), LIGHT_GREY, INK)
    for y in (6, 8, 10, 12):
        ic.hrule(y, 4, 10.5 if y < 12 else 7.5, GREY)
    ic.line(15, 6, 9, 12, NAVY, 2.2)
    ic.line(14.8, 6.2, 9.4, 11.6, BLUE, 0.9)
    ic.fill(polygon([(9, 11), (10, 12), (7.6, 13.6)]), INK)


def icon_folder(ic):
    """Explorer Logs: a folder."""
    ic.draw(polygon([(1, 3), (6, 3), (7.5, 5), (15, 5), (15, 14), (1, 14)]), DARK_YELLOW, DARK_BROWN)
    ic.draw(polygon([(1, 14), (3, 7), (16, 7), (14.5, 14)]), YELLOW, DARK_BROWN)


def icon_spreadsheet(ic):
    """Last Excel Files: a green spreadsheet grid."""
    ic.draw(rect(1, 1, 15, 15), WHITE, DARK_GREEN)
    ic.fill(rect(1.5, 1.5, 14.5, 4.5), GREEN)
    ic.fill(rect(1.5, 4.5, 4.5, 14.5), LIGHT_GREEN)
    for x in (4.5, 9.5):
        ic.vrule(x, 1, 15, DARK_GREEN)
    for y in (4.5, 7.8, 11.1):
        ic.hrule(y, 1, 15, DARK_GREEN)


def icon_exe(ic):
    """Old *.exe Files: a program window."""
    ic.draw(rect(1, 2, 15, 14), LIGHT_GREY, INK)
    ic.fill(rect(1.5, 2.5, 14.5, 5), NAVY)
    ic.fill(rect(12, 3, 14, 4.5), LIGHT_GREY)
    ic.draw(rect(3, 7, 9, 12), WHITE, GREY)
    ic.fill(rect(10, 7, 13, 8), GREY)
    ic.fill(rect(10, 9, 13, 10), GREY)
    ic.fill(rect(10, 11, 13, 12), GREY)


def icon_font(ic):
    """Old Fonts: the letter A."""
    a = polygon([(1.5, 14.5), (6.5, 1.5), (9.5, 1.5), (14.5, 14.5), (11.5, 14.5), (10.3, 11),
                 (5.7, 11), (4.5, 14.5)])
    counter = polygon([(6.5, 8.6), (9.5, 8.6), (8, 4.4)])
    ic.draw(minus(a, counter), (60, 70, 160), NAVY)


def icon_gear(ic):
    """Old 'SharedDLLs' Files: a gear."""
    teeth = []
    for k in range(8):
        angle = k * math.pi / 4
        cx, cy = 8 + 5.6 * math.cos(angle), 8 + 5.6 * math.sin(angle)
        teeth.append(ellipse(cx, cy, 1.7, 1.7))
    body = union(ellipse(8, 8, 5.4, 5.4), *teeth)
    ic.draw(minus(body, ellipse(8, 8, 2.1, 2.1)), SILVER, INK)


def icon_plug(ic):
    """Old 'COM/OLE' Objects: a plug on its cable."""
    ic.line(2, 14, 5, 11, INK, 1.6)
    ic.draw(polygon([(3.5, 9.5), (8, 5), (11, 8), (6.5, 12.5)]), ORANGE, DARK_ORANGE)
    ic.line(9, 4.5, 12, 1.5, GREY, 1.6)
    ic.line(11.5, 7, 14.5, 4, GREY, 1.6)


def cube(ic, top, left, right, x0, y0, x1, y1):
    """An isometric cube in the box (x0, y0)-(x1, y1): faces told apart by
    colour, one outline around the whole."""
    mx, qy = (x0 + x1) / 2.0, y0 + (y1 - y0) / 4.0
    top_face = polygon([(mx, y0), (x1, qy), (mx, 2 * qy - y0), (x0, qy)])
    left_face = polygon([(x0, qy), (mx, 2 * qy - y0), (mx, y1), (x0, y1 - (qy - y0))])
    right_face = polygon([(x1, qy), (mx, 2 * qy - y0), (mx, y1), (x1, y1 - (qy - y0))])
    ic.fill(top_face, top)
    ic.fill(left_face, left)
    ic.fill(right_face, right)
    ic.draw(union(top_face, left_face, right_face), None, INK)


def icon_cube(ic):
    """Old ActiveX Files: a cube."""
    cube(ic, LAVENDER, PURPLE, (80, 40, 120), 1, 1, 15, 15.5)


def icon_help(ic):
    """Old Help Files: a book with a question mark."""
    ic.draw(rect(2, 1, 14, 15), BLUE, NAVY)
    ic.fill(rect(2.5, 1.5, 4.5, 14.5), NAVY)
    ic.fill(rect(4.5, 13, 13.5, 14.5), WHITE)
    hook = minus(ring(9.2, 5.5, 2.8, 1.3), rect(5, 5.6, 9.2, 9))
    ic.fill(hook, YELLOW)
    ic.fill(rect(8.4, 7.6, 10.1, 9.8), YELLOW)
    ic.fill(rect(8.4, 10.6, 10.1, 12.2), YELLOW)


CATEGORY_ICONS = [
    ("runmru", icon_run),
    ("search_assistant", icon_search),
    ("paint_files", icon_paint),
    ("wordpad_files", icon_wordpad),
    ("explorer_logs", icon_folder),
    ("excel_files", icon_spreadsheet),
    ("exe_files", icon_exe),
    ("fonts", icon_font),
    ("shared_dlls", icon_gear),
    ("com_objects", icon_plug),
    ("activex_files", icon_cube),
    ("help_files", icon_help),
]


def leaf(p0, p1, p2, width):
    """A leaf along the quadratic curve p0-p1-p2, widest in the middle."""
    left, right = [], []
    steps = 24
    for i in range(steps + 1):
        t = i / steps
        x = (1 - t) ** 2 * p0[0] + 2 * (1 - t) * t * p1[0] + t * t * p2[0]
        y = (1 - t) ** 2 * p0[1] + 2 * (1 - t) * t * p1[1] + t * t * p2[1]
        dx = 2 * (1 - t) * (p1[0] - p0[0]) + 2 * t * (p2[0] - p1[0])
        dy = 2 * (1 - t) * (p1[1] - p0[1]) + 2 * t * (p2[1] - p1[1])
        norm = math.hypot(dx, dy) or 1.0
        half = width / 2.0 * math.sin(math.pi * t) ** 0.8
        left.append((x - dy / norm * half, y + dx / norm * half))
        right.append((x + dy / norm * half, y - dx / norm * half))
    return polygon(left + right[::-1])


def program_icon(ic):
    """The program: a kelp blade over a registry cube."""
    cube(ic, CUBE_TOP, CUBE_LEFT, CUBE_RIGHT, 5, 5, 15.5, 15.5)
    blade = leaf((0.8, 15.5), (1.5, 5), (11, 0.8), 5.2)
    ic.draw(blade, KELP, KELP_DARK)
    ic.fill(leaf((2, 13.5), (2.6, 6), (9, 2.2), 1.6), LIGHT_GREEN)


# ---------------------------------------------------------------- banners ---

FONT = {
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "c": [".....", ".....", ".###.", "#....", "#....", "#....", ".###."],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "g": [".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", ".###."],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    "l": [".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "n": [".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"],
    "p": [".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "s": [".....", ".....", ".####", "#....", ".###.", "....#", "####."],
    "t": [".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."],
    "w": [".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."],
    "y": [".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", "....#", ".###."],
    " ": ["...", "...", "...", "...", "...", "...", "..."],
}


def text_width(text, scale):
    return sum((len(FONT[ch][0]) + 1) * scale for ch in text) - scale


def draw_text(canvas, text, left, top, scale, color, shadow=None):
    """Draws `text` with the caps' top at `top`; descenders go below."""
    for offset, ink in (((1, 1), shadow), ((0, 0), color)):
        if ink is None:
            continue
        x = left + offset[0] * max(1, scale // 2)
        for ch in text:
            glyph = FONT[ch]
            for row, bits in enumerate(glyph):
                for col, bit in enumerate(bits):
                    if bit != "#":
                        continue
                    for dy in range(scale):
                        for dx in range(scale):
                            canvas.set(x + col * scale + dx,
                                       top + offset[1] * max(1, scale // 2) + row * scale + dy, ink)
            x += (len(glyph[0]) + 1) * scale


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


SEA_DEEP = (12, 62, 88)
SEA_MID = (28, 110, 128)
SEA_LIGHT = (86, 170, 170)
SAND = (196, 178, 128)
SAND_DARK = (160, 140, 95)


def gradient(canvas, left_color, right_color, top_light=0.0):
    for y in range(canvas.height):
        for x in range(canvas.width):
            t = x / (canvas.width - 1)
            c = mix(left_color, right_color, t)
            if top_light:
                c = mix(c, WHITE, top_light * (1 - y / (canvas.height - 1)))
            canvas.set(x, y, c)


def kelp_frond(canvas, base_x, base_y, height, phase, stem, blade):
    """A swaying kelp stem with blades, from (base_x, base_y) upwards."""
    for y in range(base_y, base_y - height, -1):
        rise = base_y - y
        x = base_x + int(round(3.0 * math.sin(rise / 9.0 + phase)))
        canvas.set(x, y, stem)
        canvas.set(x + 1, y, stem)
        if rise % 11 == 5 and rise < height - 4:
            side = 1 if (rise // 11) % 2 == 0 else -1
            for k in range(1, 9):
                bx = x + side * k
                spread = 2 if 2 < k < 7 else 1
                for dy in range(-spread + 1, spread):
                    canvas.set(bx, y - k // 2 + dy, blade)


def bubbles(canvas, points, color):
    for cx, cy, r in points:
        for a in range(0, 360, 8):
            canvas.set(int(round(cx + r * math.cos(math.radians(a)))),
                       int(round(cy + r * math.sin(math.radians(a)))), color)


class Scaled:
    """A canvas seen `scale` times coarser: each of its pixels is a block of
    scale x scale pixels below, so the pixel art keeps its crisp edges."""

    def __init__(self, canvas, scale):
        self.canvas = canvas
        self.scale = scale
        self.width = canvas.width // scale
        self.height = canvas.height // scale

    def set(self, x, y, color):
        for dy in range(self.scale):
            for dx in range(self.scale):
                self.canvas.set(x * self.scale + dx, y * self.scale + dy, color)


def banner_top(width, height, scale=1):
    """At `scale` times the size: the gradient at full resolution, the art in
    blocks."""
    fine = Canvas(width * scale, height * scale)
    gradient(fine, SEA_DEEP, SEA_LIGHT, top_light=0.15)
    canvas = Scaled(fine, scale)
    for i, x in enumerate(range(width - 150, width - 10, 22)):
        kelp_frond(canvas, x, height - 1, height - 8 - (i % 3) * 9, i * 1.3, KELP_DARK, KELP)
    bubbles(canvas, [(width - 190, 16, 3), (width - 176, 30, 2), (width - 200, 40, 2)],
            (200, 235, 235))
    title = "Tarnwell Kelpwise"
    scale = 3
    top = (height - 7 * scale) // 2 - 3
    draw_text(canvas, title, 18, top, scale, WHITE, shadow=(8, 40, 58))
    draw_text(canvas, "Registry Cleaner", 18 + text_width(title, scale) + 18,
              top + 7 * scale - 7, 1, (210, 240, 235))
    return fine


def banner_bottom(width, height, scale=1):
    fine = Canvas(width * scale, height * scale)
    gradient(fine, SEA_LIGHT, SEA_DEEP)
    canvas = Scaled(fine, scale)
    # A sandy sea floor along the bottom edge.
    for x in range(width):
        floor = height - 9 + int(round(2.0 * math.sin(x / 37.0) + math.sin(x / 11.0)))
        for y in range(floor, height):
            canvas.set(x, y, SAND if y > floor else SAND_DARK)
    for i, x in enumerate(range(14, 120, 19)):
        kelp_frond(canvas, x, height - 6, height - 14 - (i % 2) * 8, i * 0.9, KELP_DARK, KELP)
    title = "Tarnwell Kelpwise"
    scale = 2
    draw_text(canvas, title, width - text_width(title, scale) - 18, 12, scale, WHITE,
              shadow=(8, 40, 58))
    return fine


# ----------------------------------------------------------------- output ---

def bmp_rows(canvas, fallback):
    """24-bit rows, bottom-up, each padded to four bytes."""
    stride = (canvas.width * 3 + 3) & ~3
    data = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.width):
            r, g, b = canvas.px[y][x] or fallback
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        data += row
    return bytes(data)


def write_bmp(path, canvas):
    pixels = bmp_rows(canvas, BLACK)
    header = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(pixels),
                         3780, 3780, 0, 0)
    offset = 14 + len(header)
    with open(path, "wb") as out:
        out.write(b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset))
        out.write(header + pixels)


def icon_image(canvas):
    """One ICO image: header, 24-bit colour rows, 1-bit transparency mask."""
    size = canvas.width
    colour = bmp_rows(canvas, BLACK)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(size):
            if canvas.px[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(colour) + len(mask),
                         0, 0, 0, 0)
    return header + colour + bytes(mask)


def write_ico(path, canvases):
    images = [icon_image(c) for c in canvases]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for canvas, image in zip(canvases, images):
        size = canvas.width
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 24, len(image),
                                 offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(directory + b"".join(images))


def draw_icon(painter, size, background):
    ic = Icon(size, background)
    painter(ic)
    return ic.canvas


# Banner sizes in pixels: the dialog-unit sizes of their places in the main
# window at 96 dpi with "MS Sans Serif" 8 (6 x 13 base units: 1.5 pixels per
# horizontal and 1.625 per vertical unit).
TOP_BANNER = (633, 60)     # 422 x 37 units
BOTTOM_BANNER = (635, 50)  # 423 x 31 units

# The list's 16-pixel images at 100, 125, 150 and 200 % display scale; the
# program icon also at the sizes of the window's big icon and of Explorer.
CATEGORY_ICON_SIZES = (16, 20, 24, 32)
PROGRAM_ICON_SIZES = (16, 20, 24, 32, 40, 48, 64)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    icons = os.path.join(out, "icons")
    os.makedirs(icons, exist_ok=True)
    for name, painter in CATEGORY_ICONS:
        write_ico(os.path.join(icons, name + ".ico"),
                  [draw_icon(painter, s, WHITE) for s in CATEGORY_ICON_SIZES])
    write_ico(os.path.join(icons, "kelpwise.ico"),
              [draw_icon(program_icon, s, None) for s in PROGRAM_ICON_SIZES])
    write_bmp(os.path.join(out, "banner_top.bmp"), banner_top(*TOP_BANNER))
    write_bmp(os.path.join(out, "banner_bottom.bmp"), banner_bottom(*BOTTOM_BANNER))
    # Twice the size, the source for display scales above 100 %.
    write_bmp(os.path.join(out, "banner_top_2x.bmp"), banner_top(*TOP_BANNER, scale=2))
    write_bmp(os.path.join(out, "banner_bottom_2x.bmp"), banner_bottom(*BOTTOM_BANNER, scale=2))


if __name__ == "__main__":
    main()
