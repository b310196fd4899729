"""Effects: flashes, puffs, sparks, debris, the flung puffer, final bursts and
the glyphs of the floating combo numbers. Each plays within its lifetime
and ends empty or small, so nothing lingers when it is held on its last
frame."""

import math

from creatures import puffer
from ink import FOAM, OUTLINE, Pic, curve, dark, ellipse, move, poly, rrect, scale, star, turn
from sheet import Frame
from world import CLAM, PEARL

SUN = "#FFD23F"
GOLD = "#FFB830"
SAND = "#E9C46A"


def seq(n, ms, draw, size, line=2.0):
    """n frames of `ms`, drawing draw(p, cx, cy, t) with t running 0..1."""
    w, h = size
    frames = []
    for k in range(n):
        p = Pic(w, h, line=line)
        draw(p, w / 2, h / 2, k / max(1, n - 1))
        frames.append(Frame(ms, p))
    return (w // 2, h // 2), size, frames


def flash(p, cx, cy, t, colour=SUN):
    if t >= 1:
        return
    r = 10 + 14 * math.sqrt(t)
    p.group(1 - t * 0.8)
    p.shape(star(cx, cy, r, r * 0.45, 8, rot=t * 30), colour, line=2.5, shade=False)
    p.shape(star(cx, cy, r * 0.55, r * 0.25, 8, rot=22 + t * 30), FOAM, line=0, shade=False)
    p.end()


def puff(p, cx, cy, t, colour="#F4EBDD", n=5, spread=14, size=7):
    if t >= 1:
        return
    p.group(1 - t ** 1.5)
    for i in range(n):
        a = math.radians(i * 360 / n + 20)
        d = spread * (0.4 + t)
        r = size * (0.7 + 0.6 * t) * (1 - 0.25 * (i % 2))
        p.shape(ellipse(cx + d * math.cos(a), cy + d * math.sin(a) * 0.8, r), colour, line=2, sh=1.5, hi=1.2,
                sh_colour=dark(colour, 0.12))
    p.end()


def spark(p, cx, cy, t, colour=SUN, r0=6.0):
    if t >= 1:
        return
    r = r0 * (1 - 0.6 * t)
    p.shape(star(cx, cy, r, r * 0.42, 4, rot=t * 90), colour, line=1.2, shade=False)
    p.fill(ellipse(cx, cy, r * 0.28), "#FFFFFF")


def ring(p, cx, cy, t, colour=FOAM):
    if t >= 1:
        return
    r = 6 + 20 * t
    p.stroke(ellipse(cx, cy, r), OUTLINE, 5 * (1 - t) + 1.5, opacity=1 - t)
    p.stroke(ellipse(cx, cy, r), colour, 3 * (1 - t) + 0.5, opacity=1 - t)


def chunks(p, cx, cy, t, colours, n=6, dist=20, size=4.5, spin=200):
    if t >= 1:
        return
    for i in range(n):
        a = math.radians(i * 360 / n + 15)
        d = dist * (0.25 + t)
        x, y = cx + d * math.cos(a), cy + d * math.sin(a) + 10 * t * t
        s = size * (1 - 0.4 * t)
        p.shape(rrect(x - s, y - s * 0.75, 2 * s, 1.5 * s, 1.2).t(turn(spin * t + i * 40, x, y)), colours[i % len(colours)],
                line=1.8, shade=False)


# ---- the floating numbers' glyphs ------------------------------------------------

GLYPHS = {
    "0": ("111", "101", "101", "101", "111"), "1": ("010", "110", "010", "010", "111"),
    "2": ("111", "001", "111", "100", "111"), "3": ("111", "001", "011", "001", "111"),
    "4": ("101", "101", "111", "001", "001"), "5": ("111", "100", "111", "001", "111"),
    "6": ("111", "100", "111", "101", "111"), "7": ("111", "001", "001", "010", "010"),
    "8": ("111", "101", "111", "101", "111"), "9": ("111", "101", "111", "001", "111"),
    "x": ("000", "101", "010", "101", "000"),
}


def glyph_boxes(rows):
    """Filled runs of a 3 x 5 glyph, plus an empty box that sets the glyph's
    advance (4) and height (5)."""
    boxes = []
    for y, row in enumerate(rows):
        x = 0
        while x < 3:
            if row[x] == "1":
                x1 = x
                while x1 < 3 and row[x1] == "1":
                    x1 += 1
                boxes.append((0, x, y, x1 - x, 1))
                x = x1
            else:
                x += 1
    boxes.append((0, 4, 5, 0, 0))
    return boxes


def glyph_pic(rows):
    """What the boxes make, for the sheets (the game draws the boxes)."""
    p = Pic(16, 20, line=1)
    for b in glyph_boxes(rows):
        if b[3]:
            p.fill(poly([(b[1] * 4, b[2] * 4), ((b[1] + b[3]) * 4, b[2] * 4), ((b[1] + b[3]) * 4, (b[2] + 1) * 4),
                         (b[1] * 4, (b[2] + 1) * 4)]), GOLD)
    return p


# ---- the flung puffer and its powered look -----------------------------------------

def flung(p, cx, cy, t, powered=False):
    if powered:
        for k in range(8):
            a = math.radians(k * 45 + t * 180)
            p.fill(poly([(cx, cy), (cx + 26 * math.cos(a - 0.15), cy + 26 * math.sin(a - 0.15)),
                         (cx + 26 * math.cos(a + 0.15), cy + 26 * math.sin(a + 0.15))]), GOLD, opacity=0.55)
    puffer(p, move(cx, cy) @ scale(0.8) @ turn(t * 720), mood="dizzy", mouth="wide", fin=math.sin(t * 20),
           tail=math.cos(t * 17), puff=0.6)


# ---- final bursts of the roaming clam ---------------------------------------------------

def clam_burst(p, cx, cy, t, colour):
    if t >= 1:
        return
    p.group(1 - t ** 2)
    for side in (-1, 1):
        x = cx + side * (8 + 26 * t)
        y = cy - 10 * t + 30 * t * t
        half = curve([(-14, 0), (-10, -9), (0, -12), (10, -9), (14, 0)], tension=0.6)
        p.shape(half.t(move(x, y) @ turn(side * 200 * t)), colour, line=2.5)
    for i in range(5):
        a = math.radians(-90 + (i - 2) * 35)
        d = 10 + 30 * t
        p.shape(ellipse(cx + d * math.cos(a), cy + d * math.sin(a) + 20 * t * t, 4.5), PEARL, line=2)
    flash(p, cx, cy, min(1.0, t * 1.6), SUN)
    p.end()


def build(book):
    a = book.anim
    ref, size, fr = seq(6, 125, flash, (56, 56))
    a(0x3007B, ref, size, fr, "hit flash, 750 ms")
    ref, size, fr = seq(4, 100, lambda p, x, y, t: p.shape(star(x, y, 7, 3, 5, rot=t * 54), SUN, line=2, shade=False),
                        (20, 20))
    a(0x3005B, ref, size, fr, "bounce star, looping")
    ref, size, fr = seq(6, 150, lambda p, x, y, t: puff(p, x, y, t), (64, 56))
    a(0x4001B, ref, size, fr, "dust cloud, 900 ms")
    ref, size, fr = seq(4, 90, lambda p, x, y, t: p.shape(
        curve([(-6, 3), (-3, -5), (5, -4), (6, 4)], tension=0.6).t(move(x, y) @ turn(t * 270)), "#FF9F45", line=2,
        shade=False), (20, 20))
    a(0x40018, ref, size, fr, "shell shard, tumbling")
    ref, size, fr = seq(10, 150, flung, (56, 56))
    a(0x300A6, ref, size, fr, "the puffer flung off, 1500 ms")
    ref, size, fr = seq(10, 150, lambda p, x, y, t: flung(p, x, y, t, True), (56, 56))
    a(0x5010E, ref, size, fr, "the powered puffer flung off, as 0x300A6")
    ref, size, fr = seq(5, 120, lambda p, x, y, t: (flash(p, x, y, t, FOAM), ring(p, x, y, t, SUN)), (60, 60))
    a(0x4008D, ref, size, fr, "bat strike, 600 ms")
    ref, size, fr = seq(5, 120, ring, (56, 56))
    a(0x40080, ref, size, fr, "impact ring, 600 ms")
    ref, size, fr = seq(6, 133, lambda p, x, y, t: spark(p, x, y, t, SUN, 7.5), (18, 18), line=1.5)
    a(0x40078, ref, size, fr, "spark, 800 ms")
    ref, size, fr = seq(6, 133, lambda p, x, y, t: (puff(p, x, y, t, "#D9CBB0", 4, 10, 6),
                                                      chunks(p, x, y, t, ["#F2A65A", "#A7A0BD", "#F4978E"])), (64, 64))
    a(0x4008E, ref, size, fr, "cell broken, 800 ms")
    ref, size, fr = seq(5, 100, lambda p, x, y, t: puff(p, x, y, t, "#F4EBDD", 3, 5, 4), (28, 24))
    a(0x4009B, ref, size, fr, "sliding dust, 500 ms")
    ref, size, fr = seq(6, 133, lambda p, x, y, t: (p.stroke(ellipse(x, y, 3 + 4 * t), "#FFFFFF", 2, opacity=1 - t),
                                                      p.fill(ellipse(x - 1.5 - t, y - 1.5 - t, 1.2), "#FFFFFF",
                                                             opacity=1 - t)) if t < 1 else None, (20, 20))
    a(0x40089, ref, size, fr, "bounce trail bubble, 800 ms")
    ref, size, fr = seq(5, 140, lambda p, x, y, t: (spark(p, x - 3, y + 2, t, GOLD, 6),
                                                      spark(p, x + 4, y - 3, min(1, t + 0.25), FOAM, 4)), (20, 20),
                        line=1.5)
    a(0x40081, ref, size, fr, "trail sparkle, 700 ms")
    ref, size, fr = seq(7, 200, lambda p, x, y, t: [spark(p, x + (8 + 18 * t) * math.cos(math.radians(i * 45 + 60 * t)),
                                                          y + (8 + 18 * t) * math.sin(math.radians(i * 45 + 60 * t)),
                                                          t, SUN if i % 2 else FOAM, 8) for i in range(8)], (72, 72),
                        line=1.5)
    a(0x50023, ref, size, fr, "glitter ring, 1400 ms")
    ref, size, fr = seq(8, 185, lambda p, x, y, t: chunks(p, x, y, t, ["#7FD6B8", "#8ED1E6", "#B3E59A"], 4, 8, 4.5, 400),
                        (40, 40))
    a(0x50009, ref, size, fr, "sea glass shards, 1500 ms")
    ref, size, fr = seq(8, 185, lambda p, x, y, t: (chunks(p, x, y, t, ["#B9B0A2", "#CFC7B8"], 2, 10, 6, 300),
                                                      p.shape(ellipse(x, y - 4 * math.sin(t * math.pi * 3), 5), PEARL,
                                                              line=2) if t < 1 else None), (40, 40))
    a(0x50042, ref, size, fr, "oyster and pearl, 1500 ms")
    for aid, colour in ((0x50082, CLAM), (0x50083, "#FFC15E"), (0x50087, "#F4978E")):
        ref, size, fr = seq(8, 185, lambda p, x, y, t, c=colour: clam_burst(p, x, y, t, c), (96, 96))
        a(aid, ref, size, fr, "final burst of the roaming clam, 1500 ms")
    # Floating numbers: the game draws the boxes; the pictures show them.
    frames = [Frame(1000, glyph_pic(GLYPHS[c]), boxes=glyph_boxes(GLYPHS[c])) for c in "0123456789x"]
    a(0x40065, (0, 0), (4, 5), frames, "glyphs 0..9 and x as boxes of a 3 x 5 grid")
