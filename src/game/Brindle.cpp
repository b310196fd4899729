#include "game/Brindle.h"

#include <atomic>

#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/MIDletRegistry.h"
#include "game/MainCanvas.h"
#include "game/SpriteSheet.h"
#include "game/save/SavedGame.h"
#include "game/ui/BitmapFont.h"
#include "game/ui/Popup.h"
#include "game/ui/ScreenEffects.h"
#include "game/ui/TextPanel.h"
#include "javax/microedition/lcdui/Font.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/Console.h"

namespace game {

using javax::microedition::lcdui::Graphics;

namespace {
std::atomic<int> stateInForce{flow::STATE_BOOT};
constexpr int kTitleText = 7;
constexpr int kWindowIcon = 0x10008;
constexpr int kMousePointer = 0x60039;

std::unique_ptr<Brindle::Shared>& sharedStore() {
    static auto s = std::make_unique<Brindle::Shared>();
    return s;
}
}  // namespace

Brindle::Shared& Brindle::shared() { return *sharedStore(); }

void Brindle::resetClassState() {
    sharedStore() = std::make_unique<Shared>();
    Popup::resetClassState();
    stateInForce = flow::STATE_BOOT;
}

void Brindle::createFonts() {
    using javax::microedition::lcdui::Font;
    struct Source {
        int slot, image, table;
    };
    static constexpr Source sources[] = {{0, 0x1000B, 0x10000}, {1, 0x1000C, 0x10001}, {3, 0x1000E, 0x10003},
                                         {4, 0x1000D, 0x10004}};
    const auto system = Font::getFont(Font::FACE_PROPORTIONAL, Font::STYLE_PLAIN, Font::SIZE_MEDIUM);
    Fonts& fonts = shared().fonts;
    for (const Source& source : sources) {
        try {
            fonts[source.slot] = BitmapFont::load(source.image, source.table);
        } catch (const std::exception& e) {
            platform::Console::println("Font " + std::to_string(source.slot) + " not loaded, using the system font: " +
                                       e.what());
            fonts[source.slot] = std::make_shared<BitmapFont>(system, BitmapFont::kNoOutline);
        }
    }
    fonts[5] = std::make_shared<BitmapFont>(system, BitmapFont::kNoOutline);
    MainCanvas::setSoftkeyFonts(fonts[0], fonts[3]);
    TextPanel::setDefaultFonts(fonts[4], fonts[1], fonts[0]);
}

void Brindle::registerClass() {
    TarvokinEmu::MIDletRegistry::registerClass(kClassName, [] { return std::make_shared<Brindle>(); });
}

int Brindle::currentState() { return stateInForce.load(); }

void Brindle::publishState(int state) { stateInForce = state; }

void Brindle::onLifecycle(int event) { flow::StateMachine::onLifecycle(event); }

void Brindle::onKey(int key, int type) { flow::StateMachine::onKey(key, type); }

void Brindle::onPointer(int x, int y, int type) { flow::StateMachine::onPointer(x, y, type); }

void Brindle::tick(int frameMs) {
    flow::StateMachine::tick(frameMs);
    redrawRequested = true;
    desktopIntegration();
}

void Brindle::desktopIntegration() {
    TarvokinEmu::Emulator* emu = TarvokinEmu::Emulator::getInstance();
    if (!emu || cursorSet_) return;
    if (!titleSet_) {
        emu->setWindowTitle(MainCanvas::text(kTitleText));
        try {
            if (auto icon = MainCanvas::loadImage(kWindowIcon)) emu->setWindowIcon(icon);
        } catch (const std::exception& e) {
            java::lang::printStackTrace(e);
        }
        titleSet_ = true;
        return;
    }
    cursorSet_ = true;
    try {
        if (!SpriteSheet::shared().palettesLoaded) SpriteSheet::initImages();
        auto pointer = SpriteSheet::loadImageDescriptor(kMousePointer, 0, 1);
        emu->setCursorImage(pointer, 2, 2);
        emu->showCursor(true);
    } catch (const std::exception&) {
        platform::Console::println("Beep a null pointer!");
    }
}

void Brindle::paintFrame(Graphics& g) {
    // A shaken frame is drawn whole every time: the shift leaves a border.
    if (!redrawRequested && !ScreenEffects::shaking()) return;
    redrawRequested = false;
    flow::StateMachine::paint(g);
}

}  // namespace game
