"""Draws Vellum's resources: the skin, the close glyphs, the close pointer, the built-in icon
and the toolbox picture. Run from this folder; the outputs are committed beside it."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "common", "artwork"))
import bmpwriter  # noqa: E402

W, H, TITLE, BORDER = 255, 159, 29, 4
EDGE = (46, 104, 176)
TITLE_TOP, TITLE_BOTTOM = (200, 226, 250), (120, 176, 232)
BODY_TOP, BODY_BOTTOM = (253, 254, 255), (226, 238, 252)
TAB = (88, 146, 214)


def blend(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def skin():
    pixels = [[(0, 0, 0)] * W for _ in range(H)]
    for y in range(H):
        for x in range(W):
            if y < TITLE:
                colour = blend(TITLE_TOP, TITLE_BOTTOM, round(y / (TITLE - 1) * 24) / 24)
            else:
                colour = blend(BODY_TOP, BODY_BOTTOM, round((y - TITLE) / (H - TITLE) * 24) / 24)
            if x < BORDER or x >= W - BORDER or y >= H - BORDER or y == 0:
                colour = blend(EDGE, (255, 255, 255), 0.25 * min(x, W - 1 - x, H - 1 - y, y, 3) / 3)
            pixels[y][x] = colour
    # Rounded tab behind the close button at the top right.
    left, right, top, bottom = 214, 240, 3, 22
    for y in range(top, bottom):
        for x in range(left, right):
            dx = min(x - left, right - 1 - x)
            dy = bottom - 1 - y
            if dx < 4 and dy < 4 and (4 - dx) ** 2 + (4 - dy) ** 2 > 16:
                continue
            pixels[y][x] = TAB if 0 < dx and 0 < dy else EDGE
    return pixels


GLYPH = [
    "##....##",
    "###..###",
    ".######.",
    "..####..",
    "..####..",
    ".######.",
    "###..###",
    "##....##",
    "........",
]


def glyph(ink, paper):
    return [[ink if cell == "#" else paper for cell in row] for row in GLYPH]


def icon():
    pixels, mask = [], []
    for y in range(16):
        row, opaque = [], []
        for x in range(16):
            inside = (x - 7.5) ** 2 + (y - 7.5) ** 2 <= 56
            wing = abs(x - 7.5) + abs(y - 9) < 5
            row.append((255, 255, 255) if wing else blend((30, 90, 170), (110, 180, 240), y / 15))
            opaque.append(inside)
        pixels.append(row)
        mask.append(opaque)
    return pixels, mask


def toolbox():
    pixels = [[(192, 192, 192)] * 16 for _ in range(15)]
    for y in range(1, 14):
        for x in range(1, 15):
            pixels[y][x] = (120, 176, 232) if y < 5 else (240, 246, 255)
            if x in (1, 14) or y in (1, 13):
                pixels[y][x] = EDGE
    pixels[3][11] = pixels[3][12] = (255, 255, 255)
    return pixels


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    bmpwriter.write_bmp8(os.path.join(here, "skin.bmp"), skin())
    bmpwriter.write_bmp24(os.path.join(here, "close_normal.bmp"), glyph((30, 70, 140), TAB))
    bmpwriter.write_bmp24(os.path.join(here, "close_bright.bmp"), glyph((255, 255, 255), TAB))
    bmpwriter.write_bmp24(os.path.join(here, "close_dark.bmp"), glyph((10, 30, 70), TAB))
    bmpwriter.write_cursor(os.path.join(here, "close.cur"), bmpwriter.HAND, (5, 1))
    bmpwriter.write_icon24(os.path.join(here, "corvid.ico"), *icon())
    bmpwriter.write_bmp24(os.path.join(here, "toolbox.bmp"), toolbox())


if __name__ == "__main__":
    main()
