#include "game/SpriteSheet.h"

#include <array>
#include <cstdio>
#include <string>

#include "game/MainCanvas.h"
#include "game/format/AnimationData.h"
#include "java/io/DataReader.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace game {

namespace {

using java::lang::ArrayIndexOutOfBoundsException;
using java::lang::IllegalArgumentException;

const std::array<std::uint32_t, 256>& crcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

std::uint32_t crcUpdate(std::uint32_t crc, const std::uint8_t* p, std::size_t n) {
    const auto& t = crcTable();
    for (std::size_t i = 0; i < n; ++i) crc = t[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

// Writes into a buffer sized up front; running past it is a size
// computation fault, so it asserts through an exception rather than growing.
class Out {
public:
    explicit Out(std::size_t size) : bytes_(size) {}
    void u8(int v) { at(1)[0] = static_cast<std::uint8_t>(v); }
    void u32(std::uint32_t v) {
        std::uint8_t* p = at(4);
        p[0] = static_cast<std::uint8_t>(v >> 24);
        p[1] = static_cast<std::uint8_t>(v >> 16);
        p[2] = static_cast<std::uint8_t>(v >> 8);
        p[3] = static_cast<std::uint8_t>(v);
    }
    void le16(int v) {
        std::uint8_t* p = at(2);
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
    }
    void bytes(const std::uint8_t* src, std::size_t n) {
        std::uint8_t* p = at(n);
        for (std::size_t i = 0; i < n; ++i) p[i] = src[i];
    }
    std::size_t pos() const { return pos_; }
    std::uint8_t* data() { return bytes_.data(); }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

    // Chunk CRC over type and data, from start (the type's offset) to here.
    void crcFrom(std::size_t start) { u32(crcUpdate(0xFFFFFFFFu, bytes_.data() + start, pos_ - start) ^ 0xFFFFFFFFu); }

private:
    std::uint8_t* at(std::size_t n) {
        if (n > bytes_.size() - pos_) throw std::logic_error("buildPng: size computed too small");
        std::uint8_t* p = bytes_.data() + pos_;
        pos_ += n;
        return p;
    }
    std::vector<std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

void chunkHeader(Out& out, std::uint32_t length, const char* type) {
    out.u32(length);
    out.bytes(reinterpret_cast<const std::uint8_t*>(type), 4);
}

}  // namespace

std::uint32_t SpriteSheet::crc32(std::span<const std::uint8_t> bytes) {
    return crcUpdate(0xFFFFFFFFu, bytes.data(), bytes.size()) ^ 0xFFFFFFFFu;
}

std::uint32_t SpriteSheet::crc32(std::span<const std::uint8_t> buf, int offset, int length) {
    if (offset < 0 || length < 0 || static_cast<std::size_t>(offset) + static_cast<std::size_t>(length) > buf.size()) {
        throw ArrayIndexOutOfBoundsException("crc32 range " + std::to_string(offset) + "+" + std::to_string(length) +
                                             " outside " + std::to_string(buf.size()) + " bytes");
    }
    return crc32(buf.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length)));
}

std::uint32_t SpriteSheet::adler32(std::span<const std::uint8_t> bytes) {
    std::uint32_t s1 = 1, s2 = 0;
    for (std::uint8_t b : bytes) {
        s1 = (s1 + b) % 65521;
        s2 = (s2 + s1) % 65521;
    }
    return (s2 << 16) | s1;
}

int SpriteSheet::rawWidth(std::span<const std::uint8_t> entry) {
    if (entry.size() < 4) throw ArrayIndexOutOfBoundsException("raw image entry of " + std::to_string(entry.size()) + " bytes has no size header");
    return static_cast<std::int16_t>((entry[0] << 8) | entry[1]);
}

int SpriteSheet::rawHeight(std::span<const std::uint8_t> entry) {
    if (entry.size() < 4) throw ArrayIndexOutOfBoundsException("raw image entry of " + std::to_string(entry.size()) + " bytes has no size header");
    return static_cast<std::int16_t>((entry[2] << 8) | entry[3]);
}

std::vector<std::uint8_t> SpriteSheet::buildPng(std::span<const std::int32_t> palette,
                                                std::span<const std::uint8_t> entry, int width, int height,
                                                int format, int headerSize, int flip, int scale) {
    const bool indexed = format == FORMAT_INDEXED;
    if (!indexed && format != PALETTE_RGB && format != PALETTE_RGBA) {
        throw IllegalArgumentException("picture format " + std::to_string(format));
    }
    if (width < 1 || height < 1) {
        throw IllegalArgumentException("picture size " + std::to_string(width) + " x " + std::to_string(height));
    }
    if (scale < 1 || scale > 8) throw IllegalArgumentException("picture scale " + std::to_string(scale));
    if (flip < 0 || flip > 3) throw IllegalArgumentException("picture flip " + std::to_string(flip));
    if (headerSize < 0) throw IllegalArgumentException("header size " + std::to_string(headerSize));
    if (indexed && palette.size() > 256) throw IllegalArgumentException("palette of " + std::to_string(palette.size()) + " colours");

    const std::int64_t outW = std::int64_t{width} * scale;
    const std::int64_t outH = std::int64_t{height} * scale;
    if (outW * outH > kMaxOutputPixels) {
        throw IllegalArgumentException("picture " + std::to_string(outW) + " x " + std::to_string(outH) + " too large");
    }
    const int sbpp = indexed ? 1 : (format == PALETTE_RGB ? 3 : 4);
    const std::int64_t sourceEnd = headerSize + std::int64_t{width} * height * sbpp;
    if (sourceEnd > static_cast<std::int64_t>(entry.size())) {
        throw ArrayIndexOutOfBoundsException("raw image " + std::to_string(width) + " x " + std::to_string(height) +
                                             " needs " + std::to_string(sourceEnd) + " bytes, entry has " +
                                             std::to_string(entry.size()));
    }

    const std::int64_t bpp = indexed ? 1 : 4;
    const std::int64_t rowBytes = 1 + bpp * outW;
    const std::int64_t rawSize = outH * rowBytes;
    // Blocks hold whole rows; a row longer than one block has to be split,
    // and then blocks are simply filled to the brim.
    std::int64_t blockMax = 65531 - (65531 % rowBytes);
    if (blockMax == 0) blockMax = 65531;
    const std::int64_t blocks = (rawSize - 1) / blockMax + 1;
    const std::int64_t zlibSize = 2 + 5 * blocks + rawSize + 4;
    const std::int64_t n = static_cast<std::int64_t>(palette.size());
    const std::int64_t fileSize = 8 + 25 + (indexed ? 12 + 3 * n + 13 : 0) + 12 + zlibSize + 12;

    Out out(static_cast<std::size_t>(fileSize));
    static constexpr std::uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    out.bytes(kSignature, 8);

    chunkHeader(out, 13, "IHDR");
    std::size_t start = out.pos() - 4;
    out.u32(static_cast<std::uint32_t>(outW));
    out.u32(static_cast<std::uint32_t>(outH));
    out.u8(8);
    out.u8(indexed ? 3 : 6);
    out.u8(0);
    out.u8(0);
    out.u8(0);
    out.crcFrom(start);

    if (indexed) {
        chunkHeader(out, static_cast<std::uint32_t>(3 * n), "PLTE");
        start = out.pos() - 4;
        for (std::int32_t c : palette) {
            const auto u = static_cast<std::uint32_t>(c);
            out.u8(static_cast<int>(u >> 24));
            out.u8(static_cast<int>(u >> 16));
            out.u8(static_cast<int>(u >> 8));
        }
        out.crcFrom(start);
        chunkHeader(out, 1, "tRNS");
        start = out.pos() - 4;
        out.u8(0);
        out.crcFrom(start);
    }

    chunkHeader(out, static_cast<std::uint32_t>(zlibSize), "IDAT");
    const std::size_t idatType = out.pos() - 4;
    out.u8(0x78);
    out.u8(0x01);

    const std::uint8_t* src = entry.data() + headerSize;
    std::uint32_t s1 = 1, s2 = 0;
    std::int64_t left = rawSize;        // raw bytes still to write
    std::int64_t blockLeft = 0;         // bytes left in the open block
    auto emit = [&](std::uint8_t b) {
        if (blockLeft == 0) {
            const std::int64_t len = left < blockMax ? left : blockMax;
            out.u8(len == left ? 1 : 0);
            out.le16(static_cast<int>(len));
            out.le16(static_cast<int>(len ^ 0xFFFF));
            blockLeft = len;
        }
        out.u8(b);
        s1 += b;
        if (s1 >= 65521) s1 -= 65521;
        s2 += s1;
        if (s2 >= 65521) s2 -= 65521;
        --blockLeft;
        --left;
    };
    for (std::int64_t y = 0; y < outH; ++y) {
        emit(0);
        const std::int64_t sy = (flip & 2) ? height - 1 - y / scale : y / scale;
        for (std::int64_t x = 0; x < outW; ++x) {
            const std::int64_t sx = (flip & 1) ? width - 1 - x / scale : x / scale;
            const std::uint8_t* p = src + (sy * width + sx) * sbpp;
            if (indexed) {
                emit(p[0]);
            } else {
                emit(p[0]);
                emit(p[1]);
                emit(p[2]);
                emit(sbpp == 4 ? p[3] : 0xFF);
            }
        }
    }
    out.u32((s2 << 16) | s1);

    if (indexed && headerSize != 0 && scale == 1 && flip == 0) {
        // The entry carries both checksums for this exact output.
        if (entry.size() < 12) throw ArrayIndexOutOfBoundsException("indexed raw entry shorter than its header");
        std::uint8_t* file = out.data();
        const std::size_t adlerAt = out.pos() - 4;
        for (int i = 0; i < 4; ++i) file[adlerAt + i] = entry[4 + i];
        out.bytes(entry.data() + 8, 4);
    } else {
        out.crcFrom(idatType);
    }

    chunkHeader(out, 0, "IEND");
    out.crcFrom(out.pos() - 4);
    return out.take();
}

std::vector<std::uint8_t> SpriteSheet::indexedChecksums(std::span<const std::uint8_t> pixels, int width, int height) {
    // Build with a zero-size header (always computes) and lift the two
    // checksums out of the IDAT chunk's tail.
    const std::vector<std::int32_t> palette(256, 0xFF);
    const std::vector<std::uint8_t> png = buildPng(palette, pixels, width, height, FORMAT_INDEXED, 0, 0, 1);
    // IEND is the last 12 bytes; before it the IDAT CRC, before that Adler-32.
    const std::size_t crcAt = png.size() - 12 - 4;
    std::vector<std::uint8_t> sums(png.begin() + static_cast<std::ptrdiff_t>(crcAt - 4),
                                   png.begin() + static_cast<std::ptrdiff_t>(crcAt + 4));
    return sums;
}

std::vector<std::uint8_t> SpriteSheet::makeIndexedEntry(std::span<const std::uint8_t> pixels, int width, int height) {
    if (width < 1 || height < 1 || width > 32767 || height > 32767 ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        throw IllegalArgumentException("indexed picture " + std::to_string(width) + " x " + std::to_string(height) +
                                       " with " + std::to_string(pixels.size()) + " pixels");
    }
    std::vector<std::uint8_t> entry = {static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width),
                                       static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height)};
    const std::vector<std::uint8_t> sums = indexedChecksums(pixels, width, height);
    entry.insert(entry.end(), sums.begin(), sums.end());
    entry.insert(entry.end(), pixels.begin(), pixels.end());
    return entry;
}

std::vector<std::uint8_t> SpriteSheet::makeDirectEntry(std::span<const std::uint8_t> pixels, int width, int height) {
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (width < 1 || height < 1 || width > 32767 || height > 32767 ||
        (pixels.size() != count * 3 && pixels.size() != count * 4)) {
        throw IllegalArgumentException("direct picture " + std::to_string(width) + " x " + std::to_string(height) +
                                       " with " + std::to_string(pixels.size()) + " bytes");
    }
    std::vector<std::uint8_t> entry = {static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width),
                                       static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height)};
    entry.insert(entry.end(), pixels.begin(), pixels.end());
    return entry;
}

std::vector<std::int32_t> SpriteSheet::paletteFromEntry(std::span<const std::uint8_t> entry) {
    std::vector<std::int32_t> colours(entry.size() / 3);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const std::uint32_t c = (std::uint32_t{entry[3 * i]} << 24) | (std::uint32_t{entry[3 * i + 1]} << 16) |
                                (std::uint32_t{entry[3 * i + 2]} << 8) | 0xFF;
        colours[i] = static_cast<std::int32_t>(c);
    }
    return colours;
}

std::vector<std::int32_t> SpriteSheet::paletteTableIds(std::span<const std::uint8_t> entry) {
    java::io::DataReader in(entry);
    const std::int32_t count = in.readInt();
    if (count < 0) throw IllegalArgumentException("palette table count " + std::to_string(count));
    // Every id takes 4 bytes, so the count can be checked before allocating.
    if (static_cast<std::size_t>(count) > in.remaining() / 4) {
        throw java::io::EOFException("palette table of " + std::to_string(count) + " ids ends after " +
                                     std::to_string(in.remaining() / 4));
    }
    std::vector<std::int32_t> ids(static_cast<std::size_t>(count));
    for (auto& id : ids) id = in.readInt();
    return ids;
}

std::vector<std::uint8_t> SpriteSheet::makePaletteTable(std::span<const std::int32_t> ids) {
    std::vector<std::uint8_t> out;
    auto put = [&](std::uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
    };
    put(static_cast<std::uint32_t>(ids.size()));
    for (std::int32_t id : ids) put(static_cast<std::uint32_t>(id));
    return out;
}

// ---- pictures from packs ----

namespace {

std::string hexId(std::int32_t id) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", static_cast<unsigned>(id));
    return buf;
}

std::shared_ptr<SpriteSheet::Image> decodePng(const std::vector<std::uint8_t>& png, const std::string& what) {
    auto image = SpriteSheet::Image::createImage(png, 0, static_cast<int>(png.size()));
    if (!image) throw java::io::IOException("picture " + what + " could not be decoded");
    return image;
}

}  // namespace

SpriteSheet::Shared& SpriteSheet::shared() {
    static Shared s;
    return s;
}

void SpriteSheet::resetClassState() {
    Shared& s = shared();
    std::lock_guard lock(s.cacheMutex);
    s.animationCache.clear();
    s.images.clear();
    s.imageIds.clear();
    s.variantKeys.clear();
    s.palettes.clear();
    s.palettesLoaded = false;
    s.placeholderImage.reset();
}

std::shared_ptr<SpriteSheet::Image> SpriteSheet::placeholderImage() {
    Shared& s = shared();
    if (!s.placeholderImage) {
        // One transparent pixel: index 0 of a two-colour black palette.
        static const std::int32_t black[] = {0x000000FF, 0x000000FF};
        static const std::uint8_t pixel[] = {0};
        s.placeholderImage = decodePng(buildPng(black, pixel, 1, 1, FORMAT_INDEXED, 0, 0, 1), "placeholder");
    }
    return s.placeholderImage;
}

void SpriteSheet::initImages() {
    placeholderImage();
    Shared& s = shared();
    const auto table = MainCanvas::resourceBytes(kPaletteTable);
    if (!table) throw java::io::IOException("palette table " + hexId(kPaletteTable) + " missing");
    std::vector<std::vector<std::int32_t>> palettes;
    for (std::int32_t id : paletteTableIds(*table)) {
        const auto entry = MainCanvas::resourceBytes(id);
        palettes.push_back(entry ? paletteFromEntry(*entry) : std::vector<std::int32_t>{});
    }
    s.palettes = std::move(palettes);
    s.palettesLoaded = true;
}

std::shared_ptr<SpriteSheet::Image> SpriteSheet::loadImageVariant(std::int32_t imageId, int variantKey, int flip,
                                                                  int scale) {
    const int selector = variantKey & 0x7FF;
    const auto entry = MainCanvas::resourceBytes(imageId);
    if (!entry) return placeholderImage();
    const int width = rawWidth(*entry);
    const int height = rawHeight(*entry);
    const std::string what = hexId(imageId) + " with palette " + std::to_string(selector);
    if (selector < PALETTE_RGB) {
        const auto& palettes = shared().palettes;
        if (static_cast<std::size_t>(selector) >= palettes.size()) {
            throw ArrayIndexOutOfBoundsException("palette selector " + std::to_string(selector) + " of picture " +
                                                 hexId(imageId) + " beyond the " + std::to_string(palettes.size()) +
                                                 " palettes");
        }
        return decodePng(buildPng(palettes[static_cast<std::size_t>(selector)], *entry, width, height, FORMAT_INDEXED,
                                  INDEXED_HEADER, flip, scale),
                         what);
    }
    if (selector > PALETTE_RGBA) {
        throw ArrayIndexOutOfBoundsException("palette selector " + std::to_string(selector) + " of picture " +
                                             hexId(imageId) + " is not a byte");
    }
    return decodePng(buildPng({}, *entry, width, height, selector, DIRECT_HEADER, flip, scale), what);
}

std::shared_ptr<SpriteSheet::Image> SpriteSheet::loadImageDescriptor(std::int32_t descriptorId, int flip, int scale) {
    if (descriptorId == -1) return placeholderImage();
    const auto d = MainCanvas::resourceBytes(descriptorId);
    if (!d || d->size() < 6) {
        throw ArrayIndexOutOfBoundsException("picture descriptor " + hexId(descriptorId) + " of " +
                                             std::to_string(d ? d->size() : 0) + " bytes, 6 needed");
    }
    const auto& b = *d;
    const std::int32_t imageId = static_cast<std::int32_t>((std::uint32_t{b[1]} << 24) | (std::uint32_t{b[2]} << 16) |
                                                           (std::uint32_t{b[3]} << 8) | b[4]);
    return loadImageVariant(imageId, b[5], flip, scale);
}

// ---- animations ----

namespace {

// Walks a decoded animation once so that playback can trust its frame
// table: every offset inside the array and every duration positive.
void checkFrames(const std::vector<std::int16_t>& a, std::int32_t id) {
    const int n = static_cast<int>(a.size());
    if (n < 6) throw ArrayIndexOutOfBoundsException("animation " + hexId(id) + " of " + std::to_string(n) + " values");
    const int count = a[4];
    if (count < 1 || 6 + 2 * count > n) {
        throw ArrayIndexOutOfBoundsException("animation " + hexId(id) + " with " + std::to_string(count) +
                                             " frames in " + std::to_string(n) + " values");
    }
    for (int f = 0; f < count; ++f) {
        const int offset = a[static_cast<std::size_t>(6 + 2 * f)] & 0x7FFF;
        if (offset >= n) {
            throw ArrayIndexOutOfBoundsException("animation " + hexId(id) + " frame " + std::to_string(f) +
                                                 " data at " + std::to_string(offset) + " beyond its length");
        }
        if (a[static_cast<std::size_t>(7 + 2 * f)] <= 0) {
            throw IllegalArgumentException("animation " + hexId(id) + " frame " + std::to_string(f) +
                                           " without a positive duration");
        }
    }
}

}  // namespace

int SpriteSheet::imageSlot(std::int32_t imageId, int selector, int flip, int scale) {
    // The key keeps flip and scale apart so that no two variants share it.
    const int key = ((flip & 3) << 14) | (((scale - 1) & 7) << 11) | (selector & 0x7FF);
    Shared& s = shared();
    for (std::size_t i = 0; i < s.imageIds.size(); ++i) {
        if (s.imageIds[i] == imageId && s.variantKeys[i] == key) return static_cast<int>(i);
    }
    if (s.images.size() >= 0x7FFF) throw ArrayIndexOutOfBoundsException("picture table full");
    auto image = loadImageVariant(imageId, selector, flip, scale);
    s.images.push_back(std::move(image));
    s.imageIds.push_back(imageId);
    s.variantKeys.push_back(key);
    return static_cast<int>(s.images.size() - 1);
}

SpriteSheet::Animation SpriteSheet::decodeAnimation(std::span<const std::uint8_t> entry, std::int32_t id,
                                                    const format::AnimationData::SlotResolver& slotFor) {
    auto decoded = format::AnimationData::decode(entry, slotFor);
    checkFrames(decoded, id);
    return std::make_shared<const std::vector<std::int16_t>>(std::move(decoded));
}

SpriteSheet::Animation SpriteSheet::loadAnimation(std::int32_t id) {
    if (id == -1) return nullptr;
    Shared& s = shared();
    {
        std::lock_guard lock(s.cacheMutex);
        if (auto it = s.animationCache.find(id); it != s.animationCache.end()) return it->second;
    }
    const auto entry = MainCanvas::resourceBytes(id);
    if (!entry) return nullptr;
    Animation a = decodeAnimation(*entry, id, [](std::int32_t imageId, int variantKey, int flip, int scale) {
        return imageSlot(imageId, variantKey & 0x7FF, flip, scale);
    });
    std::lock_guard lock(s.cacheMutex);
    return s.animationCache.emplace(id, std::move(a)).first->second;
}

std::vector<SpriteSheet::Animation> SpriteSheet::loadAnimations(std::span<const std::int32_t> ids) {
    std::vector<Animation> out;
    out.reserve(ids.size());
    for (std::int32_t id : ids) out.push_back(loadAnimation(id));
    return out;
}

int SpriteSheet::indexOf(std::span<const std::int32_t> list, std::int32_t value) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == value) return static_cast<int>(i);
    }
    return -1;
}

void SpriteSheet::create(Animation animation, bool forever) {
    std::vector<Animation> list;
    list.push_back(std::move(animation));
    init(std::move(list), forever);
}

void SpriteSheet::init(std::vector<Animation> animations, bool forever) {
    restartTime_ = true;
    animations_ = std::move(animations);
    setAnimation(0, forever ? -1 : 1, false);
}

void SpriteSheet::enterFrame(int f) {
    const auto& a = *animations_[static_cast<std::size_t>(animation_)];
    const int count = a.size() > 4 ? a[4] : 0;
    if (f < 0 || f >= count || static_cast<std::size_t>(7 + 2 * f) >= a.size()) {
        throw ArrayIndexOutOfBoundsException("frame " + std::to_string(f) + " of an animation of " +
                                             std::to_string(count));
    }
    frame_ = f;
    frameData_ = a[static_cast<std::size_t>(6 + 2 * f)] & 0x7FFF;
    frameDuration_ = a[static_cast<std::size_t>(7 + 2 * f)];
}

void SpriteSheet::setAnimation(int index, int loops, bool restartTime) {
    if (!animations_.empty() && (index < 0 || index >= getAnimationCount())) {
        throw ArrayIndexOutOfBoundsException("animation " + std::to_string(index) + " of a sprite with " +
                                             std::to_string(animations_.size()));
    }
    animation_ = index;
    if (!current()) return;
    loops_ = loopsLeft_ = loops;
    enterFrame(0);
    frameTime_ = 0;
    restartTime_ = restartTime;
}

void SpriteSheet::restart() {
    loops_ = loopsLeft_ = 1;
    if (current()) {
        enterFrame(0);
        frameTime_ = 0;
    }
    restartTime_ = false;
}

void SpriteSheet::setFrame(int f) {
    if (!current()) return;
    enterFrame(f);
    loopsLeft_ = loops_;
    frameTime_ = 0;
}

void SpriteSheet::update(int dt) {
    if (!current()) return;
    const int count = (*animations_[static_cast<std::size_t>(animation_)])[4];
    frameTime_ += dt;
    // A duration that is not positive could never be left.
    while (frameDuration_ > 0 && frameTime_ >= frameDuration_) {
        frameTime_ = restartTime_ ? 0 : frameTime_ - frameDuration_;
        int next = frame_ + 1;
        if (next >= count) {
            if (loopsLeft_ > 0) --loopsLeft_;
            next = loopsLeft_ == 0 ? count - 1 : 0;
        }
        enterFrame(next);
    }
}

bool SpriteSheet::isDone() const { return !current() || loopsLeft_ == 0; }

void SpriteSheet::release() {
    if (animations_.empty()) return;
    animations_.clear();
    kind = timer = x = y = vx = vy = 0;
}

int SpriteSheet::getFirstFrameData() const {
    if (!current()) return -1;
    const auto& a = *animations_[static_cast<std::size_t>(animation_)];
    return a.size() > 6 ? a[6] & 0x7FFF : -1;
}

const SpriteSheet::Animation& SpriteSheet::getCurrentAnimation() const {
    static const Animation none;
    return current() ? animations_[static_cast<std::size_t>(animation_)] : none;
}

namespace {

// Spans of a filled ellipse, widest row first so the width search carries
// from one row to the next; the middle row is filled twice.
void fillEllipse(SpriteSheet::Graphics& g, int cx, int cy, int rx, int ry) {
    if (ry < 0 || rx < 0) return;
    using Wide = unsigned __int128;
    const std::int64_t q0 = rx > 0 ? (std::int64_t{ry} * 256) / rx : 0;
    const Wide q = static_cast<Wide>(q0 * q0);
    std::int64_t w = rx;
    for (int d = 0; d >= -ry; --d) {
        const std::int64_t limit = std::int64_t{ry} * ry - std::int64_t{d} * d;
        while (w >= 0 && ((static_cast<Wide>(w * w) * q) >> 16) > static_cast<Wide>(limit)) --w;
        if (w < 0) return;  // narrower rows further out have no span either
        const int left = static_cast<int>(cx - w), width = static_cast<int>(2 * w + 1);
        g.fillRect(left, cy + d, width, 1);
        g.fillRect(left, cy - d, width, 1);
    }
}

}  // namespace

void SpriteSheet::draw(Graphics& g, int x0, int y0) const {
    if (!current()) return;
    const auto& a = *animations_[static_cast<std::size_t>(animation_)];
    const std::size_t n = a.size();
    std::size_t p = static_cast<std::size_t>(frameData_);
    auto next = [&]() -> int {
        if (p >= n) throw ArrayIndexOutOfBoundsException("animation frame data beyond its " + std::to_string(n) + " values");
        return a[p++];
    };
    x0 -= a[0];
    y0 -= a[1];
    const int boxes = next();
    p += static_cast<std::size_t>(boxes < 0 ? 0 : boxes) * 5;
    const int elements = next();
    const auto& images = shared().images;
    for (int i = 0; i < elements; ++i) {
        const int type = next();
        if (type == 0) {
            const int dx = next(), dy = next();
            const int slot = next() & 0xFFFF;
            if (static_cast<std::size_t>(slot) >= images.size()) {
                throw ArrayIndexOutOfBoundsException("picture slot " + std::to_string(slot) + " beyond the " +
                                                     std::to_string(images.size()) + " pictures");
            }
            g.drawImage(images[static_cast<std::size_t>(slot)], x0 + dx, y0 + dy, Graphics::TOP | Graphics::LEFT);
            continue;
        }
        const int red = next(), greenBlue = next();
        g.setColor((red << 16) | (greenBlue & 0xFFFF));
        const int c0 = next(), c1 = next(), c2 = next(), c3 = next();
        switch (type) {
            case 1: g.fillRect(x0 + c0, y0 + c1, c2, c3); break;
            case 2: g.drawRect(x0 + c0, y0 + c1, c2, c3); break;
            case 3: g.drawLine(x0 + c0, y0 + c1, x0 + c2, y0 + c3); break;
            case 4: fillEllipse(g, x0 + c0 - 1, y0 + c1, c2, c3); break;
            case 5: p += 2; break;  // two more coordinates, nothing drawn
            default: break;         // 6 and 7 draw nothing
        }
    }
}

}  // namespace game
