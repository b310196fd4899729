// Sprites on untrusted animation bytes: decoding with its frame checks,
// then every frame played and drawn onto a small picture. Picture pieces
// draw one of a few ready-made pictures.
#include <cstddef>
#include <cstdint>
#include <span>

#include "game/SpriteSheet.h"
#include "java/lang/Throwable.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

using game::SpriteSheet;
using javax::microedition::lcdui::Image;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto screen = Image::createImage(64, 48);
    static auto g = screen->getGraphics();
    auto& images = SpriteSheet::shared().images;
    if (images.empty()) {
        for (int i = 0; i < 4; ++i) images.push_back(Image::createImage(1 + i * 5, 3 + i, 0x123456 * (i + 1)));
    }
    SpriteSheet::Animation a;
    try {
        a = SpriteSheet::decodeAnimation(std::span<const std::uint8_t>(data, size), 0x70000,
                                         [](std::int32_t id, int key, int, int) { return (id ^ key) & 3; });
    } catch (const java::lang::Throwable&) {
        return 0;
    }
    SpriteSheet s;
    s.create(a, false);
    const int frames = (*a)[4];
    for (int f = 0; f < frames; ++f) {
        s.setFrame(f);
        s.draw(*g, 32, 24);
    }
    s.setAnimation(0, 2, false);
    for (int i = 0; i < 2 * frames + 2; ++i) s.update(997);
    if (s.getFrame() < 0 || s.getFrame() >= frames) __builtin_trap();
    s.draw(*g, 0, 0);
    return 0;
}
