#include "game/flow/Menus.h"

#include <algorithm>

#include "com/tkemuapi/Util.h"
#include "game/Brindle.h"
#include "game/GameMidlet.h"
#include "game/MainCanvas.h"
#include "game/audio/SoundPlayer.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/MenuBackground.h"
#include "game/flow/MenuPanels.h"
#include "game/flow/StateMachine.h"
#include "game/save/SavedGame.h"
#include "game/ui/Popup.h"
#include "game/ui/ScreenEffects.h"
#include "game/world/GameWorld.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "platform/Clock.h"

namespace game::flow {

using javax::microedition::lcdui::Graphics;
using world::GameWorld;

namespace {
constexpr int kW = MainCanvas::kScreenWidth, kH = MainCanvas::kScreenHeight;

StateMachine::State& machine() { return StateMachine::state(); }

void optionChanged() {
    machine().settingsDirty = true;
    MenuPanels::syncOptions();
}

bool isStage(int s) { return s == STATE_SWING_STAGE || s == STATE_CRASH_STAGE; }

void enterMenu() {
    StateMachine::State& m = machine();
    const int previous = m.previousState;
    if (previous == 14 || previous == STATE_MORE_GAMES || previous == STATE_GRADIENT) {
        SoundPlayer::playMusic(SoundPlayer::kMenuMusic);
        m.musicState = StateMachine::MUSIC_PLAYING;
    }
    const int menu = m.pendingMenu != -1 ? m.pendingMenu : m.menuId;
    if (menu == 2 || menu == 4 || menu == 21) {
        // The menu world 1..3 is the world's theme 0..2.
        GameWorld::setTheme(std::clamp(Brindle::shared().progress.menuWorld, 1, 3) - 1);
    }
}

void paintMenu(Graphics& g) {
    const int menu = machine().menuId;
    if (menu == 1) {
        g.setClip(0, 0, kW, kH);
        g.setColor(0xFFFFFF);
        g.fillRect(0, 0, kW, kH);
    } else if (menu != 0) {
        MenuBackground::draw(g);
    }
    if (TextPanel* p = MenuPanels::panel(menu)) p->draw(g, 0, 0);
}
}  // namespace

void Menus::saveSettingsNow() {
    SavedGame::saveSettings(SavedGame::currentSettings());
    machine().settingsDirty = false;
}

void Menus::returnTo(int state, int menu) {
    StateMachine::State& m = machine();
    m.returnState = state;
    m.returnMenu = menu;
    m.returnFrames = 0;
    StateMachine::setState(STATE_RETURN);
}

int Menus::starsForNextReward(int unlockCount) { return ((unlockCount * 81 + 81) / 8) - 3; }

bool Menus::onOffer(int item, int mask) {
    switch (item) {
    case 0: return !(mask & 0x01);
    case 7: return (mask & 0x01) && !(mask & 0x80);
    case 1: return !(mask & 0x02);
    case 2: return (mask & 0x02) && !(mask & 0x04);
    case 3: return !(mask & 0x08);
    case 4: return !(mask & 0x10);
    case 5: return !(mask & 0x20);
    case 8: return (mask & 0x20) && !(mask & 0x100);
    default: return false;
    }
}

bool Menus::anythingOnOffer(int mask) {
    for (int item = 0; item < kBonusItems; ++item)
        if (onOffer(item, mask)) return true;
    return false;
}

void Menus::play() {
    const format::Progress& p = Brindle::shared().progress;
    if (!p.progressFlags[2])
        LoadingScreen::loadThen(STATE_INTRO);
    else if (p.unlockCount >= kMaxUnlocks || starsForNextReward(p.unlockCount) > p.totalStars ||
             !anythingOnOffer(p.unlockMask))
        LoadingScreen::loadThen(STATE_LEVEL_SELECT);
    else
        LoadingScreen::loadThen(STATE_REWARD);
}

void Menus::onItem(int menu, int act) {
    StateMachine::State& m = machine();
    TextPanel* p = MenuPanels::panel(menu);
    if (act >= 1 && act <= 25) {
        if (TextPanel* target = MenuPanels::panel(act)) {
            target->selectItem(0);
            StateMachine::gotoMenu(act);
        }
        return;
    }
    switch (act) {
    case MenuPanels::ACT_PLAY: play(); break;
    case MenuPanels::ACT_MORE_GAMES: StateMachine::setState(STATE_MORE_GAMES); break;
    case MenuPanels::ACT_LOAD_DATA: StateMachine::setState(STATE_LOAD_DATA); break;
    case MenuPanels::ACT_MUSIC: {
        if (!p) break;
        SoundPlayer::setMusicVolume(p->itemValue(MenuPanels::ROW_MUSIC));
        // The preview: the effect at the music's volume (not with effects off).
        const int effects = SoundPlayer::getEffectsVolume();
        if (effects != 0) {
            SoundPlayer::setEffectsVolume(SoundPlayer::getMusicVolume());
            SoundPlayer::playSound(kVolumePreview, 1);
            platform::Clock::current().sleepMillis(2);
            SoundPlayer::setEffectsVolume(effects);
        }
        optionChanged();
        break;
    }
    case MenuPanels::ACT_EFFECTS:
        if (!p) break;
        SoundPlayer::setEffectsVolume(p->itemValue(MenuPanels::ROW_EFFECTS));
        SoundPlayer::playEffect(kVolumePreview);
        optionChanged();
        break;
    case MenuPanels::ACT_VIBRATION:
        if (!p) break;
        ScreenEffects::setVibration(p->itemValue(MenuPanels::ROW_VIBRATION) == 1);
        if (ScreenEffects::vibration()) ScreenEffects::shake(5, 10, 5);
        optionChanged();
        break;
    case MenuPanels::ACT_FULL_SCREEN: {
        // The shell switches later: show the mode asked for meanwhile.
        const bool on = !MenuPanels::fullScreenShown();
        com::tkemuapi::Util::setFullScreen(on);
        MenuPanels::state().fullScreenRequested = on;
        optionChanged();
        break;
    }
    case MenuPanels::ACT_RESTART_LEVEL:
    case MenuPanels::ACT_QUIT_TO_LEVELS:
        // Leaving through the loading screen skips STATE_RETURN: save here.
        if (m.settingsDirty) saveSettingsNow();
        GameWorld::clearObjects();
        LoadingScreen::loadThen(act == MenuPanels::ACT_RESTART_LEVEL ? STATE_SWING_STAGE : STATE_LEVEL_SELECT);
        break;
    case MenuPanels::ACT_RESUME: {
        const int target = MenuPanels::resumeTarget();
        if (target == STATE_NONE) break;
        if (m.settingsDirty)
            returnTo(target, -1);
        else
            StateMachine::setState(target);
        break;
    }
    default: break;
    }
}

void Menus::onCommand(int menu, int c) {
    StateMachine::State& m = machine();
    const int parent = MenuPanels::state().parents[static_cast<std::size_t>(std::clamp(menu, 0, MenuPanels::kMenus - 1))];
    if (c == CMD_BACK && (menu == 4 || menu == 5)) {
        if (m.settingsDirty)
            returnTo(0, parent);
        else
            StateMachine::gotoMenu(parent);
        if (menu == 5) {
            SoundPlayer::playMusic(SoundPlayer::kMenuMusic);
            m.musicState = StateMachine::MUSIC_PLAYING;
        }
        return;
    }
    if (c == CMD_PAUSE_BACK) {
        Popup::hide();
        Popup::state().marked = false;
        const int target = MenuPanels::resumeTarget();
        if (isStage(target)) {
            MenuPanels::state().questionStage = target;
            StateMachine::gotoMenu(24);
        } else {
            returnTo(0, 2);
        }
        return;
    }
    if (c == CMD_BACK) {
        if (parent >= 0) StateMachine::gotoMenu(parent);
        return;
    }
    switch (menu) {
    case 1:
        if (c == CMD_YES) {
            if (SoundPlayer::getMusicVolume() == 0) {
                SoundPlayer::setMusicVolume(SoundPlayer::kDefaultVolume);
                SoundPlayer::setEffectsVolume(SoundPlayer::kDefaultVolume);
            }
        } else {
            SoundPlayer::setMusicVolume(0);
            SoundPlayer::setEffectsVolume(0);
        }
        returnTo(STATE_LOAD_DATA, 0);
        break;
    case 2:
        if (c == CMD_EXIT) StateMachine::gotoMenu(3);
        break;
    case 3:
        if (c == CMD_YES) {
            if (GameMidlet* game = GameMidlet::instance()) game->destroyApp(false);
        } else {
            StateMachine::gotoMenu(2);
        }
        break;
    case 20:
        if (c == CMD_NO) {
            StateMachine::gotoMenu(5);
        } else if (c == CMD_YES) {
            SavedGame::resetProgress(Brindle::shared().progress);
            StateMachine::gotoMenu(2);
        }
        break;
    case 24:
        if (c == CMD_NO) {
            // Back to the pause menu of the stage it was opened from.
            m.menuOpenedFrom = MenuPanels::state().questionStage;
            StateMachine::gotoMenu(4);
        } else if (c == CMD_YES) {
            GameWorld::clearObjects();
            returnTo(0, 2);
        }
        break;
    default: break;
    }
}

void Menus::onMenuFrame(int frameMs) {
    const int menu = machine().menuId;
    TextPanel* p = MenuPanels::panel(menu);
    if (!p) return;
    const auto event = p->update(frameMs);
    if (!event) return;
    if (event->type == TextPanel::EVENT_ITEM)
        onItem(menu, event->value);
    else
        onCommand(menu, event->value);
}

Screen Menus::menuScreen() {
    Screen screen;
    screen.enter = enterMenu;
    screen.update = [](int frameMs) {
        MenuBackground::advance(frameMs);
        onMenuFrame(frameMs);
    };
    screen.paint = paintMenu;
    screen.key = [](int key, int type) {
        StateMachine::State& m = machine();
        if (m.musicState == StateMachine::MUSIC_NONE) m.musicState = StateMachine::MUSIC_REQUESTED;
        if (TextPanel* p = MenuPanels::panel(m.menuId)) p->handleKey(key, type);
    };
    screen.pointer = [](int x, int y, int type) {
        if (TextPanel* p = MenuPanels::panel(machine().menuId)) p->handlePointer(type, x, y);
    };
    return screen;
}

Screen Menus::returnScreen() {
    Screen screen;
    screen.enter = [] { machine().returnFrames = 0; };
    screen.update = [](int) {
        StateMachine::State& m = machine();
        if (m.returnFrames++ == 0) return;
        if (m.returnState != 0)
            StateMachine::setState(m.returnState);
        else
            StateMachine::gotoMenu(m.returnMenu);
        saveSettingsNow();
    };
    return screen;
}

Screen Menus::moreGamesScreen() {
    Screen screen;
    screen.enter = [] { GameMidlet::openUrl(kMoreGamesUrl); };
    screen.update = [](int) { StateMachine::gotoMenu(2); };
    return screen;
}

}  // namespace game::flow
