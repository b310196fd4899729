#include "game/flow/IntroStory.h"

#include <algorithm>

#include "game/Brindle.h"
#include "game/GameMidlet.h"
#include "game/MainCanvas.h"
#include "game/audio/SoundPlayer.h"
#include "game/flow/Assets.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/StateMachine.h"
#include "game/ui/BitmapFont.h"
#include "game/ui/PanelWindow.h"
#include "game/ui/TextPanel.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace game::flow {

using javax::microedition::lcdui::Graphics;

namespace {
constexpr int kW = MainCanvas::kScreenWidth, kH = MainCanvas::kScreenHeight;
constexpr int kIntroSeenFlag = 2;
constexpr int kPictureCount = static_cast<int>(IntroStory::kPages.size() * IntroStory::kPages[0].size());

enum Phase : int { OPEN = 0, WAIT, BOX_OPENING, BOX_SHOWN, BOX_CLOSING, NEXT_PICTURE, NEXT_PAGE, CLOSE };

const BitmapFont* captionFont() { return Brindle::shared().fonts[1].get(); }

void drawPicture(Graphics& g, int page, int picture, int dx, int dy) {
    if (page < 0 || page >= static_cast<int>(IntroStory::kPages.size())) return;
    const int id = IntroStory::kPages[static_cast<std::size_t>(page)][static_cast<std::size_t>(picture)];
    if (auto image = Assets::image(id)) g.drawImage(image, kW / 2 + dx, kH / 2 + dy, Graphics::HCENTER | Graphics::VCENTER);
}
}  // namespace

IntroStory::State& IntroStory::state() { return Brindle::shared().intro; }

void IntroStory::endPhase() {
    State& s = state();
    s.clock = 0;
    switch (s.phase) {
    case OPEN: s.phase = WAIT; break;
    case WAIT: {
        const std::string caption = s.caption < kPictureCount ? Assets::text(kFirstCaption + s.caption) : "";
        const BitmapFont* font = captionFont();
        if (!caption.empty() && font) {
            s.lines = TextPanel::wrap(caption, *font, kW - 16);
            s.boxHeight = static_cast<int>(s.lines.size()) * font->height() + 8;
            s.phase = BOX_OPENING;
        } else {
            s.lines.clear();
            s.boxHeight = 0;
            s.phase = BOX_CLOSING;
        }
        break;
    }
    case BOX_OPENING: s.phase = BOX_SHOWN; break;
    case BOX_SHOWN: s.phase = BOX_CLOSING; break;
    case BOX_CLOSING: {
        const int perPage = static_cast<int>(kPages[0].size());
        s.caption++;
        if (s.picture + 1 < perPage) {
            s.picture++;
            s.phase = NEXT_PICTURE;
        } else if (s.page + 1 < static_cast<int>(kPages.size())) {
            s.page++;
            s.picture = 0;
            s.phase = NEXT_PAGE;
        } else {
            s.phase = CLOSE;
        }
        break;
    }
    case NEXT_PICTURE:
    case NEXT_PAGE: s.phase = WAIT; break;
    default: s.over = true; break;
    }
}

void IntroStory::advance(int ms) {
    State& s = state();
    if (s.over) return;
    s.clock += std::max(ms, 0);
    while (!s.over && s.clock >= kPhaseMs[static_cast<std::size_t>(s.phase)]) {
        const int rest = s.clock - kPhaseMs[static_cast<std::size_t>(s.phase)];
        endPhase();
        s.clock = rest;
    }
}

void IntroStory::paint(Graphics& g) {
    const State& s = state();
    g.setClip(0, 0, kW, kH);
    g.setColor(kBackground);
    g.fillRect(0, 0, kW, kH);
    const int t = s.clock, length = kPhaseMs[static_cast<std::size_t>(s.phase)];
    if (s.phase == NEXT_PICTURE) {
        const int shift = kW * t / length;
        drawPicture(g, s.page, s.picture - 1, -shift, 0);
        drawPicture(g, s.page, s.picture, kW - shift, 0);
    } else if (s.phase == NEXT_PAGE) {
        const int shift = kH * t / length;
        drawPicture(g, s.page - 1, static_cast<int>(kPages[0].size()) - 1, 0, -shift);
        drawPicture(g, s.page, 0, 0, kH - shift);
    } else {
        drawPicture(g, s.page, s.picture, 0, 0);
    }
    // The loading colour recedes at the start and comes back at the end.
    if (s.phase == OPEN) PanelWindow::revealLoading(g, t * 300 / length, 2);
    if (s.phase == CLOSE) PanelWindow::revealLoading(g, 300 - t * 300 / length, 2);

    int h = 0;
    if (s.phase == BOX_OPENING) h = s.boxHeight * t / length;
    if (s.phase == BOX_SHOWN) h = s.boxHeight;
    if (s.phase == BOX_CLOSING) h = s.boxHeight - s.boxHeight * t / length;
    const BitmapFont* font = captionFont();
    if (h <= 0 || !font) return;
    g.setColor(kBoxColour);
    g.fillRect(4, 4, kW - 8, h);
    g.setColor(kInkColour);
    g.drawRect(4, 4, kW - 9, h - 1);
    g.setClip(4, 4, kW - 8, h);
    for (std::size_t i = 0; i < s.lines.size(); ++i)
        font->drawString(g, s.lines[i], 8, 8 + static_cast<int>(i) * font->height(), Graphics::TOP | Graphics::LEFT);
    g.setClip(0, 0, kW, kH);
}

Screen IntroStory::screen() {
    Screen screen;
    screen.enter = [] {
        MainCanvas::clearSoftkeys();
        MainCanvas::setSoftkey(CMD_SKIP, 0);
        SoundPlayer::playMusic(SoundPlayer::kMenuMusic);
        state() = State{};
    };
    screen.update = [](int frameMs) {
        State& s = state();
        if (s.delay > 0) {
            s.delay--;
        } else {
            advance(frameMs);
        }
        if (s.over || StateMachine::state().keyBits != 0) {
            Brindle::shared().progress.progressFlags[kIntroSeenFlag] = true;
            LoadingScreen::loadThen(STATE_LEVEL_SELECT_INTRO);
            s.over = true;
        }
    };
    screen.paint = paint;
    screen.key = [](int key, int type) {
        if (type == GameMidlet::KEY_COMMAND && key == CMD_SKIP) StateMachine::state().keyBits |= KEY_FIRE;
    };
    screen.pointer = [](int, int, int type) {
        if (type == GameMidlet::POINTER_PRESS) StateMachine::state().keyBits |= KEY_FIRE;
    };
    return screen;
}

}  // namespace game::flow
