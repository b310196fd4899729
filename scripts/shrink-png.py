#!/usr/bin/env python3
"""Shrinks an 8-bit RGB or RGBA PNG (not interlaced) by a whole factor,
averaging each square of pixels, and writes it as RGB: the level page's
small map pictures. Standard library only.

    scripts/shrink-png.py IN.png OUT.png FACTOR
"""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    at, idat, width = 8, b"", None
    while at < len(data):
        (n,) = struct.unpack(">I", data[at:at + 4])
        kind, body = data[at + 4:at + 8], data[at + 8:at + 8 + n]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour not in (2, 6) or interlace:
                raise ValueError(f"{path}: only 8-bit RGB/RGBA without interlacing")
            channels = 4 if colour == 6 else 3
        elif kind == b"IDAT":
            idat += body
        at += 12 + n
    raw, stride = zlib.decompress(idat), width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b, c = prev[i], prev[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        prev = line
    return width, height, channels, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    raw = b"".join(b"\0" + bytes(r) for r in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    src, dst, k = sys.argv[1], sys.argv[2], int(sys.argv[3])
    width, height, ch, rows = read_png(src)
    w, h = width // k, height // k
    out = []
    for y in range(h):
        line = bytearray()
        for x in range(w):
            for c in range(3):
                total = sum(rows[y * k + j][(x * k + i) * ch + c] for j in range(k) for i in range(k))
                line.append(total // (k * k))
        out.append(line)
    write_png(dst, w, h, out)


if __name__ == "__main__":
    main()
