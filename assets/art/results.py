"""The crash stage's results: the picture, the pearl grades and the crab on
the edge of the orange band; the intro story's pictures."""

import math

from creatures import CRAB_BODY, CRAB_SHELL, crab, crab_with_bat, limb, puffer
from ink import FOAM, OUTLINE, Pic, curve, dark, ellipse, light, move, poly, rrect, scale, star, turn
from sheet import Frame
from world import PEARL
from screens import close_vignette, vignette

SUN = "#FFD23F"


def results_picture():
    """The crab on a sand bank at sunset, bat raised, the puffers cheering."""
    p = Pic(300, 170, line=3)
    frame = rrect(3, 3, 294, 164, 20)
    p.clip(frame)
    p.gradient(poly([(0, 0), (300, 0), (300, 100), (0, 100)]), [(0, "#FF9A6B"), (1, "#FFE9A8")], 0, 0, 0, 100)
    p.shape(ellipse(210, 100, 34), SUN, line=3, shade=False)
    p.gradient(poly([(0, 100), (300, 100), (300, 170), (0, 170)]), [(0, "#7FD3F0"), (1, "#2E8BC0")], 0, 100, 0, 170)
    for x in (40, 150, 250):
        p.stroke(curve([(x - 22, 112), (x, 106), (x + 22, 111)], closed=False), FOAM, 3, opacity=0.8)
    p.shape(curve([(-10, 172), (30, 132), (150, 122), (260, 136), (310, 172)], tension=0.6), "#EBC77A", line=3)
    crab_with_bat(p, move(150, 84), (12, -48), look=(0.4, -0.8), mood="happy", wave=1.0)
    p.line = 2.2
    for x, y, f in ((52, 142, 0), (86, 150, 1), (232, 146, 2), (266, 140, 3)):
        puffer(p, move(x, y) @ scale(0.7) @ scale(-1 if x > 150 else 1, 1), mood="happy", mouth="grin",
               fin=1.5 if f % 2 else -0.5, puff=0.4)
    for k, (x, y) in enumerate(((60, 40), (100, 24), (250, 36), (200, 20))):
        p.shape(star(x, y, 6, 2.2, 4), FOAM if k % 2 else SUN, line=1.5, shade=False)
    p.end()
    p.stroke(frame, OUTLINE, 4)
    return p


def grades(frame):
    """Frame 6 g shows g pearls in their dishes; the frames between drop the
    next pearl in with a bounce and a glint."""
    p = Pic(180, 64, line=2.5)
    full, step = divmod(frame, 6)
    for i, x in enumerate((32, 90, 148)):
        p.shape(curve([(x - 24, 40), (x - 16, 56), (x + 16, 56), (x + 24, 40), (x, 46)], tension=0.5), "#F7A1C4",
                line=2.5)
        if i < full:
            p.shape(ellipse(x, 36, 12), PEARL, line=2.5)
        elif i == full and step:
            t = step / 6
            y = 36 - 30 * (1 - t) ** 2 + (4 * math.sin(t * math.pi * 2) if t > 0.6 else 0)
            s = 1 + (0.15 if step == 4 else 0)
            p.shape(ellipse(x, y, 12 * s, 12 / s), PEARL, line=2.5)
            if step >= 4:
                p.shape(star(x + 12, 24, 6, 2, 4), SUN, line=1.5, shade=False)
        else:
            p.fill(ellipse(x, 44, 11, 3), dark("#F7A1C4", 0.35))
    return p


def band_crab(k):
    """The crab hanging from the lower edge of the orange band by its
    claws, legs dangling (its reference point is the top of the picture)."""
    p = Pic(84, 70, line=2.5)
    sway = math.sin(k * math.pi / 2)
    m = move(42, 0) @ turn(4 * sway, 0, 0)
    body = m @ move(0, 34)
    for sx in (-1, 1):
        limb(p, [body(sx * 10, -6), m(sx * 16, 14), m(sx * 14, 4)], CRAB_BODY, 4)
        p.shape(curve([(sx * 10, 6), (sx * 20, 0), (sx * 16, -2), (sx * 12, 3)], tension=0.6).t(m), CRAB_BODY,
                line=2.5)
    for i, sx in enumerate((-1, -0.4, 0.4, 1)):
        foot = body(sx * 16 + 3 * math.sin(k * math.pi / 2 + i), 26)
        limb(p, [body(sx * 8, 8), body(sx * 14, 16), foot], CRAB_BODY, 3)
    p.shape(curve([(-22, 4), (-18, -12), (0, -18), (18, -12), (22, 4), (0, 14)], tension=0.8).t(body), CRAB_SHELL,
            line=3)
    p.shape(ellipse(0, 4, 14, 10).t(body), CRAB_BODY, line=3)
    p.eye(-6, 0, 4.5, look=(0, 0.3), mood="happy", m=body)
    p.eye(6, 0, 4.5, look=(0, 0.3), mood="happy", m=body)
    p.stroke(curve([(-5, 7), (0, 10), (5, 7)], closed=False).t(body), OUTLINE, 2)
    return p


# ---- the intro story -------------------------------------------------------------------
# Four pictures, two to a page: visitors come with the night tide, their
# barnacle towers crowd the crab's rock, the crab finds a kelp bat, one
# swing and the towers fall.

def intro_night():
    p = Pic(360, 240, line=3)
    disc = vignette(p, 180, 120, 112, sky=("#1F2A5A", "#5E4488"), sea=("#2E5E8F", "#102A4A"), horizon=0.2,
                    sun_=False)
    for x, y in ((100, 50), (140, 80), (230, 40), (260, 90), (190, 60)):
        p.shape(star(x, y, 4, 1.5, 4), "#FFF3B0", line=1, shade=False)
    p.shape(ellipse(110, 70, 18), "#FFF3B0", line=3, shade=False)
    for i, (x, y) in enumerate(((150, 170), (250, 165))):
        puffer(p, move(x, y) @ scale(0.9) @ scale(-1, 1), mood="open", look=(-1, 0), mouth="grin", puff=0.6)
    p.shape(star(200, 186, 16, 7, 5, rot=-80), "#F25C54", line=3)
    for k in range(14):
        a = math.radians(k * 360 / 14)
        p.stroke(poly([(112 + 9 * math.cos(a), 168 + 9 * math.sin(a)), (112 + 17 * math.cos(a), 168 + 17 * math.sin(a))],
                      closed=False), OUTLINE, 2.5)
    p.shape(ellipse(112, 168, 11), "#7B5EA7", line=2.5)
    return close_vignette(p, disc)


def tower(p, x, base, blocks, top):
    """A tower of the game's blocks with a target on top."""
    from tiles import Rand, brick, coral_rock, stone
    draws = [lambda q: brick(q, Rand(1)), lambda q: stone(q, Rand(2)), lambda q: coral_rock(q, Rand(3))]
    for k in range(blocks):
        cell = Pic(40, 32, line=2.5)
        draws[(x // 10 + k) % 3](cell)
        p.embed(cell, "translate(%d,%d) scale(0.8)" % (x - 16, base - 26 - k * 25.6))
    top(p, move(x, base - blocks * 25.6 - 14) @ scale(0.8))


def intro_towers():
    p = Pic(360, 240, line=3)
    disc = vignette(p, 180, 120, 112)
    p.shape(curve([(60, 240), (90, 170), (180, 150), (280, 170), (310, 240)], tension=0.6), "#A7A0BD", line=3.5)
    from world import bottle, shell_target, spiral_shell
    for x, n, top in ((160, 3, shell_target), (200, 4, bottle), (250, 2, spiral_shell)):
        tower(p, x, 178 if x < 220 else 174, n, top)
    m = move(118, 130) @ scale(0.8)
    crab(p, m, look=(1, -0.5), mood="open")
    return close_vignette(p, disc)


def intro_bat():
    p = Pic(360, 240, line=3)
    disc = vignette(p, 180, 120, 112, sky=("#FFF5C8", "#FFC98A"), horizon=0.3)
    p.shape(curve([(40, 240), (80, 190), (280, 186), (320, 240)], tension=0.6), "#EBC77A", line=3.5)
    m = move(180, 142) @ scale(1.1)
    crab_with_bat(p, m, (0, -53), width=4, look=(0.5, -0.9), mood="wide")
    for k in range(8):
        a = math.radians(k * 45)
        cx, cy = m(0, -56)
        p.stroke(poly([(cx + 26 * math.cos(a), cy + 26 * math.sin(a)), (cx + 36 * math.cos(a), cy + 36 * math.sin(a))],
                      closed=False), SUN, 3)
    return close_vignette(p, disc)


def intro_swing():
    p = Pic(360, 240, line=3)
    disc = vignette(p, 180, 120, 112)
    p.shape(curve([(60, 240), (90, 170), (180, 150), (280, 170), (310, 240)], tension=0.6), "#A7A0BD", line=3.5)
    crab_with_bat(p, move(150, 140) @ scale(0.85), (40, -20), lean=8, look=(1, -0.4), mood="closed", effort=True)
    puffer(p, move(250, 70) @ scale(0.9) @ turn(40), mood="dizzy", mouth="wide", puff=1.3)
    for k in range(3):
        p.stroke(poly([(212 - k * 8, 96 + k * 8), (186 - k * 8, 112 + k * 8)], closed=False), FOAM, 3)
    for i, (x, y, a) in enumerate(((230, 150, 30), (262, 138, -50), (284, 160, 70), (248, 170, 10))):
        p.shape(rrect(x - 10, y - 8, 20, 16, 3).t(turn(a, x, y)), ["#F2A65A", "#A7A0BD", "#F4978E", "#F2A65A"][i],
                line=2.5)
    return close_vignette(p, disc)


INTRO = ((0x20002, "intro_night.svg", intro_night), (0x20003, "intro_towers.svg", intro_towers),
         (0x20004, "intro_bat.svg", intro_bat), (0x20005, "intro_swing.svg", intro_swing))


def build(book):
    book.anim(0x60013, (150, 85), (300, 170), [Frame(1000, results_picture())], "results picture")
    book.anim(0x60018, (90, 32), (180, 64), [Frame(60, grades(f)) for f in range(19)],
              "grade pearls: frames 0, 6, 12, 18 rest on 0..3")
    if 0x60070 in book.names:
        book.anim(0x60070, (42, 0), (84, 70), [Frame(130, band_crab(k)) for k in range(4)],
                  "the crab hanging from the results band's lower edge")
    for aid, path, draw in INTRO:
        if book.kinds.get(aid) == "png":
            # Drawn at 360 x 240 and shown a third larger, outlines 4 px.
            big = Pic(480, 320, line=4)
            big.embed(draw(), "scale(%s)" % (4 / 3))
            book.picture_file(path, big)
