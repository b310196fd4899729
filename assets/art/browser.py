"""The level browser: nine cards of three levels on a band of sea, level
icons, grade stars, the lock, the selection marker, the name tag, the band
filler and the frame tiles; the reward screen's bonus items.

Geometry: a card is 360 x 440 on an 800 x 600 screen (the browser clamps
its size so), drawn with its reference point at its left edge and the
band's vertical centre. Its first frame's boxes place the name tags (kinds
3, 4, 5) and the icons (kinds 0, 1, 2) in those coordinates.
"""

import math

from creatures import crab, puffer
from ink import num, FOAM, OUTLINE, Pic, curve, dark, ellipse, light, mix, move, poly, rrect, scale, star, turn
from sheet import Frame, Piece
from world import bottle, clam, shell_target, spiral_shell
from backdrops import THEMES

CARD_W, CARD_H = 360, 440
HALF = CARD_H // 2
TAG_BAND = "#FFE676"
SUN = "#FFD23F"

# Icon centres of the three levels on every card (x from the left edge, y
# from the band's centre) and the name-tag anchors under them.
ICONS = [(96, -112), (258, -10), (118, 100)]
TAGS = [(x - 70, y + 52) for x, y in ICONS]

CARD_IDS = [0x5008B, 0x500C5, 0x500D8, 0x500A1, 0x500DB, 0x500CD, 0x500D1, 0x500C8, 0x500B7]
CARD_THEMES = [0, 0, 1, 1, 1, 2, 2, 3, 3]


def card(group):
    """A card: a window onto the tide pool of the group's theme with a
    dotted path joining its three levels."""
    c = THEMES[CARD_THEMES[group]]
    p = Pic(CARD_W, CARD_H, line=4)
    frame = rrect(6, 6, CARD_W - 12, CARD_H - 12, 22)
    p.clip(frame)
    horizon = 147
    p.gradient(poly([(0, 0), (CARD_W, 0), (CARD_W, horizon), (0, horizon)]), [(0, c[0]), (1, c[1])], 0, 0, 0, horizon)
    p.gradient(poly([(0, horizon), (CARD_W, horizon), (CARD_W, CARD_H), (0, CARD_H)]), [(0, c[2]), (1, c[3])],
               0, horizon, 0, CARD_H)
    # A window onto the theme's backdrop, a different stretch on each card.
    from backdrops import PAINTINGS, WIDE, sun
    painting = PAINTINGS[CARD_THEMES[group]]()
    k = 0.98
    shift = -((group * 130) % 390)
    if CARD_THEMES[group] != 2:
        sun(p, 250 - (group * 61) % 140, 108, 26, "#FFE08A" if CARD_THEMES[group] != 1 else "#FEF001")
    for copy in range(3):
        p.embed(painting, "translate(%s,%s) scale(%s)" % (num(shift + copy * WIDE * k), 0, k))
    if CARD_THEMES[group] != 2:
        from backdrops import waves
        strip = waves(200, 50, c[2] if CARD_THEMES[group] != 3 else "#D6F0FA", FOAM)
        for x in (-100, 100, 300):
            p.embed(strip, "translate(%d,%d)" % (x - (group * 37) % 100, horizon - 6))
    # The path through the three levels.
    pts = [(ICONS[0][0], ICONS[0][1] + HALF), (ICONS[1][0], ICONS[1][1] + HALF), (ICONS[2][0], ICONS[2][1] + HALF)]
    path = [pts[0], ((pts[0][0] + pts[1][0]) / 2 + 20, (pts[0][1] + pts[1][1]) / 2 - 20), pts[1],
            ((pts[1][0] + pts[2][0]) / 2 + 30, (pts[1][1] + pts[2][1]) / 2 + 10), pts[2]]
    walk = curve(path, closed=False)
    p.stroke(walk, mix(OUTLINE, c[2], 0.3), 9)
    p.stroke(walk, "#F3E6C4", 5)
    for i in range(24):
        t = i / 23
        seg = min(3, int(t * 4))
        a, b = path[seg], path[seg + 1]
        f = t * 4 - seg
        p.fill(ellipse(a[0] + (b[0] - a[0]) * f, a[1] + (b[1] - a[1]) * f, 1.4), dark("#F3E6C4", 0.3))
    # Pads for the icons to stand on.
    for x, y in pts:
        p.fill(ellipse(x, y + 32, 34, 9), OUTLINE, opacity=0.3)
    p.end()
    p.stroke(frame, OUTLINE, 4)
    p.stroke(rrect(11, 11, CARD_W - 22, CARD_H - 22, 18), FOAM, 2.5, opacity=0.7)
    boxes = [(3 + k, TAGS[k][0], TAGS[k][1], 1, 1) for k in range(3)] + \
            [(k, ICONS[k][0], ICONS[k][1], 1, 1) for k in range(3)]
    return p, boxes


# ---- level icons ----------------------------------------------------------------------

def medallion(p, m, colour):
    p.shape(ellipse(0, 0, 30).t(m), colour, line=3.5)
    p.stroke(ellipse(0, 0, 25).t(m), light(colour, 0.45), 2)


def icon_subject(kind, p, m, t):
    if kind == "shell":
        spiral_shell(p, m @ scale(1.0) @ move(0, -2))
    elif kind == "star":
        p.shape(star(0, 0, 20, 9, 5, rot=-90 + 8 * math.sin(t * 6.28)).t(m), "#F25C54", line=3)
        p.eye(-5, -2, 3.6, m=m, line=2)
        p.eye(5, -2, 3.6, m=m, line=2)
    elif kind == "puffer":
        puffer(p, m @ scale(0.85), mood="open", look=(0.3, 0), mouth="o")
    elif kind == "crab":
        crab(p, m @ scale(0.6) @ move(20, -25), look=(0, 0))
    elif kind == "clam":
        clam(p, m @ scale(0.75) @ move(0, -4), open=0.4 + 0.3 * math.sin(t * 6.28), mood="open")
    elif kind == "kelp":
        for x0, c in ((-8, "#1A936F"), (0, "#88D498"), (8, "#4CB48A")):
            sway = 3 * math.sin(t * 6.28 + x0)
            pts = [(x0, 20), (x0 - 4 + sway * 0.4, 4), (x0 + 4 + sway * 0.7, -10), (x0 + sway, -22)]
            p.stroke(curve(pts, closed=False).t(m), OUTLINE, 8)
            p.stroke(curve(pts, closed=False).t(m), c, 4.5)
    elif kind == "coral":
        for a, l, c in ((-38, 30, "#F25C54"), (0, 36, "#F7A1C4"), (38, 28, "#FF9F45")):
            mm = m @ move(0, 20) @ turn(a - 90)
            branch = curve([(0, -4), (l * 0.6, -7), (l, -3), (l + 4, 0), (l, 3), (l * 0.6, 7), (0, 4)], tension=0.5)
            p.shape(branch.t(mm), c, line=2.5)
    elif kind == "bottle":
        bottle(p, m @ turn(-15) @ scale(0.95), slosh=3 * math.sin(t * 6.28))
    elif kind == "pearl":
        p.shape(ellipse(0, 0, 17).t(m), "#FFF1F4", line=3)
        for k in range(4):
            a = k * 90 + t * 90
            p.shape(star(22 * math.cos(math.radians(a)), 22 * math.sin(math.radians(a)), 6, 2.2, 4).t(m), SUN,
                    line=1.5, shade=False)


ICON_KINDS = {0x500C3: ("shell", "#8ED1E6"), 0x500B0: ("star", "#FFE08A"), 0x500D5: ("puffer", "#B1E1F5"),
              0x500D4: ("crab", "#C6F1D6"), 0x500E3: ("clam", "#FFD3DC"), 0x500DE: ("kelp", "#F3E6C4"),
              0x500E4: ("coral", "#D6F0FA"), 0x500E5: ("bottle", "#E8DDF7"), 0x500E0: ("pearl", "#FFC15E")}


def level_icon(aid, k, n):
    kind, colour = ICON_KINDS[aid]
    p = Pic(80, 80, line=2.5)
    t = k / n
    if k == 0:
        m = move(40, 40)
    else:
        lift = 5 * abs(math.sin(t * math.pi * 2))
        m = move(40, 40 - lift) @ scale(1.08) @ turn(5 * math.sin(t * 6.28))
    medallion(p, m, colour)
    icon_subject(kind, p, m, t)
    return p


def stars(count):
    p = Pic(90, 30, line=2.5)
    for i, (x, y) in enumerate(((18, 18), (45, 12), (72, 18))):
        lit = i < count
        p.shape(star(x, y, 12, 5.5, 5), SUN if lit else "#5C5470", line=2.5, shade=lit)
    return p


def lock(front):
    p = Pic(80, 80, line=3)
    if not front:
        p.fill(ellipse(40, 40, 34), "#1B1B2F", opacity=0.35)
        for a in (-30, 30):
            m = move(40, 40) @ turn(a)
            for k in range(-3, 4):
                p.shape(rrect(k * 10 - 5, -3, 10, 6, 3).t(m), "#8D8BA7", line=2, shade=False)
        return p
    m = move(40, 46)
    p.stroke(curve([(-9, 0), (-9, -14), (0, -20), (9, -14), (9, 0)], closed=False).t(m), OUTLINE, 8)
    p.stroke(curve([(-9, 0), (-9, -14), (0, -20), (9, -14), (9, 0)], closed=False).t(m), "#BDBAD3", 4)
    p.shape(rrect(-15, -4, 30, 24, 6).t(m), "#FFC15E", line=3)
    p.shape(ellipse(0, 5, 3.5).t(m), OUTLINE, line=0, shade=False)
    p.fill(poly([(-1.5, 6), (1.5, 6), (2, 13), (-2, 13)]).t(m), OUTLINE)
    return p


def marker(k):
    p = Pic(100, 100, line=3)
    s = 1 + 0.06 * math.sin(k * math.pi / 3)
    m = move(50, 50) @ scale(s)
    for i in range(12):
        a = math.radians(i * 30 + k * 5)
        p.fill(poly([(38 * math.cos(a - 0.09), 38 * math.sin(a - 0.09)), (47 * math.cos(a), 47 * math.sin(a)),
                     (38 * math.cos(a + 0.09), 38 * math.sin(a + 0.09))]).t(m), SUN, opacity=0.85)
    p.stroke(ellipse(0, 0, 36).t(m), OUTLINE, 7)
    p.stroke(ellipse(0, 0, 36).t(m), SUN, 4)
    return p


def tag_cap(right):
    p = Pic(18, 30, line=2.5)
    if right:
        path = curve([(0, 2), (8, 2), (16, 15), (8, 28), (0, 28)], tension=0.5)
    else:
        path = curve([(18, 2), (10, 2), (2, 15), (10, 28), (18, 28)], tension=0.5)
    p.fill(path, TAG_BAND)
    p.stroke(path, OUTLINE, 3)
    p.fill(poly([(0 if right else 14, 2.5), (4 if right else 18, 2.5), (4 if right else 18, 27.5),
                 (0 if right else 14, 27.5)]), TAG_BAND)
    return p


def band_filler():
    """The sea behind the cards (80 px wide, the band's height)."""
    p = Pic(80, CARD_H, line=2)
    p.gradient(poly([(0, 0), (80, 0), (80, CARD_H), (0, CARD_H)]), [(0, "#5FB8E6"), (1, "#2E8BC0")], 0, 0, 0, CARD_H)
    for k in range(10):
        y = 24 + k * 44
        x = (k * 37) % 80
        pts = [(x - 12, y), (x - 6, y - 3), (x, y)]
        for dx in (0, 80, -80):
            p.stroke(curve([(a + dx, b) for a, b in pts], closed=False), FOAM, 2.5, opacity=0.5)
    return p


def sand_tile():
    """Above and below the band: rippled sand, seamless in both directions."""
    p = Pic(80, 80, line=2)
    p.fill(poly([(0, 0), (80, 0), (80, 80), (0, 80)]), "#EBC77A")
    for k in range(4):
        y = 10 + k * 20
        pts = [(0, y), (20, y - 3), (40, y), (60, y + 3), (80, y)]
        p.stroke(curve(pts, closed=False), "#F3D998", 3)
        p.stroke(curve([(a, b + 3) for a, b in pts], closed=False), "#D9AE62", 1.5)
    for x, y in ((14, 30), (52, 66), (66, 18)):
        p.fill(ellipse(x, y, 2, 1.5), "#B8855A")
    return p


def edge(horizontal, flip):
    """A rope edge for the band (80 long, 16 thick)."""
    from interface import rope_strip, LEN, EDGE
    w, h = (80, 16) if horizontal else (16, 80)
    p = Pic(w, h, line=3)
    for k in range(5):
        sub = Pic(LEN, EDGE, line=3) if horizontal else Pic(EDGE, LEN, line=3)
        rope_strip(sub, horizontal, flip)
        p.raw('<g transform="translate(%d,%d)">' % ((k * LEN, 1) if horizontal else (1, k * LEN)))
        p.parts.extend(sub.parts)
        p.raw("</g>")
    return p


EDGE_H = 18


def band_edge(below):
    """80 px of the rope edging the band, on a strip of sand."""
    p = Pic(80, EDGE_H, line=2.5)
    p.fill(poly([(0, 0), (80, 0), (80, EDGE_H), (0, EDGE_H)]), "#EBC77A")
    p.embed(edge(True, below), "translate(0,%d)" % (EDGE_H - 16 if not below else 0))
    return p


# ---- bonus items ---------------------------------------------------------------------------

def item_pic(draw, k):
    p = Pic(72, 64, line=2.5)
    p.shape(rrect(4, 4, 64, 56, 14), "#FFF5DC", line=3, shade=False)
    draw(p, k / 4)
    return p


def item_trail(p, t):
    p.line = 2
    for i in range(4):
        x = 14 + i * 10
        p.stroke(ellipse(x, 44 - 6 * math.sin(i + t * 6.28), 3 + i * 0.5), "#5FB8E6", 2)
    puffer(p, move(52, 28 - 4 * abs(math.sin(t * 6.28))) @ scale(0.55), mood="happy", mouth="grin")


def item_crowd(p, t, n=3):
    p.line = 1.8
    for i in range(n):
        puffer(p, move(20 + i * 16, 36 - (i % 2) * 8 - 2 * math.sin(t * 6.28 + i)) @ scale(0.42), mood="open",
               mouth="o", look=(1, 0))


def item_three(p, t):
    shell_target(p, move(36, 44) @ scale(0.7))
    p.line = 1.5
    for i, x in enumerate((22, 36, 50)):
        puffer(p, move(x, 22 - 3 * math.sin(t * 6.28 + i * 2)) @ scale(0.3), mood="happy", mouth="grin")


def item_crack(p, t):
    from tiles import brick, Rand
    sub = Pic(40, 32, line=2.5)
    brick(sub, Rand(1), crack=2)
    p.raw('<g transform="translate(16,16)">')
    p.defs.extend(d.replace('id="k', 'id="b_k') for d in sub.defs)
    p.parts.extend(part.replace('url(#k', 'url(#b_k') for part in sub.parts)
    p.raw("</g>")
    for a in (0, 90, 180, 270):
        r = 22 + 4 * t
        x, y = 36 + r * math.cos(math.radians(a)) * 1.1, 32 + r * math.sin(math.radians(a)) * 0.9
        p.shape(rrect(x - 3, y - 2, 6, 4, 1).t(turn(a + t * 90, x, y)), "#F2A65A", line=1.5, shade=False)


def item_hoop(p, t):
    from world import hoop
    sub = hoop(int(t * 4))
    p.raw('<g transform="translate(12,8) scale(0.67)">')
    p.parts.extend(sub.parts)
    p.raw("</g>")


def item_bullseye(p, t, two=False):
    from world import bullseye
    for i, dx in enumerate((-10, 10) if two else (0,)):
        sub = bullseye(int(t * 6))
        p.raw('<g transform="translate(%s,10) scale(0.6)">' % (14 + dx))
        p.parts.extend(sub.parts)
        p.raw("</g>")


def item_bounces(p, t):
    for i in range(2):
        x0 = 12 + i * 24
        pts = [(x0, 50), (x0 + 12, 20 + i * 4), (x0 + 24, 50)]
        p.stroke(curve(pts, closed=False), "#C77DDB", 3)
    p.shape(rrect(8, 48, 56, 7, 3), "#C77DDB", line=2.5)
    p.line = 1.8
    puffer(p, move(36 + 20 * math.sin(t * 6.28), 24) @ scale(0.4), mood="happy", mouth="grin")


ITEMS = [(0x50076, item_trail), (0x50078, item_crowd), (0x50070, item_three), (0x50074, item_crack),
         (0x5007A, item_hoop), (0x5007E, item_bullseye), (0x5007C, item_bounces),
         (0x50072, lambda p, t: item_bullseye(p, t, True))]


def build(book):
    a = book.anim
    for group, aid in enumerate(CARD_IDS):
        pic, boxes = card(group)
        a(aid, (0, HALF), (CARD_W, CARD_H), [Frame(1000, pic, boxes=boxes)],
          "card of levels %d..%d; boxes: name tags (3, 4, 5), icons (0, 1, 2)" % (3 * group + 1, 3 * group + 3))
    for aid in ICON_KINDS:
        frames = [Frame(1000, level_icon(aid, 0, 8))] + [Frame(90, level_icon(aid, k, 8)) for k in range(1, 9)]
        a(aid, (40, 40), (80, 80), frames, "level icon: 0 resting, 1.. selected")
    # Above the icon, clear of the selection marker's ring; the name tag is below.
    a(0x50015, (45, 80), (90, 30), [Frame(1000, stars(n)) for n in range(4)], "grade stars above the icon: 1..3")
    a(0x5009C, (40, 40), (80, 80), [Frame(1000, lock(False)), Frame(1000, lock(True))], "lock: 0 under, 1 over the icon")
    a(0x500B4, (50, 50), (100, 100), [Frame(120, marker(k)) for k in range(6)], "selection marker")
    # The tag's band starts at the anchor: the left cap ends there, the right
    # cap starts where the band ends.
    a(0x500C6, (18, 15), (36, 30), [Frame(1000, tag_cap(False)), Frame(1000, Piece(tag_cap(True), 18, 0))],
      "name tag: 0 the left cap ending at the anchor, 1 the right cap from its point")
    # The band is drawn from its top edge: the filler hangs down from there.
    a(0x500D0, (0, 0), (80, CARD_H), [Frame(1000, band_filler())], "the sea behind the cards")
    # Tiles 0..3 run in turn along the band's top edge and 4..7 along its
    # bottom edge, each drawn from its left end on the edge; the cards cover
    # them, so the rope lies inside the band where it shows between cards.
    # Tile 8 fills the screen above and below the band, drawn by its centre.
    for k, aid in enumerate((0x500E8, 0x500F0, 0x500F4, 0x500F3, 0x500F1, 0x500EC, 0x500F6, 0x500EE)):
        below = k >= 4
        a(aid, (0, EDGE_H if below else 0), (80, EDGE_H), [Frame(1000, band_edge(below))],
          "frame tile %d: the band's %s edge" % (k, "bottom" if below else "top"))
    a(0x500F8, (40, 40), (80, 80), [Frame(1000, sand_tile())], "frame tile 8: sand above and below the band")
    for aid, draw in ITEMS:
        a(aid, (36, 32), (72, 64), [Frame(150, item_pic(draw, k)) for k in range(4)], "bonus item")
