"""Interface art: menu icons, option sprites, arrows, the window frame, the
mouse pointer, HUD digits and icons, rating labels, loading pictures."""

import math

from ink import FOAM, IDENTITY, OUTLINE, Pic, curve, dark, ellipse, grey, light, move, poly, rrect, scale, star, turn
from sheet import Frame

SUN = "#FFD23F"
ORANGE = "#FF9F45"
DEEP_ORANGE = "#FF7B29"
CORAL = "#F25C54"
PINK = "#F7A1C4"
SEA = "#2E8BC0"
SKY = "#5FB8E6"
PALE_SEA = "#B1E1F5"
KELP = "#1A936F"
LEAF = "#88D498"
SAND = "#E9C46A"
WOOD = "#D4A373"
PAPER = "#FFF5DC"
PEARL = "#FFF1F4"


def same(c):
    return c


# ---- menu icons ------------------------------------------------------------
# Each icon draws into a 40 x 40 picture through a colour map (greyed for
# disabled items) and an affine map (the selected item's bounce).

def icon_bottle(p, m, c):
    """About: a message in a bottle."""
    body = curve([(13, 33), (11, 22), (16, 15), (17, 9), (23, 9), (24, 15), (29, 22), (27, 33)]).t(m)
    p.shape(body, c("#8ED1E6"), line=2.5)
    p.shape(rrect(11.5, 27, 17, 7, 3).t(m), c(SEA), line=2)
    p.shape(rrect(17, 4, 6, 6, 1.5).t(m), c(WOOD), line=2)
    scroll = rrect(15, 15, 10, 11, 2).t(turn(-12, 20, 20) @ IDENTITY)
    p.shape(scroll.t(m), c(PAPER), line=1.5, shade=False)
    p.stroke(poly([(17, 18), (23, 17)], closed=False).t(m), c("#C9A66B"), 1.2)
    p.stroke(poly([(17.5, 21), (23, 20)], closed=False).t(m), c("#C9A66B"), 1.2)


def icon_play(p, m, c, colour=None):
    """Play and resume: a round go-button with a fat arrow."""
    p.shape(ellipse(20, 20, 16).t(m), c(colour or SUN), line=3)
    p.shape(curve([(15, 11), (30, 19), (30, 21), (15, 29), (13.5, 27), (13.5, 13)], tension=0.5).t(m), c(CORAL),
            line=2.5)


def icon_chest(p, m, c):
    """More games: a treasure chest with pearls."""
    p.shape(ellipse(14, 14, 5).t(m), c(PEARL), line=2)
    p.shape(ellipse(24, 12, 4).t(m), c(PINK), line=2)
    p.shape(rrect(6, 17, 28, 17, 3).t(m), c(WOOD), line=2.5)
    p.shape(curve([(6, 19), (8, 11), (20, 8), (32, 11), (34, 19)], closed=True, tension=0.6).t(m), c("#B8855A"),
            line=2.5)
    p.shape(rrect(17, 20, 6, 8, 1.5).t(m), c(SUN), line=2)
    p.stroke(poly([(6.5, 24), (16.5, 24)], closed=False).t(m), c(dark(WOOD)), 1.5)
    p.stroke(poly([(23.5, 24), (33.5, 24)], closed=False).t(m), c(dark(WOOD)), 1.5)


def icon_music(p, m, c, muted=False):
    """Music: two joined notes on a bubble."""
    p.shape(ellipse(20, 20, 17).t(m), c(PALE_SEA), line=2.5)
    p.shape(poly([(15, 11), (29, 8), (29, 13), (15, 16)]).t(m), c(OUTLINE), line=1.5, shade=False)
    p.shape(poly([(15, 12), (17, 12), (17, 27), (15, 27)]).t(m), c(OUTLINE), line=0, shade=False)
    p.shape(poly([(27, 9), (29, 9), (29, 24), (27, 24)]).t(m), c(OUTLINE), line=0, shade=False)
    p.shape(ellipse(13, 28, 4.5, 3.6).t(turn(-20, 13, 28)).t(m), c(CORAL), line=2)
    p.shape(ellipse(25, 25, 4.5, 3.6).t(turn(-20, 25, 25)).t(m), c(CORAL), line=2)
    if muted:
        slash(p, m, c)


def slash(p, m, c):
    p.stroke(poly([(8, 32), (32, 8)], closed=False).t(m), c(OUTLINE), 6)
    p.stroke(poly([(8, 32), (32, 8)], closed=False).t(m), c(CORAL), 3)


def icon_whirl(p, m, c):
    """Reset progress: a whirlpool."""
    p.shape(ellipse(20, 21, 17, 15).t(m), c(SEA), line=2.5)
    pts = []
    for i in range(40):
        a = i * 0.42
        r = 14 - i * 0.33
        pts.append((20 + r * math.cos(a), 21 + r * 0.88 * math.sin(a)))
    p.stroke(curve(pts, closed=False).t(m), c(PALE_SEA), 2.5)
    p.shape(ellipse(20, 21, 3).t(m), c(OUTLINE), line=0, shade=False)


def icon_again(p, m, c, muted=False):
    """Restart level and vibration: a round arrow with shake lines."""
    arc = [(20 + 11 * math.cos(math.radians(a)), 21 + 11 * math.sin(math.radians(a))) for a in range(-70, 236, 15)] + [(20 + 11 * math.cos(math.radians(235)), 21 + 11 * math.sin(math.radians(235)))]
    p.stroke(curve(arc, closed=False).t(m), c(OUTLINE), 8.5)
    p.stroke(curve(arc, closed=False).t(m), c(LEAF), 4)
    end = math.radians(235)
    ex, ey = 20 + 11 * math.cos(end), 21 + 11 * math.sin(end)
    tip = turn(235 + 90, ex, ey)
    p.shape(poly([(ex - 3, ey - 7), (ex + 8, ey), (ex - 3, ey + 7)]).t(tip).t(m), c(LEAF), line=2.2, shade=False)
    for s in (-1, 1):
        x = 20 + s * 16.5
        p.stroke(poly([(x, 15), (x + s * 1.5, 19), (x, 23), (x + s * 1.5, 27)], closed=False).t(m), c(OUTLINE), 2)
    if muted:
        slash(p, m, c)


def icon_gear(p, m, c):
    """Options: a sand-dollar cog."""
    pts = []
    for i in range(48):
        a = math.radians(i * 7.5)
        r = 17 if (i // 3) % 2 == 0 else 13.5
        pts.append((20 + r * math.cos(a), 20 + r * math.sin(a)))
    p.shape(curve(pts, tension=0.25).t(m), c(SAND), line=2.5)
    p.shape(ellipse(20, 20, 7).t(m), c(PAPER), line=2)
    for i in range(5):
        a = math.radians(-90 + i * 72)
        p.fill(ellipse(20 + 4.5 * math.cos(a), 20 + 4.5 * math.sin(a), 1.4).t(m), c(dark(SAND)))


def icon_conch(p, m, c, muted=False):
    """Sound effects: a conch shell sounding."""
    body = curve([(2, 15), (9, 10), (13, 10), (16, 6), (20, 8), (24, 4), (29, 9), (30, 21), (26, 30), (16, 31),
                  (8, 24)], tension=0.7)
    p.shape(body.t(m), c(PINK), line=2.5)
    for k in range(3):
        p.stroke(curve([(9 + k * 5, 13 - k), (8 + k * 5, 20), (11 + k * 5, 27 - k)], closed=False).t(m),
                 c(dark(PINK, 0.3)), 1.5)
    lip = curve([(25, 7), (33, 6), (37, 15), (35, 28), (27, 33), (29, 20)], tension=0.8)
    p.shape(lip.t(m), c("#FFD3B0"), line=2.5)
    p.shape(ellipse(31, 20, 2.2, 7).t(turn(10, 31, 20)).t(m), c(dark(PINK, 0.45)), line=0, shade=False)
    if muted:
        slash(p, m, c)


def icon_porthole(p, m, c, muted=False):
    """Full screen: a porthole with arrows to its corners."""
    p.shape(ellipse(20, 20, 16).t(m), c("#BDBAD3"), line=2.5)
    p.shape(ellipse(20, 20, 10).t(m), c(SKY), line=2)
    p.fill(ellipse(17, 17, 3, 2).t(m), c("#FFFFFF"))
    for k in range(4):
        a = 45 + k * 90
        t = turn(a, 20, 20)
        p.shape(poly([(36, 20), (31, 16), (31, 24)]).t(t).t(m), c(CORAL), line=1.5, shade=False)
    if muted:
        slash(p, m, c)


def icon_signpost(p, m, c):
    """Level select: a signpost on a sand mound."""
    p.shape(curve([(4, 36), (12, 29), (28, 29), (36, 36)], tension=0.5).t(m), c(SAND), line=2.5)
    p.shape(rrect(18, 9, 4, 24, 1.5).t(m), c(WOOD), line=2)
    p.shape(poly([(8, 8), (28, 8), (33, 12.5), (28, 17), (8, 17)]).t(m), c(ORANGE), line=2.5)
    p.shape(poly([(32, 18), (12, 18), (7, 22.5), (12, 27), (32, 27)]).t(m), c(LEAF), line=2.5)


def icon_clam(p, m, c):
    """Unused menu slots: a clam with a pearl."""
    p.shape(curve([(5, 24), (12, 12), (28, 12), (35, 24)], tension=0.6).t(m), c(PINK), line=2.5)
    p.shape(ellipse(20, 24, 6).t(m), c(PEARL), line=2)
    p.shape(curve([(5, 24), (20, 36), (35, 24), (20, 28)], tension=0.5).t(m), c(light(PINK, 0.2)), line=2.5)


MENU_ICONS = {
    0: icon_bottle, 1: lambda p, m, c: icon_play(p, m, c, LEAF), 2: icon_chest, 8: icon_music, 9: icon_play,
    10: icon_whirl, 11: icon_again, 12: icon_gear, 13: icon_conch, 16: icon_porthole, 18: icon_signpost,
}
MUTABLE = {8, 11, 13, 16}


def menu_icon(index, state, t=0.0):
    p = Pic(40, 40, line=2.5)
    draw = MENU_ICONS.get(index, icon_clam)
    c = grey if state == 2 else same
    m = IDENTITY
    if state == 1:
        # Selected: a hop with a little squash, in a loop of t in 0..1.
        lift = abs(math.sin(t * math.pi)) * 4
        sq = 1 + 0.06 * math.cos(t * 2 * math.pi)
        m = move(0, -lift) @ scale(1 / sq, sq, 20, 38) @ turn(6 * math.sin(t * 2 * math.pi), 20, 20)
    if state == 3 and index in MUTABLE:
        draw(p, m, c, muted=True)
    else:
        draw(p, m, c)
    return p


def build_menu(book, sprites):
    """sprites: the rows of four animation ids of the menu item sprites."""
    for index, ids in enumerate(sprites):
        for state, aid in enumerate(ids):
            if state == 1:
                frames = [Frame(110, menu_icon(index, 1, k / 6)) for k in range(6)]
            else:
                frames = [Frame(1000, menu_icon(index, state))]
            book.anim(aid, (20, 20), (40, 40), frames)


# ---- options: slider knob and on/off choice ------------------------------------

def slider(value):
    """Five pearls, growing left to right; `value` of them shine. The panel
    centres the knob on its value column (6 positions x 7 px) by the extent,
    so the extent says 42 and the pearls run on to the right of it."""
    p = Pic(72, 26, line=2)
    x = 1.5
    for k in range(5):
        r = 4.0 + k * 0.9
        cx = x + r
        cy = 23 - r
        if k < value:
            p.shape(ellipse(cx, cy, r), PEARL if k < 4 else SUN, line=2, hi=1.6, sh=1.6)
        else:
            p.shape(ellipse(cx, cy, r), "#5C5470", line=2, shade=False)
        x += 2 * r + 2.2
    return p


def choice(on):
    p = Pic(44, 26, line=2.5)
    p.shape(rrect(3, 4, 38, 18, 9), LEAF if on else "#BDBAD3", line=2.5)
    cx = 31 if on else 13
    p.shape(ellipse(cx, 13, 7.5), PEARL if on else FOAM, line=2.5)
    return p


def build_options(book):
    book.anim(0x60024, (21, 13), (42, 26), [Frame(1000, slider(v)) for v in range(6)], "volume 0..5")
    book.anim(0x60036, (22, 13), (44, 26), [Frame(1000, choice(False)), Frame(1000, choice(True))], "off, on")


# ---- scroll arrows -------------------------------------------------------------

def arrow(up, press=0.0, bob=0.0):
    p = Pic(30, 22, line=2.5)
    m = move(0, bob)
    if not up:
        m = m @ scale(1, -1, 15, 11)
    sq = 1 - 0.18 * press
    m = m @ scale(1 + 0.1 * press, sq, 15, 18)
    p.shape(curve([(15, 3), (27, 15), (24, 19), (15, 13), (6, 19), (3, 15)], tension=0.45).t(m),
            light(ORANGE, 0.25 * press) if press else ORANGE, line=2.5)
    return p


def build_arrows(book):
    bobs = [0, -1, -2, -1]
    book.anim(0x300BB, (15, 11), (30, 22), [Frame(150, arrow(True, 0, b)) for b in bobs], "up arrow, idle")
    book.anim(0x30059, (15, 11), (30, 22), [Frame(70, arrow(True, k / 2)) for k in (0, 1, 2)] +
              [Frame(200, arrow(True, 1))], "up arrow, pressed")
    book.anim(0x40010, (15, 11), (30, 22), [Frame(150, arrow(False, 0, -b)) for b in bobs], "down arrow, idle")
    book.anim(0x40025, (15, 11), (30, 22), [Frame(70, arrow(False, k / 2)) for k in (0, 1, 2)] +
              [Frame(200, arrow(False, 1))], "down arrow, pressed")


# ---- the window frame -------------------------------------------------------------
# A rope of sandy strands round the panels, a starfish knot at each corner.
# Edge pieces are 16 px long and 14 px thick; corners 24 x 24.

EDGE, LEN, CORNER = 14, 16, 24


def rope_strip(p, horizontal, flip=False):
    """A 16-px piece of rope across a 14-px band, outlined on both sides."""
    def tr(x, y):
        # (x along, y across) to picture pixels.
        if flip:
            y = EDGE - y
        return (x, y) if horizontal else (y, x)

    band = poly([tr(0, 1.5), tr(LEN, 1.5), tr(LEN, EDGE - 1.5), tr(0, EDGE - 1.5)])
    p.fill(band, SAND)
    for k in (-8, 0, 8, 16):
        strand = poly([tr(k + 1, 1.5), tr(k + 6, 1.5), tr(k + 13, EDGE - 1.5), tr(k + 8, EDGE - 1.5)])
        p.fill(strand, WOOD)
        p.fill(poly([tr(k + 2, 1.5), tr(k + 4, 1.5), tr(k + 9, 7), tr(k + 7, 7)]), light(SAND, 0.45))
    p.stroke(poly([tr(0, 1.5), tr(LEN, 1.5)], closed=False), OUTLINE, 3, cap="butt")
    p.stroke(poly([tr(0, EDGE - 1.5), tr(LEN, EDGE - 1.5)], closed=False), OUTLINE, 3, cap="butt")


def frame_edge(horizontal, flip):
    w, h = (LEN, EDGE) if horizontal else (EDGE, LEN)
    p = Pic(w, h, line=3)
    rope_strip(p, horizontal, flip)
    return p


def frame_corner(rot):
    """Corner piece, top left when rot = 0, turned by rot degrees."""
    p = Pic(CORNER, CORNER, line=2.5)
    m = turn(rot, CORNER / 2, CORNER / 2)
    # The two rope ends meeting under the knot.
    for pts in ([(12, 1.5), (24, 1.5), (24, 12.5), (12, 12.5)], [(1.5, 12), (12.5, 12), (12.5, 24), (1.5, 24)]):
        p.fill(poly(pts).t(m), SAND)
    p.stroke(poly([(12, 1.5), (24, 1.5)], closed=False).t(m), OUTLINE, 3, cap="butt")
    p.stroke(poly([(1.5, 12), (1.5, 24)], closed=False).t(m), OUTLINE, 3, cap="butt")
    p.shape(star(11, 11, 10.5, 5, 5, rot=-90 + rot).t(m), CORAL, line=2.5)
    p.fill(ellipse(11, 11, 2).t(m), light(CORAL, 0.45))
    return p


def build_frame(book):
    top, right = frame_edge(True, False), frame_edge(False, True)
    bottom, left = frame_edge(True, True), frame_edge(False, False)
    pieces = [
        (top, LEN, EDGE), (frame_corner(90), CORNER, CORNER), (right, EDGE, LEN), (frame_corner(180), CORNER, CORNER),
        (bottom, LEN, EDGE), (frame_corner(270), CORNER, CORNER), (left, EDGE, LEN), (frame_corner(0), CORNER, CORNER),
    ]
    frames = [Frame(1000, pic, boxes=[(0, 0, 0, w, h)]) for pic, w, h in pieces]
    book.anim(0x30045, (0, 0), (CORNER, CORNER), frames,
              "0 top, 1 top right, 2 right, 3 bottom right, 4 bottom, 5 bottom left, 6 left, 7 top left")


# ---- mouse pointer ------------------------------------------------------------------

def pointer():
    p = Pic(26, 28, line=2.5)
    p.shape(curve([(2, 2), (20, 13), (13, 15), (18, 24), (14, 26), (9, 17), (3, 22)], tension=0.15), SUN, line=2.5)
    return p


# ---- digits and HUD ---------------------------------------------------------------------

def digit(ch, size, fill, w, h, line=4, dy=0):
    p = Pic(w, h, line=2)
    p.text(w / 2, h - 4 + dy, ch, size, fill, width=line)
    return p


def build_hud(book):
    # Launch and shot counters: white digits with a dark rim.
    book.anim(0x3006B, (11, 14), (20, 28), [Frame(1000, digit(str(d), 24, FOAM, 22, 28)) for d in range(10)],
              "digits 0..9")
    # Destroyed / goal counter.
    book.anim(0x4005A, (11, 14), (20, 28), [Frame(1000, digit(str(d), 24, SUN, 22, 28)) for d in range(10)],
              "digits 0..9")
    sep = [Frame(1000, digit("/", 24, SUN, 16, 28)) for _ in range(12)]
    book.anim(0x40028, (8, 14), (16, 28), sep, "frame 11 is the separator")
    book.anim(0x30043, (26, 32), (60, 56), [Frame(1000, launch_icon())], "badge under the launch counter's digits")
    book.anim(0x40072, (18, 16), (36, 32), [Frame(1000, target_icon())], "target icon")
    book.anim(0x40079, (18, 16), (36, 32), [Frame(60, target_icon(1 + 0.12 * k, k)) for k in (1, 2, 3, 2, 1)] +
              [Frame(100, target_icon())], "score pop")
    book.anim(0x4006D, (26, 32), (60, 56), [Frame(1000, launch_icon())], "launch counter (not drawn by the game)")
    book.anim(0x50080, (18, 16), (36, 32), [Frame(1000, target_icon())], "crash HUD")


def launch_icon():
    """The badge under the launch and shot counters (the digits are drawn on
    its middle): a bubble with a little puffer peeking over its rim."""
    from creatures import puffer
    p = Pic(60, 56, line=1.8)
    p.fill(ellipse(26, 32, 20), "#0B3C5D", opacity=0.55)
    p.stroke(ellipse(26, 32, 20), FOAM, 3)
    p.stroke(ellipse(26, 32, 20), OUTLINE, 1.2)
    p.fill(ellipse(17, 23, 4, 2.5).t(turn(-40, 17, 23)), "#FFFFFF", opacity=0.8)
    puffer(p, move(46, 14) @ scale(0.5) @ turn(25), mood="open", look=(-0.6, 0.6), mouth="o", puff=0.5)
    return p


def target_icon(s=1.0, sparkle=0):
    p = Pic(36, 32, line=2)
    m = scale(s, s, 18, 16)
    from world import shell_target
    shell_target(p, m @ move(18, 17) @ scale(0.55))
    if sparkle:
        for k in range(4):
            a = math.radians(k * 90 + 45)
            r = 12 + sparkle * 2
            p.shape(star(18 + r * math.cos(a), 16 + r * math.sin(a), 3.5, 1.4, 4), SUN, line=1, shade=False)
    return p


# ---- rating labels ----------------------------------------------------------------------

def label_pic(word, colour, s, rot, alpha=1.0):
    p = Pic(LABEL_W, 70, line=3)
    if alpha < 1:
        p.group(alpha)
    cx = LABEL_W / 2
    m = turn(rot, cx, 35) @ scale(s, s, cx, 35)
    burst = []
    wide = 14 + len(word) * 7.5
    for i in range(20):
        a = math.radians(i * 18)
        r = 1.0 if i % 2 == 0 else 0.78
        burst.append((cx + r * wide * math.cos(a), 35 + r * 26 * math.sin(a)))
    p.shape(curve(burst, tension=0.3).t(m), light(colour, 0.55), line=3, shade=False)
    p.text(cx, 44, word, 25, colour, width=6, m=m)
    if alpha < 1:
        p.end()
    return p


LABEL_W = 200


def build_labels(book):
    for aid, word, colour in ((0x300AA, "Power shot!", SUN), (0x30092, "Out!", "#8ED1E6"),
                              (0x300C3, "Splat!", CORAL)):
        seq = [(0.35, -8), (0.8, -4), (1.12, 3), (1.0, 0), (1.0, -2), (1.0, 0), (0.9, 0), (0.6, 0)]
        ms = [50, 50, 60, 120, 120, 120, 80, 60]
        frames = [Frame(t, label_pic(word, colour, s, r, 1.0 if k < 6 else 0.7)) for k, ((s, r), t) in
                  enumerate(zip(seq, ms))]
        book.anim(aid, (LABEL_W // 2, 60), (LABEL_W, 70), frames, "rating label, 660 ms")


def build(book):
    build_options(book)
    build_arrows(book)
    build_frame(book)
    build_hud(book)
    build_labels(book)
    book.named_raw(6, "pic_pointer", pointer())
