"""The cast: the puffer that the bat sends flying, and the hermit crab with
its kelp bat. Both are drawn in model space (the puffer's centre at the
origin, facing right) and placed with an affine map, so every pose keeps the
same outline widths."""

import math

from ink import OUTLINE, curve, dark, ellipse, light, move, poly, turn

PUFF_BODY = "#FFD23F"
PUFF_FIN = "#FF9F45"
PUFF_BELLY = "#FFF1C1"
PUFF_SPOT = "#FF9F45"
PUFF_MOUTH = "#E63946"


def puffer(p, m, mood="open", look=(1.0, 0.0), fin=0.0, tail=0.0, puff=1.0, mouth="o", spikes=True, blush=False):
    """The puffer, centre at the origin, about 44 x 42 px at scale 1."""
    line = p.line
    tm = m @ turn(tail * 22, -13, 0)
    p.shape(curve([(-12, -3), (-21, -11), (-27, -9), (-23, 0), (-27, 9), (-21, 11), (-12, 3)], tension=0.7).t(tm),
            PUFF_FIN, line=line)
    if spikes:
        for a in range(-160, 181, 40):
            if abs(a) > 150 and a != 180:
                continue
            r0, r1 = 14.5, 15.5 + 5.0 * puff
            a0, a1 = math.radians(a - 9), math.radians(a + 9)
            tip = math.radians(a)
            sp = poly([(r0 * math.cos(a0), r0 * math.sin(a0)), (r1 * math.cos(tip), r1 * math.sin(tip)),
                       (r0 * math.cos(a1), r0 * math.sin(a1))])
            p.shape(sp.t(m), PUFF_FIN, line=max(1.5, line - 0.5), shade=False)
    p.shape(ellipse(0, 0, 16.5, 15.5).t(m), PUFF_BODY, line=line)
    p.shape(ellipse(3, 7, 11, 6.5).t(m), PUFF_BELLY, line=0)
    for x, y, r in ((-7, -8, 2.3), (-11, -2, 1.8), (-2, -11.5, 1.7), (-5, -3, 1.3)):
        p.fill(ellipse(x, y, r).t(m), PUFF_SPOT)
    fm = m @ turn(-fin * 28, -1, 3)
    p.shape(curve([(-1, 1.5), (-10, 6), (-9, 12), (0, 8)], tension=0.6).t(fm), PUFF_FIN, line=max(1.5, line - 0.5))
    if blush:
        p.fill(ellipse(10, 3, 3, 1.8).t(m), "#FF8C94", opacity=0.8)
    p.eye(5, -5, 5.6, look=look, mood=mood, m=m, line=max(1.5, line - 0.5))
    p.eye(12.5, -4, 4.9, look=look, mood=mood, m=m, line=max(1.5, line - 0.5))
    if mouth == "o":
        p.shape(ellipse(15.5, 5.5, 2.4, 2.8).t(m), PUFF_MOUTH, line=1.5, shade=False)
    elif mouth == "wide":
        p.shape(ellipse(15, 6, 3.2, 4.2).t(m), PUFF_MOUTH, line=1.5, shade=False)
    elif mouth == "grin":
        p.stroke(curve([(9, 6), (13, 9), (17, 6)], closed=False).t(m), OUTLINE, 1.8)
    elif mouth == "flat":
        p.stroke(poly([(10, 7), (17, 6)], closed=False).t(m), OUTLINE, 1.8)
    elif mouth == "wavy":
        p.stroke(curve([(9, 7), (11, 5.5), (13, 7), (15, 5.5), (17, 7)], closed=False).t(m), OUTLINE, 1.6)


# ---- the hermit crab -----------------------------------------------------------
# Model space: the origin is the bat's pivot, where the big claw grips the kelp
# stalk; the crab stands on the floor 48 px below it, to the left.

CRAB_SHELL = "#FF9F45"
CRAB_BAND = "#FFC15E"
CRAB_BODY = "#F25C54"
KELP_STALK = "#5B462D"
KELP_BULB = "#D9A13B"
KELP_BLADE = "#8FA23B"


def limb(p, pts, colour, width):
    """A leg or stalk through picture-space points: outline, then colour."""
    path = curve(pts, closed=False)
    p.stroke(path, OUTLINE, width + 3)
    p.stroke(path, colour, width)


def crab(p, m, lean=0.0, bob=0.0, look=(0.6, -0.7), mood="open", lid=0.0, wave=0.0, effort=False):
    """The hermit crab; lean turns the body about its feet (degrees), bob
    lifts it. Legs stay on the floor and the big arm ends at the pivot."""
    body = m @ turn(lean, -14, 48) @ move(0, -bob)
    p.lid_colour = CRAB_BODY
    for hip, knee, foot in (((-18, 38), (-25, 42), (-24, 48)), ((-10, 40), (-12, 45), (-8, 48)),
                            ((-3, 38), (2, 42), (5, 48))):
        limb(p, [body(*hip), body(*knee), m(*foot)], CRAB_BODY, 3.5)
    wm = body @ turn(-25 * wave, -20, 32)
    limb(p, [wm(-16, 32), wm(-24, 30), wm(-28, 25)], CRAB_BODY, 3.5)
    p.shape(curve([(-28, 26), (-35, 19), (-33, 14), (-27, 19), (-25, 15), (-22, 22)], tension=0.6).t(wm),
            CRAB_BODY, line=2.5)
    shell = curve([(-50, 34), (-49, 16), (-40, 4), (-26, 1), (-14, 8), (-10, 22), (-16, 36), (-34, 42)], tension=0.9)
    p.shape(shell.t(body), CRAB_SHELL, line=3)
    spiral = []
    for i in range(30):
        a = math.radians(200 + i * 24)
        r = 14 - i * 0.42
        spiral.append((-29 + r * math.cos(a) * 1.05, 20 + r * math.sin(a)))
    p.stroke(curve(spiral, closed=False).t(body), OUTLINE, 2.5)
    p.stroke(curve([(-46, 24), (-41, 32), (-30, 37)], closed=False).t(body), CRAB_BAND, 3)
    p.shape(ellipse(-8, 31, 12, 10).t(body), CRAB_BODY, line=3)
    limb(p, [body(0, 30), body(10, 24), m(9, 10), m(0, 0)], CRAB_BODY, 5)
    for sx, ex, ey in ((-11, -15, 8), (-5, -5, 7)):
        limb(p, [body(sx, 24), body((sx + ex) / 2, 16), body(ex, ey + 4)], CRAB_BODY, 2.5)
        p.eye(ex, ey, 5.2, look=look, mood=mood, m=body, line=2, lid=lid)
    mouth = [(-13, 34), (-8, 36), (-3, 34)] if effort else [(-13, 33), (-8, 37), (-3, 33)]
    p.stroke(curve(mouth, closed=False).t(body), OUTLINE, 2)


def claw(p, m, grip=1.0):
    """The big claw round the kelp stalk's knot, centred on the pivot."""
    p.shape(ellipse(0, 0, 5.5).t(m), KELP_STALK, line=2)
    p.shape(curve([(-4, 9), (-10, 2), (-8, -7), (0, -10), (7, -8), (4, -4), (-2, -4), (-3, 3), (3, 4), (8, 2),
                   (6, 9)], tension=0.5).t(m), CRAB_BODY, line=2.5)


def kelp_head(p, m, direction):
    """The bat's head: a golden kelp float with blades fanning out along
    `direction` (degrees, screen angle), centred on the tip."""
    for k, da in enumerate((-34, 0, 34)):
        length = 25 if da == 0 else 20
        bm = m @ turn(direction + da)
        blade = curve([(6, 0), (12, -5.5), (length, -2.5), (length + 4, 0), (length, 2.5), (12, 5.5)], tension=0.7)
        p.shape(blade.t(bm), KELP_BLADE, line=2.5)
        p.stroke(poly([(8, 0), (length, 0)], closed=False).t(bm), dark(KELP_BLADE, 0.3), 1.2)
    p.shape(ellipse(0, 0, 12, 11.5).t(m), KELP_BULB, line=3)
    p.fill(ellipse(-4, -4.5, 3.5, 2.5).t(m), light(KELP_BULB, 0.55))


def crab_with_bat(p, m, tip, width=3.5, **pose):
    """The crab holding its bat up, the stalk from the pivot to `tip` (model
    space); the head's blades fan out along the stalk."""
    crab(p, m, **pose)
    stalk = poly([m(0, 0), m(*tip)], closed=False)
    p.stroke(stalk, OUTLINE, width * 2)
    p.stroke(stalk, KELP_STALK, width)
    claw(p, m)
    length = math.hypot(*tip)
    ux, uy = tip[0] / length, tip[1] / length
    kelp_head(p, m @ move(tip[0] + ux * 3, tip[1] + uy * 3), math.degrees(math.atan2(uy, ux)))
