#include "game/Brindle.h"

#include <atomic>

#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/MIDletRegistry.h"
#include "game/MainCanvas.h"
#include "game/SpriteSheet.h"
#include "javax/microedition/lcdui/Font.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/Console.h"

namespace game {

using javax::microedition::lcdui::Graphics;

namespace {
std::atomic<int> stateInForce{Brindle::STATE_BOOT};
constexpr int kTitleText = 7;
constexpr int kWindowIcon = 0x10008;
constexpr int kTitlePicture = 0x10007;
constexpr int kMousePointer = 0x60039;
constexpr int kCommandBack = 7;
}  // namespace

void Brindle::registerClass() {
    TarvokinEmu::MIDletRegistry::registerClass(kClassName, [] { return std::make_shared<Brindle>(); });
}

int Brindle::currentState() { return stateInForce.load(); }

void Brindle::onLifecycle(int event) {
    if (event == LIFECYCLE_STARTED) stateInForce = STATE_BOOT;
}

void Brindle::onKey(int key, int type) {
    const bool back = (type == KEY_COMMAND && key == kCommandBack) || (type == KEY_PRESSED && key == 27);
    if (back && stateInForce == STATE_TITLE) {
        stateInForce = STATE_EXIT;
        destroyApp(false);
    }
}

void Brindle::onPointer(int, int, int) {}

void Brindle::tick(int) {
    if (stateInForce == STATE_BOOT) {
        MainCanvas::defineCommand(kCommandBack, 50, 2);
        MainCanvas::clearSoftkeys();
        MainCanvas::setSoftkey(kCommandBack, 0);
        stateInForce = STATE_TITLE;
        redrawRequested = true;
    }
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
    if (!redrawRequested) return;
    redrawRequested = false;
    // Sunset over the sea: warm bands above, blue below.
    static const int bands[] = {0xFFB347, 0xFF9A3C, 0xF2762E, 0xE0592A, 0x2E86C1, 0x1F6FA8, 0x155A8A, 0x0E3A5C};
    for (int i = 0; i < 8; ++i) {
        g.setColor(bands[i]);
        g.fillRect(0, i * 75, 800, 75);
    }
    using javax::microedition::lcdui::Font;
    // The title picture, or the title text when the picture is missing.
    std::shared_ptr<javax::microedition::lcdui::Image> picture;
    try {
        picture = MainCanvas::loadImage(kTitlePicture);
    } catch (const std::exception&) {
    }
    if (picture) {
        g.drawImage(picture, 400, 250, Graphics::HCENTER | Graphics::VCENTER);
    } else if (auto title = MainCanvas::text(kTitleText)) {
        g.setFont(Font::getFont(Font::FACE_SYSTEM, Font::STYLE_BOLD, Font::SIZE_LARGE));
        g.setColor(0x10202C);
        g.drawString(*title, 400, 250, Graphics::HCENTER | Graphics::BASELINE);
    }
    g.setFont(Font::getFont(Font::FACE_SYSTEM, Font::STYLE_PLAIN, Font::SIZE_MEDIUM));
    g.setColor(0xFFFFFF);
    g.drawString("Esc: quit", 400, 560, Graphics::HCENTER | Graphics::BASELINE);
}

}  // namespace game
