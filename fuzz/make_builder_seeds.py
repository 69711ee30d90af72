#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_builders into corpus/fuzz_builders/.

FuzzedDataProvider takes texts from the front of the input and integers and
flags from its end, last byte first; Seed mirrors fuzz_builders.cpp's order
of consumption so the seeds start from meaningful forms."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


class Seed:
    def __init__(self):
        self.front = b""
        self.back = []

    def byte(self, b):
        self.back.append(b & 0xFF)

    def text(self, t, repeat=0):
        t = t.encode("latin-1")
        self.byte(len(t))
        self.byte(repeat)  # 240 and above repeat the text (repeat - 239) * 64 times
        self.front += t

    def int32(self, v):
        u = (v + 2**31) & 0xFFFFFFFF
        for i in range(4):
            self.back.append((u >> (8 * (3 - i))) & 0xFF)

    def flag(self, f):
        if f in (0, 1, -1):
            self.byte({0: 0, 1: 1, -1: 2}[f])
        else:
            self.byte(3)
            self.int32(f)

    def form(self, texts, flags):
        # Departure, OJ departure, OJ arrival, arrival, day, tolerance, stay,
        # airlines 1-3, stops 1-3, supplier, currency, CRS; then the flags
        # economy, business, first, trip type, the six tariff types, result mode.
        for t in texts:
            self.text(*t) if isinstance(t, tuple) else self.text(t)
        for f in flags:
            self.flag(f)

    def write(self, name):
        with open(os.path.join(HERE, "corpus", "fuzz_builders", name), "wb") as f:
            f.write(self.front + bytes(reversed(self.back)))


AVAIL = "00001@LH@400@FRA@JFK@0800@1100@01012024@M@X"

# Clean and realistic: block number, presets, then the lines of the
# browsing, booking and service requests.
s = Seed()
s.byte(1)
s.form(["FRA", "", "", "NYC", "01012024", "3", "14", "LH", "", "", "1", "", "", "1A", "DEM", "1A"],
       [1, 1, 0, 1, 1, 0, 0, 0, 0, 0, 1])
s.int32(2)
s.byte(1)
for t in [AVAIL, AVAIL, "1A", AVAIL, "=TARIFF=7", "BOOKING=ABC123", AVAIL, AVAIL, "ID42"]:
    s.text(t)
s.write("plain")

# Values repeated past the 8192-byte areas, lines just over the browsing limits.
s = Seed()
s.byte(1)
s.form([("ABCDEFGH", 255), "", "", "NYC", "01012024", "", "", "", "", "", "*", "", "",
        "ABCDEFG", "", ""], [1, 0, 0, 0, 1, 1, 1, 1, 1, 1, 0])
s.int32(-1)
s.byte(0)
s.text("L" * 89)
s.text("00001XYZ", 255)
for t in ["1A", "00002IN", "R", "", "T", "U", "K", "A" * 69, "E", "F"]:
    s.text(t)
s.write("long-values")

# "~", NUL and backslash-zero inside values, odd flag values.
s = Seed()
s.byte(0)
s.form(["F~A", "X\x00Y", "\\0", "N\\", "0112\x002024", "", "", "~", "", "", "*1", "", "", "A~B",
        "", "~~"], [7, -1, 0, -5, 1, 0, 0, 0, 0, 0, 2])
s.int32(2**31 - 1)
s.byte(1)
for t in ["", "a@b~c", "\x00", "x@y@z", "=", "=\x00=", "~", "\\0", "~~"]:
    s.text(t)
s.write("tilde-nul")

# December departure, open-jaw airports, no stay.
s = Seed()
s.byte(1)
s.form(["MUC", "BER", "LON", "PAR", "31122099", "1", "", "BA", "AF", "", "0", "1", "2",
        "ABCDEFGHIJ", "EUR", ""], [0, 1, 1, 1, 0, 1, 1, 1, 1, 1, 0])
s.int32(0)
s.byte(0)
for t in ["00001@A", "", "", "", "", "", "", "A=B=C", "", "", ""]:
    s.text(t)
s.write("open-jaw")
