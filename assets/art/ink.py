"""Drawing kit of the game's art: paths, affine maps, colours and pictures.

Every picture is an SVG document built here from paths in picture pixels.
The house style: flat fills with one highlight crescent (upper left) and
one shade crescent (lower right), a dark even outline, eyes with a glint.
Paths are transformed in Python, so squash, stretch and rotation never
change the outline width. Output is plain text with fixed number formats,
so the same drawing always gives the same bytes.
"""

import math

OUTLINE = "#1B1B2F"
FOAM = "#FFFDF5"


# ---- colours -------------------------------------------------------------

def rgb(c):
    c = c.lstrip("#")
    return int(c[0:2], 16), int(c[2:4], 16), int(c[4:6], 16)


def hexc(r, g, b):
    return "#%02X%02X%02X" % tuple(max(0, min(255, int(round(v)))) for v in (r, g, b))


def mix(a, b, t):
    """a moved a fraction t towards b."""
    ra, ga, ba = rgb(a)
    rb, gb, bb = rgb(b)
    return hexc(ra + (rb - ra) * t, ga + (gb - ga) * t, ba + (bb - ba) * t)


def light(c, t=0.3):
    return mix(c, "#FFFFFF", t)


def dark(c, t=0.25):
    return mix(c, "#000000", t)


def grey(c, keep=0.25, towards="#C9C6BE"):
    """A washed-out version of a colour, for disabled and locked looks."""
    r, g, b = rgb(c)
    y = 0.3 * r + 0.59 * g + 0.11 * b
    washed = hexc(y + (r - y) * keep, y + (g - y) * keep, y + (b - y) * keep)
    return mix(washed, towards, 0.35)


# ---- affine maps -----------------------------------------------------------

class Affine:
    """x' = a x + c y + e, y' = b x + d y + f."""

    __slots__ = ("a", "b", "c", "d", "e", "f")

    def __init__(self, a=1.0, b=0.0, c=0.0, d=1.0, e=0.0, f=0.0):
        self.a, self.b, self.c, self.d, self.e, self.f = a, b, c, d, e, f

    def __matmul__(self, o):
        """self applied after o."""
        return Affine(self.a * o.a + self.c * o.b, self.b * o.a + self.d * o.b,
                      self.a * o.c + self.c * o.d, self.b * o.c + self.d * o.d,
                      self.a * o.e + self.c * o.f + self.e, self.b * o.e + self.d * o.f + self.f)

    def __call__(self, x, y):
        return self.a * x + self.c * y + self.e, self.b * x + self.d * y + self.f

    def scale_factor(self):
        return math.sqrt(abs(self.a * self.d - self.b * self.c))


def move(dx, dy):
    return Affine(e=dx, f=dy)


def scale(sx, sy=None, cx=0.0, cy=0.0):
    sy = sx if sy is None else sy
    return move(cx, cy) @ Affine(a=sx, d=sy) @ move(-cx, -cy)


def turn(deg, cx=0.0, cy=0.0):
    r = math.radians(deg)
    co, si = math.cos(r), math.sin(r)
    return move(cx, cy) @ Affine(co, si, -si, co) @ move(-cx, -cy)


def flip_x(cx):
    return scale(-1, 1, cx, 0)


IDENTITY = Affine()


# ---- paths -------------------------------------------------------------------

def num(v):
    s = "%.2f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


class Path:
    """Absolute M, L, C and Z segments."""

    def __init__(self, segs=None):
        self.segs = segs or []

    def t(self, m):
        if m is IDENTITY:
            return self
        return Path([(op, [m(*p) for p in pts]) for op, pts in self.segs])

    def __add__(self, other):
        return Path(self.segs + other.segs)

    def d(self):
        out = []
        for op, pts in self.segs:
            out.append(op + " ".join(num(x) + "," + num(y) for x, y in pts))
        return "".join(out)

    def points(self):
        return [p for _, pts in self.segs for p in pts]

    def bounds(self):
        ps = self.points()
        xs = [p[0] for p in ps]
        ys = [p[1] for p in ps]
        return min(xs), min(ys), max(xs), max(ys)


K = 0.5522847498


def ellipse(cx, cy, rx, ry=None):
    ry = rx if ry is None else ry
    kx, ky = rx * K, ry * K
    return Path([
        ("M", [(cx + rx, cy)]),
        ("C", [(cx + rx, cy + ky), (cx + kx, cy + ry), (cx, cy + ry)]),
        ("C", [(cx - kx, cy + ry), (cx - rx, cy + ky), (cx - rx, cy)]),
        ("C", [(cx - rx, cy - ky), (cx - kx, cy - ry), (cx, cy - ry)]),
        ("C", [(cx + kx, cy - ry), (cx + rx, cy - ky), (cx + rx, cy)]),
        ("Z", []),
    ])


def rrect(x, y, w, h, r):
    r = max(0.0, min(r, w / 2, h / 2))
    k = r * (1 - K)
    return Path([
        ("M", [(x + r, y)]), ("L", [(x + w - r, y)]),
        ("C", [(x + w - k, y), (x + w, y + k), (x + w, y + r)]), ("L", [(x + w, y + h - r)]),
        ("C", [(x + w, y + h - k), (x + w - k, y + h), (x + w - r, y + h)]), ("L", [(x + r, y + h)]),
        ("C", [(x + k, y + h), (x, y + h - k), (x, y + h - r)]), ("L", [(x, y + r)]),
        ("C", [(x, y + k), (x + k, y), (x + r, y)]), ("Z", []),
    ])


def poly(pts, closed=True):
    segs = [("M", [pts[0]])] + [("L", [p]) for p in pts[1:]]
    if closed:
        segs.append(("Z", []))
    return Path(segs)


def curve(pts, closed=True, tension=1.0):
    """A smooth path through the points (Catmull-Rom turned into cubics)."""
    n = len(pts)
    if n < 3 and closed:
        return poly(pts)
    segs = [("M", [pts[0]])]
    last = n if closed else n - 1
    for i in range(last):
        p0 = pts[(i - 1) % n] if closed or i > 0 else pts[0]
        p1 = pts[i]
        p2 = pts[(i + 1) % n]
        p3 = pts[(i + 2) % n] if closed or i + 2 < n else pts[-1]
        t = tension / 6.0
        c1 = (p1[0] + (p2[0] - p0[0]) * t, p1[1] + (p2[1] - p0[1]) * t)
        c2 = (p2[0] - (p3[0] - p1[0]) * t, p2[1] - (p3[1] - p1[1]) * t)
        segs.append(("C", [c1, c2, p2]))
    if closed:
        segs.append(("Z", []))
    return Path(segs)


def star(cx, cy, r_out, r_in, points=5, rot=-90.0, round_tips=True):
    pts = []
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(rot + i * 180.0 / points)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return curve(pts, tension=0.35) if round_tips else poly(pts)


def arc_pts(cx, cy, rx, ry, a0, a1, steps=12):
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]


# ---- pictures ------------------------------------------------------------------

class Pic:
    """One SVG picture of w x h pixels. `line` is the outline width."""

    def __init__(self, w, h, line=3):
        self.w, self.h, self.line = int(w), int(h), line
        self.parts = []
        self.defs = []
        self.ids = 0

    def _id(self):
        self.ids += 1
        return "k%d" % self.ids

    def raw(self, text):
        self.parts.append(text)

    def fill(self, path, colour, opacity=None):
        op = "" if opacity is None else ' fill-opacity="%s"' % num(opacity)
        self.parts.append('<path d="%s" fill="%s"%s/>' % (path.d(), colour, op))

    def stroke(self, path, colour=OUTLINE, width=None, cap="round", opacity=None):
        width = self.line if width is None else width
        op = "" if opacity is None else ' stroke-opacity="%s"' % num(opacity)
        self.parts.append('<path d="%s" fill="none" stroke="%s" stroke-width="%s" stroke-linecap="%s" '
                          'stroke-linejoin="round"%s/>' % (path.d(), colour, num(width), cap, op))

    def shape(self, path, colour, line=None, shade=True, hi=None, sh=None, outline=OUTLINE, hl_colour=None,
              sh_colour=None):
        """A filled shape with highlight and shade crescents and the outline."""
        line = self.line if line is None else line
        x0, y0, x1, y1 = path.bounds()
        size = min(x1 - x0, y1 - y0)
        if shade and size >= 7:
            sh = max(1.5, min(4.5, size * 0.14)) if sh is None else sh
            hi = max(1.2, min(3.5, size * 0.1)) if hi is None else hi
            outer, inner = self._id(), self._id()
            d = path.d()
            self.defs.append('<clipPath id="%s"><path d="%s"/></clipPath>' % (outer, d))
            self.defs.append('<clipPath id="%s"><path d="%s"/></clipPath>' % (inner, path.t(move(-sh, -sh)).d()))
            self.parts.append(
                '<g clip-path="url(#%s)"><path d="%s" fill="%s"/><g clip-path="url(#%s)">'
                '<path d="%s" fill="%s"/><path d="%s" fill="%s"/></g></g>' % (
                    outer, d, sh_colour or dark(colour), inner, d, hl_colour or light(colour),
                    path.t(move(hi, hi)).d(), colour))
        else:
            self.fill(path, colour)
        if line:
            self.stroke(path, outline, line)

    def flat(self, path, colour, line=None, outline=OUTLINE):
        self.shape(path, colour, line=line, shade=False, outline=outline)

    def eye(self, x, y, r, look=(0.0, 0.0), mood="open", m=IDENTITY, line=None, lid=0.0):
        """An eye of radius r at (x, y): white oval, pupil, glint. Moods:
        open, dizzy (a spiral), flat (a line), closed (an arc), wide."""
        line = max(1.5, self.line - 1) if line is None else line
        cx, cy = m(x, y)
        s = m.scale_factor()
        rr = r * s
        if mood == "flat":
            self.stroke(poly([m(x - r, y), m(x + r, y)], closed=False), OUTLINE, line + 0.5)
            return
        if mood == "closed":
            self.stroke(curve([m(x - r, y), m(x, y + r * 0.6), m(x + r, y)], closed=False), OUTLINE, line + 0.5)
            return
        if mood == "happy":
            self.stroke(curve([m(x - r, y + r * 0.3), m(x, y - r * 0.5), m(x + r, y + r * 0.3)], closed=False),
                        OUTLINE, line + 0.5)
            return
        white = ellipse(x, y, r * 0.86, r).t(m)
        self.fill(white, "#FFFFFF")
        if mood == "dizzy":
            pts = []
            for i in range(16):
                a = i * 0.8
                rad = rr * 0.1 + rr * 0.62 * i / 16
                pts.append((cx + rad * math.cos(a), cy + rad * math.sin(a)))
            self.stroke(curve(pts, closed=False), OUTLINE, max(1.0, rr * 0.16))
        else:
            pr = rr * (0.42 if mood == "open" else 0.3)
            px, py = cx + look[0] * rr * 0.35, cy + look[1] * rr * 0.35
            self.fill(ellipse(px, py, pr, pr * 1.1), OUTLINE)
            self.fill(ellipse(px - pr * 0.4, py - pr * 0.45, max(0.9, pr * 0.38)), "#FFFFFF")
        if lid > 0:
            # An upper lid closing over the eye (sleepy, blinking).
            top = y - r
            lidp = poly([m(x - r, top - 1), m(x + r, top - 1), m(x + r, top + 2 * r * lid), m(x - r, top + 2 * r * lid)])
            cid = self._id()
            self.defs.append('<clipPath id="%s"><path d="%s"/></clipPath>' % (cid, white.d()))
            self.parts.append('<g clip-path="url(#%s)"><path d="%s" fill="%s"/></g>' % (cid, lidp.d(), self.lid_colour))
            self.stroke(poly([m(x - r, top + 2 * r * lid), m(x + r, top + 2 * r * lid)], closed=False), OUTLINE, line)
        self.stroke(white, OUTLINE, line)

    lid_colour = "#E0A030"

    def text(self, x, y, s, size, colour, outline=OUTLINE, width=None, family="Comfortaa", anchor="middle",
             weight="bold", italic=False, m=None):
        """Text (only where a picture is a word or a numeral), outlined."""
        width = self.line + 1 if width is None else width
        style = ' font-style="italic"' if italic else ""
        tr = ""
        if m is not None:
            tr = ' transform="matrix(%s)"' % " ".join(num(v) for v in (m.a, m.b, m.c, m.d, m.e, m.f))
        esc = s.replace("&", "&amp;").replace("<", "&lt;")
        stroke = ""
        if width:
            stroke = ' stroke="%s" stroke-width="%s" stroke-linejoin="round" paint-order="stroke"' % (outline, num(width))
        self.parts.append('<text x="%s" y="%s" font-family="%s" font-weight="%s"%s font-size="%s" '
                          'text-anchor="%s" fill="%s"%s%s>%s</text>' % (num(x), num(y), family, weight, style,
                                                                     num(size), anchor, colour, stroke, tr, esc))

    def gradient(self, path, stops, x0=0.0, y0=0.0, x1=0.0, y1=1.0):
        """A fill running through stops [(offset, colour)] from (x0, y0) to
        (x1, y1) in picture pixels; for skies and water only."""
        gid = self._id()
        st = "".join('<stop offset="%s" stop-color="%s"%s/>' % (num(s[0]), s[1], ' stop-opacity="%s"' % num(s[2])
                                                                    if len(s) > 2 else "") for s in stops)
        self.defs.append('<linearGradient id="%s" gradientUnits="userSpaceOnUse" x1="%s" y1="%s" x2="%s" y2="%s">%s'
                         '</linearGradient>' % (gid, num(x0), num(y0), num(x1), num(y1), st))
        self.parts.append('<path d="%s" fill="url(#%s)"/>' % (path.d(), gid))

    def clip(self, path):
        """Starts a group clipped to path; end it with end()."""
        cid = self._id()
        self.defs.append('<clipPath id="%s"><path d="%s"/></clipPath>' % (cid, path.d()))
        self.parts.append('<g clip-path="url(#%s)">' % cid)

    def embed(self, other, transform="", prefix=None):
        """Draws another picture into this one (its clip and gradient ids
        renamed), placed by an SVG transform."""
        prefix = prefix or "e%d_" % self.ids
        self.ids += 1
        self.defs.extend(d.replace('id="k', 'id="%sk' % prefix) for d in other.defs)
        self.parts.append('<g transform="%s">' % transform if transform else "<g>")
        self.parts.extend(part.replace('url(#k', 'url(#%sk' % prefix) for part in other.parts)
        self.parts.append("</g>")

    def group(self, opacity):
        """Starts a group drawn at an opacity; end it with end()."""
        self.parts.append('<g opacity="%s">' % num(opacity))

    def end(self):
        self.parts.append("</g>")

    def svg(self):
        head = '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">' % (
            self.w, self.h, self.w, self.h)
        defs = "<defs>%s</defs>" % "".join(self.defs) if self.defs else ""
        return head + defs + "".join(self.parts) + "</svg>\n"
