"""Pictures of whole screens and their pieces: loading vignettes, the notice
sprite, loading indicators, the window icon and the title."""

import math

from creatures import claw, crab, crab_with_bat, puffer
from ink import FOAM, OUTLINE, Pic, curve, ellipse, move, poly, rrect, scale, star, turn
from sheet import Frame
from world import clam, shell_target

SUN = "#FFD23F"
SEA_TOP = "#5FB8E6"
SEA_DEEP = "#2E8BC0"
SAND = "#E9C46A"


def vignette(p, cx, cy, r, sky=("#FFE9A8", "#FFB56B"), sea=("#7FD3F0", "#2E8BC0"), horizon=0.15, sun_=True):
    """A round window onto the tide pool: sky, sun, sea; returns its path."""
    disc = ellipse(cx, cy, r)
    p.clip(disc)
    hy = cy + r * horizon
    p.gradient(poly([(cx - r, cy - r), (cx + r, cy - r), (cx + r, hy), (cx - r, hy)]), [(0, sky[0]), (1, sky[1])],
               0, cy - r, 0, hy)
    if sun_:
        p.shape(ellipse(cx + r * 0.45, hy - r * 0.1, r * 0.28), SUN, line=3, shade=False)
    p.gradient(poly([(cx - r, hy), (cx + r, hy), (cx + r, cy + r), (cx - r, cy + r)]), [(0, sea[0]), (1, sea[1])],
               0, hy, 0, cy + r)
    for k in range(3):
        y = hy + 12 + k * 16
        w = r * (0.5 - k * 0.1)
        p.stroke(curve([(cx - w - 30 + k * 40, y), (cx - 20 + k * 40, y - 3), (cx + w - 60 + k * 40, y)],
                       closed=False), FOAM, 3, opacity=0.7)
    return disc


def close_vignette(p, disc):
    p.end()
    p.stroke(disc, OUTLINE, 4)
    return p


def loading_crab():
    p = Pic(300, 260, line=3)
    disc = vignette(p, 150, 130, 120)
    p.shape(curve([(40, 262), (60, 190), (150, 170), (250, 195), (270, 262)], tension=0.6), "#8D7E7F", line=4)
    crab_with_bat(p, move(180, 118) @ scale(1.6), (37, -37), look=(0.8, -0.5), wave=1.0)
    return close_vignette(p, disc)


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
    return close_vignette(p, disc)


def loading_nap():
    p = Pic(300, 260, line=3)
    disc = vignette(p, 150, 130, 120, sky=("#FFD3B0", "#FF9A6B"), horizon=0.25)
    p.shape(curve([(30, 262), (60, 200), (240, 200), (270, 262)], tension=0.5), SAND, line=4)
    clam(p, move(150, 175) @ scale(2.1), open=0.9, mood="closed", pearl=False)
    puffer(p, move(158, 158) @ scale(1.25) @ turn(8), mood="closed", mouth="flat", puff=0.3)
    for x, y, r in ((196, 112, 6), (212, 92, 4.5), (224, 76, 3.5)):
        p.stroke(ellipse(x, y, r), FOAM, 2.5)
    return close_vignette(p, disc)


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
    return close_vignette(p, disc)


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


# ---- title, splash pictures, window icon, menu pictures ---------------------------------

def title():
    """The title row of the main menu (also the intro's loading picture)."""
    p = Pic(600, 230, line=4)
    wave = curve([(20, 196), (120, 176), (230, 192), (340, 172), (450, 190), (580, 170), (580, 214), (20, 214)],
                 tension=0.6)
    p.shape(wave, "#2E8BC0", line=4, sh=5, hi=4)
    for x in (90, 260, 420, 540):
        p.stroke(curve([(x - 24, 186), (x, 178), (x + 24, 184)], closed=False), FOAM, 3, opacity=0.8)
    p.text(318, 112, "Tidepool", 96, "#FF9F45", width=10, family="Lobster Two", italic=True)
    p.text(392, 188, "Dash!", 82, SUN, width=10, family="Lobster Two", italic=True)
    crab_with_bat(p, move(110, 120) @ scale(1.25), (30, -40), look=(0.8, -0.4), wave=1.0)
    puffer(p, move(556, 52) @ scale(1.15) @ turn(-20), mood="wide", mouth="grin", fin=1.2, tail=1)
    return p


def splash_sunset():
    from backdrops import sunset_upper, sun, waves, THEMES
    p = Pic(800, 600, line=4)
    c = THEMES[0]
    p.gradient(poly([(0, 0), (800, 0), (800, 300), (0, 300)]), [(0, "#FF7B29"), (0.55, c[0]), (1, c[1])], 0, 0, 0, 300)
    p.gradient(poly([(0, 300), (800, 300), (800, 600), (0, 600)]), [(0, c[2]), (1, "#2E8BC0")], 0, 300, 0, 600)
    p.clip(poly([(0, 0), (800, 0), (800, 300), (0, 300)]))
    sun(p, 560, 276, 50, c[1])
    p.end()
    painting = sunset_upper()
    for x in (0, 400):
        p.embed(painting, "translate(%d,150)" % x)
    for x in range(-100, 900, 200):
        p.embed(waves(200, 50, c[2], FOAM), "translate(%d,294)" % x)
    sand = curve([(0, 470), (160, 450), (380, 470), (560, 448), (800, 462), (800, 600), (0, 600)], tension=0.6)
    p.shape(sand, "#EBC77A", line=4, sh=6, hi=4)
    shell_target(p, move(180, 520) @ scale(1.4))
    p.shape(star(620, 530, 26, 11, 5, rot=-80), "#F25C54", line=3.5)
    for x, y, r in ((380, 540, 9), (410, 552, 6), (300, 560, 6)):
        p.shape(ellipse(x, y, r), "#FFF1F4", line=3)
    return p


def splash_crab():
    from backdrops import lagoon_upper, sun, waves, THEMES
    p = Pic(800, 600, line=4)
    c = THEMES[3]
    p.gradient(poly([(0, 0), (800, 0), (800, 300), (0, 300)]), [(0, c[0]), (1, c[1])], 0, 0, 0, 300)
    p.gradient(poly([(0, 300), (800, 300), (800, 600), (0, 600)]), [(0, c[2]), (1, c[3])], 0, 300, 0, 600)
    sun(p, 620, 230, 40, "#FFE08A")
    painting = lagoon_upper()
    for x in (0, 400):
        p.embed(painting, "translate(%d,150)" % x)
    for x in range(-100, 900, 200):
        p.embed(waves(200, 50, "#D6F0FA", FOAM), "translate(%d,294)" % x)
    rock = curve([(120, 600), (160, 440), (300, 400), (470, 430), (540, 600)], tension=0.6)
    p.shape(rock, "#A7A0BD", line=4, sh=10, hi=7)
    crab_with_bat(p, move(360, 352) @ scale(2.6), (40, -34), width=6, look=(0.9, -0.5), wave=0.6)
    for i, x in enumerate((600, 660, 720)):
        puffer(p, move(x, 520 - (i % 2) * 10) @ scale(1.3), mood="open", look=(-1, -0.3), mouth="o", puff=0.5,
               fin=0.3 * i)
    p.shape(curve([(560, 600), (580, 560), (800, 548), (800, 600)], tension=0.5), "#EBC77A", line=4)
    return p


def window_icon():
    """Drawn on a 64 px grid and stored at 128 px: the window hands one
    picture to the desktop, which scales it down for title bars and task
    lists and shows it whole in docks and switchers."""
    p = Pic(64, 64, line=3)
    p.shape(rrect(2, 2, 60, 60, 14), "#2E8BC0", line=3, sh=4, hi=3)
    p.stroke(curve([(8, 44), (20, 40), (32, 44), (44, 40), (56, 44)], closed=False), FOAM, 3, opacity=0.8)
    puffer(p, move(33, 30) @ scale(1.05), mood="open", look=(0.6, -0.2), mouth="o")
    big = Pic(128, 128, line=6)
    big.embed(p, "scale(2)")
    return big


def shell_picture():
    p = Pic(48, 48, line=3)
    from world import spiral_shell
    spiral_shell(p, move(24, 26))
    return p


def sound_question():
    """The start-up question about sound: a conch sounding, notes rising."""
    p = Pic(200, 120, line=3.5)
    from interface import icon_conch
    sub = Pic(40, 40, line=2.5)
    icon_conch(sub, move(0, 0), lambda c: c)
    p.embed(sub, "translate(20,10) scale(2.5)")
    for k, (x, y) in enumerate(((130, 70), (160, 40), (185, 78))):
        p.shape(ellipse(x, y + 16, 8, 6).t(turn(-20, x, y + 16)), "#F25C54", line=2.5)
        p.stroke(poly([(x + 7, y + 14), (x + 7, y - 10)], closed=False), OUTLINE, 3)
    return p


def about():
    """The about page's picture: the crab, a puffer and the clam together."""
    p = Pic(300, 140, line=3)
    p.shape(rrect(3, 3, 294, 134, 18), "#B1E1F5", line=3.5, shade=False)
    p.clip(rrect(3, 3, 294, 134, 18))
    p.shape(curve([(0, 104), (80, 94), (160, 106), (240, 92), (300, 100), (300, 140), (0, 140)], tension=0.6),
            "#EBC77A", line=3)
    p.end()
    p.stroke(rrect(3, 3, 294, 134, 18), OUTLINE, 3.5)
    m = move(92, 56)
    crab(p, m, look=(0.6, 0), wave=0.8)
    claw(p, m)
    puffer(p, move(168, 88) @ scale(0.95), mood="happy", mouth="grin")
    clam(p, move(240, 88) @ scale(0.9), open=0.5, mood="happy")
    return p


def build_pictures(book):
    book.picture_file("title.svg", title())
    book.picture_file("splash_sunset.svg", splash_sunset())
    book.picture_file("splash_crab.svg", splash_crab())
    book.picture_file("icon.svg", window_icon())
    book.picture_file("shell.svg", shell_picture())
    book.named_raw(3, "pic_sound_question", sound_question())
    book.named_raw(3, "pic_about", about())
