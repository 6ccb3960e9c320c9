"""Draws svctune.exe's artwork: the program icon, the task-area icons and the title banner.
Run from this folder; the outputs are committed beside it."""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "common", "artwork"))
import bmpwriter  # noqa: E402

SAMPLES = 4


def render(size, shapes, background=None):
    """shapes: list of (coverage(x, y) -> bool, colour); later shapes paint over earlier ones.
    Returns pixel rows and an opacity mask (pixels with any coverage are opaque)."""
    pixels, mask = [], []
    for py in range(size[1]):
        row, mask_row = [], []
        for px in range(size[0]):
            total = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = px + (sx + 0.5) / SAMPLES
                    y = py + (sy + 0.5) / SAMPLES
                    colour = background
                    for inside, fill in shapes:
                        if inside(x, y):
                            colour = fill(x, y) if callable(fill) else fill
                    if colour is not None:
                        covered += 1
                        for i in range(3):
                            total[i] += colour[i]
            if covered * 2 >= SAMPLES * SAMPLES:
                row.append(tuple(round(c / covered) for c in total))
                mask_row.append(True)
            else:
                # Transparent pixels are black, so the AND mask alone decides what shows.
                row.append((0, 0, 0))
                mask_row.append(False)
        pixels.append(row)
        mask.append(mask_row)
    return pixels, mask


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def gear(cx, cy, outer, inner, teeth):
    def inside(x, y):
        dx, dy = x - cx, y - cy
        distance = math.hypot(dx, dy)
        angle = math.atan2(dy, dx) % (2 * math.pi / teeth)
        tooth = abs(angle - math.pi / teeth) < math.pi / teeth * 0.45
        return distance <= (outer if tooth else inner)
    return inside


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


def rect(left, top, right, bottom):
    return lambda x, y: left <= x < right and top <= y < bottom


def vertical(top_colour, bottom_colour, top, bottom):
    def fill(x, y):
        t = min(max((y - top) / (bottom - top), 0.0), 1.0)
        return tuple(top_colour[i] + (bottom_colour[i] - top_colour[i]) * t for i in range(3))
    return fill


def scaled(shape_maker, size, *args):
    s = size / 32.0
    return shape_maker(*[a * s for a in args])


def program_icon(size):
    s = size / 32.0
    check = [(17, 24), (20, 21), (23, 24), (29, 16), (31, 18), (23, 29)]
    return render((size, size), [
        (gear(15 * s, 15 * s, 14 * s, 10.5 * s, 9), vertical((120, 170, 235), (30, 80, 170), 1 * s, 29 * s)),
        (circle(15 * s, 15 * s, 7.5 * s), vertical((235, 242, 252), (180, 205, 240), 7 * s, 23 * s)),
        (circle(15 * s, 15 * s, 3.5 * s), (40, 90, 175)),
        (polygon([(x * s, y * s) for x, y in check]), vertical((120, 220, 90), (30, 140, 40), 16 * s, 29 * s)),
    ])


def apply_icon():
    return render((16, 16), [
        (polygon([(2, 8), (4.5, 5.5), (7, 8), (13, 2), (15, 4.5), (7, 13)]),
         vertical((130, 225, 100), (30, 140, 40), 2, 13)),
    ])


def padlock_icon():
    return render((16, 16), [
        (lambda x, y: 4.5 <= math.hypot(x - 8, y - 7) <= 6.5 and y < 8, (120, 120, 130)),
        (rect(3, 7, 13, 15), vertical((255, 220, 100), (200, 140, 20), 7, 15)),
        (circle(8, 10.5, 1.5), (90, 60, 10)),
        (rect(7.4, 10.5, 8.6, 13.5), (90, 60, 10)),
    ])


def operations_icon():
    return render((16, 16), [
        (gear(8, 8, 7.5, 5.5, 8), vertical((255, 200, 110), (215, 120, 20), 0.5, 15.5)),
        (circle(8, 8, 2.5), (255, 255, 255)),
    ])


def minimise_icon():
    return render((16, 16), [
        (rect(1, 2, 15, 14), vertical((120, 170, 235), (40, 90, 190), 2, 14)),
        (rect(2, 5, 14, 13), (245, 248, 255)),
        (rect(4, 10, 12, 12), (40, 90, 190)),
    ])


def banner():
    width, height = 860, 60
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            t = x / (width - 1)
            colour = [33 + (123 - 33) * t, 93 + (170 - 93) * t, 198 + (236 - 198) * t]
            for cx, cy, outer in ((800, 30, 44), (712, 52, 26)):
                dx, dy = x + 0.5 - cx, y + 0.5 - cy
                angle = math.atan2(dy, dx) % (2 * math.pi / 10)
                tooth = abs(angle - math.pi / 10) < math.pi / 10 * 0.45
                distance = math.hypot(dx, dy)
                if outer * 0.45 < distance <= (outer if tooth else outer * 0.78):
                    colour = [c + (255 - c) * 0.18 for c in colour]
            if y >= height - 2:
                colour = [255, 255, 255] if y == height - 2 else [200, 214, 240]
            row.append(tuple(round(c) for c in colour))
        rows.append(row)
    return rows


def main():
    os.chdir(os.path.dirname(os.path.abspath(__file__)))
    bmpwriter.write_icon_set("svctune.ico", [program_icon(size) for size in (16, 32, 48)])
    bmpwriter.write_icon_set("apply.ico", [apply_icon()])
    bmpwriter.write_icon_set("password.ico", [padlock_icon()])
    bmpwriter.write_icon_set("operations.ico", [operations_icon()])
    bmpwriter.write_icon_set("minimise.ico", [minimise_icon()])
    bmpwriter.write_bmp24("title.bmp", banner())


if __name__ == "__main__":
    main()
