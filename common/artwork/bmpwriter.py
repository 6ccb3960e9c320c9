"""Writers for the small Windows image formats our resource scripts produce.

Pixels are rows of (red, green, blue) tuples, top row first. Nothing here needs more than the
standard library, so the artwork can be regenerated on any machine with Python 3.
"""
import struct


def _rows_bottom_up(pixels):
    return list(reversed(pixels))


def _pad(row):
    return row + b"\0" * ((4 - len(row) % 4) % 4)


def _info_header(width, height, bits, colours=0, image_size=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 2835, 2835,
                       colours, 0)


def write_bmp24(path, pixels):
    height, width = len(pixels), len(pixels[0])
    data = b"".join(_pad(b"".join(bytes((b, g, r)) for r, g, b in row))
                    for row in _rows_bottom_up(pixels))
    header = _info_header(width, height, 24, 0, len(data))
    with open(path, "wb") as out:
        out.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 54))
        out.write(header + data)


def write_bmp8(path, pixels):
    height, width = len(pixels), len(pixels[0])
    palette = sorted({colour for row in pixels for colour in row})
    if len(palette) > 256:
        raise ValueError("%s: %d colours do not fit an 8-bit palette" % (path, len(palette)))
    index = {colour: i for i, colour in enumerate(palette)}
    data = b"".join(_pad(bytes(index[c] for c in row)) for row in _rows_bottom_up(pixels))
    header = _info_header(width, height, 8, len(palette), len(data))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + len(header) + len(table)
    with open(path, "wb") as out:
        out.write(b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset))
        out.write(header + table + data)


def _mask_rows(mask):
    """mask: rows of booleans, True where the image is opaque; AND bits are 0 there."""
    rows = []
    for row in _rows_bottom_up(mask):
        bits = bytearray((len(row) + 7) // 8)
        for x, opaque in enumerate(row):
            if not opaque:
                bits[x // 8] |= 0x80 >> (x % 8)
        rows.append(_pad(bytes(bits)))
    return b"".join(rows)


def write_cursor(path, shape, hotspot):
    """A monochrome cursor: shape rows hold '#' (black), '.' (white) or ' ' (transparent)."""
    height, width = len(shape), len(shape[0])
    xor_rows = []
    for row in _rows_bottom_up(shape):
        bits = bytearray((width + 7) // 8)
        for x, cell in enumerate(row):
            if cell == ".":
                bits[x // 8] |= 0x80 >> (x % 8)
        xor_rows.append(_pad(bytes(bits)))
    and_bits = _mask_rows([[cell != " " for cell in row] for row in shape])
    header = _info_header(width, height * 2, 1)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = header + palette + b"".join(xor_rows) + and_bits
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 2, 1))
        out.write(struct.pack("<BBBBHHII", width, height, 0, 0, hotspot[0], hotspot[1],
                              len(image), 22))
        out.write(image)


def _icon_image(pixels, mask):
    # Transparent pixels are black in the colour image, so the AND mask alone decides.
    height = len(pixels)
    colour = [[pixels[y][x] if mask[y][x] else (0, 0, 0) for x in range(len(pixels[0]))]
              for y in range(height)]
    data = b"".join(_pad(b"".join(bytes((b, g, r)) for r, g, b in row))
                    for row in _rows_bottom_up(colour))
    return _info_header(len(pixels[0]), height * 2, 24) + data + _mask_rows(mask)


def write_icon_set(path, images):
    """An icon file holding several 24-bit images; images: list of (pixels, mask)."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for pixels, mask in images:
        image = _icon_image(pixels, mask)
        entries.append(struct.pack("<BBBBHHII", len(pixels[0]) % 256, len(pixels) % 256, 0, 0,
                                   1, 24, len(image), offset))
        blobs.append(image)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, len(images)))
        out.write(b"".join(entries) + b"".join(blobs))


def write_icon24(path, pixels, mask):
    write_icon_set(path, [(pixels, mask)])


HAND = [
    "                                ",
    "     ##                         ",
    "    #..#                        ",
    "    #..#                        ",
    "    #..#                        ",
    "    #..#                        ",
    "    #..###                      ",
    "    #..#..###                   ",
    "    #..#..#..##                 ",
    "    #..#..#..#.#                ",
    " ## #..#..#..#..#               ",
    "#..##........#..#               ",
    "#...#...........#               ",
    " #..............#               ",
    "  #.............#               ",
    "  #............#                ",
    "   #...........#                ",
    "   #..........#                 ",
    "    #.........#                 ",
    "    #........#                  ",
    "     #.......#                  ",
    "     #########                  ",
] + [" " * 32] * 10
