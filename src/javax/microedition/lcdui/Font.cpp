#include "javax/microedition/lcdui/Font.h"

#include <string>

#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/Resources.h"
#include "TarvokinEmu/Trace.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/GraphicsBackend.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/Console.h"

namespace javax::microedition::lcdui {

namespace {

enum SharedFont { SmallPlain, SmallBold, MediumPlain, MediumBold, LargePlain, LargeBold, kSharedFonts };

// File names in loading order of the fonts (the metrics files of all six
// come before any sheet).
constexpr const char* kFileNames[kSharedFonts] = {"small_plain", "small_bold",  "medium_plain",
                                                  "medium_bold", "large_plain", "large_bold"};

struct Shared {
    std::array<std::shared_ptr<Font>, kSharedFonts> fonts;
    bool loaded = false;
};

Shared& shared() {
    static Shared s;
    return s;
}

}  // namespace

struct FontLoader {
    static void load(std::array<std::shared_ptr<Font>, kSharedFonts>& fonts) {
        const std::string folder = "TarvokinEmuFonts/" + TarvokinEmu::config().fontName.value_or("") + "/";
        // A missing file ends the loading: it and every later file stay
        // unloaded, and their fonts fall back.
        std::array<std::optional<std::vector<std::uint8_t>>, 2 * kSharedFonts> files;
        for (int i = 0; i < 2 * kSharedFonts; ++i) {
            const std::string name = folder + kFileNames[i % kSharedFonts] + (i < kSharedFonts ? ".cor" : ".png");
            try {
                files[i] = TarvokinEmu::readResource(name);
            } catch (const java::io::IOException&) {
            }
            if (!files[i]) break;
        }
        for (int f = 0; f < kSharedFonts; ++f) fonts[f]->takeFiles(std::move(files[f]), std::move(files[kSharedFonts + f]));
    }
};

void Font::takeFiles(std::optional<std::vector<std::uint8_t>> metrics, std::optional<std::vector<std::uint8_t>> sheet) {
    if (metrics) metrics_ = FontMetrics(std::move(*metrics));
    if (!sheet) return;
    sheetData_ = std::move(*sheet);
    // A sheet that does not decode, or metrics without a single record,
    // would draw nothing and measure 0: the fallback serves instead.
    if (metrics_.recordCount() == 0) return;
    auto decoded = Image::createImage(sheetData_, 0, static_cast<int>(sheetData_.size()));
    if (!decoded) return;
    sheet_ = decoded;
    cache_[0] = decoded;
    height_ = metrics_.height();
}

std::shared_ptr<Font> Font::fromFiles(int style, int size, std::optional<std::vector<std::uint8_t>> metrics,
                                      std::optional<std::vector<std::uint8_t>> sheet) {
    auto font = std::make_shared<Font>(style, size);
    font->takeFiles(std::move(metrics), std::move(sheet));
    return font;
}

namespace {

const std::array<std::shared_ptr<Font>, kSharedFonts>& sharedFonts() {
    TarvokinEmu::traceFirstUse("javax.microedition.lcdui.Font");
    Shared& s = shared();
    if (!s.loaded) {
        s.fonts = {std::make_shared<Font>(Font::STYLE_PLAIN, Font::SIZE_SMALL),
                   std::make_shared<Font>(Font::STYLE_BOLD, Font::SIZE_SMALL),
                   std::make_shared<Font>(Font::STYLE_PLAIN, Font::SIZE_MEDIUM),
                   std::make_shared<Font>(Font::STYLE_BOLD, Font::SIZE_MEDIUM),
                   std::make_shared<Font>(Font::STYLE_PLAIN, Font::SIZE_LARGE),
                   std::make_shared<Font>(Font::STYLE_BOLD, Font::SIZE_LARGE)};
        FontLoader::load(s.fonts);
        s.loaded = true;
    }
    return s.fonts;
}

std::shared_ptr<Font> byKey(int key) {
    switch (key) {
    case 0: return sharedFonts()[MediumPlain];
    case 1: return sharedFonts()[MediumBold];
    case 9: return sharedFonts()[SmallBold];
    case 16: return sharedFonts()[LargePlain];
    case 17: return sharedFonts()[LargeBold];
    default: return sharedFonts()[SmallPlain];
    }
}

}  // namespace

void Font::resetClassState() { shared() = Shared{}; }

std::shared_ptr<Font> Font::getFont(int, int style, int size) { return byKey(style | size); }

std::shared_ptr<Font> Font::getFont(int fontSpecifier) { return byKey((fontSpecifier & 7) | (fontSpecifier & 24)); }

std::shared_ptr<Font> Font::getDefaultFont() { return sharedFonts()[MediumPlain]; }

int Font::getHeight() const { return hasSheet() ? height_ : kFallbackHeight; }

int Font::getBaselinePosition() const { return hasSheet() ? height_ - height_ / 3 : 8; }

int Font::charWidth(char32_t c) const {
    if (!hasSheet()) return kFallbackHeight;
    const auto r = metrics_.record(c);
    return r ? r->width : 0;
}

int Font::widthOf(const std::vector<char32_t>& codes, std::size_t from, std::size_t count) const {
    if (!hasSheet()) return static_cast<int>(count * kFallbackHeight * 2 / 3);
    int width = 0;
    for (std::size_t i = from; i < from + count; ++i)
        if (const auto r = metrics_.record(codes[i])) width += r->width;
    return width;
}

int Font::stringWidth(std::string_view s) const {
    if (s.data() == nullptr) return 0;
    const auto codes = decodeText(s);
    return widthOf(codes, 0, codes.size());
}

int Font::substringWidth(std::string_view s, int offset, int length) const {
    const auto codes = decodeText(s);
    const std::int64_t end = std::int64_t{offset} + length;
    if (offset < 0 || length < 0 || end > static_cast<std::int64_t>(codes.size()))
        throw java::lang::StringIndexOutOfBoundsException(std::to_string(offset < 0 ? offset : end));
    return widthOf(codes, static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
}

int Font::charsWidth(const std::vector<char32_t>& ch, int offset, int length) const {
    const std::int64_t end = std::int64_t{offset} + length;
    if (offset < 0 || length < 0 || end > static_cast<std::int64_t>(ch.size()))
        throw java::lang::ArrayIndexOutOfBoundsException(std::to_string(offset < 0 ? offset : end));
    if (!hasSheet()) return length * kFallbackHeight;
    return widthOf(ch, static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
}

std::shared_ptr<Image> Font::sheetFor(int colour) {
    for (int i = 0; i < kCacheSize; ++i)
        if (cacheColours_[i] == colour && cache_[i]) return cache_[i];
    cursor_ = (cursor_ + 1) % kCacheSize;
    std::vector<std::uint8_t> data = sheetData_;
    recolourPalette(data, 0, static_cast<std::uint32_t>(colour));
    auto sheet = Image::createImage(data, 0, static_cast<int>(data.size()));
    if (!sheet) {
        platform::Console::println("Error leyendo data Imagen");
        java::lang::printStackTrace(java::io::IOException("undecodable recoloured glyph sheet"),
                                    platform::Console::out());
        sheet = std::make_shared<Image>();
    }
    cache_[cursor_] = sheet;
    cacheColours_[cursor_] = colour;
    return sheet;
}

void Font::drawString(GraphicsBackend& target, std::string_view s, int x, int y, int colour) {
    if (s.data() == nullptr) return;
    if (!hasSheet()) {
        target.drawFallbackString(s, x, y + kFallbackHeight);
        return;
    }
    sheet_ = sheetFor(colour);
    if (sheet_->getWidth() == 0) return;
    const platform::Rect clip = target.saveClip();
    std::int64_t advance = 0;
    for (char32_t c : decodeText(s)) {
        const auto r = metrics_.record(c);
        if (!r) continue;
        target.restoreClip(clip);
        const int cellX = static_cast<int>(x + advance + r->offsetX);
        const int cellY = y + r->offsetY;
        if (r->width != 0) {
            target.clipRect(cellX, cellY, r->width, r->height);
            target.drawImage(*sheet_, cellX - r->sheetX, cellY - r->sheetY);
        }
        advance += r->width;
    }
    target.restoreClip(clip);
}

}  // namespace javax::microedition::lcdui
