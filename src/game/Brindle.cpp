#include "game/Brindle.h"

#include <atomic>

#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/MIDletRegistry.h"
#include "game/MainCanvas.h"
#include "game/SpriteSheet.h"
#include "game/save/SavedGame.h"
#include "game/ui/BitmapFont.h"
#include "game/ui/TextPanel.h"
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
// "Exit" on the left softkey.
constexpr int kCommandExit = 6;

std::unique_ptr<Brindle::Shared>& sharedStore() {
    static auto s = std::make_unique<Brindle::Shared>();
    return s;
}
}  // namespace

Brindle::Shared& Brindle::shared() { return *sharedStore(); }

void Brindle::resetClassState() { sharedStore() = std::make_unique<Shared>(); }

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

void Brindle::onLifecycle(int event) {
    if (event == LIFECYCLE_STARTED) stateInForce = STATE_BOOT;
}

void Brindle::onKey(int key, int type) {
    const bool back = (type == KEY_COMMAND && key == kCommandExit) || (type == KEY_PRESSED && key == 27);
    if (back && stateInForce == STATE_TITLE) {
        stateInForce = STATE_EXIT;
        destroyApp(false);
    }
}

void Brindle::onPointer(int, int, int) {}

void Brindle::tick(int) {
    if (stateInForce == STATE_BOOT) {
        if (auto settings = SavedGame::loadSettings()) SavedGame::applySettings(*settings);
        shared().progress = SavedGame::loadProgress();
        createFonts();
        MainCanvas::defineCommand(kCommandExit, 49, 3);
        MainCanvas::clearSoftkeys();
        MainCanvas::setSoftkey(kCommandExit, 0);
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
