// Sprite decoding and drawing. Run from the build directory (or its bench/
// folder) so that the packs are found; TIDEPOOL_DATA overrides the folder.
//
// BM_Draw200Sprites draws 200 animated sprites through their display
// lists; BM_Draw200PlainImages draws the very same pictures at the same
// places with plain drawImage calls, the floor the display lists add to.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "game/MainCanvas.h"
#include "game/SpriteSheet.h"
#include "game/format/AnimationData.h"
#include "game/format/PackFile.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace {

using game::SpriteSheet;
using game::format::AnimationData;
using game::format::PackFile;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

bool enterDataDir() {
    const char* env = std::getenv("TIDEPOOL_DATA");
    for (const char* dir : {env, ".", ".."}) {
        if (dir && std::filesystem::exists(std::filesystem::path(dir) / "r6")) return chdir(dir) == 0;
    }
    return false;
}

// Entries that read back as animations exactly as they were written.
const std::vector<std::int32_t>& animationIds() {
    static const std::vector<std::int32_t> ids = [] {
        std::vector<std::int32_t> out;
        if (!enterDataDir()) return out;
        for (int pack = 1; pack <= 6; ++pack) {
            game::MainCanvas::loadPack(PackFile::dataPackName(pack));
            for (int i = 0;; ++i) {
                std::vector<std::uint8_t> e;
                try {
                    e = game::MainCanvas::packEntry(i);
                } catch (const std::exception&) {
                    break;
                }
                try {
                    if (AnimationData::encode(AnimationData::parse(e)) == e) out.push_back(PackFile::idOf(pack, i));
                } catch (const std::exception&) {
                }
            }
        }
        return out;
    }();
    return ids;
}

void BM_DecodeAllAnimationsWithPictures(benchmark::State& state) {
    const auto& ids = animationIds();
    if (ids.empty()) return state.SkipWithError("no packs found");
    for (auto _ : state) {
        SpriteSheet::resetClassState();
        SpriteSheet::initImages();
        for (std::int32_t id : ids) benchmark::DoNotOptimize(SpriteSheet::loadAnimation(id));
    }
    state.counters["animations"] = static_cast<double>(ids.size());
    state.counters["pictures"] = static_cast<double>(SpriteSheet::shared().images.size());
}
BENCHMARK(BM_DecodeAllAnimationsWithPictures)->Unit(benchmark::kMillisecond);

void BM_DecodeAllAnimations(benchmark::State& state) {
    const auto& ids = animationIds();
    if (ids.empty()) return state.SkipWithError("no packs found");
    SpriteSheet::resetClassState();
    SpriteSheet::initImages();
    for (std::int32_t id : ids) SpriteSheet::loadAnimation(id);  // pictures built once
    for (auto _ : state) {
        SpriteSheet::shared().animationCache.clear();
        for (std::int32_t id : ids) benchmark::DoNotOptimize(SpriteSheet::loadAnimation(id));
    }
    state.counters["animations"] = static_cast<double>(ids.size());
}
BENCHMARK(BM_DecodeAllAnimations)->Unit(benchmark::kMicrosecond);

// 200 sprites on an 800 x 600 screen, from animations whose frames hold
// pictures only, and the same pictures as a plain list.
struct Screen {
    std::shared_ptr<Image> image = Image::createImage(800, 600);
    std::shared_ptr<Graphics> g = image->getGraphics();
    std::vector<SpriteSheet> sprites;
    struct Piece {
        std::shared_ptr<Image> image;
        int x, y;
    };
    std::vector<Piece> plain;

    bool picturesOnly(const std::vector<std::int16_t>& a) {
        for (int f = 0; f < a[4]; ++f) {
            std::size_t p = static_cast<std::size_t>(a[static_cast<std::size_t>(6 + 2 * f)] & 0x7FFF);
            p += 1 + static_cast<std::size_t>(a[p]) * 5;
            const int e = a[p++];
            for (int i = 0; i < e; ++i, p += 4) {
                if (a[p] != 0) return false;
            }
        }
        return true;
    }

    Screen() {
        SpriteSheet::resetClassState();
        SpriteSheet::initImages();
        std::vector<SpriteSheet::Animation> usable;
        for (std::int32_t id : animationIds()) {
            auto a = SpriteSheet::loadAnimation(id);
            if (a && picturesOnly(*a)) usable.push_back(a);
        }
        if (usable.empty()) return;
        sprites.resize(200);
        for (int i = 0; i < 200; ++i) {
            auto& s = sprites[static_cast<std::size_t>(i)];
            s.create(usable[static_cast<std::size_t>(i * 7) % usable.size()], true);
            s.x = 40 + (i % 20) * 38;
            s.y = 40 + (i / 20) * 55;
            s.update(i * 13);
            // The same pictures at the same places.
            const auto& a = *s.getCurrentAnimation();
            std::size_t p = static_cast<std::size_t>(s.getFrameData());
            p += 1 + static_cast<std::size_t>(a[p]) * 5;
            const int e = a[p++];
            for (int k = 0; k < e; ++k, p += 4) {
                plain.push_back({SpriteSheet::shared().images[static_cast<std::size_t>(a[p + 3])],
                                 s.x - a[0] + a[p + 1], s.y - a[1] + a[p + 2]});
            }
        }
    }
};

void BM_Draw200Sprites(benchmark::State& state) {
    if (animationIds().empty()) return state.SkipWithError("no packs found");
    Screen screen;
    for (auto _ : state) {
        for (const auto& s : screen.sprites) s.draw(*screen.g, s.x, s.y);
    }
    state.counters["pieces"] = static_cast<double>(screen.plain.size());
}
BENCHMARK(BM_Draw200Sprites)->Unit(benchmark::kMicrosecond);

void BM_Draw200PlainImages(benchmark::State& state) {
    if (animationIds().empty()) return state.SkipWithError("no packs found");
    Screen screen;
    for (auto _ : state) {
        for (const auto& p : screen.plain) screen.g->drawImage(p.image, p.x, p.y, Graphics::TOP | Graphics::LEFT);
    }
    state.counters["pieces"] = static_cast<double>(screen.plain.size());
}
BENCHMARK(BM_Draw200PlainImages)->Unit(benchmark::kMicrosecond);

void BM_Draw200SpritesAnimated(benchmark::State& state) {
    if (animationIds().empty()) return state.SkipWithError("no packs found");
    Screen screen;
    for (auto _ : state) {
        for (auto& s : screen.sprites) {
            s.update(20);
            s.draw(*screen.g, s.x, s.y);
        }
    }
}
BENCHMARK(BM_Draw200SpritesAnimated)->Unit(benchmark::kMicrosecond);

}  // namespace
