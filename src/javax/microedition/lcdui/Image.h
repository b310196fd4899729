// Pictures: decoded from data, drawable, or built from pixels.
//
// Pixel format everywhere: one 32-bit ARGB value per pixel (alpha in bits
// 24..31, red 16..23, green 8..15, blue 0..7), not premultiplied, rows top
// to bottom, stride = width. Java int[] arguments are spans of int32_t
// holding the same bits.
//
// Kinds, fixed at creation:
// - decoded (createImage from bytes, a stream or a resource): a decoded
//   picture, no pixel buffer, no context; getGraphics() gives the screen's;
// - drawable (createImage(width, height[, colour])): a pixel buffer and its
//   context; mutable;
// - built from pixels (createRGBImage, createImage(Image)): a pixel buffer
//   and a context, not mutable.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/Picture.h"
#include "platform/RasterSurface.h"

namespace java::io {
class InputStream;
}

namespace TarvokinEmu::gl {
struct Texture;
}

namespace javax::microedition::lcdui {

class Graphics;

class Image {
public:
    // Drawable images above this many pixels are refused.
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

    // A negative size, or one above kMaxPixels, throws
    // java::lang::IllegalArgumentException.
    static std::shared_ptr<Image> createImage(int width, int height);
    // Cleared with the RGB part of colour (opaque).
    static std::shared_ptr<Image> createImage(int width, int height, int colour);
    // Decodes data[offset .. offset + length - 1]; null when undecodable. A
    // range outside data throws java::lang::ArrayIndexOutOfBoundsException.
    static std::shared_ptr<Image> createImage(std::span<const std::uint8_t> data, int offset, int length);
    // Reads the bytes the stream reports available at the start (fewer if
    // it ends first) and decodes them; the stream stays open.
    static std::shared_ptr<Image> createImage(java::io::InputStream& in);
    // A resource of the program ("/name"); a missing one throws
    // java::io::IOException.
    static std::shared_ptr<Image> createImage(const std::string& name);
    // A copy of source's pixels, as createRGBImage. Null source throws
    // java::lang::NullPointerException.
    static std::shared_ptr<Image> createImage(const std::shared_ptr<Image>& source);
    // Not supported by the runtime: always null.
    static std::shared_ptr<Image> createImage(const std::shared_ptr<Image>& source, int x, int y, int width,
                                              int height, int transform);
    // rgb row by row (scan length = width); with processAlpha false every
    // alpha becomes 255. Fewer than width * height values throw
    // java::lang::ArrayIndexOutOfBoundsException.
    static std::shared_ptr<Image> createRGBImage(std::span<const std::int32_t> rgb, int width, int height,
                                                 bool processAlpha);
    // Keeps an already decoded picture and copies it into a pixel buffer
    // (the font sheets); null gives an empty 0 x 0 image.
    static std::shared_ptr<Image> createImageFromPicture(std::shared_ptr<const platform::Picture> picture);

    int getWidth() const;
    int getHeight() const;
    bool isMutable() const { return mutable_; }

    // Drawable images: the same context each time with a fresh surface
    // (default clip, translation and colour; its recorded values stay).
    // Decoded images: the screen context.
    std::shared_ptr<Graphics> getGraphics();

    // Copies the region at (x, y) into rgbData, row r at
    // rgbData[offset + r * scanlength]. A region outside the image or an
    // index outside rgbData throws java::lang::ArrayIndexOutOfBoundsException.
    void getRGB(std::span<std::int32_t> rgbData, int offset, int scanlength, int x, int y, int width,
                int height) const;

    // The drawable buffer, null for pictures decoded from data. Writers must
    // keep every alpha at 255 in a buffer that is opaque() (the blitter
    // copies such pictures instead of blending them).
    std::uint32_t* pixelBuffer() { return buffer_ ? buffer_->pixels.data() : nullptr; }
    const std::uint32_t* pixelBuffer() const { return buffer_ ? buffer_->pixels.data() : nullptr; }
    // The decoded picture, null for drawable images and those built from
    // pixels.
    const platform::Picture* decodedPicture() const { return decoded_.get(); }
    // The pixels to draw from: the buffer when there is one, otherwise the
    // decoded picture.
    platform::PixelSource pixelSource() const;
    bool opaque() const;
    // Changes whenever the pixels may have changed (drawing on the image).
    std::uint64_t generation() const { return buffer_ ? buffer_->generation : 0; }
    // The OpenGL texture made from the pixels (OpenGL mode), kept and freed
    // with the image; see gl/TextureLoader.h.
    std::shared_ptr<TarvokinEmu::gl::Texture>& texture() const { return texture_; }

    Image() = default;

private:
    static std::shared_ptr<Image> drawable(int width, int height);
    static std::shared_ptr<Image> decode(std::span<const std::uint8_t> bytes);

    std::shared_ptr<const platform::Picture> decoded_;
    std::shared_ptr<platform::Picture> buffer_;
    std::shared_ptr<Graphics> context_;
    mutable std::shared_ptr<TarvokinEmu::gl::Texture> texture_;
    bool mutable_ = false;
};

}  // namespace javax::microedition::lcdui
