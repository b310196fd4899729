#include "game/flow/LoadingScreen.h"

#include <algorithm>

#include "game/Brindle.h"
#include "game/GameMidlet.h"
#include "game/MainCanvas.h"
#include "game/audio/SoundPlayer.h"
#include "game/flow/MenuPanels.h"
#include "game/flow/StateMachine.h"
#include "game/world/GameWorld.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace game::flow {

using javax::microedition::lcdui::Graphics;
using world::GameWorld;

namespace {
constexpr int kW = MainCanvas::kScreenWidth, kH = MainCanvas::kScreenHeight;
}

LoadingScreen::State& LoadingScreen::state() { return Brindle::shared().loading; }

void LoadingScreen::loadThen(int target) {
    SoundPlayer::stopMusic();
    if (const auto& prepare = StateMachine::screen(target).prepareLoad) prepare();
    State& s = state();
    s.total = kMinFrames;
    s.step = s.extra = s.counter = s.subStep = 0;
    s.target = target;
    s.drawn = false;
    s.picturePicked = false;
    StateMachine::setState(STATE_LOADING);
}

void LoadingScreen::update() {
    State& s = state();
    // Nothing happens until the screen has been seen once.
    if (!s.drawn) return;
    if (s.step < s.total && s.counter < kMinFrames) {
        if (!s.picturePicked) {
            s.picturePicked = true;
            s.picture = SpriteSheet{};
            if (s.target != STATE_INTRO) s.picture = GameWorld::makeSprite(kPictures[GameWorld::nextRandom(4)], true);
        } else {
            s.step++;
            s.counter++;
        }
        s.picture.update(StateMachine::state().frameMs);
        return;
    }
    const auto& load = StateMachine::screen(s.target).loadStep;
    if (load && !load(s.subStep)) {
        s.subStep++;
        s.extra = std::min(s.subStep, kExtraSteps);
        return;
    }
    StateMachine::setState(s.target);
}

void LoadingScreen::drawBar(Graphics& g, int value, int max) {
    const int v = std::clamp(value, 0, std::max(max, 1));
    g.setColor(kOutlineColour);
    g.drawRect(25, kH - kH / 8 - 4, kW - 50, 4);
    g.setColor(kBarColour);
    g.fillRect(26, kH - kH / 8 - 3, (kW - 51) * v / std::max(max, 1), 3);
}

void LoadingScreen::paint(Graphics& g) {
    State& s = state();
    g.setClip(0, 0, kW, kH);
    g.setColor(kBackground);
    g.fillRect(0, 0, kW, kH);
    if (s.target == STATE_INTRO) {
        if (const auto& title = MenuPanels::state().screenImages[3])
            g.drawImage(title, kW / 2, kH / 2, Graphics::HCENTER | Graphics::VCENTER);
    } else {
        s.picture.draw(g, kW / 2, kH / 2);
    }
    drawBar(g, s.step + s.extra, s.total + kExtraSteps);
    s.drawn = true;
}

Screen LoadingScreen::screen() {
    Screen screen;
    screen.enter = [] {
        MainCanvas::clearSoftkeys();
        SoundPlayer::stopMusic();
    };
    screen.update = [](int) { update(); };
    screen.paint = paint;
    return screen;
}

}  // namespace game::flow
