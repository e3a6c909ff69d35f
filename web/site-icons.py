#!/usr/bin/env python3
"""The page's icons, made from the game's own icon (assets/icons) at the sizes phones ask for.

    site-icons.py ASSETS_ICONS OUT_FOLDER

The sizes the icon theme already has are copied as they are; the others are the nearest larger
one scaled down by area (every source pixel counts by how much of it falls in the new pixel).
A "maskable" icon is the picture at four fifths of the size with its own edges drawn out to
the border: a launcher that cuts it to a circle or a squircle cuts only sky and floor. Only the
standard library: the page's build needs nothing but Python.
"""
import pathlib
import shutil
import struct
import sys
import zlib

# (name, size, maskable): what manifest.webmanifest and index.html name.
ICONS = [
    ("icon-192.png", 192, False),
    ("icon-512.png", 512, False),
    ("maskable-192.png", 192, True),
    ("maskable-512.png", 512, True),
    ("apple-touch-icon.png", 180, False),
]
MASKABLE_SHARE = 0.8


def read_png(path):
    data = path.read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(f"{path}: not a PNG file")
    position, idat, header = 8, [], None
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        position += 12 + length
    width, height, depth, colour, _, _, interlace = header
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace != 0:
        raise SystemExit(f"{path}: only 8-bit RGB or RGBA without interlacing is read here")
    raw = zlib.decompress(b"".join(idat))
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 1:
            for i in range(channels, stride):
                row[i] = (row[i] + row[i - channels]) & 255
        elif kind == 2:
            row = bytearray((a + b) & 255 for a, b in zip(row, previous))
        elif kind == 3:
            for i in range(stride):
                left = row[i - channels] if i >= channels else 0
                row[i] = (row[i] + ((left + previous[i]) >> 1)) & 255
        elif kind == 4:
            for i in range(stride):
                a = row[i - channels] if i >= channels else 0
                b = previous[i]
                c = previous[i - channels] if i >= channels else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(row)
        previous = row
    # Alpha, where there is any, is dropped: the icon is opaque.
    return width, height, [[list(row[x * channels:x * channels + 3]) for x in range(width)]
                           for row in rows]


def write_png(path, pixels):
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + bytes(value for pixel in row for value in pixel) for row in pixels)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    path.write_bytes(b"\x89PNG\r\n\x1a\n" +
                     chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                     chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def weights(source, target):
    """For each new pixel along one axis: the source pixels it covers and by how much."""
    scale = source / target
    result = []
    for i in range(target):
        start, end = i * scale, (i + 1) * scale
        taps, first = [], int(start)
        for j in range(first, min(source, int(end) + 1)):
            share = min(end, j + 1) - max(start, j)
            if share > 1e-9:
                taps.append((j, share / scale))
        result.append(taps)
    return result


def scale_down(pixels, size):
    height, width = len(pixels), len(pixels[0])
    across, down = weights(width, size), weights(height, size)
    rows = [[[sum(row[j][c] * w for j, w in taps) for c in range(3)] for taps in across]
            for row in pixels]
    return [[[min(255, int(sum(rows[j][x][c] * w for j, w in taps) + 0.5)) for c in range(3)]
             for x in range(size)] for taps in down]


def maskable(pixels, size):
    inner = round(size * MASKABLE_SHARE)
    picture = scale_down(pixels, inner)
    offset = (size - inner) // 2
    edge = lambda v: min(max(v - offset, 0), inner - 1)
    return [[picture[edge(y)][edge(x)] for x in range(size)] for y in range(size)]


def main():
    icons, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    have = sorted(int(p.name.split("x")[0]) for p in icons.glob("*x*.png"))
    decoded = {}

    def source_for(size):
        larger = min((s for s in have if s >= size), default=max(have))
        if larger not in decoded:
            decoded[larger] = read_png(icons / f"{larger}x{larger}.png")[2]
        return decoded[larger]

    for name, size, is_maskable in ICONS:
        if is_maskable:
            write_png(out / name, maskable(source_for(size), size))
        elif size in have:
            shutil.copyfile(icons / f"{size}x{size}.png", out / name)
        else:
            write_png(out / name, scale_down(source_for(size), size))


if __name__ == "__main__":
    main()
