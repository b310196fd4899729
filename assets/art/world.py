"""World art: targets, bumpers, switches, the finale clam, effects, the tile
set, the themes' backdrops and overlays."""

import math

from ink import FOAM, OUTLINE, Pic, curve, dark, ellipse, light, move, poly, rrect, scale, star, turn
from sheet import Frame, Piece

SHELL = "#FF9F45"
SCALLOP = "#F7A1C4"


def shell_target(p, m, colour=SCALLOP):
    """A scallop shell standing on its hinge, centre at the origin (about
    40 x 36 at scale 1)."""
    fan = []
    for i in range(11):
        a = math.radians(200 + i * 14)
        r = 19 if i % 2 == 0 else 17
        fan.append((r * math.cos(a), 4 + r * math.sin(a)))
    fan += [(7, 12), (-7, 12)]
    p.shape(curve(fan, tension=0.5).t(m), colour, line=p.line)
    for k in range(-2, 3):
        a = math.radians(270 + k * 24)
        p.stroke(poly([(0, 11), (14 * math.cos(a), 4 + 14 * math.sin(a))], closed=False).t(m), dark(colour, 0.2),
                 max(1.2, p.line - 1))
    p.shape(rrect(-8, 10, 16, 6, 2.5).t(m), light(colour, 0.15), line=p.line)


CLAM = "#C38FD9"
CLAM_INSIDE = "#7B3F6E"
PEARL = "#FFF1F4"


def clam(p, m, open=0.0, mood="open", look=(0.0, 0.0), pearl=True, teeth=False):
    """The big clam, hinge at the back; about 60 x 46 at scale 1, centre at
    the origin, resting on y = 20."""
    lower = []
    for i in range(13):
        a = math.radians(i * 15)
        r = 1.0 if i % 2 == 0 else 0.93
        lower.append((-29 * r * math.cos(a), 2 + 18 * r * math.sin(a)))
    lower = curve(lower + [(0, 2)], tension=0.5)
    hinge = (-27, 0)
    top_m = m @ turn(-open * 38, *hinge)
    if open > 0.05:
        p.shape(ellipse(1, 1, 25, 9 + 9 * open).t(m), CLAM_INSIDE, line=2.5, shade=False)
        if pearl:
            p.shape(ellipse(6, 0 - 4 * open, 7.5).t(m), PEARL, line=2.5)
    p.shape(lower.t(m), CLAM, line=p.line)
    for k in range(-3, 4):
        a = math.radians(90 + k * 22)
        p.stroke(poly([(0, 6), (24 * math.cos(a), 4 + 14 * math.sin(a))], closed=False).t(m), dark(CLAM, 0.18), 1.5)
    upper = []
    for i in range(13):
        a = math.radians(180 + i * 15)
        r = 1.0 if i % 2 == 0 else 0.94
        upper.append((29 * r * math.cos(a) * (-1 if False else 1), 2 + 20 * r * math.sin(a)))
    upper = curve(upper + [(0, 2)], tension=0.5)
    p.shape(upper.t(top_m), light(CLAM, 0.12), line=p.line)
    for k in range(-3, 4):
        a = math.radians(270 + k * 22)
        p.stroke(poly([(0, -2), (24 * math.cos(a), 0 + 15 * math.sin(a))], closed=False).t(top_m),
                 dark(CLAM, 0.15), 1.5)
    p.eye(-7, -11, 6, look=look, mood=mood, m=top_m, line=2)
    p.eye(7, -11, 6, look=look, mood=mood, m=top_m, line=2)


# ---- targets: model space, centre of the thing at the origin, resting on y = 16 ----

def spiral_shell(p, m, colour=SHELL):
    body = curve([(-17, 14), (-16, 0), (-8, -12), (4, -17), (13, -10), (16, 2), (12, 14)], tension=0.8)
    p.shape(body.t(m), colour, line=p.line)
    pts = []
    for i in range(26):
        a = math.radians(160 + i * 26)
        r = 11 - i * 0.4
        pts.append((1 + r * math.cos(a), 0 + r * math.sin(a) * 0.95))
    p.stroke(curve(pts, closed=False).t(m), OUTLINE, 2.2)
    p.shape(ellipse(-1, 13, 13, 4).t(m), light(colour, 0.35), line=2.2, shade=False)


def oyster(p, m, glint=0.0):
    p.shape(curve([(-19, 8), (-14, -4), (0, -9), (14, -4), (19, 8), (0, 15)], tension=0.7).t(m), "#B9B0A2",
            line=p.line)
    p.shape(ellipse(0, 3, 13, 7).t(m), "#5C4B6B", line=2.2, shade=False)
    p.shape(ellipse(1, 1, 7).t(m), PEARL, line=2.2)
    if glint:
        p.shape(star(-3, -3, 4 + 3 * glint, 1.2, 4).t(m), "#FFFFFF", line=1, shade=False)
    p.shape(curve([(-19, 8), (0, 17), (19, 8), (0, 12)], tension=0.6).t(m), "#CFC7B8", line=p.line)


def bottle(p, m, slosh=0.0):
    body = curve([(-9, 16), (-11, 0), (-6, -8), (-4, -16), (4, -16), (6, -8), (11, 0), (9, 16)], tension=0.6)
    p.shape(body.t(m), "#8ED1E6", line=p.line)
    p.clip(body.t(m))
    p.fill(poly([(-12, 6 + slosh), (12, 6 - slosh), (12, 17), (-12, 17)]).t(m), "#5FB8E6", opacity=0.8)
    p.end()
    p.stroke(body.t(m), OUTLINE, p.line)
    p.shape(rrect(-5, 0, 10, 12, 2).t(m @ turn(-8)), "#FFF5DC", line=1.8, shade=False)
    p.shape(rrect(-4.5, -22, 9, 7, 2).t(m), "#D4A373", line=2.2)
    p.stroke(poly([(-7, -6), (-8, 8)], closed=False).t(m), "#FFFFFF", 2.5, opacity=0.7)


def sea_glass(p, m, glint=0.0):
    for (x, y, a, c) in ((-9, 6, -20, "#7FD6B8"), (8, 7, 15, "#8ED1E6"), (0, -5, 5, "#B3E59A")):
        g = curve([(-8, -6), (6, -8), (9, 3), (2, 8), (-8, 5)], tension=0.4).t(turn(a)).t(move(x, y))
        p.shape(g.t(m), c, line=p.line)
        p.fill(ellipse(x - 3, y - 3, 2.5, 1.3).t(m), "#FFFFFF", opacity=0.7)
    if glint:
        p.shape(star(4, -10, 3 + 4 * glint, 1.1, 4).t(m), "#FFFFFF", line=1, shade=False)


def sandcastle(p, m, flag=0.0):
    s = "#EBC77A"
    p.stroke(poly([(0, -18), (0, -28)], closed=False).t(m), OUTLINE, 2)
    p.shape(poly([(0, -28), (9 + flag * 2, -25 + flag), (0, -22)]).t(m), "#F25C54", line=1.8, shade=False)
    p.shape(poly([(-18, 16), (-18, 0), (18, 0), (18, 16)]).t(m), s, line=p.line)
    p.shape(poly([(-9, 0), (-9, -12), (9, -12), (9, 0)]).t(m), light(s, 0.1), line=p.line)
    for x0, y0, w in ((-18, -4, 36), (-9, -16, 18)):
        n = int(w // 6)
        for k in range(n):
            if k % 2 == 0:
                p.shape(rrect(x0 + k * 6, y0, 6, 5, 1).t(m), s, line=2, shade=False)
    p.shape(rrect(-4, 6, 8, 10, 3.5).t(m), "#8D6A4F", line=2, shade=False)


TARGETS = [
    (0x30035, lambda p, m, k: spiral_shell(p, m @ turn(3 * math.sin(k * math.pi / 2), 0, 16))),
    (0x300A0, lambda p, m, k: shell_target(p, m @ scale(1, 1 + 0.04 * math.sin(k * math.pi / 2), 0, 16))),
    (0x5000D, lambda p, m, k: oyster(p, m, glint=[0, 0.6, 1, 0.4][k])),
    (0x40027, lambda p, m, k: bottle(p, m @ turn(4 * math.sin(k * math.pi / 2), 0, 16), slosh=3 * math.sin(k * math.pi / 2))),
    (0x50041, lambda p, m, k: sea_glass(p, m, glint=[0, 1, 0.5, 0][k])),
    (0x50043, lambda p, m, k: sandcastle(p, m, flag=math.sin(k * math.pi / 2))),
]


def object_frames(draw, ms=180, n=4, size=(44, 48), foot=0, line=2.5, boxes=None):
    """Frames of a thing standing on its cell: drawn with its resting line
    at the cell's floor; the sprite's position is the cell's top-left."""
    w, h = size
    frames = []
    for k in range(n):
        p = Pic(w, h, line=line)
        draw(p, move(w / 2, h - 18 - foot), k)
        frames.append(Frame(ms, Piece(p, 0, 0), boxes=boxes or []))
    ref = (w / 2 - 20, h - 34)
    return ref, frames


def build_objects(book):
    for aid, draw in TARGETS:
        ref, frames = object_frames(draw, boxes=[(0, 20, 16, 15, 15)])
        # The hit circle is read from frame 0; every frame carries it.
        book.anim(aid, ref, (44, 48), frames, "target, hit circle r 15 round the cell centre")
    ref, frames = object_frames(lambda p, m, k: bumper(p, m, k), ms=150, n=6, size=(48, 48), foot=0,
                                boxes=[(0, 20, 14, 18, 18)])
    book.anim(0x40020, ref, (48, 48), frames, "bumper, hit circle r 18")
    ref, frames = object_frames(lambda p, m, k: seaweed(p, m, k), ms=140, n=6, size=(44, 56))
    book.anim(0x60010, ref, (44, 56), frames, "decoration")
    # The switch: frame 0 armed (its box is the trigger), frame 1 pressed.
    f0 = object_frames(lambda p, m, k: switch(p, m, False), n=1, size=(44, 40), boxes=[(0, 2, 6, 36, 26)])
    f1 = object_frames(lambda p, m, k: switch(p, m, True), n=1, size=(44, 40), boxes=[(0, 2, 6, 36, 26)])
    book.anim(0x50031, f0[0], (44, 40), f0[1] + f1[1], "switch: 0 armed, 1 pressed")


def bumper(p, m, k):
    """A red and white float ring, bobbing."""
    bob = 2 * math.sin(k * math.pi / 3)
    mm = m @ move(0, -4 + bob) @ turn(8 * math.sin(k * math.pi / 3))
    ring = ellipse(0, 0, 17, 17)
    p.shape(ring.t(mm), "#FFFDF5", line=p.line)
    for a in (0, 90, 180, 270):
        seg = curve([(17 * math.cos(math.radians(a + d)), 17 * math.sin(math.radians(a + d))) for d in (-22, 0, 22)] +
                    [(8 * math.cos(math.radians(a + d)), 8 * math.sin(math.radians(a + d))) for d in (22, 0, -22)],
                    tension=0.4)
        p.shape(seg.t(mm), "#F25C54", line=0, shade=False)
    p.stroke(ring.t(mm), OUTLINE, p.line)
    p.shape(ellipse(0, 0, 8).t(mm), "#45C4ED", line=p.line, shade=False)
    p.stroke(ellipse(0, 0, 12.5).t(mm), OUTLINE, 1.2, opacity=0.35)


def seaweed(p, m, k):
    for x0, c, h, ph in ((-8, "#1A936F", 34, 0), (4, "#88D498", 28, 1.3), (11, "#4CB48A", 22, 2.1)):
        sway = 4 * math.sin(k * math.pi / 3 + ph)
        pts = [(x0, 16), (x0 + sway * 0.3 - 3, 16 - h * 0.35), (x0 + sway * 0.7 + 3, 16 - h * 0.7),
               (x0 + sway, 16 - h)]
        path = curve(pts, closed=False).t(m)
        p.stroke(path, OUTLINE, 8.5)
        p.stroke(path, c, 5)
    p.shape(ellipse(0, 15, 14, 4).t(m), "#A7A0BD", line=2.2, shade=False)


def switch(p, m, pressed):
    p.shape(rrect(-17, 8, 34, 8, 3).t(m), "#A7A0BD", line=p.line)
    top = 6 if pressed else -2
    p.shape(curve([(-13, 9), (-12, top), (0, top - 7), (12, top), (13, 9)], tension=0.7).t(m),
            "#88D498" if pressed else "#F25C54", line=p.line)
    if not pressed:
        p.fill(ellipse(-4, top - 3, 3, 1.6).t(m), "#FFFFFF", opacity=0.7)


# ---- the finale: the roaming clam, its flight, the hanging cage ---------------------

CLAM_FORMS = {0: ("#C38FD9", 0x50035, 0x50037), 1: ("#FFC15E", 0x50044, 0x50048), 2: ("#F4978E", 0x5003F, 0x50046)}


def coloured_clam(p, m, colour, **kw):
    global CLAM
    keep = CLAM
    CLAM = colour
    try:
        clam(p, m, **kw)
    finally:
        CLAM = keep


def build_finale(book):
    # The roaming clam stands on its cell like the other objects; box 0 is a
    # point at its centre (the bounce reads it), box 1 its body.
    boxes = [(0, 20, 14, 1, 1), (0, -8, -8, 56, 40)]
    for form, (colour, still, travel) in CLAM_FORMS.items():
        looks = [(0, 0), (0.8, 0), (0.8, -0.3), (0, 0), (-0.8, 0), (-0.8, -0.3)]
        opens = [0.0, 0.15, 0.3, 0.15, 0.0, 0.0]
        ref, frames = object_frames(
            lambda p, m, k: coloured_clam(p, m @ scale(1.15) @ move(0, -4), colour, open=opens[k], look=looks[k],
                                          pearl=True), ms=160, n=6, size=(76, 64), line=3, boxes=boxes)
        book.anim(still, ref, (76, 64), frames, "roaming clam, form %d" % form)
        ref, frames = object_frames(
            lambda p, m, k: flying_clam(p, m, colour, k), ms=90, n=4, size=(88, 72), line=3, boxes=boxes)
        book.anim(travel, ref, (88, 72), frames, "roaming clam in flight, form %d" % form)
    book.anim(0x50055, (4, 66), (48, 92), [Frame(1000, cage(False), boxes=[(0, 20, -62, 1, 1)])],
              "finale cage; box 0 is where the rope ties on")
    book.anim(0x50059, (4, 66), (48, 92), [Frame(1000, cage(True), boxes=[(0, 20, -62, 1, 1)])], "finale cage, open")


def flying_clam(p, m, colour, k):
    flap = [0.9, 0.5, 0.1, 0.5][k]
    mm = m @ move(0, -8) @ turn(-8)
    for s in range(3):
        p.stroke(poly([(-46 + s * 4, -4 + s * 8), (-32 + s * 4, -4 + s * 8)], closed=False).t(mm), FOAM, 3)
    coloured_clam(p, mm @ scale(1.05), colour, open=flap, look=(1, -0.2), pearl=True)


def cage(open_):
    """A lobster-pot cage hanging from its rope, a big pearl inside."""
    p = Pic(48, 92, line=2.5)
    m = move(24, 2)
    p.stroke(poly([(0, 0), (-14, 12)], closed=False).t(m), OUTLINE, 2)
    p.stroke(poly([(0, 0), (14, 12)], closed=False).t(m), OUTLINE, 2)
    body = rrect(-20, 12, 40, 50, 10)
    if not open_:
        p.shape(ellipse(0, 40, 11).t(m), PEARL, line=2.5)
        p.shape(star(-4, 35, 4, 1.3, 4).t(m), "#FFFFFF", line=1, shade=False)
    for x in (-12, -4, 4, 12):
        p.stroke(poly([(x, 14), (x, 60)], closed=False).t(m), "#B8855A", 2.5)
    for y in (26, 40, 52):
        p.stroke(poly([(-19, y), (19, y)], closed=False).t(m), "#B8855A", 2)
    p.stroke(body.t(m), OUTLINE, 3)
    p.shape(rrect(-22, 10, 44, 6, 3).t(m), "#D4A373", line=2.5)
    if open_:
        p.shape(rrect(-22, 56, 36, 6, 3).t(m @ turn(62, -22, 59)), "#D4A373", line=2.5)
    else:
        p.shape(rrect(-22, 56, 44, 6, 3).t(m), "#D4A373", line=2.5)
    p.fill(ellipse(0, 1, 2.5).t(m), OUTLINE)
    return p


def barrier(k):
    """Cell 157: a gate of kelp stalks with a net between them."""
    p = Pic(40, 32, line=2)
    for y in (6, 16, 26):
        p.stroke(poly([(0, y + 2 * math.sin(k * math.pi / 2)), (40, y - 2 * math.sin(k * math.pi / 2))],
                      closed=False), "#B8855A", 1.8, opacity=0.9)
    for x in (7, 20, 33):
        sway = 1.2 * math.sin(k * math.pi / 2 + x)
        pts = [(x, 0), (x + sway, 16), (x, 32)]
        p.stroke(curve(pts, closed=False), OUTLINE, 7, cap="butt")
        p.stroke(curve(pts, closed=False), "#1A936F", 4, cap="butt")
        p.fill(ellipse(x + sway - 1, 10, 1, 3), "#88D498")
    return p


def hoop(k, colour="#FFD23F"):
    """The smash target: a golden hoop with spikes that turn."""
    p = Pic(72, 72, line=3)
    m = move(36, 36)
    for i in range(8):
        a = i * 45 + k * 11
        p.shape(poly([(24, -5), (34, 0), (24, 5)]).t(m @ turn(a)), "#FF7B29", line=2, shade=False)
    p.shape(ellipse(0, 0, 26).t(m), colour, line=3)
    p.shape(ellipse(0, 0, 17).t(m), "#45C4ED", line=3, shade=False)
    p.fill(ellipse(-9, -9, 4, 2.5).t(m @ turn(-45, -9, -9)), "#FFFFFF", opacity=0.6)
    return p


def bullseye(k):
    """The aim target: a bobbing bullseye float."""
    p = Pic(72, 72, line=3)
    m = move(36, 36 + 2 * math.sin(k * math.pi / 3))
    for r, c in ((26, "#F25C54"), (19, FOAM), (12, "#F25C54"), (5, FOAM)):
        p.shape(ellipse(0, 0, r).t(m), c, line=2.5 if r < 26 else 3, shade=r == 26)
    for i in range(4):
        a = i * 90 + k * 15
        p.stroke(poly([(29, 0), (34, 0)], closed=False).t(m @ turn(a)), OUTLINE, 3)
    return p


def aim_arrow(f):
    """Frame f of the aim marker: a dotted path and an arrow head pointing at
    screen angle 11 f - 174.5 degrees."""
    p = Pic(128, 128, line=2.5)
    m = move(64, 64) @ turn(11 * f - 174.5)
    for i, x in enumerate((26, 34, 42)):
        p.shape(ellipse(x, 0, 3 + i * 0.4).t(m), "#FFD23F", line=2, shade=False)
    p.shape(curve([(49, -9), (62, 0), (49, 9), (51, 0)], tension=0.3).t(m), "#FF7B29", line=2.5, shade=False)
    return p


def build_swing_targets(book):
    # The box reaches the tips of the hoop's spikes and the bullseye's ticks.
    box = [(0, -32, -32, 64, 64)]
    book.anim(0x50018, (36, 36), (72, 72), [Frame(100, hoop(k), boxes=box) for k in range(4)], "smash target")
    book.anim(0x500FD, (36, 36), (72, 72), [Frame(130, bullseye(k), boxes=box) for k in range(6)], "aim target")
    book.anim(0x40040, (64, 64), (128, 128), [Frame(1000, aim_arrow(f)) for f in range(32)],
              "aim marker by aim angle")
    book.anim(0x60044, (0, 0), (40, 32), [Frame(220, barrier(k)) for k in range(4)], "barrier cell")


def bonus_pearl(k):
    """Bonus object (kind 14): a pearl in a bubble, bobbing in its cell."""
    p = Pic(48, 48, line=2.5)
    bob = 2 * math.sin(k * math.pi / 3)
    m = move(24, 24 + bob)
    p.fill(ellipse(0, 0, 17).t(m), "#DDF4FF", opacity=0.55)
    p.shape(ellipse(0, 2, 9).t(m), PEARL, line=2.5)
    p.stroke(ellipse(0, 0, 17).t(m), "#FFFFFF", 2.5)
    p.stroke(ellipse(0, 0, 17).t(m), OUTLINE, 1.2, opacity=0.5)
    p.fill(ellipse(-7, -8, 4, 2.5).t(m @ turn(-40, -7, -8)), "#FFFFFF", opacity=0.9)
    if k % 3 == 0:
        p.shape(star(9, -9, 4.5, 1.5, 4).t(m), "#FFD23F", line=1.2, shade=False)
    return p


def build_bonus(book):
    if 0x50020 in book.names:
        book.anim(0x50020, (4, 8), (48, 48), [Frame(150, bonus_pearl(k), boxes=[(0, 8, 4, 24, 24)]) for k in range(6)],
                  "bonus object: a pearl in a bubble; its box is the cell's middle")
