"""Reads the stamp pictures the X11 tests capture, with Python alone.

    picture.py size IMAGE
        prints WIDTHxHEIGHT
    picture.py resolution IMAGE
        prints the horizontal pixels per metre (PNG pHYs, BMP header; 0 if none)
    picture.py face IMAGE --origin X,Y [--rows N]
        checks that IMAGE holds the stamp face with its drawing area at X,Y;
        only the first N rows of the face are looked at (the window hides
        the last ones under the colour frame)
    picture.py same A AX,AY B BX,BY W H [--tolerance T]
        checks that the W x H areas at AX,AY in A and BX,BY in B are equal,
        each colour channel within T (0 unless given)

Images are 8-bit PNGs (grey, RGB, palette, with or without alpha) or
uncompressed 24- or 32-bit BMPs. Transparent parts are seen as they would be
on white paper, which is where a pasted stamp ends up. Exits 1 and prints
what differs when a check fails, and 2 when it cannot look at all (a missing,
unreadable or too small picture), so that no caller takes a picture that was
never taken for one that differs.
"""

import argparse
import math
import struct
import sys
import zlib

# Geometry of the face in the drawing area, in whole pixels: the circle and
# band lines are drawn with a 2 px pen at positions rounded to the pixel.
FACE_SIZE = 217
CENTRE = 108
RADIUS = 107
BAND_LINES_Y = (87, 130)
BAND_LINES_X = (5, 212)
SLACK = 1  # how far a stroke may sit from where it is expected


class Image:
    def __init__(self, width, height, pixels):
        self.width = width
        self.height = height
        self.pixels = pixels  # rows of (r, g, b)

    def at(self, x, y):
        return self.pixels[y][x]


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG ({len(data)} bytes)")
    pos, idat, palette = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"IDAT":
            idat += body
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}.get(colour)
    if depth != 8 or interlace or channels is None:
        raise ValueError(f"{path}: unsupported PNG (depth {depth}, colour type {colour}, interlace {interlace})")
    raw = zlib.decompress(idat)
    stride = width * channels
    previous = bytearray(stride)
    pixels = []
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            upper_left = previous[i - channels] if i >= channels else 0
            line[i] = (line[i] + (0, left, up, (left + up) // 2, _paeth(left, up, upper_left))[kind]) & 0xFF
        previous = line
        if colour == 3:
            row = [palette[v] for v in line]
        elif colour == 0:
            row = [(v, v, v) for v in line]
        elif colour == 4:
            row = [on_white((line[i],) * 3, line[i + 1]) for i in range(0, stride, 2)]
        elif colour == 2:
            row = [tuple(line[i:i + 3]) for i in range(0, stride, 3)]
        else:
            row = [on_white(line[i:i + 3], line[i + 3]) for i in range(0, stride, 4)]
        pixels.append(row)
    return Image(width, height, pixels)


def on_white(rgb, alpha):
    return tuple((c * alpha + 255 * (255 - alpha) + 127) // 255 for c in rgb)


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack("<I", data[10:14])
    _, width, height, _, bits, compression = struct.unpack("<IiiHHI", data[14:34])
    if bits not in (24, 32) or compression not in (0, 3):
        raise ValueError(f"{path}: unsupported BMP ({bits} bits, compression {compression})")
    step = bits // 8
    stride = (width * step + 3) & ~3
    pixels = []
    for row in range(abs(height)):
        # Rows are stored bottom-up unless the height is negative.
        start = offset + stride * (abs(height) - 1 - row if height > 0 else row)
        line = data[start:start + width * step]
        pixels.append([(line[i + 2], line[i + 1], line[i]) for i in range(0, width * step, step)])
    return Image(width, abs(height), pixels)


def read_image(path):
    with open(path, "rb") as f:
        magic = f.read(2)
    return read_bmp(path) if magic == b"BM" else read_png(path)


def is_ink(p):
    """Red ink, at full strength or nearly."""
    return p[0] >= 200 and p[1] <= 100 and p[2] <= 100


def is_white(p):
    return p == (255, 255, 255)


def is_red_on_white(p):
    """Red ink, white paper, or the edge of a letter blending the two."""
    return p[0] >= 250 and abs(p[1] - p[2]) <= 3


def check_face(image, ox, oy, rows):
    """Returns what is wrong with the face at (ox, oy), seen down to row `rows`."""
    problems = []
    if image.width < ox + FACE_SIZE or image.height < oy + rows:
        return [f"image {image.width}x{image.height} is too small for a face at {ox},{oy}"]

    def px(x, y):
        return image.at(ox + x, oy + y)

    def ink_near(x, y):
        return any(is_ink(px(x + dx, y + dy))
                   for dx in range(-SLACK, SLACK + 1) for dy in range(-SLACK, SLACK + 1)
                   if 0 <= x + dx < FACE_SIZE and 0 <= y + dy < rows)

    def distance(x, y):
        return math.hypot(x - CENTRE, y - CENTRE)

    missing = []
    for degrees in range(0, 360, 5):
        x = round(CENTRE + RADIUS * math.cos(math.radians(degrees)))
        y = round(CENTRE + RADIUS * math.sin(math.radians(degrees)))
        if y < rows and not ink_near(x, y):
            missing.append(f"({x},{y})")
    if missing:
        problems.append(f"circle: no ink at {len(missing)} points of the ring: {' '.join(missing[:12])}")

    for line_y in BAND_LINES_Y:
        gaps = [x for x in range(BAND_LINES_X[0] + 1, BAND_LINES_X[1], 6) if not ink_near(x, line_y)]
        if gaps:
            problems.append(f"band line y={line_y}: no ink at x={gaps[:12]}")

    outside, stray, ink_per_band = [], [], [0, 0, 0]
    for y in range(rows):
        for x in range(FACE_SIZE):
            p = px(x, y)
            if not is_red_on_white(p):
                stray.append(f"({x},{y})={p}")
            if distance(x, y) > RADIUS + 2.5 and not is_white(p):
                outside.append(f"({x},{y})={p}")
            inner = distance(x, y) < RADIUS - 3
            clear_of_lines = all(abs(y - line) > SLACK + 1 for line in BAND_LINES_Y)
            if inner and clear_of_lines and is_ink(p):
                ink_per_band[(y > BAND_LINES_Y[0]) + (y > BAND_LINES_Y[1])] += 1
    if stray:
        problems.append(f"{len(stray)} pixels neither red ink nor white: {' '.join(stray[:8])}")
    if outside:
        problems.append(f"{len(outside)} pixels outside the circle are not white: {' '.join(outside[:8])}")

    # Every band holds a row of text; a band without ink lost its row.
    for name, count in zip(("upper band", "date band", "lower band"), ink_per_band):
        if count < 100:
            problems.append(f"{name}: only {count} ink pixels, its text is missing")

    # Below the name row and above the company row the paper stays blank (the
    # identification number is printed only on request). A real size thickens
    # the rim inwards: up to 4 px at 24 mm, where the tests set one.
    blank_rows = [y for y in range(rows) if y < 10 or 180 <= y]
    marked = [f"({x},{y})" for y in blank_rows for x in range(FACE_SIZE)
              if distance(x, y) < RADIUS - 5 and not is_white(px(x, y))]
    if marked:
        problems.append(f"{len(marked)} marks where the paper should be blank: {' '.join(marked[:8])}")
    return problems


def pixels_per_metre(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] == b"BM":
        return struct.unpack("<i", data[38:42])[0]
    chunk = data.find(b"pHYs")
    if chunk < 0:
        return 0
    x, _, unit = struct.unpack(">IIB", data[chunk + 4:chunk + 13])
    return x if unit == 1 else 0


def point(text):
    x, y = text.split(",")
    return int(x), int(y)


def main():
    parser = argparse.ArgumentParser()
    commands = parser.add_subparsers(dest="command", required=True)
    size = commands.add_parser("size")
    size.add_argument("image")
    commands.add_parser("resolution").add_argument("image")
    face = commands.add_parser("face")
    face.add_argument("image")
    face.add_argument("--origin", type=point, required=True)
    face.add_argument("--rows", type=int, default=FACE_SIZE)
    same = commands.add_parser("same")
    same.add_argument("a")
    same.add_argument("a_at", type=point)
    same.add_argument("b")
    same.add_argument("b_at", type=point)
    same.add_argument("width", type=int)
    same.add_argument("height", type=int)
    same.add_argument("--tolerance", type=int, default=0)
    args = parser.parse_args()

    if args.command == "size":
        image = read_image(args.image)
        print(f"{image.width}x{image.height}")
        return 0

    if args.command == "resolution":
        print(pixels_per_metre(args.image))
        return 0

    if args.command == "face":
        problems = check_face(read_image(args.image), *args.origin, args.rows)
        for problem in problems:
            print(f"{args.image}: {problem}")
        return 1 if problems else 0

    a, b = read_image(args.a), read_image(args.b)
    (ax, ay), (bx, by) = args.a_at, args.b_at
    for image, x, y, name in ((a, ax, ay, args.a), (b, bx, by, args.b)):
        if image.width < x + args.width or image.height < y + args.height:
            print(f"{name}: {image.width}x{image.height} has no {args.width}x{args.height} area at {x},{y}")
            return 2
    def differs(p, q):
        return max(abs(c - d) for c, d in zip(p, q)) > args.tolerance

    differ = [(x, y) for y in range(args.height) for x in range(args.width)
              if differs(a.at(ax + x, ay + y), b.at(bx + x, by + y))]
    if differ:
        print(f"{len(differ)} of {args.width * args.height} pixels differ, e.g. "
              + " ".join(f"({x},{y}) {a.at(ax + x, ay + y)} vs {b.at(bx + x, by + y)}" for x, y in differ[:6]))
        return 1
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (OSError, ValueError, IndexError, struct.error, zlib.error) as error:
        print(f"picture.py: {error}", file=sys.stderr)
        sys.exit(2)
