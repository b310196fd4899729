#include "game/flow/BootLoader.h"

#include <algorithm>

#include "game/Brindle.h"
#include "game/MainCanvas.h"
#include "game/SpriteSheet.h"
#include "game/audio/SoundPlayer.h"
#include "game/flow/Assets.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/MenuPanels.h"
#include "game/flow/Menus.h"
#include "game/flow/StateMachine.h"
#include "game/save/SavedGame.h"
#include "game/ui/PanelWindow.h"
#include "game/ui/Popup.h"
#include "game/world/GameWorld.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "platform/Console.h"

namespace game::flow {

using javax::microedition::lcdui::Graphics;
using world::GameWorld;

namespace {
constexpr int kW = MainCanvas::kScreenWidth, kH = MainCanvas::kScreenHeight;
constexpr int kSettingsProperty = 7;
constexpr int kCachedPicture = 0x1000A;

StateMachine::State& machine() { return StateMachine::state(); }

struct CommandRow {
    int command, text, priority;
};
constexpr CommandRow kCommands[] = {{0, 46, 0},  {1, 44, 0},  {2, 47, 0},   {5, 48, 2},   {6, 49, 3},
                                    {7, 50, 2},  {9, 51, 2},  {13, 52, 2},  {14, 21, 0},  {200, 23, 2},
                                    {201, 6, 0}, {202, 42, 0}, {203, 105, 2}, {205, 24, 0}};
}  // namespace

BootLoader::State& BootLoader::state() { return Brindle::shared().boot; }

void BootLoader::buildCommandTable() {
    for (const CommandRow& row : kCommands) MainCanvas::defineCommand(row.command, row.text, row.priority);
}

void BootLoader::bootStep(int progress) {
    StateMachine::State& m = machine();
    switch (progress) {
    case 10:
        try {
            if (!SpriteSheet::shared().palettesLoaded) SpriteSheet::initImages();
        } catch (const std::exception& e) {
            platform::Console::println(std::string("Pictures: ") + e.what());
        }
        break;
    case 20: {
        SavedGame::applySettings(format::Settings{});
        const auto settings = SavedGame::loadSettings();
        if (settings) SavedGame::applySettings(*settings);
        const auto property = MainCanvas::property(kSettingsProperty);
        m.settingsFound = settings.has_value() || (property && !property->empty());
        buildCommandTable();
        break;
    }
    case 30: Assets::image(kCachedPicture); break;
    case 40:
        TextPanel::initArrows(Assets::sprite({0x300BB, 0x30059}, true), Assets::sprite({0x40010, 0x40025}, true));
        break;
    case 60: Brindle::createFonts(); break;
    case 80: MenuPanels::buildSoundQuestion(); break;
    case 90: {
        State& s = state();
        s.indicators = {Assets::sprite({0x500F9, 0x500FB}, true), Assets::sprite({0x500FA, 0x500FC}, true)};
        s.spare.setup(TextPanel::MODE_TEXT, 0, 0);
        s.spare.setStyle(2);
        Popup::create();
        break;
    }
    case 100: StateMachine::gotoMenu(1); break;
    default: break;
    }
}

int BootLoader::dataStep(int progress) {
    MenuPanels::State& menus = MenuPanels::state();
    switch (progress) {
    case 0: return 25;
    case 25:
        menus.screenImages[0] = Assets::image(0x10005);
        menus.screenImages[1] = Assets::image(0x10006);
        menus.screenImages[3] = Assets::image(0x10007);
        MenuPanels::loadMenuSprites();
        return 50;
    case 50:
        Brindle::shared().progress = SavedGame::loadProgress();
        MainCanvas::dropPackCache();
        MenuPanels::buildMenus(false);
        GameWorld::state().unlocks = Brindle::shared().progress.unlockMask;
        return 75;
    case 75: {
        MenuPanels::buildMoreMenus();
        State& s = state();
        s.table.assign(kTableSize + 1, 0);
        try {
            if (auto stream = MainCanvas::resourceStream(kTableEntry))
                for (int i = 1; i <= kTableSize; ++i) s.table[static_cast<std::size_t>(i)] = stream->in().readInt();
        } catch (const std::exception& e) {
            platform::Console::println(std::string("Table 0x60043: ") + e.what());
        }
        GameWorld::initWorld();
        GameWorld::createFrameSprite();
        return 80;
    }
    default:
        StateMachine::setState(STATE_SPLASH);
        return 100;
    }
}

void BootLoader::paintProgress(Graphics& g) {
    const int progress = machine().loadProgress;
    g.setClip(0, 0, kW, kH);
    g.setColor(0xFFFFFF);
    g.fillRect(0, 0, kW, kH);
    if (progress > 100) return;
    g.setColor(0x000000);
    g.drawRect(kW / 2 - 21, kH - 12, 42, 6);
    g.fillRect(kW / 2 - 19, kH - 10, std::max(progress, 0) * 39 / 100, 3);
}

Screen BootLoader::bootScreen() {
    Screen screen;
    screen.update = [](int) {
        StateMachine::State& m = machine();
        if (m.loadProgress > 100) return;
        bootStep(m.loadProgress);
        m.loadProgress += kProgressStep;
    };
    screen.paint = paintProgress;
    return screen;
}

Screen BootLoader::dataScreen() {
    Screen screen;
    screen.enter = [] {
        machine().loadProgress = 0;
        MainCanvas::clearSoftkeys();
        SoundPlayer::stopMusic();
    };
    screen.update = [](int) {
        StateMachine::State& m = machine();
        if (m.loadProgress < 100) m.loadProgress = dataStep(m.loadProgress);
    };
    screen.paint = paintProgress;
    return screen;
}

Screen BootLoader::reloadScreen() {
    Screen screen;
    screen.enter = [] {
        SoundPlayer::stopMusic();
        machine().loadProgress = 0;
        MainCanvas::clearSoftkeys();
    };
    screen.update = [](int) {
        StateMachine::State& m = machine();
        switch (m.loadProgress) {
        case 0: m.loadProgress = 25; break;
        case 25:
            buildCommandTable();
            m.loadProgress = 75;
            break;
        case 75:
            MenuPanels::buildMenus(true);
            m.loadProgress = 100;
            break;
        case 100:
            Menus::returnTo(0, 5);
            m.loadProgress = 101;
            break;
        default: break;
        }
    };
    screen.paint = [](Graphics& g) {
        g.setClip(0, 0, kW, kH);
        g.setColor(PanelWindow::kLoadingColour);
        g.fillRect(0, 0, kW, kH);
        LoadingScreen::drawBar(g, machine().loadProgress, 100);
    };
    return screen;
}

}  // namespace game::flow
