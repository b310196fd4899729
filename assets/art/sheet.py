"""Animations and the pack entries of their pictures.

The pack indexes under assets/packs name every animation id the game reads;
drawing code fills those names in here. Each distinct picture becomes one
raw RGBA entry in the pack of the animation that shows it (entries from
0x400 up, in drawing order), so loading an animation never switches packs.
The output is what tidepool-content reads: one index per pack, one table
of animations, and the SVG pictures, written only when they change.
"""

import hashlib
import os
import tomllib



FIRST_ENTRY = 0x400


class Piece:
    """A picture placed in a frame at (x, y), optionally mirrored."""

    __slots__ = ("pic", "x", "y", "flip")

    def __init__(self, pic, x=0, y=0, flip=0):
        self.pic, self.x, self.y, self.flip = pic, int(x), int(y), flip


class Frame:
    def __init__(self, ms, *pieces, boxes=()):
        self.ms = int(ms)
        self.pieces = [p if isinstance(p, Piece) else Piece(p) for p in pieces]
        self.boxes = [tuple(int(v) for v in b) for b in boxes]


class Book:
    def __init__(self, assets):
        self.names = {}  # animation id -> name given by the pack index
        self.kinds = {}
        for f in sorted(os.listdir(os.path.join(assets, "packs"))):
            if not f.endswith(".toml"):
                continue
            with open(os.path.join(assets, "packs", f), "rb") as fh:
                doc = tomllib.load(fh)
            for e in doc.get("entries", []):
                self.kinds[e["id"]] = e["kind"]
                if e["kind"] == "anim":
                    self.names[e["id"]] = e["anim"]
        self.anims = {}  # name -> toml text
        self.drawn = set()
        self.svgs = {}  # file name -> text
        self.raws = {}  # pack -> list of entry lines
        self.raw_of = {}  # (pack, digest) -> raw name
        self.next_entry = {}
        self.files = {}

    # ---- pictures ----

    def _svg_file(self, pic):
        text = pic.svg()
        digest = hashlib.sha1(text.encode()).hexdigest()[:14]
        name = digest + ".svg"
        self.svgs[name] = text
        return digest, name

    def raw(self, pack, pic):
        """The raw entry showing pic in this pack; made on first use, and
        stored without its transparent margins."""
        digest, name = self._svg_file(pic)
        key = (pack, digest)
        if key not in self.raw_of:
            raw = "art%d_%s" % (pack, digest)
            self.raw_of[key] = raw
            self._add_raw(pack, raw, name, trim=True)
        return self.raw_of[key]

    def named_raw(self, pack, raw, pic):
        """A raw entry with a fixed name, for descriptors of the pack indexes."""
        _, name = self._svg_file(pic)
        self._add_raw(pack, raw, name)

    def _add_raw(self, pack, raw, svg_name, trim=False):
        entry = self.next_entry.get(pack, FIRST_ENTRY)
        self.next_entry[pack] = entry + 1
        self.raws.setdefault(pack, []).append(
            '  { id = 0x%X, kind = "raw", name = "%s", source = "@art/pictures/%s", format = "rgba"%s },'
            % ((pack << 16) | entry, raw, svg_name, ", trim = true" if trim else ""))

    def picture_file(self, path, pic):
        """A picture read by a pack index line (a PNG entry)."""
        self.files[path] = pic.svg()

    # ---- animations ----

    def anim(self, aid, ref, extent, frames, note=""):
        if aid not in self.names:
            raise KeyError("no pack index names animation 0x%X" % aid)
        if aid in self.drawn:
            raise KeyError("animation 0x%X is drawn twice" % aid)
        self.drawn.add(aid)
        pack = aid >> 16
        name = self.names[aid]
        lines = ["[anim.%s]" % name]
        if note:
            lines[0] += "  # " + note
        lines.append("ref = [%d, %d]" % (int(ref[0]), int(ref[1])))
        lines.append("extent = [%d, %d]" % (max(1, int(extent[0])), max(1, int(extent[1]))))
        lines.append("frames = [")
        seen = []
        for f in frames:
            draw = []
            for p in f.pieces:
                raw = self.raw(pack, p.pic)
                el = '{ image = "%s"' % raw
                if p.x or p.y:
                    el += ", at = [%d, %d]" % (p.x, p.y)
                if p.flip:
                    el += ", flip = %d" % p.flip
                draw.append(el + " }")
            key = (tuple(draw), tuple(f.boxes))
            if key in seen:
                lines.append("  { ms = %d, same_as = %d }," % (f.ms, seen.index(key)))
                seen.append(None)
                continue
            seen.append(key)
            parts = ["ms = %d" % f.ms]
            if f.boxes:
                parts.append("boxes = [%s]" % ", ".join("[%s]" % ", ".join(str(v) for v in b) for b in f.boxes))
            parts.append("draw = [%s]" % ", ".join(draw))
            lines.append("  { %s }," % ", ".join(parts))
        lines.append("]")
        self.anims[name] = "\n".join(lines) + "\n"

    def missing(self):
        return sorted(a for a in self.names if a not in self.drawn)

    # ---- output ----

    def write(self, out):
        os.makedirs(os.path.join(out, "pictures"), exist_ok=True)
        files = {}
        for name, text in self.svgs.items():
            files[os.path.join("pictures", name)] = text
        for path, text in self.files.items():
            files[path] = text
        for pack in range(1, 7):
            body = "\n".join(self.raws.get(pack, []))
            files["r%d.toml" % pack] = (
                "# Pictures of pack r%d drawn by assets/art (generated).\npack = %d\nentries = [\n%s\n]\n"
                % (pack, pack, body))
        files["anims.toml"] = "# Animations drawn by assets/art (generated).\n\n" + "\n".join(
            self.anims[k] for k in sorted(self.anims))
        for path, text in files.items():
            full = os.path.join(out, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            try:
                with open(full, encoding="utf-8") as fh:
                    if fh.read() == text:
                        continue
            except FileNotFoundError:
                pass
            with open(full, "w", encoding="utf-8") as fh:
                fh.write(text)
        keep = {os.path.basename(p) for p in files if p.startswith("pictures")}
        for f in os.listdir(os.path.join(out, "pictures")):
            if f not in keep:
                os.remove(os.path.join(out, "pictures", f))


def box(kind, x, y, w, h):
    return (kind, x, y, w, h)
