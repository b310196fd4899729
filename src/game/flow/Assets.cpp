#include "game/flow/Assets.h"

#include <cstdio>

#include "game/Brindle.h"
#include "game/MainCanvas.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/Console.h"

namespace game::flow {

namespace {
std::string hex(std::int64_t id) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(id & 0xFFFFFFFF));
    return buffer;
}
}  // namespace

Assets::State& Assets::state() { return Brindle::shared().assets; }

void Assets::reportOnce(const char* kind, std::int64_t id, const std::string& why) {
    // Texts and data ids never collide: texts are kept apart by a high bit.
    const std::int64_t key = (std::string(kind) == "text" ? (std::int64_t{1} << 40) : 0) + id;
    if (!state().reported.insert(key).second) return;
    const std::string name = std::string(kind) == "text" ? std::to_string(id) : hex(id);
    platform::Console::println("Missing " + std::string(kind) + " " + name + (why.empty() ? "" : ": " + why));
}

std::string Assets::text(int id) {
    if (auto t = MainCanvas::text(id)) return *t;
    reportOnce("text", id, "");
    return {};
}

std::shared_ptr<Assets::Image> Assets::image(int id) {
    try {
        if (auto img = MainCanvas::loadImage(id)) return img;
        reportOnce("picture", id, "does not decode");
    } catch (const std::exception& e) {
        reportOnce("picture", id, e.what());
    }
    return nullptr;
}

std::shared_ptr<Assets::Image> Assets::descriptorImage(int id) {
    try {
        if (!SpriteSheet::shared().palettesLoaded) SpriteSheet::initImages();
        return SpriteSheet::loadImageDescriptor(id, 0, 1);
    } catch (const std::exception& e) {
        reportOnce("picture", id, e.what());
    }
    return nullptr;
}

std::shared_ptr<SpriteSheet> Assets::sprite(std::int32_t id, bool forever) {
    return sprite(std::vector<std::int32_t>{id}, forever);
}

std::shared_ptr<SpriteSheet> Assets::sprite(const std::vector<std::int32_t>& ids, bool forever) {
    std::vector<SpriteSheet::Animation> animations;
    for (std::int32_t id : ids) {
        SpriteSheet::Animation a;
        try {
            a = SpriteSheet::loadAnimation(id);
        } catch (const std::exception& e) {
            reportOnce("animation", id, e.what());
        }
        animations.push_back(std::move(a));
    }
    auto s = std::make_shared<SpriteSheet>();
    s->init(std::move(animations), forever);
    return s;
}

}  // namespace game::flow
