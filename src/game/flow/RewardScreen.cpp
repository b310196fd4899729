#include "game/flow/RewardScreen.h"

#include <algorithm>

#include "game/Brindle.h"
#include "game/MainCanvas.h"
#include "game/flow/Assets.h"
#include "game/flow/LevelSelect.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/MenuBackground.h"
#include "game/flow/Menus.h"
#include "game/flow/StateMachine.h"
#include "game/save/SavedGame.h"
#include "game/ui/BitmapFont.h"
#include "game/ui/PanelWindow.h"
#include "game/world/GameWorld.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "platform/Console.h"

namespace game::flow {

using javax::microedition::lcdui::Graphics;

namespace {
constexpr int kW = MainCanvas::kScreenWidth, kH = MainCanvas::kScreenHeight;
constexpr int kInk = 0x1B1B2F;

// The description of the selected item, wrapped under the panel.
void describeSelection() {
    RewardScreen::State& s = RewardScreen::state();
    const int selected = s.panel.selected();
    if (selected == s.shownItem) return;
    s.shownItem = selected;
    s.description.clear();
    const auto& font = Brindle::shared().fonts[1];
    if (selected < 0 || selected >= RewardScreen::kItems || !font) return;
    s.description =
        TextPanel::wrap(Assets::text(RewardScreen::kDescriptions[static_cast<std::size_t>(selected)]), *font, kW - 40);
}

void takeSelected() {
    RewardScreen::State& s = RewardScreen::state();
    const int item = s.panel.selected();
    if (item < 0 || !Menus::onOffer(item, Brindle::shared().progress.unlockMask)) return;
    RewardScreen::take(item);
    s.step = RewardScreen::TAKEN;
    s.clock = 0;
    MainCanvas::clearSoftkeys();
}
}  // namespace

RewardScreen::State& RewardScreen::state() { return Brindle::shared().reward; }

void RewardScreen::buildPanel() {
    State& s = state();
    const auto& fonts = Brindle::shared().fonts;
    const int mask = Brindle::shared().progress.unlockMask;
    s.panel = TextPanel();
    TextPanel& p = s.panel;
    p.setup(TextPanel::MODE_LIST, kItems, TextPanel::LAYOUT_CENTRE_ITEMS);
    p.setTitle(Assets::text(kTitleText), nullptr);
    p.setFonts(fonts[0], fonts[1], fonts[0]);
    for (int k = 0; k < kItems; ++k) {
        if (!Menus::onOffer(k, mask)) continue;
        const auto i = static_cast<std::size_t>(k);
        p.setSpriteItem(k, Assets::text(kLabels[i]), Assets::sprite(kSprites[i], true), k);
    }
    p.setSoftkeyCommand(0, CMD_TAKE_REWARD);
    p.setStyle(2);
    p.selectItem(0);
    const int available = kH - MainCanvas::state().softkeyBarHeight;
    const int height = std::min(3 * kH / 4, available);
    s.yOffset = (available - height) / 2;
    platform::Console::println("unlockScreenYOffset " + std::to_string(s.yOffset));
    p.setBounds(5, s.yOffset, kW - 10, height);
    s.shownItem = -2;
    describeSelection();
}

void RewardScreen::take(int item) {
    format::Progress& p = Brindle::shared().progress;
    p.unlockMask |= 1 << std::clamp(item, 0, kItems - 1);
    p.unlockCount++;
    SavedGame::saveProgress(p);
}

Screen RewardScreen::screen() {
    Screen screen;
    screen.prepareLoad = [] {
        LevelSelect::state().slideClock = 0;
        world::GameWorld::markBackground();
    };
    screen.loadStep = [](int) {
        buildPanel();
        return true;
    };
    screen.enter = [] {
        State& s = state();
        s.step = REVEAL;
        s.clock = 0;
        MainCanvas::clearSoftkeys();
        // Nothing left to offer: nothing to choose.
        if (!Menus::anythingOnOffer(Brindle::shared().progress.unlockMask)) {
            s.step = LEAVING;
            LoadingScreen::loadThen(STATE_LEVEL_SELECT);
        }
    };
    screen.update = [](int frameMs) {
        State& s = state();
        const int step = StateMachine::takeStep();
        s.clock = std::min(s.clock + step, 1 << 20);
        switch (s.step) {
        case REVEAL:
            if (s.clock >= kRevealMs) {
                s.step = OPENING;
                s.clock = 0;
            }
            break;
        case OPENING:
            if (s.clock >= kOpenMs) {
                s.step = CHOOSING;
                s.clock = 0;
                s.panel.reset();
            }
            break;
        case CHOOSING: {
            const auto e = s.panel.update(frameMs);
            describeSelection();
            if (e && (e->type == TextPanel::EVENT_ITEM ||
                      (e->type == TextPanel::EVENT_COMMAND && e->value == CMD_TAKE_REWARD)))
                takeSelected();
            break;
        }
        case TAKEN:
            if (s.clock >= kTakenMs) {
                s.step = LEAVING;
                LoadingScreen::loadThen(STATE_LEVEL_SELECT);
            }
            break;
        default: break;
        }
    };
    screen.paint = [](Graphics& g) {
        State& s = state();
        MenuBackground::drawCached(g);
        if (s.step == REVEAL) {
            PanelWindow::revealLoading(g, std::min(s.clock, kRevealMs) * 256 / kRevealMs, 2);
            return;
        }
        const int t = s.step == OPENING ? std::min(s.clock, PanelWindow::kGrowMs + 1) : PanelWindow::kGrowMs + 1;
        PanelWindow::drawPanelWindow(g, s.panel, t, true);
        const auto& font = Brindle::shared().fonts[1];
        if (s.step < CHOOSING || !font || s.description.empty()) return;
        const int lineH = font->height();
        const int h = static_cast<int>(s.description.size()) * lineH + 8;
        const int y = kH - MainCanvas::state().softkeyBarHeight - h - 2;
        g.setClip(0, 0, kW, kH);
        g.setColor(0xFFFFFF);
        g.fillRect(10, y, kW - 20, h);
        g.setColor(kInk);
        g.drawRect(10, y, kW - 21, h - 1);
        for (std::size_t i = 0; i < s.description.size(); ++i)
            font->drawString(g, s.description[i], kW / 2, y + 4 + static_cast<int>(i) * lineH,
                             Graphics::TOP | Graphics::HCENTER);
    };
    screen.key = [](int key, int type) {
        if (state().step == CHOOSING) state().panel.handleKey(key, type);
    };
    screen.pointer = [](int x, int y, int type) {
        if (state().step == CHOOSING) state().panel.handlePointer(type, x, y);
    };
    return screen;
}

}  // namespace game::flow
