"""Pictures of whole screens and their pieces: loading vignettes, the notice
sprite, loading indicators, the window icon and the title."""

import math

from creatures import crab, claw, kelp_head, puffer
from ink import (FOAM, OUTLINE, Pic, curve, dark, ellipse, light, move, poly, rrect, scale, star, turn)
from sheet import Frame
from world import clam, shell_target

SUN = "#FFD23F"
SEA_TOP = "#5FB8E6"
SEA_DEEP = "#2E8BC0"
SAND = "#E9C46A"


def vignette(p, cx, cy, r, sky=("#FFE9A8", "#FFB56B"), sea=("#7FD3F0", "#2E8BC0"), horizon=0.15):
    """A round window onto the tide pool: sky, sun, sea; returns its path."""
    disc = ellipse(cx, cy, r)
    p.clip(disc)
    hy = cy + r * horizon
    p.gradient(poly([(cx - r, cy - r), (cx + r, cy - r), (cx + r, hy), (cx - r, hy)]), [(0, sky[0]), (1, sky[1])],
               0, cy - r, 0, hy)
    p.shape(ellipse(cx + r * 0.45, hy - r * 0.1, r * 0.28), SUN, line=3, shade=False)
    p.gradient(poly([(cx - r, hy), (cx + r, hy), (cx + r, cy + r), (cx - r, cy + r)]), [(0, sea[0]), (1, sea[1])],
               0, hy, 0, cy + r)
    for k in range(3):
        y = hy + 12 + k * 16
        w = r * (0.5 - k * 0.1)
        p.stroke(curve([(cx - w - 30 + k * 40, y), (cx - 20 + k * 40, y - 3), (cx + w - 60 + k * 40, y)],
                       closed=False), FOAM, 3, opacity=0.7)
    return disc


def loading_crab():
    p = Pic(300, 260, line=3)
    disc = vignette(p, 150, 130, 120)
    p.shape(curve([(40, 262), (60, 190), (150, 170), (250, 195), (270, 262)], tension=0.6), "#8D7E7F", line=4)
    m = move(180, 118) @ scale(1.6)
    crab(p, m, look=(0.8, -0.5), wave=1.0)
    p.stroke(poly([m(0, 0), m(38, -38)], closed=False), OUTLINE, 7)
    p.stroke(poly([m(0, 0), m(38, -38)], closed=False), "#5B462D", 3.5)
    claw(p, m)
    kelp_head(p, m @ move(40, -40), -45)
    p.end()
    p.stroke(disc, OUTLINE, 4)
    return p


def loading_flight():
    p = Pic(300, 260, line=3)
    disc = vignette(p, 150, 130, 120, sky=("#8BCAFF", "#DDF3FF"), horizon=0.45)
    for k, (x, y) in enumerate(((70, 80), (205, 55))):
        p.shape(curve([(x - 30, y + 10), (x - 22, y - 6), (x, y - 12), (x + 24, y - 4), (x + 32, y + 10)],
                      tension=0.8), FOAM, line=3)
    for k in range(4):
        y = 118 + k * 10
        p.stroke(poly([(40 + k * 8, y), (110 + k * 4, y)], closed=False), FOAM, 4)
    puffer(p, move(160, 128) @ scale(2.0) @ turn(-12), mood="wide", mouth="grin", fin=-1, tail=1)
    p.end()
    p.stroke(disc, OUTLINE, 4)
    return p


def loading_nap():
    p = Pic(300, 260, line=3)
    disc = vignette(p, 150, 130, 120, sky=("#FFD3B0", "#FF9A6B"), horizon=0.25)
    p.shape(curve([(30, 262), (60, 200), (240, 200), (270, 262)], tension=0.5), SAND, line=4)
    clam(p, move(150, 175) @ scale(2.1), open=0.9, mood="closed", pearl=False)
    puffer(p, move(158, 158) @ scale(1.25) @ turn(8), mood="closed", mouth="flat", puff=0.3)
    for x, y, r in ((196, 112, 6), (212, 92, 4.5), (224, 76, 3.5)):
        p.stroke(ellipse(x, y, r), FOAM, 2.5)
    p.end()
    p.stroke(disc, OUTLINE, 4)
    return p


def loading_pool():
    p = Pic(300, 260, line=3)
    disc = vignette(p, 150, 130, 120, sky=("#FFF5C8", "#FFC98A"), horizon=0.05)
    p.shape(curve([(20, 262), (40, 196), (140, 186), (270, 200), (290, 262)], tension=0.6), SAND, line=4)
    shell_target(p, move(95, 190) @ scale(1.3))
    p.shape(star(205, 196, 22, 10, 5, rot=-80), "#F25C54", line=3)
    for x, y, r in ((150, 214, 7), (172, 222, 5), (130, 226, 5)):
        p.shape(ellipse(x, y, r), "#FFF1F4", line=2.5)
    puffer(p, move(150, 110) @ scale(1.4), mood="open", look=(0, 1), mouth="o")
    for x, y, r in ((120, 70, 5), (130, 52, 3.5), (186, 78, 4)):
        p.stroke(ellipse(x, y, r), FOAM, 2.5)
    p.end()
    p.stroke(disc, OUTLINE, 4)
    return p


def bubble_dot(phase, colour):
    p = Pic(20, 20, line=2)
    s = 0.75 + 0.25 * math.sin(phase * 2 * math.pi)
    p.shape(ellipse(10, 10, 7 * s), colour, line=2)
    return p


def notice(t):
    """The notice screens' trophy: a pearl in an open clam, shining."""
    p = Pic(200, 170, line=3)
    for k in range(12):
        a = math.radians(k * 30 + t * 30)
        r0, r1 = 52, 80
        p.fill(poly([(100 + r0 * math.cos(a - 0.08), 78 + r0 * math.sin(a - 0.08)),
                     (100 + r1 * math.cos(a), 78 + r1 * math.sin(a)),
                     (100 + r0 * math.cos(a + 0.08), 78 + r0 * math.sin(a + 0.08))]), SUN, opacity=0.8)
    clam(p, move(100, 100) @ scale(2.0), open=0.85, mood="happy", pearl=True)
    for k in range(3):
        a = math.radians(t * 120 + k * 120)
        x, y = 100 + 70 * math.cos(a), 70 + 35 * math.sin(a)
        p.shape(star(x, y, 7, 2.8, 4), FOAM, line=2, shade=False)
    return p


def build(book):
    pics = ((0x400B4, loading_crab()), (0x400E4, loading_flight()), (0x50063, loading_nap()),
            (0x50069, loading_pool()))
    for aid, pic in pics:
        book.anim(aid, (150, 130), (300, 260), [Frame(1000, pic)], "loading picture")
    # Loading indicators: no drawing rule reads them; small pulsing bubbles.
    for aid, colour, shift in ((0x500F9, FOAM, 0), (0x500FB, SUN, 0.5), (0x500FA, FOAM, 0.25),
                               (0x500FC, SUN, 0.75)):
        book.anim(aid, (10, 10), (20, 20), [Frame(120, bubble_dot(k / 6 + shift, colour)) for k in range(6)],
                  "loading indicator")
    book.anim(0x50065, (100, 85), (200, 170), [Frame(110, notice(k / 6)) for k in range(6)], "notice")
