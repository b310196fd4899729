"""The tile picture: 80 cells of 40 x 32 in 10 columns, cell t = tile code t.

Tiles know nothing of their neighbours, so every material is drawn to join
itself: stone and brick blocks carry a thin mortar rim on all four sides
(two neighbours make one mortar line), sand is seamless sideways with a
stratum line along its top, slopes run exactly corner to corner and rim
their solid sides like the blocks. Breakable tiles show their chain: the
same block with cracks growing at each step.
"""

import math

from ink import FOAM, OUTLINE, Pic, curve, dark, ellipse, light, mix, poly, rrect, star, turn

W, H = 40, 32
COLS, ROWS = 10, 8

STONE = "#A7A0BD"
STONE_DARK = "#857C9E"
MOSS = "#88D498"
SAND = "#EBC77A"
SAND_LINE = "#C99A55"
BRICK = "#F2A65A"
CORAL = "#F4978E"
CRATE = "#C98B4E"
BOULDER = "#8FB3C9"
SPONGE = "#C77DDB"
GLASS = "#7FD6B8"
WOOD = "#B8855A"
MORTAR = OUTLINE
RIM = 1.5


class Rand:
    """A small fixed-seed generator, so speckles are the same every run."""

    def __init__(self, seed):
        self.s = (seed * 2654435761 + 12345) & 0xFFFFFFFF

    def __call__(self):
        self.s = (self.s * 1103515245 + 12345) & 0x7FFFFFFF
        return self.s / 0x7FFFFFFF


# ---- solid halves of slopes ---------------------------------------------------
# kind 2: upper right, 3: lower right, 4: lower left, 5: upper left.

TRI = {
    2: [(0, 0), (W, 0), (W, H)],
    3: [(0, H), (W, 0), (W, H)],
    4: [(0, 0), (W, H), (0, H)],
    5: [(0, 0), (W, 0), (0, H)],
}
HYPOT = {2: [(0, 0), (W, H)], 3: [(0, H), (W, 0)], 4: [(0, 0), (W, H)], 5: [(W, 0), (0, H)]}


def inset_tri(kind, d):
    """The solid triangle shrunk by d on every side (for the mortar rim)."""
    pts = TRI[kind]
    cx = sum(x for x, _ in pts) / 3
    cy = sum(y for _, y in pts) / 3
    out = []
    for x, y in pts:
        dx, dy = cx - x, cy - y
        n = math.hypot(dx, dy)
        out.append((x + dx / n * d * 2.2, y + dy / n * d * 2.2))
    return out


# ---- materials --------------------------------------------------------------------

def speckles(p, r, colour, n, x0=4, y0=4, x1=W - 4, y1=H - 4, size=(1.2, 2.4), shape=None):
    for _ in range(n):
        x, y = x0 + r() * (x1 - x0), y0 + r() * (y1 - y0)
        if shape and not shape(x, y):
            continue
        s = size[0] + r() * (size[1] - size[0])
        p.fill(ellipse(x, y, s, s * 0.8), colour)


def cracks(p, r, level, kind=None):
    """Cracks from the edges inward; more and longer with level, kept inside
    the block (or the slope's triangle)."""
    p.clip(rrect(RIM, RIM, W - 2 * RIM, H - 2 * RIM, 4) if kind is None else poly(inset_tri(kind, RIM)))
    starts = [(W * 0.3, 0), (W, H * 0.55), (W * 0.15, H), (0, H * 0.3), (W * 0.75, H)]
    for k in range(min(level * 2, 5)):
        x, y = starts[k]
        pts = [(x, y)]
        steps = 2 + level
        tx, ty = W / 2 + (r() - 0.5) * 10, H / 2 + (r() - 0.5) * 8
        for i in range(1, steps + 1):
            f = i / (steps + 0.6)
            pts.append((x + (tx - x) * f + (r() - 0.5) * 7, y + (ty - y) * f + (r() - 0.5) * 6))
        p.stroke(poly(pts, closed=False), OUTLINE, 2.2 if level > 1 else 1.8)
        # A chip of the lighter face along the crack.
        mx, my = pts[len(pts) // 2]
        p.stroke(poly([(mx + 1.5, my + 1.5), (pts[-1][0] + 1.5, pts[-1][1] + 1.5)], closed=False), "#FFFFFF", 1,
                 opacity=0.35)
    p.end()


def block(p, base, r=5.0, kind=None):
    """A block filling the cell with a thin mortar rim; a slope's triangle
    when kind is given."""
    if kind is None:
        p.fill(poly([(0, 0), (W, 0), (W, H), (0, H)]), MORTAR)
        p.shape(rrect(RIM, RIM, W - 2 * RIM, H - 2 * RIM, r), base, line=0, sh=4, hi=3)
    else:
        p.fill(poly(TRI[kind]), MORTAR)
        p.shape(curve(inset_tri(kind, RIM), tension=0.15), base, line=0, sh=3.5, hi=2.5)
        p.stroke(poly(HYPOT[kind], closed=False), OUTLINE, 3, cap="butt")


def stone(p, r, base=STONE, kind=None, moss=False, barnacles=False, crack=0):
    block(p, base, kind=kind)
    inside = None if kind is None else (lambda x, y: inside_tri(kind, x, y, 5))
    speckles(p, r, dark(base, 0.12), 5, shape=inside)
    speckles(p, r, light(base, 0.25), 3, size=(1, 1.8), shape=inside)
    if moss:
        if kind is None:
            p.shape(curve([(RIM, RIM + 4), (6, RIM), (34, RIM), (W - RIM, RIM + 3), (W - RIM, 9), (30, 7), (22, 10),
                           (13, 7), (6, 10), (RIM, 8)], tension=0.5), MOSS, line=0, sh=2, hi=1.5)
        else:
            a, b = HYPOT[kind]
            p.stroke(poly([a, b], closed=False), MOSS, 5, cap="butt")
            p.stroke(poly([a, b], closed=False), OUTLINE, 2, cap="butt")
    if barnacles:
        for _ in range(3):
            x, y = 8 + r() * 24, 8 + r() * 16
            if inside and not inside(x, y):
                continue
            p.shape(ellipse(x, y, 3.2, 2.8), "#EDE6D6", line=1.5, shade=False)
            p.fill(ellipse(x, y - 0.3, 1.2), OUTLINE)
    if crack:
        cracks(p, r, crack, kind)


def inside_tri(kind, x, y, margin):
    u, v = x / W, y / H
    if kind == 2:
        ok = v < u
    elif kind == 3:
        ok = v > 1 - u
    elif kind == 4:
        ok = v > u
    else:
        ok = v < 1 - u
    return ok and margin < x < W - margin and margin < y < H - margin


def sand(p, r, base=SAND, kind=None, shells=False, deep=False):
    """Seamless sideways; a stratum line along the top (or the slope)."""
    shape = poly([(0, 0), (W, 0), (W, H), (0, H)]) if kind is None else poly(TRI[kind])
    p.fill(shape, base)
    if kind is None:
        p.fill(poly([(0, 2), (W, 2), (W, 7), (0, 7)]), light(base, 0.3))
        p.fill(poly([(0, H - 6), (W, H - 6), (W, H), (0, H)]), dark(base, 0.06))
        p.stroke(poly([(0, 1), (W, 1)], closed=False), SAND_LINE if not deep else dark(SAND_LINE, 0.2), 2.5,
                 cap="butt")
        inside = None
    else:
        a, b = HYPOT[kind]
        p.stroke(poly([a, b], closed=False), light(base, 0.3), 7, cap="butt")
        p.stroke(poly([a, b], closed=False), OUTLINE, 3, cap="butt")
        inside = lambda x, y: inside_tri(kind, x, y, 6)  # noqa: E731
    speckles(p, r, dark(base, 0.15), 6, size=(0.9, 1.6), shape=inside)
    speckles(p, r, light(base, 0.4), 3, size=(0.8, 1.3), shape=inside)
    if shells:
        for _ in range(2):
            x, y = 8 + r() * 24, 14 + r() * 12
            p.shape(ellipse(x, y, 3.2, 2.4).t(turn(r() * 60 - 30, x, y)), "#F7A1C4", line=1.2, shade=False)


def brick(p, r, base=BRICK, crack=0):
    block(p, base, r=3)
    for y in (H / 2,):
        p.stroke(poly([(RIM + 1, y), (W - RIM - 1, y)], closed=False), dark(base, 0.35), 2, cap="butt")
    for x, y0, y1 in ((20, RIM + 1, H / 2), (10, H / 2, H - RIM - 1), (30, H / 2, H - RIM - 1)):
        p.stroke(poly([(x, y0), (x, y1)], closed=False), dark(base, 0.35), 2, cap="butt")
    p.fill(ellipse(6, 5.5, 2.2, 1.2), light(base, 0.5))
    if crack:
        cracks(p, r, crack)


def coral_rock(p, r, crack=0):
    block(p, CORAL, r=7)
    for x, y, s in ((9, 9, 2.4), (17, 20, 2), (27, 10, 2.6), (32, 23, 1.8), (11, 24, 1.6), (23, 14, 1.4)):
        p.fill(ellipse(x, y, s), dark(CORAL, 0.28))
        p.fill(ellipse(x - 0.5, y - 0.6, s * 0.45), light(CORAL, 0.4))
    if crack:
        cracks(p, r, crack)


def crate(p, r, base=CRATE, crack=0):
    block(p, base, r=2.5)
    for y in (10.5, 21.5):
        p.stroke(poly([(RIM + 1, y), (W - RIM - 1, y)], closed=False), dark(base, 0.35), 1.6, cap="butt")
    p.stroke(poly([(4, H - 4), (W - 4, 4)], closed=False), dark(base, 0.3), 4)
    p.stroke(poly([(4, H - 4), (W - 4, 4)], closed=False), light(base, 0.15), 2)
    for x, y in ((5, 5), (W - 5, 5), (5, H - 5), (W - 5, H - 5)):
        p.fill(ellipse(x, y, 1.4), OUTLINE)
    if crack:
        cracks(p, r, crack)


def boulder(p, r, kind=None, crack=0):
    stone(p, r, BOULDER, kind=kind, barnacles=True, crack=crack)


def sponge(p, r, tone=0):
    base = [SPONGE, "#E58ACB", "#9C7BE0", "#F2B35E"][tone]
    p.fill(poly([(0, 0), (W, 0), (W, H), (0, H)]), MORTAR)
    p.shape(rrect(RIM, RIM, W - 2 * RIM, H - 2 * RIM, 9), base, line=0, sh=4, hi=3)
    for x, y, s in ((10, 10, 3.2), (24, 8, 2.4), (31, 18, 3.4), (16, 22, 2.8), (6, 22, 1.8), (26, 26, 1.8)):
        p.shape(ellipse(x, y, s, s * 0.8), dark(base, 0.35), line=1.2, shade=False)
    p.fill(ellipse(9, 6, 4, 1.6), light(base, 0.5))


def glass(p, r):
    block(p, GLASS, r=6)
    p.stroke(poly([(8, 24), (16, 7)], closed=False), "#FFFFFF", 3, opacity=0.6)
    p.stroke(poly([(15, 25), (19, 17)], closed=False), "#FFFFFF", 2, opacity=0.5)


def barrel(p, r):
    block(p, WOOD, r=8)
    for x in (12, 28):
        p.stroke(poly([(x, RIM + 1), (x, H - RIM - 1)], closed=False), dark(WOOD, 0.3), 1.6, cap="butt")
    for y in (8, 24):
        p.stroke(poly([(RIM + 1, y), (W - RIM - 1, y)], closed=False), "#7A6E86", 3, cap="butt")


def pot(p, r):
    block(p, "#D97B4A", r=4)
    p.stroke(curve([(5, 12), (20, 16), (35, 12)], closed=False), light("#D97B4A", 0.35), 3)
    p.stroke(curve([(5, 22), (20, 26), (35, 22)], closed=False), dark("#D97B4A", 0.25), 2.5)


def planks(p, r, base=WOOD):
    block(p, base, r=2)
    for y in (11, 21):
        p.stroke(poly([(RIM, y), (W - RIM, y)], closed=False), MORTAR, 2, cap="butt")
    for x, y in ((6, 6), (34, 6), (6, 16), (34, 16), (6, 26), (34, 26)):
        p.fill(ellipse(x, y, 1.2), OUTLINE)


def column(p, r, top=False):
    p.fill(poly([(6, 0), (34, 0), (34, H), (6, H)]), MORTAR)
    p.shape(poly([(7.5, 0), (32.5, 0), (32.5, H), (7.5, H)]), STONE, line=0, sh=3, hi=2)
    for x in (14, 20, 26):
        p.stroke(poly([(x, 2), (x, H - 2)], closed=False), dark(STONE, 0.18), 1.5)
    if top:
        p.fill(poly([(2, 0), (38, 0), (38, 9), (2, 9)]), MORTAR)
        p.shape(rrect(3.5, 0, 33, 7.5, 2), light(STONE, 0.1), line=0, sh=1.5, hi=1.5)


# ---- passable background pieces ----------------------------------------------------------

BACK = 0.55  # how far background pieces sink towards the sky colour


def faded(c):
    return mix(c, "#BFD9E6", 0.25)


def cloud(p, r):
    p.shape(curve([(4, 24), (7, 16), (14, 14), (18, 8), (27, 9), (31, 15), (37, 17), (37, 24)], tension=0.7),
            FOAM, line=2, sh=2.5, hi=1.5, sh_colour="#DCE9F2")


def bubbles(p, r):
    for x, y, s in ((12, 22, 5), (24, 12, 3.8), (30, 24, 2.8), (17, 8, 2.4)):
        p.stroke(ellipse(x, y, s), "#FFFFFF", 1.8, opacity=0.85)
        p.fill(ellipse(x - s * 0.35, y - s * 0.35, s * 0.25), "#FFFFFF", opacity=0.9)


def sprig(p, r, colour="#5DBB7A", tall=False):
    top = 2 if tall else 10
    for x0, lean in ((14, -4), (22, 3), (28, -2)):
        pts = [(x0, H), (x0 + lean, (H + top) / 2), (x0 - lean * 0.5, top + (x0 % 5))]
        p.stroke(curve(pts, closed=False), OUTLINE, 6)
        p.stroke(curve(pts, closed=False), faded(colour), 3)


def small_shell(p, r):
    p.fill(curve([(4, H), (10, 26), (30, 25), (37, H)], tension=0.6), faded(SAND))
    p.shape(ellipse(18, 24, 6, 4.5).t(turn(-15, 18, 24)), faded("#F7A1C4"), line=2, shade=False)
    p.shape(star(30, 26, 5, 2.2, 5), faded("#F25C54"), line=1.5, shade=False)


def pebbles(p, r):
    for x, y, s in ((9, 28, 4), (17, 29, 3), (26, 27, 5), (33, 29.5, 2.5)):
        p.shape(ellipse(x, y, s, s * 0.7), faded("#9C93B5"), line=1.8, shade=False)


def starfish_bg(p, r):
    p.shape(star(20, 18, 12, 5, 5, rot=-70), faded("#FF9F45"), line=2, shade=False)


def porthole(p, r):
    p.shape(ellipse(20, 16, 11), faded("#BDBAD3"), line=2.5, shade=False)
    p.fill(ellipse(20, 16, 6.5), "#2B4C6F")
    p.fill(ellipse(18, 14, 2, 1.4), "#FFFFFF", opacity=0.7)


def arch(p, r, side):
    """Half of a cave arch (left or right part) in faded rock."""
    pts = [(0, 0), (W, 0), (24, 5), (11, 14), (6, H), (0, H)]
    if side:
        pts = [(W - x, y) for x, y in pts]
    p.shape(curve(pts, tension=0.35), faded(STONE_DARK), line=2, shade=False)


def fan_coral(p, r, colour):
    pts = [(20, H)]
    for k in range(7):
        a = math.radians(200 + k * 23)
        pts.append((20 + 17 * math.cos(a), 30 + 24 * math.sin(a)))
    p.shape(curve(pts, tension=0.5), faded(colour), line=2, shade=False)
    for k in range(5):
        a = math.radians(215 + k * 27)
        p.stroke(poly([(20, 30), (20 + 13 * math.cos(a), 30 + 19 * math.sin(a))], closed=False),
                 faded(dark(colour, 0.2)), 1.3)


def anemone(p, r, colour):
    for k in range(7):
        x = 9 + k * 3.6
        pts = [(x, 26), (x + (k - 3) * 1.5, 15), (x + (k - 3) * 2.6, 7 + (k % 2) * 3)]
        p.stroke(curve(pts, closed=False), OUTLINE, 5)
        p.stroke(curve(pts, closed=False), faded(colour), 2.5)
    p.shape(rrect(8, 23, 24, 9, 4), faded(dark(colour, 0.15)), line=2, shade=False)


def backing(p, r, colour):
    p.fill(poly([(0, 0), (W, 0), (W, H), (0, H)]), faded(colour))
    speckles(p, r, faded(dark(colour, 0.12)), 4)


def hollow(p, r, colour, kind=None):
    """What stays behind a broken block: its imprint in the rock behind."""
    shape = poly([(0, 0), (W, 0), (W, H), (0, H)]) if kind is None else poly(TRI[kind])
    p.fill(shape, mix(dark(colour, 0.35), "#BFD9E6", 0.35))
    speckles(p, r, mix(dark(colour, 0.45), "#BFD9E6", 0.3), 4,
             shape=None if kind is None else (lambda x, y: inside_tri(kind, x, y, 5)))


def rubble(p, r, base=BRICK):
    """Bits of a shattered brick lying at the foot of the cell (passable)."""
    col = faded(base)
    for x, y, w, h, a in ((5, 24, 10, 7, -10), (16, 26, 9, 6, 12), (25, 23, 11, 8, -4), (12, 19, 7, 5, 25)):
        p.shape(rrect(x, y, w, h, 1.5).t(turn(a, x + w / 2, y + h / 2)), col, line=2, shade=False)


# ---- the table -------------------------------------------------------------------------------

def cell_drawers():
    d = {}
    d[1] = lambda p, r: brick(p, r)
    d[2] = lambda p, r: coral_rock(p, r)
    d[3] = lambda p, r: coral_rock(p, r, crack=2)
    d[4] = lambda p, r: crate(p, r)
    for code, kind in ((5, 3), (6, 4), (9, 2), (10, 5)):
        d[code] = lambda p, r, k=kind: boulder(p, r, kind=k)
        d[code + 6] = lambda p, r, k=kind: boulder(p, r, kind=k, crack=1)
    d[7] = lambda p, r: boulder(p, r)
    d[8] = lambda p, r: stone(p, r, "#B7AFA0", barnacles=True)
    d[13] = lambda p, r: boulder(p, r, crack=1)
    d[14] = lambda p, r: stone(p, r, "#B7AFA0", barnacles=True, crack=1)
    d[17] = lambda p, r: stone(p, r, mix(BOULDER, "#B7AFA0", 0.5), crack=3)
    d[18] = glass
    d[19] = barrel
    d[20] = pot
    d[21] = lambda p, r: stone(p, r)
    d[22] = lambda p, r: sand(p, r)
    d[23] = lambda p, r: stone(p, r, moss=True)
    d[24] = lambda p, r: stone(p, r, STONE_DARK)
    for code, kind in ((25, 3), (26, 4), (27, 2), (28, 5)):
        d[code] = lambda p, r, k=kind: stone(p, r, kind=k, moss=k in (3, 4))
    d[29] = lambda p, r: sand(p, r, shells=True)
    d[30] = lambda p, r: sand(p, r, base=dark(SAND, 0.12), deep=True)
    d[31] = lambda p, r: coral_rock(p, r)
    for code, kind in ((32, 3), (33, 4), (35, 2), (36, 5)):
        d[code] = lambda p, r, k=kind: stone(p, r, STONE_DARK, kind=k)
    d[34] = lambda p, r: planks(p, r)
    d[37] = lambda p, r: stone(p, r)
    d[38] = lambda p, r: stone(p, r, barnacles=True)
    for code, kind in ((39, 3), (40, 4), (45, 3), (48, 4)):
        d[code] = lambda p, r, k=kind, c=code: sand(p, r, base=SAND if c < 45 else dark(SAND, 0.12), kind=k)
    for code in range(41, 45):
        d[code] = lambda p, r, t=code - 41: sponge(p, r, t)
    d[46] = lambda p, r: brick(p, r, dark(BRICK, 0.12))
    d[47] = lambda p, r: stone(p, r, "#6F6A86")
    d[49] = bubbles
    d[50] = cloud
    d[51] = lambda p, r: sprig(p, r)
    d[52] = lambda p, r: backing(p, r, STONE_DARK)
    d[53] = lambda p, r: backing(p, r, "#C4641D")
    d[54] = lambda p, r: column(p, r)
    d[55] = lambda p, r: column(p, r, top=True)
    d[56] = small_shell
    d[57] = pebbles
    d[58] = lambda p, r: sprig(p, r, "#A0C23A", tall=True)
    d[59] = starfish_bg
    d[60] = lambda p, r: arch(p, r, 0)
    d[61] = lambda p, r: arch(p, r, 1)
    d[62] = lambda p, r: fan_coral(p, r, "#F25C54")
    d[63] = lambda p, r: fan_coral(p, r, "#C77DDB")
    d[64] = lambda p, r: anemone(p, r, "#F7A1C4")
    d[65] = lambda p, r: anemone(p, r, "#88D498")
    d[66] = lambda p, r: stone(p, r)
    d[67] = lambda p, r: rubble(p, r)
    d[68] = lambda p, r: backing(p, r, SAND)
    d[69] = lambda p, r: hollow(p, r, CORAL)
    d[70] = lambda p, r: hollow(p, r, BOULDER, kind=5)
    d[71] = lambda p, r: hollow(p, r, BOULDER, kind=2)
    d[72] = lambda p, r: planks(p, r, dark(WOOD, 0.18))
    d[73] = lambda p, r: coral_rock(p, r)
    d[74] = lambda p, r: wood_ramp(p, r, 3)
    d[75] = lambda p, r: wood_ramp(p, r, 4)
    return d


def wood_ramp(p, r, kind):
    block(p, WOOD, kind=kind)
    a, b = HYPOT[kind]
    for f in (0.3, 0.6):
        x, y = a[0] + (b[0] - a[0]) * f, a[1] + (b[1] - a[1]) * f
        p.stroke(poly([(x, y), (x, H - RIM)], closed=False), dark(WOOD, 0.3), 1.6)


def tile_picture():
    p = Pic(W * COLS, H * ROWS, line=2.5)
    draw = cell_drawers()
    for t in sorted(draw):
        x0, y0 = (t % COLS) * W, (t // COLS) * H
        sub = Pic(W, H, line=2.5)
        draw[t](sub, Rand(t))
        # Cells are drawn alone and placed, clipped to their own box.
        p.clip(poly([(x0, y0), (x0 + W, y0), (x0 + W, y0 + H), (x0, y0 + H)]))
        p.raw('<g transform="translate(%d,%d)">' % (x0, y0))
        p.defs.extend(d.replace('id="k', 'id="t%d_k' % t) for d in sub.defs)
        for part in sub.parts:
            p.raw(part.replace('url(#k', 'url(#t%d_k' % t))
        p.raw("</g>")
        p.end()
    return p


def build(book):
    book.named_raw(6, "pic_tiles", tile_picture())
