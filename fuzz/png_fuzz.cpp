// Feeds arbitrary bytes to the picture decoding path: the runtime's PNG
// decoder, then Image's decode with the general decoder behind it, then
// draws whatever decoded so that its size and pixels are used.
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <span>
#include <streambuf>

#include "TarvokinEmu/PNGReader.h"
#include "java/lang/Throwable.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/Console.h"

namespace {

struct NullBuffer : std::streambuf {
    int overflow(int c) override { return c; }
};

void quiet() {
    static NullBuffer buffer;
    static std::ostream sink(&buffer);
    platform::Console::redirect(&sink, &sink);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool silenced = (quiet(), true);
    (void)silenced;
    const std::span<const std::uint8_t> bytes(data, size);
    try {
        const platform::Picture p = TarvokinEmu::PNGReader::decode(bytes);
        if (p.width <= 0 || p.height <= 0 || p.pixels.size() != static_cast<std::size_t>(p.width) * p.height)
            std::abort();
    } catch (const java::lang::Throwable&) {
    }

    using javax::microedition::lcdui::Image;
    static const auto canvas = Image::createImage(16, 16);
    std::shared_ptr<Image> image;
    try {
        image = Image::createImage(bytes, 0, static_cast<int>(size));
    } catch (const java::lang::Throwable&) {
        std::abort();  // undecodable data gives null, never an error
    }
    if (image) {
        auto g = canvas->getGraphics();
        g->drawImage(image, 8, 8, javax::microedition::lcdui::Graphics::HCENTER | javax::microedition::lcdui::Graphics::VCENTER);
        g->drawRegion(image, 1, 1, image->getWidth(), image->getHeight(), javax::microedition::lcdui::Graphics::TRANS_ROT270, 0, 0, 0);
    }
    return 0;
}
