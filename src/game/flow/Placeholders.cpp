#include "game/flow/Placeholders.h"

#include "game/Brindle.h"
#include "game/GameMidlet.h"
#include "game/MainCanvas.h"
#include "game/audio/SoundPlayer.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/MenuBackground.h"
#include "game/flow/StateMachine.h"
#include "game/ui/BitmapFont.h"
#include "game/ui/Popup.h"
#include "javax/microedition/lcdui/Graphics.h"

namespace game::flow {

using javax::microedition::lcdui::Graphics;

namespace {
constexpr int kW = MainCanvas::kScreenWidth, kH = MainCanvas::kScreenHeight;

void leaveTo(int target) {
    if (target == STATE_MENU)
        StateMachine::gotoMenu(2);
    else if (target != STATE_NONE)
        LoadingScreen::loadThen(target);
}
}  // namespace

Screen Placeholders::page(int gameState, const std::string& title, int fireTarget, int backTarget, int music) {
    Screen screen;
    screen.enter = [music] {
        MainCanvas::clearSoftkeys();
        MainCanvas::setSoftkey(CMD_BACK, 1);
        MainCanvas::setSoftkey(CMD_PAUSE, 3);
        if (music != -1) SoundPlayer::playMusic(music);
    };
    screen.update = [gameState, fireTarget](int frameMs) {
        MenuBackground::advance(frameMs);
        Popup::update(frameMs);
        if (!(StateMachine::state().keyBits & KEY_FIRE) || fireTarget == STATE_NONE) return;
        if (gameState == STATE_CRASH_STAGE) {
            // Finished with one star and no score, as a stand-in for play.
            StateMachine::levelEnd(1, 1, 0);
        } else {
            leaveTo(fireTarget);
        }
        StateMachine::state().keyBits = 0;
    };
    screen.paint = [gameState, title, fireTarget, backTarget](Graphics& g) {
        MenuBackground::draw(g);
        const auto& fonts = Brindle::shared().fonts;
        const int level = Brindle::shared().progress.selectedLevel;
        const std::string lines[] = {
            title + " (state " + std::to_string(gameState) + "), level " + std::to_string(level),
            fireTarget == STATE_NONE ? "" : "FIRE: go on",
            std::string("Back: ") + (backTarget == STATE_MENU ? "main menu" : "level select"),
        };
        int y = kH / 3;
        for (const std::string& line : lines) {
            const auto& font = fonts[&line == &lines[0] ? 4 : 1];
            if (font && !line.empty()) font->drawString(g, line, kW / 2, y, Graphics::TOP | Graphics::HCENTER);
            y += font ? font->height() + 12 : 0;
        }
        Popup::draw(g);
    };
    screen.key = [backTarget](int key, int type) {
        if (type != GameMidlet::KEY_COMMAND) return;
        if (key == CMD_BACK) leaveTo(backTarget);
        if (key == CMD_PAUSE) StateMachine::gotoMenu(4);
    };
    return screen;
}

Screen Placeholders::stage(int gameState) {
    const bool swing = gameState == STATE_SWING_STAGE;
    return page(gameState, swing ? "Swing stage" : "Crash stage", swing ? STATE_CRASH_STAGE : STATE_LEVEL_SELECT,
                STATE_LEVEL_SELECT, swing ? SoundPlayer::kSwingMusic : SoundPlayer::kCrashMusic);
}

}  // namespace game::flow
