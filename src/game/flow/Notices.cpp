#include "game/flow/Notices.h"

#include <algorithm>

#include "game/Brindle.h"
#include "game/GameMidlet.h"
#include "game/MainCanvas.h"
#include "game/flow/Assets.h"
#include "game/flow/LevelBrowser.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/MenuBackground.h"
#include "game/flow/MenuPanels.h"
#include "game/flow/StateMachine.h"
#include "game/save/SavedGame.h"
#include "game/ui/BitmapFont.h"
#include "game/ui/PanelWindow.h"
#include "game/ui/TextPanel.h"
#include "game/world/GameWorld.h"
#include "javax/microedition/lcdui/Graphics.h"

namespace game::flow {

using javax::microedition::lcdui::Graphics;

namespace {
constexpr int kW = MainCanvas::kScreenWidth, kH = MainCanvas::kScreenHeight;
constexpr int kBriefingPanel = 21;

// Opens a panel: its softkeys, its window from the start.
void openPanel(int menu) {
    Notices::state().panelTimer = 0;
    Notices::state().fire = false;
    if (TextPanel* p = MenuPanels::panel(menu)) p->reset();
}

// The panel's frame; the command it produced, -1 for none, CMD_YES for FIRE.
int panelFrame(int menu, int frameMs) {
    int& timer = Notices::state().panelTimer;
    timer = std::min(timer + std::max(frameMs, 0), 1 << 20);
    int command = -1;
    if (TextPanel* p = MenuPanels::panel(menu)) {
        const auto e = p->update(frameMs);
        if (e && e->type == TextPanel::EVENT_COMMAND) command = e->value;
    }
    bool& fire = Notices::state().fire;
    if (command == -1 && fire) command = CMD_YES;
    fire = false;
    return command;
}

void keyToPanel(int menu, int key, int type) {
    if (type == GameMidlet::KEY_PRESSED && MainCanvas::keyToDigit(key) == '5') Notices::state().fire = true;
    if (TextPanel* p = MenuPanels::panel(menu)) p->handleKey(key, type);
}

void pointerToPanel(int menu, int x, int y, int type) {
    if (TextPanel* p = MenuPanels::panel(menu)) p->handlePointer(type, x, y);
}

void drawPanel(Graphics& g, int menu) {
    if (TextPanel* p = MenuPanels::panel(menu)) PanelWindow::drawPanelWindow(g, *p, Notices::state().panelTimer, false);
}

void noticeCommand(int gameState, int c) {
    const bool confirm = c == CMD_OK || c == CMD_YES, back = c == CMD_NO;
    if (!confirm && !back) return;
    switch (gameState) {
    case STATE_NOTICE_RESET:
        if (confirm) SavedGame::resetProgress(Brindle::shared().progress);
        StateMachine::gotoMenu(2);
        break;
    case STATE_NOTICE_FINISHED:
    case STATE_NOTICE_PERFECT:
        if (confirm)
            StateMachine::levelEnd(3, 0, 0);
        else
            StateMachine::setState(STATE_NOTICE_RESET);
        break;
    default:
        LoadingScreen::loadThen(Brindle::shared().progress.totalStars < 81 ? STATE_NOTICE_FINISHED
                                                                            : STATE_NOTICE_PERFECT);
        break;
    }
}

void paintNotice(Graphics& g, int gameState) {
    const Notices::State& s = Notices::state();
    g.setClip(0, 0, kW, kH);
    g.setColor(Notices::kBackground);
    g.fillRect(0, 0, kW, kH);
    if (gameState != STATE_NOTICE_PERFECT) {
        if (s.sprite) s.sprite->draw(g, kW / 2, kH / 2);
        if (const auto& font = Brindle::shared().fonts[0]) {
            const int n = static_cast<int>(s.lines.size()), step = font->height() + 2;
            for (int i = 0; i < n; ++i)
                font->drawString(g, s.lines[static_cast<std::size_t>(i)], kW / 2, kH / 2 - (n / 2) * step + i * step,
                                 Graphics::BASELINE | Graphics::HCENTER);
        }
    }
    if (gameState != STATE_NOTICE_ALL_LEVELS) drawPanel(g, Notices::panelOf(gameState));
}
}  // namespace

Notices::State& Notices::state() { return Brindle::shared().notices; }

Screen Notices::notice(int gameState) {
    const int menu = panelOf(gameState);
    Screen screen;
    screen.prepareLoad = [gameState] {
        State& s = state();
        if (!s.sprite) s.sprite = Assets::sprite(kNoticeSprite, true);
        if (gameState == STATE_NOTICE_ALL_LEVELS) {
            const auto& font = Brindle::shared().fonts[0];
            s.lines = font ? TextPanel::wrap(Assets::text(kFinishedText), *font, kW * 3 / 4) : std::vector<std::string>{};
        }
    };
    screen.enter = [menu] {
        if (!state().sprite) state().sprite = Assets::sprite(kNoticeSprite, true);
        openPanel(menu);
    };
    screen.update = [gameState, menu](int frameMs) {
        if (state().sprite) state().sprite->update(frameMs);
        const int c = panelFrame(menu, frameMs);
        if (c != -1) noticeCommand(gameState, c);
    };
    screen.paint = [gameState](Graphics& g) { paintNotice(g, gameState); };
    screen.key = [menu](int key, int type) { keyToPanel(menu, key, type); };
    screen.pointer = [menu](int x, int y, int type) { pointerToPanel(menu, x, y, type); };
    return screen;
}

Screen Notices::briefing() {
    Screen screen;
    screen.enter = [] { openPanel(kBriefingPanel); };
    screen.update = [](int frameMs) {
        const int c = panelFrame(kBriefingPanel, frameMs);
        if (c == CMD_YES) {
            LoadingScreen::loadThen(STATE_SWING_STAGE);
        } else if (c == CMD_NO) {
            if (Brindle::shared().progress.levelGrade[1] < 2) LevelBrowser::showHint();
            StateMachine::setState(STATE_LEVEL_SELECT);
        }
    };
    screen.paint = [](Graphics& g) {
        MenuBackground::drawCached(g);
        drawPanel(g, kBriefingPanel);
    };
    screen.key = [](int key, int type) { keyToPanel(kBriefingPanel, key, type); };
    screen.pointer = [](int x, int y, int type) { pointerToPanel(kBriefingPanel, x, y, type); };
    return screen;
}

}  // namespace game::flow
