#include "javax/microedition/lcdui/Image.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "TarvokinEmu/PNGReader.h"
#include "TarvokinEmu/Resources.h"
#include "TarvokinEmu/SharedState.h"
#include "TarvokinEmu/Trace.h"
#include "java/io/InputStream.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/SoftwareGraphicsBackend.h"
#include "platform/ImageDecoder.h"
#include "platform/RasterKernels.h"

namespace javax::microedition::lcdui {


namespace {

void trace(const std::string& message) {
    TarvokinEmu::traceFirstUse("javax.microedition.lcdui.Image");
    TarvokinEmu::trace(message);
}

std::string size(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

void checkDrawableSize(int width, int height) {
    if (width < 0 || height < 0) throw java::lang::IllegalArgumentException("Invalid image size: " + size(width, height));
    if (std::int64_t{width} * height > Image::kMaxPixels)
        throw java::lang::IllegalArgumentException("Image too large: " + size(width, height));
}

}  // namespace

std::shared_ptr<Image> Image::drawable(int width, int height) {
    checkDrawableSize(width, height);
    auto image = std::make_shared<Image>();
    image->buffer_ = std::make_shared<platform::Picture>();
    image->buffer_->width = width;
    image->buffer_->height = height;
    image->buffer_->pixels.assign(static_cast<std::size_t>(width) * height, 0u);
    image->context_ = std::make_shared<Graphics>(image->buffer_);
    return image;
}

std::shared_ptr<Image> Image::createImage(int width, int height) { return createImage(width, height, 0xFFFFFF); }

std::shared_ptr<Image> Image::createImage(int width, int height, int colour) {
    trace("createImage(" + size(width, height) + ")");
    auto image = drawable(width, height);
    image->mutable_ = true;
    image->context_->setColor(colour);
    image->context_->fillRect(0, 0, width, height);
    image->buffer_->opaque = true;
    return image;
}

std::shared_ptr<Image> Image::decode(std::span<const std::uint8_t> bytes) {
    std::optional<platform::Picture> picture;
    try {
        picture = TarvokinEmu::PNGReader::decode(bytes);
    } catch (const java::lang::Throwable&) {
        picture = platform::ImageDecoder::decode(bytes);
    }
    if (!picture || picture->width <= 0) return nullptr;
    auto image = std::make_shared<Image>();
    image->decoded_ = std::make_shared<const platform::Picture>(std::move(*picture));
    return image;
}

std::shared_ptr<Image> Image::createImage(std::span<const std::uint8_t> data, int offset, int length) {
    trace("Image.createImage(byte[], offset, length)");
    if (offset < 0 || length < 0 || std::int64_t{offset} + length > static_cast<std::int64_t>(data.size()))
        throw java::lang::ArrayIndexOutOfBoundsException(std::to_string(offset < 0 ? offset : offset + length));
    // Decoding works on its own copy.
    const std::vector<std::uint8_t> bytes(data.begin() + offset, data.begin() + offset + length);
    auto image = decode(bytes);
    if (!image) trace("--- Image is null!!!");
    return image;
}

std::shared_ptr<Image> Image::createImage(java::io::InputStream& in) {
    trace("Image.createImage(InputStream inputstream)");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max(0, in.available())));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const int n = in.read(bytes, static_cast<int>(got), static_cast<int>(bytes.size() - got));
        if (n < 0) break;  // the stream ended before what it promised
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return decode(bytes);
}

std::shared_ptr<Image> Image::createImage(const std::string& name) {
    trace("Image.createImage(" + name + ")");
    // Resolved like a class-path resource: "/x" is x at the root of the
    // program's resource space; other names would be inside the runtime's
    // own package, which holds no pictures.
    std::vector<std::uint8_t> bytes;
    bool found = false;
    if (!name.empty() && name[0] == '/') {
        const std::filesystem::path path = std::filesystem::path(TarvokinEmu::resourceDir()) / name.substr(1);
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec)) {
            std::ifstream file(path, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
            found = !file.bad();
        }
    }
    if (!found) throw java::io::IOException("Resource not found: " + name);
    auto image = decode(bytes);
    if (!image) trace("--- Image is null!!!");
    return image;
}

std::shared_ptr<Image> Image::createImage(const std::shared_ptr<Image>& source) {
    trace("Image.createImage(Image)");
    if (!source) throw java::lang::NullPointerException();
    const int w = source->getWidth(), h = source->getHeight();
    std::vector<std::int32_t> pixels(static_cast<std::size_t>(w) * h);
    source->getRGB(pixels, 0, w, 0, 0, w, h);
    return createRGBImage(pixels, w, h, true);
}

std::shared_ptr<Image> Image::createImage(const std::shared_ptr<Image>&, int, int, int, int, int) {
    trace("Image.createImage(Image,i,i,i,i,i) TBD!!!");
    trace("--- Image is null!!!");
    return nullptr;
}

std::shared_ptr<Image> Image::createRGBImage(std::span<const std::int32_t> rgb, int width, int height,
                                             bool processAlpha) {
    trace("Image.createRGBImage(" + size(width, height) + ")");
    checkDrawableSize(width, height);
    const std::size_t count = static_cast<std::size_t>(width) * height;
    if (rgb.size() < count) throw java::lang::ArrayIndexOutOfBoundsException(std::to_string(rgb.size()));
    auto image = drawable(width, height);
    std::uint32_t* out = image->buffer_->pixels.data();
    const std::uint32_t forced = processAlpha ? 0u : 0xFF000000u;
    for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<std::uint32_t>(rgb[i]) | forced;
    image->buffer_->opaque = !processAlpha || platform::raster::allOpaque(out, count);
    return image;
}

std::shared_ptr<Image> Image::createImageFromPicture(std::shared_ptr<const platform::Picture> picture) {
    trace("Image.createImage(byte[], offset, length)");
    auto image = std::make_shared<Image>();
    if (!picture) return image;
    image->buffer_ = std::make_shared<platform::Picture>(*picture);
    image->decoded_ = std::move(picture);
    return image;
}

int Image::getWidth() const { return decoded_ ? decoded_->width : buffer_ ? buffer_->width : 0; }

int Image::getHeight() const { return decoded_ ? decoded_->height : buffer_ ? buffer_->height : 0; }

std::shared_ptr<Graphics> Image::getGraphics() {
    if (context_ && buffer_) {
        context_->attachBackend(std::make_unique<SoftwareGraphicsBackend>(buffer_));
        return context_;
    }
    return TarvokinEmu::shared().screenGraphics;
}

platform::PixelSource Image::pixelSource() const {
    if (buffer_) return platform::PixelSource::of(*buffer_);
    if (decoded_) return platform::PixelSource::of(*decoded_);
    return {};
}

bool Image::opaque() const { return pixelSource().opaque; }

void Image::getRGB(std::span<std::int32_t> rgbData, int offset, int scanlength, int x, int y, int width,
                   int height) const {
    trace("Image.getRGB");
    if (width <= 0 || height <= 0) return;
    const platform::PixelSource src = pixelSource();
    if (x < 0 || y < 0 || std::int64_t{x} + width > src.width || std::int64_t{y} + height > src.height)
        throw java::lang::ArrayIndexOutOfBoundsException("Coordinate out of bounds!");
    const std::int64_t first = offset, last = offset + std::int64_t{height - 1} * scanlength;
    const std::int64_t lo = std::min(first, last), hi = std::max(first, last) + width - 1;
    if (lo < 0 || hi >= static_cast<std::int64_t>(rgbData.size()))
        throw java::lang::ArrayIndexOutOfBoundsException(std::to_string(lo < 0 ? lo : hi));
    for (int r = 0; r < height; ++r) {
        const std::uint32_t* row = src.pixels + static_cast<std::size_t>(y + r) * src.stride + x;
        std::int32_t* out = rgbData.data() + offset + std::int64_t{r} * scanlength;
        std::copy(row, row + width, reinterpret_cast<std::uint32_t*>(out));
    }
}

}  // namespace javax::microedition::lcdui
