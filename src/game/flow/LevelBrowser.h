// The level browser: the game's 27 levels as nine cards of three on a band
// that scrolls sideways. The card art decides where each level's icon and
// name tag go (the boxes of the card animation's first frame: kinds 3..5
// the name-tag anchors, 0..2 the icons, x from the card's left edge, y from
// the band's vertical centre). Grades: 0 locked, 1 open, 2..4 one to three
// stars, 5 the alternative finish (shown as three stars).
//
// Also the movement between levels, the scrolling (24.8 fixed point, moved
// by elapsed time so that it ends exactly on its target) and the info box
// that opens once the selection has rested. The level-select screens
// (LevelSelect) drive it. Frame thread only.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "game/SpriteSheet.h"

namespace javax::microedition::lcdui {
class Graphics;
}

namespace game::flow {

class LevelBrowser {
public:
    using Graphics = javax::microedition::lcdui::Graphics;
    using SpriteRef = std::shared_ptr<SpriteSheet>;

    static constexpr int kLevels = 27, kGroups = 9;
    static constexpr int kCardGap = 52, kTileStep = 80;
    static constexpr std::array<int, kGroups> kCards = {0x5008B, 0x500C5, 0x500D8, 0x500A1, 0x500DB,
                                                        0x500CD, 0x500D1, 0x500C8, 0x500B7};
    static constexpr std::array<int, kLevels + 1> kIcons = {
        -1,      0x500C3, 0x500B0, 0x500C3, 0x500B0, 0x500D5, 0x500B0, 0x500D5, 0x500D5, 0x500D4,
        0x500D4, 0x500D5, 0x500D5, 0x500E3, 0x500D4, 0x500E3, 0x500E3, 0x500D4, 0x500DE, 0x500E4,
        0x500DE, 0x500DE, 0x500E4, 0x500E5, 0x500E4, 0x500E5, 0x500E4, 0x500E0};
    static constexpr std::array<int, 9> kFrameTiles = {0x500E8, 0x500F0, 0x500F4, 0x500F3, 0x500F1,
                                                       0x500EC, 0x500F6, 0x500EE, 0x500F8};
    static constexpr int kFiller = 0x500D0, kMarker = 0x500B4, kLock = 0x5009C, kNameTag = 0x500C6,
                         kStars = 0x50015;
    static constexpr int kTitlesText = 118, kNameBand = 0xFFE676;
    // Hints: on level 1, elsewhere.
    static constexpr int kHintText = 89, kFindLevelOneText = 90;
    // Info box texts: after a title when the level before is still open;
    // alone for a locked level.
    static constexpr int kOpensAfterText = 3, kLockedText = 4;
    static constexpr int kRestMs = 600, kInfoSlideMs = 400;
    static constexpr int kScrollMs = 1000, kWrapScrollMs = 2000;
    enum InfoMode : int { INFO_IDLE = 0, INFO_OPENING = 1, INFO_SHOWN = 2, INFO_CLOSING = 3 };

    struct State {
        std::array<std::string, kLevels + 1> titles;
        bool titlesRead = false;
        std::array<SpriteRef, kGroups> cards;
        std::array<SpriteRef, kLevels + 1> icons;
        std::array<SpriteRef, 9> frameTiles;
        SpriteRef filler, marker, lock, nameTag, stars;
        int cardWidth = 360, cardHeight = 440;
        // 24.8 fixed point: the band's scroll, where it goes, and from where.
        int offset = 0, target = 0, scrollFrom = 0;
        int scrollMs = 0, scrollElapsed = 0;
        // Info box.
        int infoMode = INFO_IDLE, infoClock = 0, infoLevel = -1;
        std::vector<std::string> infoLines;
        int infoHeight = 0;
        // Where the selected level's icon was last drawn (the pointer aims at it).
        int selectedX = -1000, selectedY = -1000;
    };
    static State& state();

    // "a|b|c" into titles 1, 2, 3 ...; at most 27, the rest stay empty.
    static void splitTitles(const std::string& text, std::array<std::string, kLevels + 1>& titles);

    // The card size for the screen; the cached background marked.
    static void prepare();
    // One loading sub-step (0, 1, ...); true when the last one ran.
    // withIntro: the band scrolls in from the left instead of standing.
    static bool loadStep(int step, bool withIntro);

    // The band offset (24.8) that centres the card of a level.
    static int offsetFor(int level);
    static void scrollTo(int level, int durationMs);
    static void scroll(int ms);
    static bool settled() { return state().offset == state().target; }
    // One level back (-1) or forward (+1), wrapping; the band scrolls when
    // the move leaves the card.
    static void move(int direction);

    // The hint for a player who has not finished level 1: opened in the
    // pop-up and marked so that it follows the selection.
    static void showHint();

    // The info box's clock and mode.
    static void updateInfo(int ms);
    // The info text of a level: its title, with text 3 when the level
    // before is open but unfinished, or text 4 for a locked one.
    static std::string infoText(int level);

    // The band (shifted down by dy while it slides in), cards, icons and
    // name tag; the info box.
    static void draw(Graphics& g, int dy = 0);
    static void drawCard(Graphics& g, int group, int x, int dy);
    static void drawInfo(Graphics& g);
    static void updateSprites(int ms);
    static int bandTop();
    // The group whose card or gap lies under the left screen edge.
    static int firstVisibleGroup();

private:
    static void drawNameTag(Graphics& g, int x, int y, const std::string& title);
};

}  // namespace game::flow
