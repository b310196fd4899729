"""The themes' backdrops and the overlay layers.

The world paints each theme's sky from its four colours (two gradients of
110 rows meeting at the horizon, y = 300) and lays backdrop 0 on the upper
band (drawn 110 rows above the horizon, still), backdrop 1 at the horizon,
drifting one width every four seconds. The menus draw both strips at their
own horizon and let backdrop 0 drift too, 110 rows lower relative to the
horizon than in the world: so backdrop 0 holds no sun, only things that
read as well on the horizon as near the shore (islands, rocks, low
clouds), and both strips join themselves sideways.
"""

import math

from ink import FOAM, OUTLINE, Pic, curve, dark, ellipse, mix, move, poly, star
from sheet import Frame

THEMES = {
    0: ("#FFA055", "#FFFD7D", "#99E6FF", "#8D7E7F"),
    1: ("#8BCAFF", "#FEF001", "#A9DCEA", "#FCFFFF"),
    2: ("#5596B1", "#846D51", "#846D51", "#C4641D"),
    3: ("#45C4ED", "#F2D4D8", "#FFFFFF", "#B6DBF3"),
}

WIDE = 400  # backdrop 0 tiles itself every 400 px
TALL = 450  # and covers rows 150..600: sky detail above the horizon (row 150 in the picture), the shore below
HORIZON = 150


def wrapped(p, draw, w):
    """Draws something that may cross the picture's side edges twice, so the
    strip joins itself."""
    for dx in (-w, 0, w):
        draw(move(dx, 0))


def far_outline(base):
    return mix(base, OUTLINE, 0.55)


def boulder(p, x, y, w, h, base, pool=None):
    """A background boulder resting on y, in the theme's rock colour."""
    pts = [(x - w / 2, y), (x - w * 0.45, y - h * 0.6), (x - w * 0.2, y - h), (x + w * 0.15, y - h * 0.95),
           (x + w * 0.42, y - h * 0.6), (x + w / 2, y)]
    p.shape(curve(pts, tension=0.7), base, line=2.5, outline=far_outline(base), sh=min(5, h * 0.15),
            hi=min(3.5, h * 0.1))
    if pool:
        p.shape(ellipse(x, y - h * 0.72, w * 0.22, h * 0.09), pool, line=2, outline=far_outline(base), shade=False)


def cloud(p, m, w, colour=FOAM, shade="#E8D9C8", line=3):
    h = w * 0.45
    pts = [(-w / 2, 0), (-w * 0.42, -h * 0.5), (-w * 0.2, -h * 0.7), (-w * 0.05, -h), (w * 0.2, -h * 0.85),
           (w * 0.35, -h * 0.55), (w / 2, 0)]
    p.shape(curve(pts, tension=0.8).t(m), colour, line=line, sh=h * 0.18, hi=h * 0.08, sh_colour=shade)


def sea_stack(p, m, w, h, colour):
    pts = [(-w / 2, 0), (-w * 0.42, -h * 0.55), (-w * 0.25, -h * 0.9), (-w * 0.05, -h), (w * 0.2, -h * 0.85),
           (w * 0.38, -h * 0.5), (w / 2, 0)]
    p.shape(curve(pts, tension=0.6).t(m), colour, line=3, sh=4, hi=2.5)


def sun(p, x, y, r, colour, rays=True):
    if rays:
        for k in range(12):
            a = math.radians(k * 30 + 15)
            p.fill(poly([(x + (r + 6) * math.cos(a - 0.1), y + (r + 6) * math.sin(a - 0.1)),
                         (x + (r + 22) * math.cos(a), y + (r + 22) * math.sin(a)),
                         (x + (r + 6) * math.cos(a + 0.1), y + (r + 6) * math.sin(a + 0.1))]), colour, opacity=0.6)
    p.shape(ellipse(x, y, r), colour, line=3, sh=5, hi=4)


def palm(p, x, base, h, lean, trunk="#B8855A", leaf="#1A936F"):
    pts = [(x, base), (x + lean * 0.4, base - h * 0.5), (x + lean, base - h)]
    p.stroke(curve(pts, closed=False), OUTLINE, 9)
    p.stroke(curve(pts, closed=False), trunk, 5.5)
    tx, ty = x + lean, base - h
    for a, l in ((-160, 34), (-120, 30), (-60, 30), (-20, 34), (-90, 22)):
        r = math.radians(a)
        ex, ey = tx + l * math.cos(r), ty + l * math.sin(r) * 0.6 + 10
        leafp = curve([(tx, ty), ((tx + ex) / 2 + 4 * math.sin(r), (ty + ey) / 2 - 9), (ex, ey),
                       ((tx + ex) / 2, (ty + ey) / 2 - 2)], tension=0.6)
        p.shape(leafp, leaf, line=2.5, sh=2, hi=1.5)


# ---- theme 0: sunset shore -----------------------------------------------------

def sunset_upper():
    c = THEMES[0]
    p = Pic(WIDE, TALL, line=3)
    haze = mix(c[3], c[0], 0.35)
    for x, w, h in ((50, 110, 46), (150, 60, 30), (290, 80, 58)):
        wrapped(p, lambda mm: sea_stack(p, mm @ move(x, HORIZON), w, h, haze), WIDE)
    for x, y, w in ((90, 50, 100), (300, 62, 70)):
        wrapped(p, lambda mm: cloud(p, mm @ move(x, y), w, "#FFE9CF", "#FFC08A"), WIDE)
    shore(p, c[3], c[2], seed=1)
    return p


def shore(p, rock, water, seed):
    """Tide-pool rocks along the bottom of the painting."""
    r = seed
    for row, (y, scale_) in enumerate(((HORIZON + 150, 0.6), (HORIZON + 205, 0.85), (HORIZON + 280, 1.2))):
        x = -40 + (row * 97) % 120
        k = 0
        while x < WIDE + 60:
            w = (90 + ((r * 37 + k * 53) % 70)) * scale_
            h = (30 + ((r * 11 + k * 29) % 24)) * scale_
            base = mix(rock, "#FFFFFF", 0.12 - row * 0.06)
            pool = water if (k + row) % 3 == 0 else None
            xx = x % WIDE
            wrapped(p, lambda mm, xx=xx, w=w, h=h, base=base, pool=pool: boulder(p, mm(xx, 0)[0], y, w, h, base, pool),
                    WIDE)
            x += w * 0.8
            k += 1


def waves(w, h, water, foam, phase=0.0, rows=3, gap=15, amp=4.0):
    p = Pic(w, h, line=2)
    for r in range(rows):
        y = 8 + r * gap
        n = 4 if r % 2 == 0 else 5
        per = w / n
        for k in range(-1, n + 1):
            x = k * per + (phase * per) + (r * per / 2)
            crest = curve([(x, y + amp), (x + per * 0.25, y - amp * 0.3), (x + per * 0.5, y + amp)], closed=False)
            p.stroke(crest, dark(water, 0.22 + 0.05 * r), 5 - r)
            p.stroke(crest.t(move(0, -2)), foam, 3 - r * 0.6)
    return p


# ---- theme 1: noon shallows ----------------------------------------------------------

def noon_upper():
    c = THEMES[1]
    p = Pic(WIDE, TALL, line=3)
    dune = "#9CD67A"
    p.shape(curve([(120, HORIZON + 1), (170, HORIZON - 20), (240, HORIZON - 26), (300, HORIZON - 12),
                   (350, HORIZON + 1)], tension=0.6), dune, line=3)
    palm(p, 222, HORIZON - 8, 60, 10)
    palm(p, 262, HORIZON - 8, 48, -12)
    for x, y, w in ((60, 80, 110), (330, 60, 120)):
        wrapped(p, lambda mm: cloud(p, mm @ move(x, y), w, FOAM, "#D8E8F5"), WIDE)
    sandc = "#F3E6C4"
    for k in range(9):
        y = HORIZON + 130 + k * 24
        pts = [(-20, y)] + [(x, y + (6 if (x // 50) % 2 else -4)) for x in range(0, WIDE + 40, 50)]
        p.stroke(curve(pts, closed=False), sandc, 3)
    for x, y, w in ((100, HORIZON + 190, 140), (300, HORIZON + 250, 120)):
        wrapped(p, lambda mm: p.shape(ellipse(*mm(x, y), w / 2, w / 9), c[2], line=2, outline=far_outline(c[2]),
                                      shade=False), WIDE)
    for x, y in ((240, HORIZON + 170), (30, HORIZON + 230)):
        wrapped(p, lambda mm: p.shape(star(*mm(x, y), 9, 4, 5), mix("#FF9F45", c[3], 0.45), line=2,
                                      outline=far_outline("#FF9F45"), shade=False), WIDE)
    return p


# ---- theme 2: kelp grotto ------------------------------------------------------------------

def grotto_upper():
    c = THEMES[2]
    h = TALL
    p = Pic(WIDE, h, line=3)
    far = mix(c[1], c[0], 0.45)
    for x, wdt in ((60, 60), (250, 45)):
        p.gradient(poly([(x - wdt / 2, 0), (x + wdt / 2, 0), (x + wdt * 1.2, 300), (x - wdt * 0.2 + 30, 300)]),
                   [(0, "#FFFFFF", 0.0), (0.3, "#FFFFFF", 0.14), (1, "#FFFFFF", 0.0)], 0, 0, 0, 300)
    floor = HORIZON + 250
    for i, x in enumerate((40, 150, 265, 360)):
        top = 40 + (i * 37) % 70
        pts = [(x, floor), (x - 14, floor * 0.7), (x + 12, floor * 0.45), (x - 6, top)]
        stalk = curve(pts, closed=False)
        p.stroke(stalk, dark(c[3], 0.25), 9)
        p.stroke(stalk, mix(c[3], far, 0.4), 5)
        for k in range(5):
            t = 0.2 + k * 0.15
            bx = x + (-14 if k % 2 else 12) * (1 - t)
            by = floor - (floor - top) * t
            side = 1 if k % 2 else -1
            leaf = curve([(bx, by), (bx + side * 10, by - 10), (bx + side * 30, by - 19), (bx + side * 46, by - 16),
                          (bx + side * 28, by - 9), (bx + side * 10, by - 1)], tension=0.6)
            p.shape(leaf, mix("#B8862B", far, 0.35), line=2.5, outline=mix(OUTLINE, far, 0.3), sh=2, hi=1.5)
    shore(p, dark(c[3], 0.1), dark(c[0], 0.2), seed=3)
    return p


def grotto_pattern(t):
    """Drifting light and bubbles over the grotto, tiled across the screen."""
    p = Pic(200, 160, line=2)
    for i, (x, y, r) in enumerate(((30, 40, 5), (120, 20, 3.5), (160, 100, 6), (70, 130, 4), (100, 70, 2.5))):
        yy = (y - t * 160) % 160
        p.stroke(ellipse(x + 3 * math.sin(t * 6.28 + i), yy, r), "#FFFFFF", 1.8, opacity=0.55)
        p.fill(ellipse(x - r * 0.35, yy - r * 0.35, r * 0.28), "#FFFFFF", opacity=0.6)
    for k in range(3):
        y = 30 + k * 50
        pts = [(0, y), (50, y + 8 * math.sin(t * 6.28 + k)), (100, y - 6), (150, y + 6 * math.cos(t * 6.28)), (200, y)]
        p.stroke(curve(pts, closed=False), "#FFFFFF", 2.5, opacity=0.08)
    return p


# ---- theme 3: coral lagoon ------------------------------------------------------------------

def lagoon_upper():
    c = THEMES[3]
    p = Pic(WIDE, TALL, line=3)
    reef = "#F7A1C4"
    for x, w, hh in ((40, 140, 36), (320, 130, 42)):
        wrapped(p, lambda mm: p.shape(curve([(x - w / 2, HORIZON + 1), (x - w / 3, HORIZON + 1 - hh * 0.8),
                                             (x, HORIZON + 1 - hh), (x + w / 3, HORIZON + 1 - hh * 0.7),
                                             (x + w / 2, HORIZON + 1)], tension=0.6).t(mm), mix(reef, c[1], 0.3),
                                      line=3), WIDE)
    ix = 180
    p.shape(curve([(ix - 70, HORIZON + 1), (ix - 40, HORIZON - 22), (ix + 30, HORIZON - 26), (ix + 80, HORIZON + 1)],
                  tension=0.6), "#F2D49B", line=3)
    palm(p, ix - 5, HORIZON - 18, 62, 14, leaf="#2BB673")
    for x, y, w in ((110, 70, 100), (330, 88, 80)):
        wrapped(p, lambda mm: cloud(p, mm @ move(x, y), w, "#FFF6F8", "#F2C9D4"), WIDE)
    for k, (x, y, w) in enumerate(((60, 290, 120), (200, 320, 90), (330, 285, 130))):
        col = [mix(reef, c[3], 0.55), mix("#FFC15E", c[3], 0.6), mix("#C77DDB", c[3], 0.6)][k % 3]
        wrapped(p, lambda mm, x=x, y=y, w=w, col=col: coral_head(p, mm(x, 0)[0], y, w, col), WIDE)
    return p


def coral_head(p, x, y, w, col):
    pts = [(x - w / 2, y + 40)]
    for k in range(7):
        a = math.radians(190 + k * 26.5)
        r = w / 2 * (1.0 if k % 2 == 0 else 0.8)
        pts.append((x + r * math.cos(a), y + 10 + r * 0.7 * math.sin(a)))
    pts.append((x + w / 2, y + 40))
    p.shape(curve(pts, tension=0.6), col, line=2.5, outline=far_outline(col), sh=4, hi=3)
    for k in range(5):
        p.fill(ellipse(x - w * 0.3 + k * w * 0.15, y + 4 + (k % 2) * 8, 2.2), dark(col, 0.15))


def overlay_bubbles(w, h, spots, alpha):
    p = Pic(w, h, line=2)
    for x, y, r in spots:
        p.stroke(ellipse(x, y, r), "#FFFFFF", 1.6, opacity=alpha)
        p.fill(ellipse(x - r * 0.35, y - r * 0.35, r * 0.3), "#FFFFFF", opacity=alpha)
    return p


PAINTINGS = {0: lambda: sunset_upper(), 1: lambda: noon_upper(), 2: lambda: grotto_upper(), 3: lambda: lagoon_upper()}


def build(book):
    a = book.anim
    a(0x40074, (0, 40), (WIDE, TALL), [Frame(32767, sunset_upper())],
      "theme 0 upper backdrop: sun, sea stacks, clouds")
    a(0x40076, (0, 6), (200, 50), [Frame(32767, waves(200, 50, THEMES[0][2], FOAM))], "theme 0 waves")
    a(0x400A5, (0, 40), (WIDE, TALL), [Frame(32767, noon_upper())], "theme 1 upper backdrop: island and clouds")
    a(0x400A3, (0, 6), (200, 50), [Frame(32767, waves(200, 50, THEMES[1][2], FOAM))], "theme 1 waves")
    a(0x50001, (0, 40), (WIDE, TALL), [Frame(32767, grotto_upper())], "theme 2 backdrop: kelp and cave rock")
    a(0x50008, (0, 40), (WIDE, TALL), [Frame(32767, lagoon_upper())], "theme 3 upper backdrop: reef and palm")
    a(0x50007, (0, 6), (200, 50), [Frame(150, waves(200, 50, "#D6F0FA", FOAM, phase=k / 4, amp=3 + (k % 2)))
                                   for k in range(4)], "theme 3 waves, looping")
    a(0x400AD, (0, 0), (200, 160), [Frame(200, grotto_pattern(k / 8)) for k in range(8)], "theme 2 light and bubbles")
    a(0x400AB, (0, 0), (160, 128), [Frame(32767, overlay_bubbles(160, 128, ((20, 30, 4), (90, 80, 6), (130, 20, 3),
                                                                            (50, 110, 3)), 0.35))],
      "back overlay: faint bubbles")
    a(0x60045, (0, 0), (240, 180), [Frame(32767, overlay_bubbles(240, 180, ((40, 50, 5), (180, 120, 7), (120, 160, 3)),
                                                                 0.6))], "front overlay: bubbles")
