#!/usr/bin/env python3
"""Reads an rms.dat record-store file on its own and prints the level grades
of the saved progress (store "g", record 1), one line per level:
"level N grade G". Exit status 1 when the file does not read.

The file: string "TKEMURMS", int reserved, int number of stores, then per
store its name (string), a byte with the highest record id and, for each id
from 1, an int length and that many bytes; integers big-endian, strings a
16-bit byte count and their bytes. The progress record holds the grades of
levels 1..27 as signed bytes from offset 11 (offset 10 is level 0's).
"""
import struct
import sys


class Reader:
    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, n):
        if self.at + n > len(self.data):
            raise ValueError(f"file ends at {len(self.data)}, {n} bytes wanted at {self.at}")
        chunk = self.data[self.at:self.at + n]
        self.at += n
        return chunk

    def int32(self):
        return struct.unpack(">i", self.take(4))[0]

    def string(self):
        (n,) = struct.unpack(">H", self.take(2))
        return self.take(n).decode("utf-8", errors="replace")


def stores(data):
    r = Reader(data)
    r.string()
    r.int32()
    result = {}
    for _ in range(max(r.int32(), 0)):
        name = r.string()
        count = r.take(1)[0]
        result[name] = [r.take(r.int32()) for _ in range(count)]
    return result


def main():
    if len(sys.argv) != 2:
        print("usage: read_rms.py RMS_DAT", file=sys.stderr)
        return 2
    try:
        with open(sys.argv[1], "rb") as f:
            progress = stores(f.read())["g"][0]
        if len(progress) != 184:
            raise ValueError(f"progress record of {len(progress)} bytes, 184 expected")
    except (OSError, ValueError, KeyError, IndexError) as e:
        print(f"read_rms.py: {sys.argv[1]}: {e!r}", file=sys.stderr)
        return 1
    for level in range(1, 28):
        print(f"level {level} grade {struct.unpack('>b', progress[10 + level:11 + level])[0]}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
