#include "game/format/AnimationData.h"

#include <string>

#include "java/lang/Exceptions.h"

namespace game::format {

namespace {

using java::lang::ArrayIndexOutOfBoundsException;
using java::lang::IllegalArgumentException;

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> b) : b_(b) {}
    int u8() { return *take(1); }
    int s8() { return static_cast<std::int8_t>(*take(1)); }
    int s16() {
        const std::uint8_t* p = take(2);
        return static_cast<std::int16_t>((p[0] << 8) | p[1]);
    }
    int u16() {
        const std::uint8_t* p = take(2);
        return (p[0] << 8) | p[1];
    }
    std::int32_t s32() {
        const std::uint8_t* p = take(4);
        return static_cast<std::int32_t>((std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                                         (std::uint32_t{p[2]} << 8) | p[3]);
    }
    // Positions are signed, sizes unsigned in the compact form; both s16 in
    // the full one.
    int pos(bool compact) { return compact ? s8() : s16(); }
    int size(bool compact) { return compact ? u8() : s16(); }

private:
    const std::uint8_t* take(std::size_t n) {
        if (n > b_.size() - at_) {
            throw ArrayIndexOutOfBoundsException("animation entry of " + std::to_string(b_.size()) +
                                                 " bytes read past its end at " + std::to_string(at_));
        }
        const std::uint8_t* p = b_.data() + at_;
        at_ += n;
        return p;
    }
    std::span<const std::uint8_t> b_;
    std::size_t at_ = 0;
};

int shapeCoordCount(int type) { return type == 5 ? 6 : 4; }

// Which of the coordinates are sizes (u8 when compact).
bool isSize(int type, int i) {
    if (type == 1 || type == 2 || type == 4 || type == 6 || type == 7) return i >= 2;
    return false;
}

int elementLength(const AnimElement& e) { return e.type == 0 ? 4 : 3 + shapeCoordCount(e.type); }

AnimElement readElement(Reader& in, bool compact) {
    AnimElement e;
    const int c = in.u8();
    e.type = c & 7;
    e.scale = ((c >> 3) & 7) + 1;
    e.flip = (c >> 6) & 3;
    if (e.type == AnimElement::Image) {
        e.imageId = in.s32();
        e.palette = in.u8();
        e.dx = in.pos(compact);
        e.dy = in.pos(compact);
        return e;
    }
    e.red = in.s8();
    e.greenBlue = in.u16();
    for (int i = 0; i < shapeCoordCount(e.type); ++i) e.coords[i] = isSize(e.type, i) ? in.size(compact) : in.pos(compact);
    return e;
}

class Writer {
public:
    void u8(int v) { b_.push_back(static_cast<std::uint8_t>(v)); }
    void s16(int v) {
        u8(v >> 8);
        u8(v);
    }
    void s32(std::int32_t v) {
        s16(static_cast<int>(static_cast<std::uint32_t>(v) >> 16));
        s16(v & 0xFFFF);
    }
    void pos(bool compact, int v) { compact ? u8(v) : s16(v); }
    std::vector<std::uint8_t> take() { return std::move(b_); }

private:
    std::vector<std::uint8_t> b_;
};

bool fitsS8(int v) { return v >= -128 && v <= 127; }
bool fitsU8(int v) { return v >= 0 && v <= 255; }
bool fitsS16(int v) { return v >= -32768 && v <= 32767; }

std::string where(std::size_t f, int element = -1) {
    std::string s = "frame " + std::to_string(f);
    if (element >= 0) s += " element " + std::to_string(element);
    return s;
}

}  // namespace

int AnimationData::decodedLength(const Animation& a) {
    int n = 6 + 2 * static_cast<int>(a.frames.size());
    for (const AnimFrame& f : a.frames) {
        if (f.ref != -1) continue;
        n += 2 + 5 * static_cast<int>(f.boxes.size());
        for (const AnimElement& e : f.elements) n += elementLength(e);
    }
    return n;
}

bool AnimationData::fitsCompact(const Animation& a) {
    if (!fitsS8(a.refX) || !fitsS8(a.refY) || !fitsU8(a.extentX) || !fitsU8(a.extentY)) return false;
    for (const AnimFrame& f : a.frames) {
        for (const AnimBox& b : f.boxes) {
            if (!fitsS8(b.x) || !fitsS8(b.y) || !fitsU8(b.width) || !fitsU8(b.height)) return false;
        }
        for (const AnimElement& e : f.elements) {
            if (e.type == AnimElement::Image) {
                if (!fitsS8(e.dx) || !fitsS8(e.dy)) return false;
                continue;
            }
            for (int i = 0; i < shapeCoordCount(e.type); ++i) {
                if (!(isSize(e.type, i) ? fitsU8(e.coords[i]) : fitsS8(e.coords[i]))) return false;
            }
        }
    }
    return true;
}

std::vector<std::uint8_t> AnimationData::encode(const Animation& a) {
    const std::size_t count = a.frames.size();
    if (count < 1 || count > 127) throw IllegalArgumentException("animation with " + std::to_string(count) + " frames (1..127)");
    const int n = decodedLength(a);
    if (n > kMaxDecodedLength) throw IllegalArgumentException("animation decodes to " + std::to_string(n) + " values, more than 16383");
    const bool timed = !(count == 1 && a.frames[0].ref == -1 && a.frames[0].duration == 32767);
    const bool compact = fitsCompact(a);
    if (!fitsS16(a.refX) || !fitsS16(a.refY) || !fitsS16(a.extentX) || !fitsS16(a.extentY)) {
        throw IllegalArgumentException("animation reference point or extent outside 16 bits");
    }

    Writer out;
    out.s16((compact ? 0x8000 : 0) | (timed ? 0x4000 : 0) | n);
    if (timed) out.u8(static_cast<int>(count));
    out.pos(compact, a.refX);
    out.pos(compact, a.refY);
    out.pos(compact, a.extentX);
    out.pos(compact, a.extentY);
    for (std::size_t fi = 0; fi < count; ++fi) {
        const AnimFrame& f = a.frames[fi];
        if (f.ref != -1 && (f.ref < 0 || static_cast<std::size_t>(f.ref) >= fi)) {
            throw IllegalArgumentException(where(fi) + " refers to frame " + std::to_string(f.ref) + ", not an earlier one");
        }
        if (f.ref != -1 && a.frames[static_cast<std::size_t>(f.ref)].ref != -1) {
            throw IllegalArgumentException(where(fi) + " refers to frame " + std::to_string(f.ref) + ", which has no data of its own");
        }
        if (timed) {
            if (f.duration < 1 || f.duration > 32767) {
                throw IllegalArgumentException(where(fi) + " lasts " + std::to_string(f.duration) + " ms (1..32767)");
            }
            out.u8(f.ref);
            out.s16(f.duration);
        }
        if (f.ref != -1) continue;
        if (f.elements.size() > 255 || f.boxes.size() > 255) throw IllegalArgumentException(where(fi) + " has more than 255 elements or boxes");
        out.u8(static_cast<int>(f.elements.size()));
        out.u8(static_cast<int>(f.boxes.size()));
        for (const AnimBox& b : f.boxes) {
            if (!fitsU8(b.kind) || !fitsS16(b.x) || !fitsS16(b.y) || !fitsS16(b.width) || !fitsS16(b.height)) {
                throw IllegalArgumentException(where(fi) + " has a box outside the format's range");
            }
            out.u8(b.kind);
            out.pos(compact, b.x);
            out.pos(compact, b.y);
            out.pos(compact, b.width);
            out.pos(compact, b.height);
        }
        for (std::size_t ei = 0; ei < f.elements.size(); ++ei) {
            const AnimElement& e = f.elements[ei];
            if (e.type < 0 || e.type > 7 || e.flip < 0 || e.flip > 3 || e.scale < 1 || e.scale > 8) {
                throw IllegalArgumentException(where(fi, static_cast<int>(ei)) + ": type, flip or scale out of range");
            }
            out.u8(e.type | ((e.scale - 1) << 3) | (e.flip << 6));
            if (e.type == AnimElement::Image) {
                if (!fitsU8(e.palette) || !fitsS16(e.dx) || !fitsS16(e.dy)) {
                    throw IllegalArgumentException(where(fi, static_cast<int>(ei)) + ": palette or offset out of range");
                }
                out.s32(e.imageId);
                out.u8(e.palette);
                out.pos(compact, e.dx);
                out.pos(compact, e.dy);
                continue;
            }
            if (!fitsS8(e.red) || e.greenBlue < 0 || e.greenBlue > 0xFFFF) {
                throw IllegalArgumentException(where(fi, static_cast<int>(ei)) + ": colour out of range");
            }
            out.u8(e.red);
            out.s16(e.greenBlue);
            for (int i = 0; i < shapeCoordCount(e.type); ++i) {
                if (!fitsS16(e.coords[i])) throw IllegalArgumentException(where(fi, static_cast<int>(ei)) + ": coordinate outside 16 bits");
                out.pos(compact, e.coords[i]);
            }
        }
    }
    return out.take();
}

Animation AnimationData::parse(std::span<const std::uint8_t> entry) {
    Reader in(entry);
    Animation a;
    const int flags = in.u16();
    a.compact = (flags & 0x8000) != 0;
    a.timed = (flags & 0x4000) != 0;
    const int count = a.timed ? in.s8() : 1;
    if (count < 0) throw ArrayIndexOutOfBoundsException("animation with " + std::to_string(count) + " frames");
    a.refX = in.pos(a.compact);
    a.refY = in.pos(a.compact);
    a.extentX = in.size(a.compact);
    a.extentY = in.size(a.compact);
    for (int fi = 0; fi < count; ++fi) {
        AnimFrame f;
        if (a.timed) {
            f.ref = in.s8();
            f.duration = in.s16();
        }
        if (f.ref != -1) {
            if (f.ref < 0 || f.ref >= fi) {
                throw ArrayIndexOutOfBoundsException(where(static_cast<std::size_t>(fi)) + " refers to frame " + std::to_string(f.ref) + ", not an earlier one");
            }
            a.frames.push_back(std::move(f));
            continue;
        }
        const int elements = in.u8();
        const int boxes = in.u8();
        for (int i = 0; i < boxes; ++i) {
            AnimBox b;
            b.kind = in.u8();
            b.x = in.pos(a.compact);
            b.y = in.pos(a.compact);
            b.width = in.size(a.compact);
            b.height = in.size(a.compact);
            f.boxes.push_back(b);
        }
        for (int i = 0; i < elements; ++i) f.elements.push_back(readElement(in, a.compact));
        a.frames.push_back(std::move(f));
    }
    return a;
}

std::vector<std::int16_t> AnimationData::decode(std::span<const std::uint8_t> entry, const SlotResolver& slotFor) {
    Reader in(entry);
    const int flags = in.u16();
    const bool compact = (flags & 0x8000) != 0;
    const bool timed = (flags & 0x4000) != 0;
    const int n = flags & 0x3FFF;
    std::vector<std::int16_t> out(static_cast<std::size_t>(n));
    auto put = [&](int at, int v) {
        if (at < 0 || at >= n) {
            throw ArrayIndexOutOfBoundsException("animation value " + std::to_string(at) + " beyond its length " + std::to_string(n));
        }
        out[static_cast<std::size_t>(at)] = static_cast<std::int16_t>(v);
    };
    put(4, 1);
    int count = 1;
    if (timed) {
        count = in.s8();
        put(4, count);
    }
    if (count < 0) throw ArrayIndexOutOfBoundsException("animation with " + std::to_string(count) + " frames");
    put(0, in.pos(compact));
    put(1, in.pos(compact));
    put(2, in.size(compact));
    put(3, in.size(compact));
    int w = 6 + 2 * count;
    for (int f = 0; f < count; ++f) {
        int ref = -1, duration = 32767;
        if (timed) {
            ref = in.s8();
            duration = in.s16();
        }
        if (ref != -1) {
            // Only an earlier frame has its offset filled in.
            if (ref < 0 || ref >= f) {
                throw ArrayIndexOutOfBoundsException("frame " + std::to_string(f) + " refers to frame " + std::to_string(ref) + ", not an earlier one");
            }
            put(6 + 2 * f, (out[static_cast<std::size_t>(6 + 2 * ref)] & 0xFFFF) | 0x8000);
            put(7 + 2 * f, duration);
            continue;
        }
        const int frameStart = w;
        const int elements = in.u8();
        const int boxes = in.u8();
        put(w++, boxes);
        for (int i = 0; i < boxes; ++i) {
            put(w++, in.u8());
            put(w++, in.pos(compact));
            put(w++, in.pos(compact));
            put(w++, in.size(compact));
            put(w++, in.size(compact));
        }
        put(w++, elements);
        for (int i = 0; i < elements; ++i) {
            const AnimElement e = readElement(in, compact);
            put(w++, e.type);
            if (e.type == AnimElement::Image) {
                put(w++, e.dx);
                put(w++, e.dy);
                const int key = (e.flip << 13) | ((e.scale - 1) << 11) | e.palette;
                put(w++, slotFor(e.imageId, key, e.flip, e.scale));
                continue;
            }
            put(w++, e.red);
            put(w++, e.greenBlue);
            for (int c = 0; c < shapeCoordCount(e.type); ++c) put(w++, e.coords[c]);
        }
        put(6 + 2 * f, frameStart);
        put(7 + 2 * f, duration);
    }
    return out;
}

}  // namespace game::format
