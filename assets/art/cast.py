"""The characters' animations: the puffer in the swing stage (dropping,
hanging, bobbing, struck, flying, splat, walking back, waiting in the queue)
and in the crash stage (running, taking off, flying, tumbling, sliding, in a
plain and a powered look), the hermit crab with its kelp bat, and the swing
stage's props (rope, rail, trampoline, closing wipe)."""

import math

from creatures import claw, crab, kelp_head, puffer
from ink import FOAM, OUTLINE, Pic, curve, dark, ellipse, light, move, poly, scale, star, turn
from sheet import Frame, Piece

S = 56  # character pictures are 56 x 56, the puffer's centre at (28, 28)
C = S / 2
GOLD = "#FFB830"
ROPE = "#D4A373"


def pic(draw, size=S, line=2.5):
    p = Pic(size, size, line=line)
    draw(p)
    return p


def squash(sx, sy, base_y=15.5):
    """Squash about the puffer's bottom (for landings) in model space."""
    return scale(sx, sy, 0, base_y)


def puff_at(x=C, y=C, rot=0.0, sx=1.0, sy=1.0, facing=1, anchor=0.0, s=0.86):
    """Model-to-picture map of the puffer: centre at (x, y), turned by rot,
    squashed by (sx, sy) about its centre (or its bottom with anchor 15.5),
    facing right (1) or left (-1)."""
    return move(x, y) @ turn(rot) @ scale(s) @ scale(sx * facing, sy, 0, anchor)


def glow(p, x, y, r, t=0.0):
    """The powered look: a golden halo with turning rays."""
    for k in range(10):
        a = math.radians(k * 36 + t * 36)
        p.fill(poly([(x + r * 0.75 * math.cos(a - 0.14), y + r * 0.75 * math.sin(a - 0.14)),
                     (x + r * math.cos(a), y + r * math.sin(a)),
                     (x + r * 0.75 * math.cos(a + 0.14), y + r * 0.75 * math.sin(a + 0.14))]), GOLD, opacity=0.7)
    p.fill(ellipse(x, y, r * 0.72), "#FFF3B0", opacity=0.45)


def streaks(p, x, y, facing=1, n=3, length=16, gap=7, alpha=0.85):
    for k in range(n):
        yy = y - gap + k * gap
        x0 = x - facing * (18 + (k % 2) * 4)
        p.stroke(poly([(x0, yy), (x0 - facing * length, yy)], closed=False), FOAM, 3, opacity=alpha)


# ---- the swing stage's puffer ---------------------------------------------------

def falling(k):
    """Dropped: surprise, then fins up and falling (held on its last frame)."""
    def d(p):
        t = min(1.0, k / 4)
        puffer(p, puff_at(sy=1 + 0.08 * t, sx=1 - 0.05 * t), mood="wide" if k < 2 else "open", look=(0.3, 1.0),
               fin=-1.2 * t + 0.3 * math.sin(k * 2.1), tail=0.4 * math.sin(k * 1.7), mouth="wide" if k > 0 else "o")
    return pic(d)


def flying(k, facing):
    """Struck and flying: tucked into a spinning ball with a speed streak."""
    def d(p):
        streaks(p, C, C, facing)
        puffer(p, puff_at(rot=facing * k * 60, sx=0.95, sy=0.95, facing=facing), mood="dizzy", mouth="wide",
               fin=-1.0, tail=-0.6, puff=1.3)
    return pic(d)


def rope_end(p, x, y, length=12):
    p.stroke(poly([(x, y - length), (x, y)], closed=False), OUTLINE, 5.5)
    p.stroke(poly([(x, y - length), (x, y)], closed=False), ROPE, 2.5)


def hanging(angle, sway=0.0):
    """On the pendulum's rope: gripping it over its head, tilted with the
    rope (angle in degrees, screen turn)."""
    def d(p):
        m = move(C, C) @ turn(angle)
        top = m(0, -15)
        rope_end(p, top[0] + 6 * math.sin(math.radians(angle)), top[1] - 4, 10)
        puffer(p, puff_at(rot=angle, sy=1.06, sx=0.96), mood="open", look=(0.5, 0.6), fin=-2.2 + 0.2 * sway,
               tail=sway, mouth="o", puff=0.7)
        grip = m(0, -17)
        p.shape(ellipse(grip[0], grip[1], 3.2), ROPE, line=2, shade=False)
    return pic(d)


def bobbing(k):
    """Bobbing on the rope (mode 2). Frame 0: climbing back up; 1..6: the
    fall from the top to the bottom of the bob, stretching in the middle
    and squashing at the bottom."""
    stretch = [0.96, 1.0, 1.06, 1.12, 1.1, 1.02, 0.88][k]
    def d(p):
        rope_end(p, C, 10, 10)
        mood = "wide" if k in (3, 4) else ("happy" if k == 0 else "open")
        puffer(p, puff_at(sx=1 / stretch, sy=stretch, anchor=-15), mood=mood, look=(0.4, 0.8),
               fin=-2.2, tail=0.5 * math.sin(k), mouth="wide" if k in (3, 4) else "o", puff=0.7)
        p.shape(ellipse(C, 11, 3.2), ROPE, line=2, shade=False)
    return pic(d)


def climbing(k):
    """Climbing to the hanging point, hand over hand."""
    def d(p):
        rope_end(p, C, 12, 10)
        puffer(p, puff_at(rot=[-6, 0, 6][k], y=C + [2, 0, 2][k]), mood="open", look=(0, -1), fin=[-2.4, -1.6, -2.4][k],
               tail=[0.6, -0.6, 0.6][k], mouth="grin", puff=0.6)
        p.shape(ellipse(C, 13 + [0, 2, 0][k], 3.2), ROPE, line=2, shade=False)
    return pic(d)


def hop(k, n=7, facing=1, skid_last=True, powered=False):
    """One hop of a walk (frames 0..n-1); the last frame skids to a stop.
    Feet on row 45 of the picture."""
    def d(p):
        if powered:
            glow(p, C, 32, 22, k / n)
        if skid_last and k == n - 1:
            puffer(p, puff_at(y=34, rot=-facing * 10, sx=1.1, sy=0.88, facing=facing, anchor=15.5), mood="closed",
                   fin=1.0, tail=-0.8, mouth="grin", puff=0.4)
            for i in range(3):
                p.shape(ellipse(C - facing * (16 + i * 6), 45 - i * 2, 3 - i * 0.6), "#F4EBDD", line=1.5, shade=False)
            return
        t = k / max(1, n - 2)
        lift = 9 * math.sin(t * math.pi)
        sq = 0.9 if k == 0 else (1.08 if 0.2 < t < 0.8 else 1.0)
        puffer(p, puff_at(y=32 - lift, sx=1 / sq, sy=sq, facing=facing, anchor=15.5), mood="open",
               look=(1.0, -0.1), fin=math.sin(t * math.pi * 2) * 1.2, tail=math.cos(t * math.pi * 2),
               mouth="grin", puff=0.4)
    return pic(d)


def waiting(look=(1.0, -0.3), mood="open", fin=0.0, tail=0.0, lift=0.0, sx=1.0, sy=1.0, mouth="o", puff=0.5,
            rot=0.0, blush=True):
    def d(p):
        puffer(p, puff_at(y=32 - lift, sx=sx, sy=sy, anchor=15.5, rot=rot), mood=mood, look=look, fin=fin, tail=tail,
               mouth=mouth, puff=puff, blush=blush)
    return pic(d)


def idle(which):
    """Five little gags of the waiting queue."""
    if which == 0:  # a yawn
        return [waiting(mood="open"), waiting(mood="closed", mouth="wide", sy=1.08, sx=0.95),
                waiting(mood="closed", mouth="wide", sy=1.12, sx=0.92, fin=-0.8),
                waiting(mood="closed", mouth="wide", sy=1.08, sx=0.95, fin=-0.8), waiting(mood="closed", mouth="flat"),
                waiting(mood="open")]
    if which == 1:  # looks round
        return [waiting(look=(1, 0)), waiting(look=(0, -1)), waiting(look=(-1, 0)), waiting(look=(-1, 0)),
                waiting(look=(0, 1)), waiting(look=(1, -0.3))]
    if which == 2:  # puffs up
        return [waiting(), waiting(sx=1.05, sy=1.05, puff=0.9, mouth="flat"),
                waiting(sx=1.12, sy=1.12, puff=1.5, mouth="flat", mood="wide"),
                waiting(sx=1.12, sy=1.12, puff=1.5, mouth="flat", mood="wide"),
                waiting(sx=0.95, sy=0.95, puff=0.3, mood="closed", mouth="o"), waiting()]
    if which == 3:  # a happy hop
        return [waiting(sy=0.9, sx=1.08), waiting(lift=6, sy=1.08, sx=0.94, mood="happy", mouth="grin"),
                waiting(lift=9, mood="happy", mouth="grin", fin=-1), waiting(lift=5, mood="happy", mouth="grin"),
                waiting(sy=0.88, sx=1.1), waiting()]
    # a wave of the fin
    return [waiting(fin=-0.5), waiting(fin=-1.6, mouth="grin", mood="happy"), waiting(fin=-0.9, mouth="grin",
                                                                                       mood="happy"),
            waiting(fin=-1.6, mouth="grin", mood="happy"), waiting(fin=-0.9, mouth="grin", mood="happy"), waiting()]


def splat(normal_deg, variant):
    """A splat mark on a wall whose normal points at normal_deg (screen
    angle): the puffer flattened against the surface behind it (variant 0)
    or a star of goo (variant 1)."""
    def d(p):
        back = normal_deg + 180
        m = move(C, C) @ turn(back) @ move(-4, 0)
        if variant == 0:
            # Model x along the normal into the wall: flatten along it.
            mm = m @ turn(-90) @ scale(1.25, 0.62) @ scale(0.9)
            puffer(p, mm @ turn(90), mood="flat", mouth="wavy", fin=1.5, tail=0.8, puff=0.2)
        else:
            goo = star(0, 0, 17, 9, 7, rot=20)
            p.shape(goo.t(m @ scale(0.6, 1.15)), "#FFD23F", line=2.5)
            for dy in (-9, 0, 9):
                p.eye(2, dy * 0.9, 3.2, mood="flat", m=m) if dy == 0 else None
            p.shape(ellipse(3, -5, 2.5).t(m), "#FFFFFF", line=1.5, shade=False)
            p.shape(ellipse(3, 5, 2.5).t(m), "#FFFFFF", line=1.5, shade=False)
            p.fill(ellipse(3.5, -5, 1.1).t(m), OUTLINE)
            p.fill(ellipse(3.5, 5, 1.1).t(m), OUTLINE)
    return pic(d)


NORMALS = [90, 180 + 51.3, 180, 180 - 51.3, 270, 360 - 51.3, 0, 51.3]  # frames 0..7 of the splat marks


# ---- the crash stage's puffer -----------------------------------------------------------
# Its position is the centre of a 10 x 10 box, 5 px above the floor it runs
# on, so the picture's reference point sits 7 px above the feet.

CRASH_REF = (28, 38)


def run(k, powered=False):
    def d(p):
        if powered:
            glow(p, C, 32, 22, k / 6)
        t = k / 6
        lift = 5 * abs(math.sin(t * math.pi * 2))
        puffer(p, puff_at(y=31 - lift, rot=8, sx=1.04, sy=0.96 + 0.06 * abs(math.sin(t * 6.28)), anchor=15.5),
               mood="open", look=(1, 0), fin=1.5 * math.sin(t * 6.28), tail=math.cos(t * 6.28), mouth="grin", puff=0.5)
        p.stroke(poly([(6, 44), (14, 44)], closed=False), FOAM, 2.5, opacity=0.6 * (k % 2))
    return pic(d)


def take_off(k, powered=False):
    def d(p):
        if powered:
            glow(p, C, 28, 22, k / 5)
        sq = [0.82, 0.9, 1.18, 1.12, 1.0][k]
        y = [34, 32, 26, 24, 26][k]
        puffer(p, puff_at(y=y, rot=[0, -6, -18, -20, -12][k], sx=1 / sq, sy=sq, anchor=15.5 if k < 2 else 0),
               mood="wide" if k >= 2 else "closed", look=(1, -0.6), fin=[0.8, 0.2, -1.5, -1.8, -1.2][k],
               tail=[0.6, 0.3, -0.8, -0.6, -0.2][k], mouth="grin" if k < 2 else "wide", puff=0.6 + 0.2 * k)
    return pic(d)


def flight(k, powered=False):
    def d(p):
        if powered:
            glow(p, C, C, 23, k / 4)
        streaks(p, C, C, 1, alpha=0.7)
        puffer(p, puff_at(rot=-8 + 4 * math.sin(k * math.pi / 2)), mood="wide", look=(1, 0),
               fin=-1.6 + 0.8 * math.sin(k * math.pi / 2), tail=math.cos(k * math.pi / 2), mouth="grin", puff=1.2)
    return pic(d)


def tumble(k, style, powered=False, n=8):
    def d(p):
        if powered:
            glow(p, C, C, 23, k / n)
        if style == 0:
            m = puff_at(rot=k * 45)
        elif style == 1:
            sq = 1 + 0.12 * math.sin(k * math.pi / 2)
            m = puff_at(rot=-k * 45, sx=1 / sq, sy=sq)
        else:
            m = puff_at(rot=k * 45 * 1.5)
            streaks(p, C, C, -1 if k % 2 else 1, n=2, alpha=0.5)
        puffer(p, m, mood="dizzy", mouth="wide" if style != 1 else "o", fin=math.sin(k * 1.3) * 1.5,
               tail=math.cos(k * 1.1), puff=1.0 + 0.3 * (style == 2))
    return pic(d)


def slide(k, facing, slope=0.0, powered=False, n=4):
    """Sliding along the floor (slope: degrees of the surface's tilt)."""
    def d(p):
        if powered:
            glow(p, C, 34, 20, k / n)
        sq = 0.86 + 0.04 * (k % 2)
        puffer(p, puff_at(y=31, rot=slope - facing * 8, sx=1 / sq, sy=sq, anchor=15.5, facing=facing),
               mood="closed" if k % 2 else "wide", look=(facing, 0), fin=1.2, tail=-0.8, mouth="grin", puff=0.3)
        bx = C - facing * 18
        for i in range(3):
            p.shape(ellipse(bx - facing * i * 5, 44 - i * 2 + (k % 2), 3 - i * 0.7), "#F4EBDD", line=1.5,
                    shade=False)
    return pic(d)


# ---- the crab and the bat -----------------------------------------------------------------

CRAB_W, CRAB_H = 96, 78
CRAB_REF = (64, 24)  # the pivot; the crab stands 48 px below it


def crab_pic(**kw):
    p = Pic(CRAB_W, CRAB_H, line=3)
    crab(p, move(*CRAB_REF), **kw)
    return p


def hub_pic():
    p = Pic(28, 28, line=2.5)
    claw(p, move(14, 14))
    return p


def bat_head(f):
    """Frame f of the bat head: the bat points at 12 (f - 2) + 6 degrees
    above the horizontal (frames below 2 and the rest frames near the
    horizontal show the blades almost level)."""
    dev = max(0, (f - 2) * 12 + 6)
    direction = -dev if f > 5 else -dev * 0.3
    p = Pic(80, 80, line=3)
    kelp_head(p, move(40, 40), direction)
    return p


def rope_piece():
    p = Pic(10, 10, line=2)
    p.shape(ellipse(5, 5, 3.6, 4), ROPE, line=2, shade=False)
    p.stroke(poly([(3, 3), (7, 7)], closed=False), dark(ROPE, 0.3), 1.2)
    return p


def rail(end):
    """The driftwood beam the queue stands on (frame 1 repeats leftwards;
    frame 0 is its end at the drop point, with the post the rope hangs on)."""
    p = Pic(40, 30, line=2.5)
    wood = "#B8855A"
    if not end:
        p.fill(poly([(0, 2), (40, 2), (40, 13), (0, 13)]), wood)
        p.fill(poly([(0, 3.5), (40, 3.5), (40, 6), (0, 6)]), light(wood, 0.3))
        p.stroke(poly([(0, 1.5), (40, 1.5)], closed=False), OUTLINE, 3, cap="butt")
        p.stroke(poly([(0, 13.5), (40, 13.5)], closed=False), OUTLINE, 3, cap="butt")
        p.stroke(poly([(12, 9), (22, 9)], closed=False), dark(wood, 0.3), 1.5)
        p.fill(ellipse(31, 9, 1.8, 1.3), dark(wood, 0.35))
    else:
        p.shape(curve([(-4, 1.5), (8, 1.5), (12, 7.5), (8, 13.5), (-4, 13.5)], tension=0.4), wood, line=3)
        p.stroke(poly([(2, 7.5), (7, 7.5)], closed=False), dark(wood, 0.3), 1.5)
    return p


def trampoline(k):
    """A springy sponge on the drop point; frame 0 is the squash of a bounce."""
    p = Pic(64, 40, line=2.5)
    sq = [10, -6, 4, -2, 1, 0][k]
    top = 14 + sq
    for x in (12, 52):
        p.stroke(poly([(x, 36), (x, top + 3)], closed=False), OUTLINE, 5)
        p.stroke(poly([(x, 36), (x, top + 3)], closed=False), "#B8855A", 2.5)
    bed = curve([(4, top), (32, top + sq * 0.6 + 2), (60, top), (60, top + 7), (32, top + 9 + sq * 0.6), (4, top + 7)],
                tension=0.5)
    p.shape(bed, "#C77DDB", line=2.5)
    for x in (18, 32, 46):
        p.fill(ellipse(x, top + 4 + (sq * 0.4 if x == 32 else 0), 1.8), dark("#C77DDB", 0.3))
    return p


def wipe(k):
    """The scalloped lower edge of the orange band that closes the swing stage."""
    p = Pic(800, 44, line=3)
    band = "#F79300"
    pts = [(0, 0), (800, 0)]
    for i in range(21, -1, -1):
        x = i * 40 - (k * 10)
        pts.append((x, 30 + (6 if i % 2 else -2)))
    p.fill(curve(pts, tension=0.7), band)
    p.stroke(curve(pts[2:], closed=False, tension=0.7), OUTLINE, 3)
    for i in range(22):
        x = i * 40 + 20 - k * 10
        p.fill(ellipse(x, 14 + (i % 3) * 3, 3), light(band, 0.4), opacity=0.7)
    return p


def build(book):
    a = book.anim
    ext = (S, S)
    a(0x30026, (C, C), ext, [Frame(90, falling(k)) for k in range(6)], "falling, held on its last frame")
    a(0x30076, (C, C), ext, [Frame(70, flying(k, 1)) for k in range(6)], "flying right")
    a(0x50054, (C, C), ext, [Frame(70, flying(k, -1)) for k in range(6)], "flying left")
    sways = [hanging(0, s) for s in (0.6, 0, -0.6)]
    swing_pos = [hanging(-18 + 6 * i) for i in range(7)]  # frames 3..9: the hold point from right to left
    a(0x3000B, (C, C), ext, [Frame(140, f) for f in sways] + [Frame(120, f) for f in swing_pos],
      "on the pendulum: frames 3..9 by swing position")
    a(0x3002D, (C, C), ext, [Frame(120, bobbing(k)) for k in range(7)], "on the rope: frame 0 rising, 1..6 falling")
    a(0x3004E, (C, C + 4), ext, [Frame(234, climbing(k)) for k in range(3)], "climbing to the hanging point")
    walk = [hop(k) for k in range(7)]
    a(0x300CB, CRASH_REF, ext, [Frame(100, f) for f in walk],
      "walking back to the queue; in the crash stage the slide to the right (held on its skid)")
    a(0x300C1, (C, 46), ext, [Frame(1000, waiting())], "waiting in the queue")
    steps = [hop(k, 7, skid_last=False) for k in (5, 4, 3, 2, 1, 0)]
    a(0x30061, (C, 46), ext, [Frame(126, f) for f in reversed(steps)], "stepping forward (frame = time left / 126)")
    for aid, which in ((0x5004A, 0), (0x5004C, 1), (0x5004B, 2), (0x5004D, 3), (0x40013, 4)):
        a(aid, (C, 46), ext, [Frame(140, f) for f in idle(which)], "idle %d" % which)
    for aid, variant in ((0x4000A, 0), (0x3001D, 1)):
        a(aid, (C, C), ext, [Frame(1000, splat(n, variant)) for n in NORMALS], "splat marks by wall normal")
    # Crash stage, plain and powered.
    for powered, ids in ((False, (0x300B3, 0x4000E, 0x30090, 0x30053, 0x30015, 0x40003, None, 0x3009B, 0x40012,
                                  0x300B6)),
                         (True, (0x6000D, 0x6000A, 0x60008, 0x5010A, 0x50119, 0x50112, 0x60007, 0x50108, 0x60003,
                                 0x60006))):
        run_, off, fly, t3, t4, t5, right, left, down_r, down_l = ids
        a(run_, CRASH_REF, ext, [Frame(70, run(k, powered)) for k in range(6)], "run-up")
        a(off, CRASH_REF, ext, [Frame(60, take_off(k, powered)) for k in range(5)], "take-off, 300 ms")
        a(fly, CRASH_REF, ext, [Frame(80, flight(k, powered)) for k in range(4)], "flight")
        a(t3, CRASH_REF, ext, [Frame(60, tumble(k, 0, powered)) for k in range(8)], "tumbling")
        a(t4, CRASH_REF, ext, [Frame(60, tumble(k, 1, powered)) for k in range(8)], "tumbling, squashed")
        a(t5, CRASH_REF, ext, [Frame(50, tumble(k, 2, powered)) for k in range(8)], "tumbling fast")
        if right:
            a(right, CRASH_REF, ext, [Frame(90, slide(k, 1, 0, powered)) for k in range(4)], "slide right")
        a(left, CRASH_REF, ext, [Frame(90, slide(k, -1, 0, powered)) for k in range(4)], "slide left")
        a(down_r, CRASH_REF, ext, [Frame(90, slide(k, 1, 38.7, powered)) for k in range(4)], "slide right down a slope")
        a(down_l, CRASH_REF, ext, [Frame(90, slide(k, -1, -38.7, powered)) for k in range(4)], "slide left down a slope")
    a(0x4003E, (C, C), ext, [Frame(100, pic(lambda p, k=k: (glow(p, C, C, 23, k / 4),
                                                          puffer(p, puff_at(sx=1.1, sy=1.1), mood="open", look=(0, 0),
                                                                 fin=-1, mouth="flat", puff=1.6))))
                             for k in range(4)], "aiming: the puffer puffed up in its halo")
    # The crab, its claw on the pivot, and the kelp bat's head.
    rest = [crab_pic(), crab_pic(bob=1), crab_pic(bob=2), crab_pic(bob=1, wave=0.5), crab_pic(lid=0.9),
            crab_pic(bob=1)]
    a(0x50024, CRAB_REF, (CRAB_W, CRAB_H), [Frame(160, f) for f in rest], "the crab at rest")
    swing = [crab_pic(lean=-8, effort=True, mood="closed"), crab_pic(lean=6, effort=True, look=(1, -0.4)),
             crab_pic(lean=10, effort=True, look=(1, -0.6)), crab_pic(lean=6, look=(0.8, -0.6)),
             crab_pic(lean=2, look=(0.6, -0.7))]
    a(0x5002E, CRAB_REF, (CRAB_W, CRAB_H), [Frame(f, pic_) for f, pic_ in zip((80, 90, 120, 120, 120), swing)],
      "the crab swinging, 530 ms")
    a(0x30022, (14, 14), (28, 28), [Frame(1000, hub_pic())], "the claw on the pivot")
    a(0x40035, (40, 40), (80, 80), [Frame(1000, bat_head(f)) for f in range(32)], "bat head by bat angle")
    a(0x40001, (5, 5), (10, 10), [Frame(1000, rope_piece())], "rope piece")
    a(0x400A0, (0, 0), (40, 30), [Frame(1000, Piece(rail(True), 0, 0)), Frame(1000, rail(False))],
      "rail: 0 its end at the drop point, 1 repeated leftwards")
    a(0x5004E, (32, 4), (64, 40), [Frame(70, trampoline(k)) for k in range(6)], "trampoline, a bounce from frame 0")
    a(0x5005F, (400, 0), (800, 44), [Frame(100, wipe(k)) for k in range(4)], "lower edge of the closing band")
