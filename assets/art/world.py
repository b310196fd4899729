"""World art: targets, bumpers, switches, the finale clam, effects, the tile
set, the themes' backdrops and overlays."""

import math

from ink import FOAM, OUTLINE, Pic, curve, dark, ellipse, light, move, poly, rrect, scale, star, turn

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
