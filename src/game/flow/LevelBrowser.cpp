#include "game/flow/LevelBrowser.h"

#include <algorithm>
#include <cstdint>

#include "game/Brindle.h"
#include "game/MainCanvas.h"
#include "game/flow/Assets.h"
#include "game/ui/BitmapFont.h"
#include "game/ui/Popup.h"
#include "game/ui/TextPanel.h"
#include "game/world/FixedMath.h"
#include "game/world/FrameBoxes.h"
#include "game/world/GameWorld.h"
#include "javax/microedition/lcdui/Graphics.h"

namespace game::flow {

using javax::microedition::lcdui::Graphics;
using world::FixedMath;
using world::FrameBoxes;

namespace {
constexpr int kW = MainCanvas::kScreenWidth, kH = MainCanvas::kScreenHeight;
constexpr int kInfoInk = 0x1B1B2F;

int gradeOf(int level) {
    if (level < 1 || level > LevelBrowser::kLevels) return 0;
    return Brindle::shared().progress.levelGrade[static_cast<std::size_t>(level)];
}

int stride() { return LevelBrowser::state().cardWidth + LevelBrowser::kCardGap; }

int frameCount(const SpriteSheet& s) {
    const auto& a = s.getCurrentAnimation();
    return a && a->size() > 4 ? (*a)[4] : 0;
}

// Shows frame f of a sprite when it has one.
void drawFrame(Graphics& g, const LevelBrowser::SpriteRef& s, int f, int x, int y) {
    if (!s || f >= frameCount(*s)) return;
    if (s->getFrame() != f) s->setFrame(f);
    s->draw(g, x, y);
}

const std::shared_ptr<BitmapFont>& infoFont() { return Brindle::shared().fonts[1]; }

// The hint for a player who has not finished level 1 yet.
int hintText() {
    return Brindle::shared().progress.selectedLevel == 1 ? LevelBrowser::kHintText : LevelBrowser::kFindLevelOneText;
}
}  // namespace

LevelBrowser::State& LevelBrowser::state() { return Brindle::shared().browser; }

void LevelBrowser::splitTitles(const std::string& text, std::array<std::string, kLevels + 1>& titles) {
    std::fill(titles.begin(), titles.end(), std::string());
    std::size_t start = 0;
    for (int level = 1; level <= kLevels && start <= text.size(); ++level) {
        const std::size_t bar = text.find('|', start);
        titles[static_cast<std::size_t>(level)] = text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
}

void LevelBrowser::prepare() {
    State& s = state();
    s.cardWidth = std::clamp(kW * 85 / 100, 256, 360);
    s.cardHeight = std::clamp(kH * 90 / 100, 320, 440);
    s.infoMode = INFO_IDLE;
    s.infoClock = 0;
    s.infoLevel = -1;
    world::GameWorld::markBackground();
}

bool LevelBrowser::loadStep(int step, bool withIntro) {
    State& s = state();
    if (step == 0) {
        if (!s.titlesRead) {
            splitTitles(Assets::text(kTitlesText), s.titles);
            s.titlesRead = true;
        }
        for (std::size_t i = 0; i < s.frameTiles.size(); ++i)
            if (!s.frameTiles[i]) s.frameTiles[i] = Assets::sprite(kFrameTiles[i], false);
        if (!s.filler) s.filler = Assets::sprite(kFiller, true);
        if (!s.marker) s.marker = Assets::sprite(kMarker, true);
        if (!s.lock) s.lock = Assets::sprite(kLock, false);
        if (!s.nameTag) s.nameTag = Assets::sprite(kNameTag, false);
        if (!s.stars) s.stars = Assets::sprite(kStars, false);
        return false;
    }
    if (step <= kGroups) {
        const int g = step - 1;
        if (!s.cards[static_cast<std::size_t>(g)]) {
            s.cards[static_cast<std::size_t>(g)] = Assets::sprite(kCards[static_cast<std::size_t>(g)], false);
            for (int level = 3 * g + 1; level <= 3 * g + 3; ++level)
                s.icons[static_cast<std::size_t>(level)] = Assets::sprite(kIcons[static_cast<std::size_t>(level)], true);
        }
        return false;
    }
    // The last step places the band.
    const format::Progress& p = Brindle::shared().progress;
    const int level = std::clamp(p.selectedLevel, 1, kLevels);
    const bool hint = p.levelGrade[1] < 2;
    if (withIntro)
        s.offset = offsetFor(level) - kW * 256;
    else if (!hint)
        s.offset = offsetFor(level);
    s.target = s.offset;
    s.scrollMs = 0;
    if (hint) showHint();
    if (hint || withIntro) scrollTo(level, kScrollMs);
    return true;
}

int LevelBrowser::offsetFor(int level) {
    const State& s = state();
    return (((level - 1) / 3) * stride() - (kW - s.cardWidth) / 2) * 256;
}

void LevelBrowser::scrollTo(int level, int durationMs) {
    State& s = state();
    s.scrollFrom = s.offset;
    s.target = offsetFor(level);
    s.scrollMs = std::max(durationMs, 1);
    s.scrollElapsed = 0;
}

void LevelBrowser::scroll(int ms) {
    State& s = state();
    if (s.offset == s.target) return;
    // By elapsed time, so that it ends exactly on the target.
    s.scrollElapsed = std::min(s.scrollElapsed + std::max(ms, 0), s.scrollMs);
    const std::int64_t span = std::int64_t{s.target} - s.scrollFrom;
    s.offset = s.scrollElapsed >= s.scrollMs ? s.target
                                              : static_cast<int>(s.scrollFrom + span * s.scrollElapsed / s.scrollMs);
}

void LevelBrowser::move(int direction) {
    format::Progress& p = Brindle::shared().progress;
    const int level = std::clamp(p.selectedLevel, 1, kLevels);
    bool leaves, wrapped;
    int next;
    if (direction < 0) {
        leaves = level % 3 == 1;
        wrapped = level == 1;
        next = wrapped ? kLevels : level - 1;
    } else {
        leaves = level % 3 == 0;
        wrapped = level == kLevels;
        next = wrapped ? 1 : level + 1;
    }
    p.selectedLevel = next;
    if (leaves) scrollTo(next, wrapped ? kWrapScrollMs : kScrollMs);
    // The hint follows the selection.
    if (Popup::visible() && Popup::state().marked) Popup::show(Assets::text(hintText()));
}

void LevelBrowser::showHint() {
    Popup::show(Assets::text(hintText()));
    Popup::open();
    Popup::state().marked = true;
}

std::string LevelBrowser::infoText(int level) {
    const std::string& title = state().titles[static_cast<std::size_t>(std::clamp(level, 0, kLevels))];
    const int grade = gradeOf(level);
    // Locked until the level before is finished.
    if (grade == 0 && gradeOf(level - 1) == 1) return title + Assets::text(kOpensAfterText);
    // The alternative finish is a finish: its title, not the locked text.
    if (grade >= 1 && grade <= 5) return title;
    return Assets::text(kLockedText);
}

void LevelBrowser::updateInfo(int ms) {
    State& s = state();
    const int level = Brindle::shared().progress.selectedLevel;
    // Capped: the box may stay shown for as long as the player likes.
    s.infoClock = std::min(s.infoClock + std::max(ms, 0), 1 << 20);
    switch (s.infoMode) {
    case INFO_IDLE:
        if (level != s.infoLevel) {
            s.infoLevel = level;
            s.infoClock = 0;
        } else if (s.infoClock >= kRestMs) {
            const auto& font = infoFont();
            s.infoLines = font ? TextPanel::wrap(infoText(level), *font, kW - 270) : std::vector<std::string>{};
            s.infoHeight = static_cast<int>(s.infoLines.size()) * (font ? font->height() : 0) + 5;
            s.infoMode = INFO_OPENING;
            s.infoClock = 0;
        }
        break;
    case INFO_OPENING:
        if (s.infoClock >= kInfoSlideMs) s.infoMode = INFO_SHOWN;
        break;
    case INFO_SHOWN:
        if (level != s.infoLevel) {
            s.infoMode = INFO_CLOSING;
            s.infoClock = 0;
        }
        break;
    default:
        if (s.infoClock >= kInfoSlideMs) {
            s.infoMode = INFO_IDLE;
            s.infoClock = 0;
        }
        break;
    }
}

void LevelBrowser::updateSprites(int ms) {
    State& s = state();
    if (s.filler) s.filler->update(ms);
    if (s.marker) s.marker->update(ms);
    const int level = Brindle::shared().progress.selectedLevel;
    if (level >= 1 && level <= kLevels && s.icons[static_cast<std::size_t>(level)])
        s.icons[static_cast<std::size_t>(level)]->update(ms);
}

int LevelBrowser::bandTop() { return (kH - state().cardHeight) / 2; }

int LevelBrowser::firstVisibleGroup() { return FixedMath::floorDiv(state().offset >> 8, stride()); }

void LevelBrowser::draw(Graphics& g, int dy) {
    const State& s = state();
    g.setClip(0, 0, kW, kH);
    const int first = firstVisibleGroup();
    for (int group = first; group < first + 4; ++group) drawCard(g, group, group * stride() - (s.offset >> 8), dy);
    // Above and below the band.
    const int top = bandTop() + dy, bottom = top + s.cardHeight;
    if (const SpriteRef& fill = s.frameTiles[8]) {
        const int half = kTileStep / 2;
        for (int x = 0; x < kW; x += kTileStep) {
            for (int y = top - kTileStep; y > -kTileStep; y -= kTileStep) fill->draw(g, x + half, y + half);
            for (int y = bottom; y < kH; y += kTileStep) fill->draw(g, x + half, y + half);
        }
    }
}

void LevelBrowser::drawCard(Graphics& g, int group, int x, int dy) {
    const State& s = state();
    const int top = bandTop() + dy, centre = top + s.cardHeight / 2;
    if (s.filler)
        for (int tx = x; tx < x + stride(); tx += kTileStep) s.filler->draw(g, tx, top);
    // The band's edges.
    for (int tx = x, column = 0; tx < x + stride(); tx += kTileStep, column = (column + 1) & 3) {
        drawFrame(g, s.frameTiles[static_cast<std::size_t>(column)], 0, tx, top);
        drawFrame(g, s.frameTiles[static_cast<std::size_t>(4 + column)], 0, tx, top + s.cardHeight);
    }
    if (group < 0 || group >= kGroups) return;
    const SpriteRef& card = s.cards[static_cast<std::size_t>(group)];
    if (!card) return;
    card->draw(g, x, centre);

    const int selected = Brindle::shared().progress.selectedLevel;
    const FrameBoxes boxes(*card, 0);
    bool tagFound = false;
    int tagX = 0, tagY = 0;
    for (int i = 0; i < boxes.count(); ++i) {
        const FrameBoxes::Box box = boxes.at(i);
        if (box.kind >= 3 && box.kind <= 5) {
            if (3 * group + box.kind - 2 == selected) {
                tagFound = true;
                tagX = x + box.x;
                tagY = centre + box.y;
            }
            continue;
        }
        if (box.kind < 0 || box.kind > 2) continue;
        const int level = 3 * group + 1 + box.kind;
        const int ix = x + box.x, iy = centre + box.y;
        const int grade = gradeOf(level);
        const bool isSelected = level == selected;
        if (isSelected) {
            if (grade > 0) {
                if (s.marker) s.marker->draw(g, ix, iy);
            } else {
                drawFrame(g, s.lock, 0, ix, iy);
            }
        }
        const SpriteRef& icon = s.icons[static_cast<std::size_t>(level)];
        if (icon && ix + icon->getExtentX() > 0 && ix - icon->getExtentX() < kW) {
            if (isSelected) {
                if (icon->getFrame() == 0 && frameCount(*icon) > 1) icon->setFrame(1);
            } else if (icon->getFrame() != 0) {
                icon->setFrame(0);
            }
            icon->draw(g, ix, iy);
        }
        if (grade >= 2) drawFrame(g, s.stars, grade == 5 ? 3 : grade - 1, ix, iy);
        if (isSelected) {
            if (grade == 0) drawFrame(g, s.lock, 1, ix, iy);
            state().selectedX = ix;
            state().selectedY = iy;
        }
    }
    if (tagFound) drawNameTag(g, tagX, tagY, s.titles[static_cast<std::size_t>(std::clamp(selected, 0, kLevels))]);
}

void LevelBrowser::drawNameTag(Graphics& g, int x, int y, const std::string& title) {
    const State& s = state();
    const auto& font = infoFont();
    const int w = font ? font->stringWidth(title) + 8 : 8;
    const int h = std::max(font ? font->height() + 4 : 0, 28);
    drawFrame(g, s.nameTag, 0, x, y);
    g.setColor(kNameBand);
    g.fillRect(x, y - h / 2, w, h);
    if (font) font->drawString(g, title, x + 4, y - h / 2 + 2, Graphics::TOP | Graphics::LEFT);
    drawFrame(g, s.nameTag, 1, x + w, y);
}

void LevelBrowser::drawInfo(Graphics& g) {
    const State& s = state();
    if (s.infoMode == INFO_IDLE || s.infoLines.empty()) return;
    const auto& font = infoFont();
    if (!font) return;
    // The box rises out of the band's lower edge while it opens and sinks
    // back while it closes; the rope edges sit outside the text.
    const int full = s.infoHeight + 12;
    int shown = full;
    if (s.infoMode == INFO_OPENING) shown = full * std::min(s.infoClock, kInfoSlideMs) / kInfoSlideMs;
    if (s.infoMode == INFO_CLOSING) shown = full * (kInfoSlideMs - std::min(s.infoClock, kInfoSlideMs)) / kInfoSlideMs;
    const int w = kW - 250, x = (kW - w) / 2;
    const int bottom = bandTop() + s.cardHeight - 14;
    const int y = bottom - shown;
    g.setClip(x, y - 6, w, shown + 6);
    for (int tx = x; tx < x + w; tx += kTileStep) {
        drawFrame(g, s.frameTiles[0], 0, tx, y);
        drawFrame(g, s.frameTiles[4], 0, tx, y + full);
    }
    // The rope tiles reach further into the box than its 6-px edges: the
    // text's ground goes over them.
    g.setColor(0xFFFFFF);
    g.fillRect(x, y + 6, w, full - 12);
    g.setColor(kInfoInk);
    g.drawLine(x, y + 6, x, y + full - 7);
    g.drawLine(x + w - 1, y + 6, x + w - 1, y + full - 7);
    int ty = y + 8;
    for (const std::string& line : s.infoLines) {
        font->drawString(g, line, kW / 2, ty, Graphics::TOP | Graphics::HCENTER);
        ty += font->height();
    }
    g.setClip(0, 0, kW, kH);
}

}  // namespace game::flow
