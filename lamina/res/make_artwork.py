"""Draws Lamina's resources: the hand pointer of the faces, the move bar's window picture and
the six toolbox pictures.
Run from this folder; the outputs are committed beside it."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "common", "artwork"))
import bmpwriter  # noqa: E402

GREY, FACE, BLUE, LIGHT = (192, 192, 192), (224, 224, 224), (0, 0, 255), (128, 128, 255)


def picture(draw):
    pixels = [[GREY] * 16 for _ in range(15)]
    draw(pixels)
    return pixels


def box(pixels, left, top, right, bottom, fill, edge=BLUE):
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            border = x in (left, right) or y in (top, bottom)
            pixels[y][x] = edge if border else fill


def button(p):
    box(p, 1, 3, 14, 11, FACE)
    for x in range(5, 11):
        p[7][x] = BLUE


def progress(p):
    box(p, 1, 5, 14, 9, FACE)
    box(p, 1, 5, 9, 9, LIGHT)


def vscroll(p):
    box(p, 5, 0, 10, 14, (255, 255, 255))
    box(p, 5, 0, 10, 3, FACE)
    box(p, 5, 11, 10, 14, FACE)
    box(p, 5, 6, 10, 8, FACE)


def hscroll(p):
    box(p, 0, 5, 15, 10, (255, 255, 255))
    box(p, 0, 5, 3, 10, FACE)
    box(p, 12, 5, 15, 10, FACE)
    box(p, 6, 5, 8, 10, FACE)


def combo(p):
    box(p, 1, 4, 14, 10, (255, 255, 255))
    box(p, 10, 4, 14, 10, FACE)
    p[7][11] = p[7][12] = p[7][13] = p[8][12] = BLUE


def movebar(p):
    box(p, 0, 3, 15, 8, LIGHT)
    for x in (9, 12):
        box(p, x, 4, x + 2, 7, FACE)


def window_icon():
    """The move bar's 16 by 16 picture: two overlapping windows, each with a blue title strip."""
    white, none = (255, 255, 255), (0, 0, 0)
    pixels = [[none] * 16 for _ in range(16)]
    mask = [[False] * 16 for _ in range(16)]
    for left, top in ((0, 0), (5, 5)):
        for y in range(top, top + 11):
            for x in range(left, left + 11):
                edge = x in (left, left + 10) or y in (top, top + 10)
                pixels[y][x] = BLUE if edge or y < top + 3 else white
                mask[y][x] = True
    return pixels, mask


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for number, draw in enumerate((button, progress, vscroll, hscroll, combo, movebar)):
        bmpwriter.write_bmp24(os.path.join(here, "toolbox_%s.bmp" % draw.__name__), picture(draw))
    bmpwriter.write_icon24(os.path.join(here, "movebar_icon.ico"), *window_icon())
    bmpwriter.write_cursor(os.path.join(here, "hand.cur"), bmpwriter.HAND, (5, 1))


if __name__ == "__main__":
    main()
