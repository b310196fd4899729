// TextPanel: the list and scrolling-text widget of every menu, notice,
// briefing and popup. A panel shows an optional title row and a column of
// items; in list mode one row is selected and FIRE acts on it, in text
// mode the items are word-wrapped paragraphs that scroll. What the player
// did comes out as one event that the owner collects from update(), once;
// while an event waits, the panel takes no input.
//
// Also here: the game's word wrapping (a forced break is the two
// characters backslash and "n") and its vertical colour gradient.
// Frame thread only.
#pragma once

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace javax::microedition::lcdui {
class Graphics;
class Image;
}  // namespace javax::microedition::lcdui

namespace game {

class BitmapFont;
class SpriteSheet;

class TextPanel {
public:
    using Graphics = javax::microedition::lcdui::Graphics;
    using Image = javax::microedition::lcdui::Image;
    using FontRef = std::shared_ptr<BitmapFont>;
    using SpriteRef = std::shared_ptr<SpriteSheet>;

    static constexpr int MODE_LIST = 0, MODE_TEXT = 1;
    // Item types. 2 and 6 are inert rows (6 takes no room); 3 and 7 are
    // selectable rows that act like action items.
    static constexpr int ITEM_EMPTY = -1, ITEM_ACTION = 0, ITEM_STATIC = 1, ITEM_SLIDER = 4, ITEM_CHOICE = 5;
    // Layout flags.
    static constexpr int LAYOUT_CENTRE_ITEMS = 1, LAYOUT_CENTRE_CONTENT = 2;
    static constexpr int EVENT_COMMAND = 0, EVENT_ITEM = 1;
    static constexpr int kSliderPositions = 6;
    static constexpr int kClickSound = 0x30001;
    static constexpr int kHighlightColour = 0xFFFD28;
    static constexpr int kBarEdgeColour = 0xFF6300;
    static constexpr int kBarKeyColour = 0xFF0000;

    struct Event {
        int type;   // EVENT_ITEM: value is the item's action; EVENT_COMMAND: a command id
        int value;
        bool operator==(const Event&) const = default;
    };

    struct Item {
        int type = ITEM_EMPTY;
        std::optional<std::string> label;
        std::vector<std::string> lines;
        // A picture per state: 0 normal, 1 selected, 2 disabled, 3 value 0.
        std::array<std::shared_ptr<Image>, 4> images;
        // Its animation index is the item's state.
        SpriteRef sprite;
        int action = 0;
        bool disabled = false;
        int value = 0, valueCount = 0;
        std::vector<std::string> choiceTexts;
        std::vector<std::shared_ptr<Image>> choiceImages;
        SpriteRef choiceSprite;
        // Layout: the row's box in content coordinates.
        int x = 0, y = 0, width = 0, height = 0, labelWidth = 0, valueWidth = 0;
    };

    // Shared by every panel.
    struct Shared {
        SpriteRef upArrow, downArrow;
        int upArrowHeight = 2, downArrowHeight = 2;
        // 0 still, 1 down, 2 up: only one panel scrolls at a time.
        int scrollDirection = 0;
        FontRef titleFont, textFont, itemFont;
    };
    static Shared& shared();
    static void resetClassState();
    static void setDefaultFonts(FontRef title, FontRef text, FontRef item);
    // The arrows shown while content lies above or below the view; their
    // heights are the tallest extent + 2 over their animations.
    static void initArrows(SpriteRef up, SpriteRef down);

    TextPanel();

    // Empties the panel for itemCount items, style 3, the default fonts.
    void setup(int mode, int itemCount, int layoutFlags);
    void setStyle(int style);
    // Null fonts keep the current ones.
    void setFonts(FontRef title, FontRef text, FontRef item);
    void setTitle(std::optional<std::string> text, std::shared_ptr<Image> picture, int unused = 1);
    // Index outside the items: ArrayIndexOutOfBoundsException.
    void setItem(int index, int type, std::optional<std::string> label, std::vector<std::shared_ptr<Image>> pictures,
                 int action);
    void setSpriteItem(int index, std::optional<std::string> label, SpriteRef sprite, int action);
    // Six positions 0..5 (min and max are not used); the knob, when given,
    // becomes the panel's and shows the value as its frame.
    void addSlider(int index, std::optional<std::string> label, SpriteRef icon, int min, int max, int action,
                   SpriteRef knob);
    void addChoice(int index, std::optional<std::string> label, SpriteRef sprite, std::vector<std::string> choices,
                   SpriteRef choiceSprite, int action);
    // side 0 left, 1 right; -1 for none.
    void setSoftkeyCommand(int side, int command);
    void setItemValue(int index, int value);
    int itemValue(int index) const { return item(index).value; }
    void setItemDisabled(int index, bool disabled);
    // Item colours follow the style; this one marks the selected row.
    void setHighlightColour(int colour) { highlightColour_ = colour; }
    // The wide (capped) bar starts inset px into the content and is
    // narrower px narrower than it (140 and 280 unless set).
    void setWideHighlight(int inset, int narrower) {
        wideInset_ = inset;
        wideNarrower_ = narrower;
    }

    // Keeps the content px clear of the panel's right edge, for a panel
    // drawn shifted right inside its window. Takes effect at the next layout.
    void setRightReserve(int px) { rightReserve_ = std::max(px, 0); }
    void layout(int width, int height);
    void setBounds(int x, int y, int width, int height);
    void layoutAligned(int width, int height, bool wideHighlight, bool alignCentred);
    // The panel becomes the active one: its softkeys go to the canvas.
    void reset();
    void selectItem(int index);

    // GameMidlet key types; the code of a KEY_COMMAND is a command id.
    void handleKey(int code, int type);
    // GameMidlet pointer types; x, y on the screen.
    void handlePointer(int type, int x, int y);
    std::optional<Event> update(int dt);
    void draw(Graphics& g, int x, int y);

    // Lines of text no wider than width (the first indentLines lines no
    // wider than width - indent); every line holds at least one character.
    static std::vector<std::string> wrapText(const BitmapFont& font, std::string_view text, int width, int indent = 0,
                                             int indentLines = 0);
    static std::vector<std::string> wrap(std::string_view text, const BitmapFont& font, int width) {
        return wrapText(font, text, width);
    }
    // Bands of step rows from colourFrom at the top to colourTo at the
    // bottom row.
    static void gradient(Graphics& g, int x, int y, int w, int h, int colourFrom, int colourTo, int step);

    // ---- read by owners and tests ----
    int mode() const { return mode_; }
    int selected() const { return selected_; }
    int itemCount() const { return static_cast<int>(items_.size()); }
    const Item& item(int index) const;
    int width() const { return width_; }
    int height() const { return height_; }
    int originX() const { return originX_; }
    int originY() const { return originY_; }
    int scrollY() const { return scrollY_; }
    int contentHeight() const { return contentHeight_; }
    int viewHeight() const { return viewHeight_; }
    int contentTop() const { return contentTop_; }
    int rowHeight() const { return rowHeight_; }
    int visibleRows() const { return visibleRows_; }
    bool eventPending() const { return eventPending_; }
    const FontRef& titleFont() const { return titleFont_; }
    const FontRef& textFont() const { return textFont_; }
    const FontRef& itemFont() const { return itemFont_; }
    int softkeyCommand(int side) const { return softkeyCommands_[side == 0 ? 0 : 1]; }

private:
    struct Marquee {
        int offset = 0, direction = 1, timer = 0;
        void restart() { *this = Marquee{}; }
        void advance(int dt, int overflow);
        int shift(int overflow) const;
    };

    Item& itemAt(int index);
    bool selectable(int index) const;
    int nextSelectable(int index) const;
    int previousSelectable(int index) const;
    bool contentScrolls() const { return contentHeight_ > viewHeight_; }
    // An item state for its pictures and sprite: 0 normal, 1 selected, 2 disabled, 3 value 0.
    int itemState(int index) const;
    void report(int type, int value);
    // FIRE on the selected row; a click on it does the same silently.
    void activate(bool withSound);
    void moveSelection(bool up);
    void startScroll(int direction, int steps);
    void stopScroll();
    int centringOffset() const;
    int labelColour(int index) const;
    void drawText(Graphics& g, const FontRef& font, std::string_view text, int x, int y, int colour) const;
    void drawItem(Graphics& g, int index, int x, int y);
    void drawValue(Graphics& g, const Item& it, int x, int y);
    static int pictureHeight(const Item& it);
    static int pictureWidth(const Item& it);

    int mode_ = MODE_LIST;
    int layoutFlags_ = 0;
    int style_ = 3;
    bool drawBackground_ = false, drawFrame_ = false, fullWidthTitle_ = true, drawTitleBand_ = false;
    bool alignCentred_ = true, wideHighlight_ = true;
    int highlightColour_ = kHighlightColour;
    int wideInset_ = 140, wideNarrower_ = 280;
    int backgroundTop_ = 0xFF882A, backgroundBottom_ = 0xFFF587;
    int titleBandTop_ = 0xB0B0C0, titleBandBottom_ = 0x101020;
    int textColour_ = 0;
    FontRef titleFont_, textFont_, itemFont_;

    int originX_ = 0, originY_ = 0;
    int drawnX_ = 0, drawnY_ = 0;
    int boxWidth_ = 0, boxHeight_ = 0, inset_ = 0;
    int width_ = 0, height_ = 0;
    int marginX_ = 6, marginY_ = 8;
    int rightReserve_ = 0;
    int contentX_ = 0, contentTop_ = 0, contentWidth_ = 0, viewHeight_ = 0;
    int screenWidth_ = 800, screenHeight_ = 600;

    int scrollY_ = 0, contentHeight_ = 0;
    int rowHeight_ = 1, lineHeight_ = 1, visibleRows_ = 1;
    int scrollSteps_ = -1, keyHold_ = 0;
    int upArrowX_ = 0, upArrowY_ = 0, downArrowY_ = 0;

    int selected_ = -1;

    bool hasTitle_ = false;
    std::shared_ptr<Image> titlePicture_;
    std::string titleText_;
    int titleTextWidth_ = 0, titleRowHeight_ = 0, titleBoxWidth_ = 0;
    Marquee titleMarquee_, itemMarquee_;

    std::vector<Item> items_;
    SpriteRef sliderKnob_;

    std::array<int, 2> softkeyCommands_{-1, -1};
    Event event_{EVENT_COMMAND, -1};
    bool eventPending_ = false;
};

}  // namespace game
