#include "game/flow/Splash.h"

#include "game/Brindle.h"
#include "game/GameMidlet.h"
#include "game/MainCanvas.h"
#include "game/flow/MenuPanels.h"
#include "game/flow/StateMachine.h"
#include "game/ui/ScreenEffects.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace game::flow {

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

namespace {
constexpr int kW = MainCanvas::kScreenWidth, kH = MainCanvas::kScreenHeight;
constexpr int kCentre = Graphics::HCENTER | Graphics::VCENTER;

// The picture scaled to s percent and faded to alpha, its bottom edge kept
// where the full picture's would be.
void drawGrowing(Graphics& g, const std::shared_ptr<Image>& picture, bool rising, int t) {
    const int h = picture->getHeight();
    const int s = ScreenEffects::fadeValue(rising, 100, 0, t);
    auto faded = ScreenEffects::fadedImage(ScreenEffects::fadeValue(rising, 255, 0, t),
                                           ScreenEffects::scaledImage(0, s, picture));
    if (faded) g.drawImage(faded, kW >> 1, (kH >> 1) - ((h - h * s / 100) >> 1), kCentre);
}
}  // namespace

Splash::State& Splash::state() { return Brindle::shared().splash; }

int Splash::skipTarget(int t) {
    if (t < 1000) return 4001 - t;
    if (t <= 3000) return 3001;
    if (t <= 4000) return 4001;
    return kLengthMs + 1;
}

void Splash::update() {
    State& s = state();
    s.clock += StateMachine::takeStep();
    if (s.clock < kLengthMs) return;
    auto& images = MenuPanels::state().screenImages;
    images[0].reset();
    images[2].reset();
    ScreenEffects::releaseFaded();
    ScreenEffects::releaseScaled();
    StateMachine::gotoMenu(2);
    StateMachine::state().musicState = StateMachine::MUSIC_REQUESTED;
}

void Splash::paint(Graphics& g) {
    const int t = state().clock;
    const auto& images = MenuPanels::state().screenImages;
    g.setClip(0, 0, kW, kH);
    g.setColor(0xFFFFFF);
    g.fillRect(0, 0, kW, kH);
    if (const auto& first = images[0]) {
        if (t < 1000)
            drawGrowing(g, first, true, t);
        else if (t <= 3000)
            g.drawImage(first, kW / 2, kH / 2, kCentre);
        else if (t < 4000)
            drawGrowing(g, first, false, t - 3000);
    }
    if (const auto& second = images[1]) {
        if (t > 4000 && t < 5000) {
            auto faded = ScreenEffects::fadedImage(ScreenEffects::fadeValue(true, 255, 0, t - 4000),
                                                   ScreenEffects::scaledImage(0, 100, second));
            if (faded) g.drawImage(faded, kW / 2, kH / 2, kCentre);
        } else if (t >= 5000 && t < kLengthMs) {
            g.drawImage(second, kW / 2, kH / 2, kCentre);
        }
    }
}

Screen Splash::screen() {
    Screen screen;
    screen.enter = [] { state().clock = 0; };
    screen.update = [](int) { update(); };
    screen.paint = paint;
    screen.key = [](int key, int type) {
        if (type == GameMidlet::KEY_PRESSED && MainCanvas::keyToDigit(key) == '5')
            state().clock = skipTarget(state().clock);
    };
    return screen;
}

}  // namespace game::flow
