#include "Pictures.h"

#include <cmath>

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <librsvg/rsvg.h>

namespace content {

namespace {

Rgba fromCairo(cairo_surface_t* s) {
    cairo_surface_flush(s);
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    Rgba img(w, h);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = row[x];
            const unsigned a = p >> 24;
            std::uint8_t* o = img.at(x, y);
            // Cairo stores premultiplied colour.
            auto un = [&](unsigned c) { return a ? static_cast<std::uint8_t>((c * 255 + a / 2) / a) : 0; };
            o[0] = un((p >> 16) & 0xFF);
            o[1] = un((p >> 8) & 0xFF);
            o[2] = un(p & 0xFF);
            o[3] = static_cast<std::uint8_t>(a);
        }
    }
    return img;
}

Rgba loadSvg(const fs::path& file, int width, int height) {
    GError* error = nullptr;
    RsvgHandle* handle = rsvg_handle_new_from_file(file.c_str(), &error);
    if (!handle) {
        const std::string msg = error ? error->message : "unknown error";
        if (error) g_error_free(error);
        fail(file.string() + ": " + msg);
    }
    gdouble iw = 0, ih = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(handle, &iw, &ih) || iw <= 0 || ih <= 0) {
        g_object_unref(handle);
        fail(file.string() + ": the SVG needs width and height in pixels");
    }
    if (width == 0 && height == 0) {
        width = static_cast<int>(std::lround(iw));
        height = static_cast<int>(std::lround(ih));
    } else if (width == 0) {
        width = static_cast<int>(std::lround(iw * height / ih));
    } else if (height == 0) {
        height = static_cast<int>(std::lround(ih * width / iw));
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    RsvgRectangle viewport{0, 0, static_cast<double>(width), static_cast<double>(height)};
    const gboolean ok = rsvg_handle_render_document(handle, cr, &viewport, &error);
    cairo_destroy(cr);
    g_object_unref(handle);
    if (!ok) {
        cairo_surface_destroy(surface);
        const std::string msg = error ? error->message : "unknown error";
        if (error) g_error_free(error);
        fail(file.string() + ": " + msg);
    }
    Rgba img = fromCairo(surface);
    cairo_surface_destroy(surface);
    return img;
}

Rgba loadPng(const fs::path& file, int width, int height) {
    GError* error = nullptr;
    GdkPixbuf* pb = gdk_pixbuf_new_from_file(file.c_str(), &error);
    if (!pb) {
        const std::string msg = error ? error->message : "unknown error";
        if (error) g_error_free(error);
        fail(file.string() + ": " + msg);
    }
    const int w = gdk_pixbuf_get_width(pb), h = gdk_pixbuf_get_height(pb);
    if ((width && width != w) || (height && height != h)) {
        g_object_unref(pb);
        fail(file.string() + ": PNG sources are used at their own size (" + std::to_string(w) + " x " + std::to_string(h) + ")");
    }
    const int channels = gdk_pixbuf_get_n_channels(pb), stride = gdk_pixbuf_get_rowstride(pb);
    const guchar* data = gdk_pixbuf_read_pixels(pb);
    Rgba img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const guchar* p = data + static_cast<std::ptrdiff_t>(y) * stride + x * channels;
            std::uint8_t* o = img.at(x, y);
            o[0] = p[0];
            o[1] = p[1];
            o[2] = p[2];
            o[3] = channels == 4 ? p[3] : 255;
        }
    g_object_unref(pb);
    return img;
}

}  // namespace

Rgba loadPicture(const fs::path& file, int width, int height) {
    if (file.extension() == ".svg") return loadSvg(file, width, height);
    if (file.extension() == ".png") return loadPng(file, width, height);
    fail(file.string() + ": pictures are .svg or .png");
}

FontFace::FontFace(const fs::path& file, int pixelSize) {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib)) fail("FreeType does not start");
    library_ = lib;
    FT_Face face = nullptr;
    if (FT_New_Face(lib, file.c_str(), 0, &face)) {
        FT_Done_FreeType(lib);
        fail(file.string() + ": not a font FreeType can read");
    }
    face_ = face;
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
}

FontFace::~FontFace() {
    FT_Done_Face(static_cast<FT_Face>(face_));
    FT_Done_FreeType(static_cast<FT_Library>(library_));
}

bool FontFace::has(std::uint32_t code) const { return FT_Get_Char_Index(static_cast<FT_Face>(face_), code) != 0; }

int FontFace::ascender() const {
    return static_cast<int>((static_cast<FT_Face>(face_)->size->metrics.ascender + 63) >> 6);
}

int FontFace::descender() const {
    return static_cast<int>((-static_cast<FT_Face>(face_)->size->metrics.descender + 63) >> 6);
}

FontFace::Glyph FontFace::render(std::uint32_t code) const {
    FT_Face face = static_cast<FT_Face>(face_);
    if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL)) fail("FreeType cannot render U+" + std::to_string(code));
    const FT_GlyphSlot g = face->glyph;
    Glyph out;
    out.width = static_cast<int>(g->bitmap.width);
    out.rows = static_cast<int>(g->bitmap.rows);
    out.left = g->bitmap_left;
    out.top = g->bitmap_top;
    out.advance = static_cast<int>((g->advance.x + 32) >> 6);
    out.coverage.resize(static_cast<std::size_t>(out.width) * out.rows);
    for (int y = 0; y < out.rows; ++y)
        for (int x = 0; x < out.width; ++x)
            out.coverage[static_cast<std::size_t>(y) * out.width + x] = g->bitmap.buffer[y * g->bitmap.pitch + x];
    return out;
}

std::u32string utf8Codes(const std::string& text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra >= text.size() + (extra == 0)) fail("bad UTF-8 in \"" + text + "\"");
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const unsigned char d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) fail("bad UTF-8 in \"" + text + "\"");
            cp = (cp << 6) | (d & 0x3F);
        }
        out.push_back(cp);
        i += 1 + extra;
    }
    return out;
}

Rgba renderText(const FontFace& face, const std::string& text, std::uint32_t rgb, std::uint32_t outlineRgb, int outline) {
    const std::u32string codes = utf8Codes(text);
    int width = 0;
    for (char32_t c : codes) width += face.render(c).advance;
    const int asc = face.ascender(), desc = face.descender();
    Rgba img(width + 2 * outline + 2, asc + desc + 2 * outline);
    std::vector<std::uint8_t> cover(static_cast<std::size_t>(img.width) * img.height, 0);
    int pen = outline + 1;
    for (char32_t c : codes) {
        const FontFace::Glyph g = face.render(c);
        for (int y = 0; y < g.rows; ++y)
            for (int x = 0; x < g.width; ++x) {
                const int px = pen + g.left + x, py = outline + asc - g.top + y;
                if (px < 0 || py < 0 || px >= img.width || py >= img.height) continue;
                auto& d = cover[static_cast<std::size_t>(py) * img.width + px];
                d = std::max(d, g.coverage[static_cast<std::size_t>(y) * g.width + x]);
            }
        pen += g.advance;
    }
    if (outline > 0) {
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                unsigned best = 0;
                for (int dy = -outline; dy <= outline; ++dy)
                    for (int dx = -outline; dx <= outline; ++dx) {
                        const int sx = x + dx, sy = y + dy;
                        if (sx < 0 || sy < 0 || sx >= img.width || sy >= img.height) continue;
                        if (dx * dx + dy * dy > outline * outline + outline) continue;
                        best = std::max<unsigned>(best, cover[static_cast<std::size_t>(sy) * img.width + sx]);
                    }
                if (best) img.blend(x, y, (best << 24) | (outlineRgb & 0xFFFFFF));
            }
    }
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const unsigned a = cover[static_cast<std::size_t>(y) * img.width + x];
            if (a) img.blend(x, y, (a << 24) | (rgb & 0xFFFFFF));
        }
    return img;
}

std::vector<std::uint8_t> quantise(const Rgba& img, const std::vector<std::uint32_t>& pal) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(img.width) * img.height, 0);
    std::map<std::uint32_t, std::uint8_t> memo;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const std::uint8_t* p = img.at(x, y);
            if (p[3] < 128) continue;
            const std::uint32_t key = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
            auto it = memo.find(key);
            if (it == memo.end()) {
                int best = 1;
                long bestD = -1;
                for (std::size_t i = 1; i < pal.size(); ++i) {
                    const long dr = static_cast<long>((pal[i] >> 16) & 0xFF) - p[0];
                    const long dg = static_cast<long>((pal[i] >> 8) & 0xFF) - p[1];
                    const long db = static_cast<long>(pal[i] & 0xFF) - p[2];
                    // Weighted towards green, as the eye is.
                    const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (bestD < 0 || d < bestD) {
                        bestD = d;
                        best = static_cast<int>(i);
                    }
                }
                it = memo.emplace(key, static_cast<std::uint8_t>(best)).first;
            }
            out[static_cast<std::size_t>(y) * img.width + x] = it->second;
        }
    return out;
}

}  // namespace content
