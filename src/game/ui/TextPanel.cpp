#include "game/ui/TextPanel.h"

#include <algorithm>
#include <utility>

#include "game/GameMidlet.h"
#include "game/MainCanvas.h"
#include "game/SpriteSheet.h"
#include "game/audio/SoundPlayer.h"
#include "game/ui/BitmapFont.h"
#include "game/ui/CodePoints.h"
#include "game/ui/ScreenEffects.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace game {

using javax::microedition::lcdui::Graphics;

namespace {
std::unique_ptr<TextPanel::Shared>& sharedStore() {
    static auto s = std::make_unique<TextPanel::Shared>();
    return s;
}

constexpr int kDisabledColour = 0x7F7F7F;
constexpr int kSelectedColour = 0x000000;
constexpr int kSliderOn = 0xFF6126, kSliderOff = 0x4D3300;
constexpr int kMarqueeStepMs = 40, kMarqueePause = 25;

int fontHeight(const TextPanel::FontRef& font) { return font ? font->height() : 0; }
int textWidth(const TextPanel::FontRef& font, std::string_view text) { return font ? font->stringWidth(text) : 0; }

// The tallest extent of a sprite's animations, + 2 (2 without one).
int arrowHeight(const TextPanel::SpriteRef& sprite) {
    int h = 2;
    if (!sprite) return h;
    const int current = sprite->getAnimationIndex();
    for (int a = 0; a < sprite->getAnimationCount(); ++a) {
        sprite->setAnimation(a, 0, true);
        h = std::max(h, sprite->getExtentY() + 2);
    }
    if (sprite->getAnimationCount() > 0) sprite->setAnimation(current, 0, true);
    return h;
}

void showAnimation(const TextPanel::SpriteRef& sprite, int index) {
    if (sprite && index < sprite->getAnimationCount() && sprite->getAnimationIndex() != index)
        sprite->setAnimation(index, 0, true);
}

// Narrows the clip to its intersection with a rectangle. Through setClip,
// so that getClip* report the narrowed clip to the fonts that save it.
void narrowClip(Graphics& g, int x, int y, int w, int h) {
    const int left = std::max(x, g.getClipX()), top = std::max(y, g.getClipY());
    const int right = std::min(x + w, g.getClipX() + g.getClipWidth());
    const int bottom = std::min(y + h, g.getClipY() + g.getClipHeight());
    g.setClip(left, top, std::max(right - left, 0), std::max(bottom - top, 0));
}

// Draws a sprite centred in a box.
void drawSpriteIn(Graphics& g, SpriteSheet& sprite, int x, int y, int w, int h) {
    sprite.draw(g, x + (w - sprite.getExtentX()) / 2 + sprite.getRefX(), y + (h - sprite.getExtentY()) / 2 + sprite.getRefY());
}
}  // namespace

TextPanel::Shared& TextPanel::shared() { return *sharedStore(); }

void TextPanel::resetClassState() { sharedStore() = std::make_unique<Shared>(); }

void TextPanel::setDefaultFonts(FontRef title, FontRef text, FontRef item) {
    Shared& s = shared();
    s.titleFont = std::move(title);
    s.textFont = std::move(text);
    s.itemFont = std::move(item);
}

void TextPanel::initArrows(SpriteRef up, SpriteRef down) {
    Shared& s = shared();
    s.upArrow = std::move(up);
    s.downArrow = std::move(down);
    s.upArrowHeight = arrowHeight(s.upArrow);
    s.downArrowHeight = arrowHeight(s.downArrow);
}

TextPanel::TextPanel() = default;

// ---- building ------------------------------------------------------------

void TextPanel::setup(int mode, int itemCount, int layoutFlags) {
    mode_ = mode;
    layoutFlags_ = layoutFlags;
    items_.assign(static_cast<std::size_t>(std::max(itemCount, 0)), Item{});
    selected_ = -1;
    scrollY_ = 0;
    contentHeight_ = 0;
    scrollSteps_ = -1;
    keyHold_ = 0;
    shared().scrollDirection = 0;
    hasTitle_ = false;
    titlePicture_.reset();
    titleText_.clear();
    softkeyCommands_ = {-1, -1};
    eventPending_ = false;
    sliderKnob_.reset();
    const Shared& s = shared();
    titleFont_ = s.titleFont;
    textFont_ = s.textFont;
    itemFont_ = s.itemFont;
    setStyle(3);
    screenWidth_ = MainCanvas::kScreenWidth;
    screenHeight_ = MainCanvas::kScreenHeight;
}

void TextPanel::setStyle(int style) {
    style_ = style;
    textColour_ = 0;
    auto flags = [this](bool background, bool frame, bool fullWidth, bool band) {
        drawBackground_ = background;
        drawFrame_ = frame;
        fullWidthTitle_ = fullWidth;
        drawTitleBand_ = band;
    };
    // Sunset background, dusk title band.
    auto warm = [this](bool band) {
        backgroundTop_ = 0xFF882A;
        backgroundBottom_ = 0xFFF587;
        if (band) {
            titleBandTop_ = 0xB0B0C0;
            titleBandBottom_ = 0x101020;
        }
    };
    switch (style) {
    case 1:
        backgroundTop_ = backgroundBottom_ = 0xFFFFFF;
        flags(true, false, false, false);
        break;
    case 2: flags(false, false, true, drawTitleBand_); break;
    case 3:
        warm(true);
        flags(false, false, true, false);
        break;
    case 4:
        warm(true);
        flags(true, true, true, true);
        break;
    case 5:
        warm(false);
        flags(true, true, false, true);
        break;
    case 8: flags(false, false, false, false); break;
    case 10:
        backgroundTop_ = backgroundBottom_ = 0xFFFFFF;
        highlightColour_ = kHighlightColour;
        flags(true, false, false, false);
        break;
    default: break;
    }
    marginX_ = drawFrame_ ? 1 : 6;
    marginY_ = drawFrame_ ? 1 : 8;
}

void TextPanel::setFonts(FontRef title, FontRef text, FontRef item) {
    if (title) titleFont_ = std::move(title);
    if (text) textFont_ = std::move(text);
    if (item) itemFont_ = std::move(item);
}

void TextPanel::setTitle(std::optional<std::string> text, std::shared_ptr<Image> picture, int) {
    hasTitle_ = text.has_value() || picture != nullptr;
    titleText_ = text.value_or("");
    titlePicture_ = std::move(picture);
    titleMarquee_.restart();
}

const TextPanel::Item& TextPanel::item(int index) const {
    if (index < 0 || index >= itemCount())
        throw java::lang::ArrayIndexOutOfBoundsException("item " + std::to_string(index) + " of a panel of " +
                                                         std::to_string(itemCount()));
    return items_[static_cast<std::size_t>(index)];
}

TextPanel::Item& TextPanel::itemAt(int index) { return const_cast<Item&>(std::as_const(*this).item(index)); }

void TextPanel::setItem(int index, int type, std::optional<std::string> label,
                        std::vector<std::shared_ptr<Image>> pictures, int action) {
    Item& it = itemAt(index);
    if (it.type != ITEM_EMPTY && selected_ == index) {
        // The selection leaves the slot for the next selectable item, or
        // the previous one when the next lies before it.
        const int next = nextSelectable(index);
        selected_ = (next != -1 && next < index) ? previousSelectable(index) : next;
        if (selected_ == index) selected_ = -1;
    }
    it = Item{};
    it.type = type;
    it.label = std::move(label);
    for (std::size_t i = 0; i < it.images.size() && i < pictures.size(); ++i) it.images[i] = pictures[i];
    // A single picture serves every state.
    if (pictures.size() == 1)
        for (auto& image : it.images) image = pictures[0];
    it.action = action;
}

void TextPanel::setSpriteItem(int index, std::optional<std::string> label, SpriteRef sprite, int action) {
    setItem(index, ITEM_ACTION, std::move(label), {}, action);
    itemAt(index).sprite = std::move(sprite);
}

void TextPanel::addSlider(int index, std::optional<std::string> label, SpriteRef icon, int, int, int action,
                          SpriteRef knob) {
    setItem(index, ITEM_SLIDER, std::move(label), {}, action);
    Item& it = itemAt(index);
    it.sprite = std::move(icon);
    it.valueCount = kSliderPositions;
    if (knob) sliderKnob_ = std::move(knob);
}

void TextPanel::addChoice(int index, std::optional<std::string> label, SpriteRef sprite,
                          std::vector<std::string> choices, SpriteRef choiceSprite, int action) {
    setItem(index, ITEM_CHOICE, std::move(label), {}, action);
    Item& it = itemAt(index);
    it.sprite = std::move(sprite);
    it.valueCount = static_cast<int>(choices.size());
    it.choiceTexts = std::move(choices);
    it.choiceSprite = std::move(choiceSprite);
}

void TextPanel::setSoftkeyCommand(int side, int command) { softkeyCommands_[side == 0 ? 0 : 1] = command; }

void TextPanel::setItemValue(int index, int value) {
    Item& it = itemAt(index);
    if (it.type == ITEM_SLIDER) value = std::clamp(value, 0, kSliderPositions - 1);
    if (it.type == ITEM_CHOICE && (value < 0 || value >= std::max(it.valueCount, 1)))
        throw java::lang::ArrayIndexOutOfBoundsException("choice " + std::to_string(value) + " of " +
                                                         std::to_string(it.valueCount));
    it.value = value;
}

void TextPanel::setItemDisabled(int index, bool disabled) { itemAt(index).disabled = disabled; }

// ---- selection -----------------------------------------------------------

bool TextPanel::selectable(int index) const {
    if (index < 0 || index >= itemCount()) return false;
    const int type = items_[static_cast<std::size_t>(index)].type;
    return type == ITEM_ACTION || type == 3 || type == ITEM_SLIDER || type == ITEM_CHOICE || type == 7;
}

int TextPanel::nextSelectable(int index) const {
    const int n = itemCount();
    int i = index;
    for (int step = 0; step < n; ++step) {
        i = (i + 1 + n) % n;
        if (selectable(i)) return i;
    }
    return -1;
}

int TextPanel::previousSelectable(int index) const {
    const int n = itemCount();
    int i = index < 0 ? 0 : index;
    for (int step = 0; step < n; ++step) {
        i = (i + n - 1) % n;
        if (selectable(i)) return i;
    }
    return -1;
}

void TextPanel::selectItem(int index) {
    const int n = itemCount();
    selected_ = -1;
    if (n > 0) {
        const int start = ((index % n) + n) % n;
        selected_ = selectable(start) ? start : nextSelectable(start);
    }
    itemMarquee_.restart();
    titleMarquee_.restart();
    if (mode_ != MODE_LIST || selected_ < 0 || !contentScrolls() || rowHeight_ <= 0) return;
    const int r = items_[static_cast<std::size_t>(selected_)].y / rowHeight_;
    int t = scrollY_ / rowHeight_;
    t = std::clamp(t, r - visibleRows_ / 2, r - (visibleRows_ - 1) / 2);
    const int contentRows = contentHeight_ / rowHeight_;
    t = std::clamp(t, 0, std::max(contentRows - visibleRows_, 0));
    scrollY_ = t * rowHeight_;
}

void TextPanel::reset() {
    MainCanvas::clearSoftkeys();
    const bool enabled = selected_ < 0 || !items_[static_cast<std::size_t>(selected_)].disabled;
    if (softkeyCommands_[0] != -1 && enabled) MainCanvas::setSoftkey(softkeyCommands_[0], 1);
    if (softkeyCommands_[1] != -1) MainCanvas::setSoftkey(softkeyCommands_[1], 3);
    if (mode_ == MODE_TEXT) scrollY_ = 0;
    titleMarquee_.restart();
    shared().scrollDirection = 0;
}

// ---- layout --------------------------------------------------------------

int TextPanel::pictureHeight(const Item& it) {
    int h = 0;
    for (const auto& image : it.images)
        if (image) h = std::max(h, image->getHeight());
    for (const auto& image : it.choiceImages)
        if (image) h = std::max(h, image->getHeight());
    if (it.sprite) h = std::max(h, it.sprite->getExtentY());
    if (it.choiceSprite) h = std::max(h, it.choiceSprite->getExtentY());
    return h;
}

int TextPanel::pictureWidth(const Item& it) {
    int w = 0;
    for (const auto& image : it.images)
        if (image) w = std::max(w, image->getWidth());
    if (it.sprite) w = std::max(w, it.sprite->getExtentX());
    return w;
}

void TextPanel::setBounds(int x, int y, int width, int height) {
    layout(width, height);
    originX_ = drawnX_ = x;
    originY_ = drawnY_ = y;
}

void TextPanel::layoutAligned(int width, int height, bool wideHighlight, bool alignCentred) {
    wideHighlight_ = wideHighlight;
    alignCentred_ = alignCentred;
    layout(width, height);
}

void TextPanel::layout(int w, int h) {
    const Shared& s = shared();
    const MainCanvas::State& canvas = MainCanvas::state();
    // Room below the panel for the down arrow and the softkey bar.
    boxWidth_ = std::max(w, 0);
    boxHeight_ = std::max(h - canvas.softkeyBarHeight - 7 - s.downArrowHeight, 0);
    inset_ = drawFrame_ ? 4 : 0;
    width_ = std::max(boxWidth_ - 2 * inset_, 0);
    height_ = std::max(boxHeight_ - 2 * inset_, 0);

    // Title row.
    titleRowHeight_ = 0;
    titleTextWidth_ = textWidth(titleFont_, titleText_);
    if (hasTitle_) {
        const int pictureH = titlePicture_ ? titlePicture_->getHeight() : 0;
        const int pictureW = titlePicture_ ? titlePicture_->getWidth() : 0;
        titleRowHeight_ = std::max(pictureH, fontHeight(titleFont_)) + 2;
        const int rowWidth = fullWidthTitle_ ? screenWidth_ : width_;
        titleBoxWidth_ = std::min(rowWidth - pictureW - 8, titleTextWidth_) + 8;
    }

    contentX_ = inset_ + marginX_;
    contentWidth_ = std::max(width_ - 2 * marginX_ - rightReserve_, 0);
    contentTop_ = inset_ + (hasTitle_ ? titleRowHeight_ : marginY_) + s.upArrowHeight;
    viewHeight_ = std::max(height_ - (hasTitle_ ? titleRowHeight_ : marginY_) - s.upArrowHeight, 0);

    lineHeight_ = std::max(fontHeight(textFont_) + 4, 1);
    if (mode_ == MODE_LIST) {
        int tallest = fontHeight(itemFont_);
        for (const Item& it : items_)
            if (it.type != ITEM_EMPTY) tallest = std::max(tallest, pictureHeight(it));
        rowHeight_ = std::max(fontHeight(itemFont_) + 2, tallest + 2) + 8;
    } else {
        rowHeight_ = lineHeight_;
        viewHeight_ -= viewHeight_ % lineHeight_;
    }

    int y = 0;
    int smallestLeft = contentWidth_;
    for (Item& it : items_) {
        it.lines.clear();
        it.x = 0;
        it.y = y;
        it.width = it.height = it.labelWidth = it.valueWidth = 0;
        if (it.type == ITEM_EMPTY || it.type == 6) continue;
        if (mode_ == MODE_LIST) {
            if (it.label) it.lines.push_back(*it.label);
            if (it.type == ITEM_SLIDER) it.valueWidth = kSliderPositions * 7;
            if (it.type == ITEM_CHOICE) {
                int pictures = 0, texts = 0;
                for (const auto& image : it.choiceImages)
                    if (image) pictures = std::max(pictures, image->getWidth());
                if (it.choiceSprite) pictures = std::max(pictures, it.choiceSprite->getExtentX());
                for (const auto& text : it.choiceTexts) texts = std::max(texts, textWidth(itemFont_, text));
                it.valueWidth = pictures + 8 + texts + 8;
            }
            const int picture = pictureWidth(it);
            if (it.label)
                it.labelWidth =
                    std::min(contentWidth_ - picture - it.valueWidth - 8, textWidth(itemFont_, *it.label)) + 8;
            it.width = std::min(picture + it.labelWidth + it.valueWidth, contentWidth_);
            it.height = rowHeight_;
        } else {
            int lines = 0;
            if (it.label && textFont_) {
                it.lines = wrapText(*textFont_, *it.label, contentWidth_);
                lines += static_cast<int>(it.lines.size());
            }
            const int picture = pictureHeight(it);
            if (picture > 0) lines += (picture + lineHeight_ - 1) / lineHeight_;
            it.width = contentWidth_;
            it.height = lines * lineHeight_;
        }
        if (layoutFlags_ & LAYOUT_CENTRE_ITEMS) {
            it.x = (contentWidth_ - it.width) / 2;
            smallestLeft = std::min(smallestLeft, it.x);
        }
        y += it.height;
    }
    contentHeight_ = y;
    if ((layoutFlags_ & LAYOUT_CENTRE_ITEMS) && alignCentred_ && mode_ == MODE_LIST)
        for (Item& it : items_)
            if (it.type != ITEM_EMPTY && it.type != 6) it.x = smallestLeft;

    visibleRows_ = std::max(viewHeight_ / std::max(rowHeight_, 1), 1);
    upArrowX_ = inset_ + width_ / 2;
    upArrowY_ = contentTop_ - s.upArrowHeight / 2;
    downArrowY_ = contentTop_ + viewHeight_ + s.downArrowHeight / 2;

    scrollY_ = std::clamp(scrollY_, 0, std::max(contentHeight_ - viewHeight_, 0));
    if (mode_ == MODE_LIST) {
        selectItem(selectable(selected_) ? selected_ : 0);
    } else {
        scrollY_ = 0;
    }
}

// ---- input ---------------------------------------------------------------

void TextPanel::report(int type, int value) {
    event_ = {type, value};
    eventPending_ = true;
}

void TextPanel::activate(bool withSound) {
    if (selected_ < 0) return;
    Item& it = items_[static_cast<std::size_t>(selected_)];
    if (it.disabled) return;
    if (it.type == ITEM_SLIDER || it.type == ITEM_CHOICE) {
        if (it.valueCount <= 0) return;
        it.value = (it.value + 1) % it.valueCount;
    }
    if (withSound) SoundPlayer::playSound(kClickSound, 1);
    report(EVENT_ITEM, it.action);
}

void TextPanel::moveSelection(bool up) {
    const int next = up ? previousSelectable(selected_) : nextSelectable(selected_);
    if (next != -1) selectItem(next);
    showAnimation(up ? shared().upArrow : shared().downArrow, 1);
    reset();
}

void TextPanel::startScroll(int direction, int steps) {
    shared().scrollDirection = direction;
    scrollSteps_ = steps;
}

void TextPanel::stopScroll() {
    shared().scrollDirection = 0;
    scrollSteps_ = -1;
}

void TextPanel::handleKey(int code, int type) {
    if (eventPending_) return;
    if (type == GameMidlet::KEY_COMMAND) {
        if (mode_ == MODE_TEXT) {
            report(EVENT_COMMAND, code);
        } else if (code == softkeyCommands_[1] && code != -1) {
            report(EVENT_COMMAND, code);
        } else if (code == softkeyCommands_[0] && code != -1) {
            activate(true);
        }
        return;
    }
    const int digit = MainCanvas::keyToDigit(code);
    if (type == GameMidlet::KEY_PRESSED) {
        Item* it = selected_ >= 0 ? &items_[static_cast<std::size_t>(selected_)] : nullptr;
        if (mode_ == MODE_LIST && it && !it->disabled && (digit == '4' || digit == '6') &&
            (it->type == ITEM_SLIDER || it->type == ITEM_CHOICE)) {
            const int before = it->value;
            if (it->type == ITEM_SLIDER)
                it->value = std::clamp(it->value + (digit == '6' ? 1 : -1), 0, kSliderPositions - 1);
            else if (it->valueCount > 0)
                it->value = (it->value + (digit == '6' ? 1 : it->valueCount - 1)) % it->valueCount;
            if (it->value != before) {
                SoundPlayer::playSound(kClickSound, 1);
                report(EVENT_ITEM, it->action);
            }
            return;
        }
        if (digit == '5') {
            if (mode_ == MODE_TEXT) {
                if (softkeyCommands_[0] != -1) report(EVENT_COMMAND, softkeyCommands_[0]);
            } else {
                activate(true);
            }
        } else if (digit == '2' || digit == '8') {
            const bool up = digit == '2';
            if (mode_ == MODE_LIST) {
                moveSelection(up);
            } else {
                keyHold_ = 0;
                startScroll(up ? 2 : 1, -2);
            }
        }
    } else if (type == GameMidlet::KEY_RELEASED && (digit == '2' || digit == '8')) {
        if (mode_ == MODE_LIST) {
            showAnimation(shared().upArrow, 0);
            showAnimation(shared().downArrow, 0);
        }
        if (keyHold_ == 1)
            stopScroll();
        else
            keyHold_ = 2;
    }
}

void TextPanel::handlePointer(int type, int x, int y) {
    x -= drawnX_;
    y -= drawnY_;
    if (type == GameMidlet::POINTER_RELEASE) {
        if (scrollSteps_ == -2 || shared().scrollDirection != 0) stopScroll();
        return;
    }
    if (eventPending_) return;
    const bool press = type == GameMidlet::POINTER_PRESS;
    const bool move = type == GameMidlet::POINTER_MOVE;
    if (!press && !move && type != GameMidlet::POINTER_WHEEL_UP && type != GameMidlet::POINTER_WHEEL_DOWN) return;
    const Shared& s = shared();
    if (contentScrolls() && !move) {
        auto inArrow = [&](const SpriteRef& arrow, int arrowY) {
            const int w = arrow ? arrow->getExtentX() : 0, h = arrow ? arrow->getExtentY() : 0;
            return press && x >= upArrowX_ - w / 2 && x <= upArrowX_ + w / 2 && y >= arrowY - h / 4 &&
                   y <= arrowY + h / 2;
        };
        const bool up = type == GameMidlet::POINTER_WHEEL_UP || inArrow(s.upArrow, upArrowY_);
        const bool down = type == GameMidlet::POINTER_WHEEL_DOWN || inArrow(s.downArrow, downArrowY_);
        if (up || down) {
            if (mode_ == MODE_LIST && press)
                moveSelection(up);
            else
                startScroll(up ? 2 : 1, std::max(scrollSteps_, 0) + 10);
            return;
        }
    }
    if (mode_ != MODE_LIST || (!press && !move)) return;
    if (x < contentX_ || x >= contentX_ + contentWidth_ || y < contentTop_ || y >= contentTop_ + viewHeight_) return;
    const int cy = y - contentTop_ - centringOffset() + scrollY_;
    const int cx = x - contentX_;
    for (int i = 0; i < itemCount(); ++i) {
        const Item& it = items_[static_cast<std::size_t>(i)];
        if (it.type == ITEM_EMPTY || it.type == 6 || cy < it.y || cy >= it.y + it.height) continue;
        // Only real, selectable rows under the pointer count.
        if (!selectable(i) || cx < 0) return;
        if (i != selected_ || move) {
            if (i != selected_) {
                selectItem(i);
                reset();
            }
        } else {
            activate(false);
        }
        return;
    }
}

// ---- animation -----------------------------------------------------------

void TextPanel::Marquee::advance(int dt, int overflow) {
    timer += std::max(dt, 0);
    while (timer >= kMarqueeStepMs) {
        timer -= kMarqueeStepMs;
        offset += direction;
        if (offset >= overflow + kMarqueePause) direction = -1;
        if (offset <= -kMarqueePause) direction = 1;
    }
}

int TextPanel::Marquee::shift(int overflow) const { return std::clamp(offset, 0, std::max(overflow, 0)); }

std::optional<TextPanel::Event> TextPanel::update(int dt) {
    Shared& s = shared();
    if (s.scrollDirection != 0 && contentScrolls()) {
        int step = 2;
        bool move = true;
        if (scrollSteps_ == 0) {
            stopScroll();
            move = false;
        } else if (scrollSteps_ > 20) {
            step = 9;
            scrollSteps_ -= 5;
        } else if (scrollSteps_ > 10) {
            step = 5;
            scrollSteps_ -= 2;
        } else if (scrollSteps_ > 0) {
            step = 3;
        }
        if (move) {
            if (scrollSteps_ > 0) scrollSteps_ = std::max(scrollSteps_ - 1, 0);
            if (scrollSteps_ == -2) step += std::max(dt, 0) * (fontHeight(textFont_) + 4) / 300;
            scrollY_ += s.scrollDirection == 2 ? -step : step;
            scrollY_ = std::clamp(scrollY_, 0, contentHeight_ - viewHeight_);
            if (keyHold_ == 2)
                stopScroll();
            else
                keyHold_ = 1;
        }
    }
    if (hasTitle_) titleMarquee_.advance(dt, titleTextWidth_ - (titleBoxWidth_ - 8));
    if (selected_ >= 0) {
        const Item& it = items_[static_cast<std::size_t>(selected_)];
        if (it.label) itemMarquee_.advance(dt, textWidth(itemFont_, *it.label) - (it.labelWidth - 8));
    }
    for (Item& it : items_) {
        if (it.sprite) it.sprite->update(dt);
        if (it.choiceSprite) it.choiceSprite->update(dt);
    }
    if (mode_ == MODE_TEXT) {
        showAnimation(s.upArrow, s.scrollDirection == 2 ? 1 : 0);
        showAnimation(s.downArrow, s.scrollDirection == 1 ? 1 : 0);
    }
    if (s.upArrow) s.upArrow->update(dt);
    if (s.downArrow) s.downArrow->update(dt);
    if (!eventPending_) return std::nullopt;
    eventPending_ = false;
    return event_;
}

// ---- drawing -------------------------------------------------------------

int TextPanel::centringOffset() const {
    if ((layoutFlags_ & LAYOUT_CENTRE_CONTENT) && contentHeight_ < viewHeight_)
        return (viewHeight_ - contentHeight_) / 2;
    return 0;
}

int TextPanel::itemState(int index) const {
    const Item& it = items_[static_cast<std::size_t>(index)];
    if (it.disabled) return 2;
    if (mode_ == MODE_LIST && index == selected_) return 1;
    if ((it.type == ITEM_SLIDER || it.type == ITEM_CHOICE) && it.value == 0) return 3;
    return 0;
}

int TextPanel::labelColour(int index) const {
    const Item& it = items_[static_cast<std::size_t>(index)];
    if (mode_ == MODE_LIST && index == selected_) return kSelectedColour;
    if (it.disabled) return kDisabledColour;
    return textColour_;
}

void TextPanel::drawText(Graphics& g, const FontRef& font, std::string_view text, int x, int y, int colour) const {
    if (!font) return;
    // Glyph pictures carry their own colours; only platform fonts take one.
    if (!font->pictureMode()) font->setTextColour(colour);
    font->drawString(g, text, x, y, Graphics::TOP | Graphics::LEFT);
}

void TextPanel::draw(Graphics& g, int x, int y) {
    // Pointer hits follow where the panel was drawn; the origin stays the
    // owner's (a panel window draws the panel away from it).
    drawnX_ = x;
    drawnY_ = y;
    const Shared& s = shared();
    const int clipX = g.getClipX(), clipY = g.getClipY(), clipW = g.getClipWidth(), clipH = g.getClipHeight();
    const int left = x + inset_, top = y + inset_;

    // The background first, so that the title band shows on it.
    if (drawBackground_) gradient(g, x, y, boxWidth_, boxHeight_, backgroundTop_, backgroundBottom_, 10);
    if (drawTitleBand_ && hasTitle_) {
        const int bandX = fullWidthTitle_ ? 0 : left;
        gradient(g, bandX, top, fullWidthTitle_ ? screenWidth_ : width_, titleRowHeight_, titleBandTop_,
                 titleBandBottom_, 3);
    }
    if (drawFrame_) {
        for (int i = 1; i <= 3; ++i) {
            g.setColor(i == 2 ? backgroundTop_ : 0x000000);
            g.drawRect(x + i, y + i, boxWidth_ - 2 * i - 1, boxHeight_ - 2 * i - 1);
        }
    }
    if (hasTitle_) {
        const int rowX = fullWidthTitle_ ? 0 : left;
        const int rowWidth = fullWidthTitle_ ? screenWidth_ : width_;
        const int pictureW = titlePicture_ ? titlePicture_->getWidth() : 0;
        const bool centred = layoutFlags_ & LAYOUT_CENTRE_ITEMS;
        const int used = pictureW + (titleText_.empty() ? 0 : titleBoxWidth_);
        int px = centred ? rowX + (rowWidth - used) / 2 : rowX + marginX_;
        if (titlePicture_) {
            g.drawImage(titlePicture_, px, top + (titleRowHeight_ - titlePicture_->getHeight()) / 2,
                        Graphics::TOP | Graphics::LEFT);
            px += pictureW;
        }
        if (!titleText_.empty()) {
            const int overflow = titleTextWidth_ - (titleBoxWidth_ - 8);
            const int textX = px + 4 - titleMarquee_.shift(overflow);
            g.setClip(clipX, clipY, clipW, clipH);
            narrowClip(g, px + 4, top, titleBoxWidth_ - 8, titleRowHeight_);
            drawText(g, titleFont_, titleText_, textX, top + (titleRowHeight_ - fontHeight(titleFont_)) / 2,
                     textColour_);
            g.setClip(clipX, clipY, clipW, clipH);
        }
    }

    // The items, inside the view.
    const int viewX = x + contentX_, viewY = y + contentTop_;
    g.setClip(clipX, clipY, clipW, clipH);
    narrowClip(g, viewX, viewY, contentWidth_, viewHeight_);
    const int shiftY = centringOffset() - scrollY_;
    for (int i = 0; i < itemCount(); ++i) {
        const Item& it = items_[static_cast<std::size_t>(i)];
        if (it.type == ITEM_EMPTY || it.type == 6 || it.height == 0) continue;
        const int iy = it.y + shiftY;
        const bool visible = mode_ == MODE_LIST ? (iy >= 0 && iy + it.height <= viewHeight_)
                                                : (iy < viewHeight_ && iy + it.height > 0);
        if (visible) drawItem(g, i, viewX, viewY + iy);
    }
    g.setClip(clipX, clipY, clipW, clipH);

    if (contentScrolls()) {
        if (s.upArrow && scrollY_ > 0) s.upArrow->draw(g, x + upArrowX_, y + upArrowY_);
        if (s.downArrow && scrollY_ < contentHeight_ - viewHeight_) s.downArrow->draw(g, x + upArrowX_, y + downArrowY_);
    }
    g.setClip(clipX, clipY, clipW, clipH);
}

void TextPanel::drawItem(Graphics& g, int index, int viewX, int rowY) {
    Item& it = items_[static_cast<std::size_t>(index)];
    const int state = itemState(index);
    const int colour = labelColour(index);
    if (mode_ == MODE_TEXT) {
        int ly = rowY;
        for (const auto& line : it.lines) {
            const int lineX = (layoutFlags_ & LAYOUT_CENTRE_ITEMS)
                                  ? viewX + (contentWidth_ - textWidth(textFont_, line)) / 2
                                  : viewX;
            drawText(g, textFont_, line, lineX, ly + 2, colour);
            ly += lineHeight_;
        }
        const int pictureH = pictureHeight(it);
        if (const auto& image = it.images[static_cast<std::size_t>(state)]) {
            g.drawImage(image, viewX + contentWidth_ / 2, ly + pictureH / 2, Graphics::HCENTER | Graphics::VCENTER);
        } else if (it.sprite) {
            showAnimation(it.sprite, state);
            drawSpriteIn(g, *it.sprite, viewX, ly, contentWidth_, pictureH);
        }
        return;
    }

    const int rowX = viewX + it.x;
    if (index == selected_) {
        const int cw = contentWidth_;
        if (wideHighlight_)
            ScreenEffects::highlightBar(g, viewX + wideInset_, rowY, cw - wideNarrower_, it.height, kBarEdgeColour,
                                        highlightColour_, 1, kBarKeyColour, true);
        else
            ScreenEffects::highlightBar(g, viewX + 5, rowY, cw - 10, it.height, kBarEdgeColour, highlightColour_, 1,
                                        kBarKeyColour, false);
    }
    int px = rowX;
    const int pictureW = pictureWidth(it);
    if (const auto& image = it.images[static_cast<std::size_t>(state)]) {
        g.drawImage(image, px + pictureW / 2, rowY + it.height / 2, Graphics::HCENTER | Graphics::VCENTER);
    } else if (it.sprite) {
        showAnimation(it.sprite, state);
        drawSpriteIn(g, *it.sprite, px, rowY, pictureW, it.height);
    }
    px += pictureW;
    if (it.label) {
        const int overflow = index == selected_ ? textWidth(itemFont_, *it.label) - (it.labelWidth - 8) : 0;
        const int clipX = g.getClipX(), clipY = g.getClipY(), clipW = g.getClipWidth(), clipH = g.getClipHeight();
        narrowClip(g, px + 4, rowY, std::max(it.labelWidth - 8, 0), it.height);
        drawText(g, itemFont_, *it.label, px + 4 - (index == selected_ ? itemMarquee_.shift(overflow) : 0),
                 rowY + (it.height - fontHeight(itemFont_)) / 2, colour);
        g.setClip(clipX, clipY, clipW, clipH);
        px += it.labelWidth;
    }
    drawValue(g, it, px, rowY);
}

void TextPanel::drawValue(Graphics& g, const Item& it, int x, int rowY) {
    if (it.type == ITEM_SLIDER) {
        if (sliderKnob_ && sliderKnob_->getAnimationCount() > 0) {
            try {
                sliderKnob_->setFrame(it.value);
                drawSpriteIn(g, *sliderKnob_, x, rowY, it.valueWidth, it.height);
                return;
            } catch (const java::lang::ArrayIndexOutOfBoundsException&) {
                // A knob with fewer frames than positions: the bars instead.
            }
        }
        const int bottom = rowY + (it.height + 35) / 2;
        for (int k = 1; k <= 5; ++k) {
            g.setColor(it.value >= k ? kSliderOn : kSliderOff);
            g.fillRect(x + (k - 1) * 7, bottom - 7 * k, 6, 7 * k);
        }
    } else if (it.type == ITEM_CHOICE && it.valueCount > 0) {
        const auto v = static_cast<std::size_t>(std::clamp(it.value, 0, it.valueCount - 1));
        int px = x;
        if (v < it.choiceImages.size() && it.choiceImages[v]) {
            g.drawImage(it.choiceImages[v], px, rowY + it.height / 2, Graphics::LEFT | Graphics::VCENTER);
            px += it.choiceImages[v]->getWidth() + 8;
        } else if (it.choiceSprite && it.choiceSprite->getAnimationCount() > 0) {
            // The value is the choice sprite's frame, as the slider knob's.
            try {
                it.choiceSprite->setFrame(static_cast<int>(v));
                drawSpriteIn(g, *it.choiceSprite, px, rowY, it.choiceSprite->getExtentX(), it.height);
            } catch (const java::lang::ArrayIndexOutOfBoundsException&) {
            }
            px += it.choiceSprite->getExtentX() + 8;
        }
        if (v < it.choiceTexts.size())
            drawText(g, itemFont_, it.choiceTexts[v], px, rowY + (it.height - fontHeight(itemFont_)) / 2,
                     textColour_);
    }
}

// ---- wrapping and gradients -----------------------------------------------

std::vector<std::string> TextPanel::wrapText(const BitmapFont& font, std::string_view text, int width, int indent,
                                             int indentLines) {
    std::vector<std::string> lines;
    if (text.empty()) return {std::string()};
    if (!font.pictureMode() && font.outlined()) width -= 2;
    const auto lineWidth = [&] {
        return static_cast<int>(lines.size()) < indentLines ? width - indent : width;
    };
    std::size_t pieceStart = 0;
    while (true) {
        const std::size_t mark = text.find("\\n", pieceStart);
        const std::string_view piece = text.substr(pieceStart, mark == std::string_view::npos ? text.npos : mark - pieceStart);
        const auto chars = CodePoints::of(piece);
        const std::size_t n = chars.size();
        auto cut = [&](std::size_t from, std::size_t to) {
            const std::uint32_t begin = from < n ? chars[from].begin : static_cast<std::uint32_t>(piece.size());
            const std::uint32_t end = to < n ? chars[to].begin : static_cast<std::uint32_t>(piece.size());
            lines.emplace_back(piece.substr(begin, end - begin));
        };
        std::size_t s = 0;
        do {
            const int limit = lineWidth();
            int used = 0;
            std::size_t i = s;
            std::size_t space = std::string::npos;
            while (i < n && used + font.charWidth(chars[i].code) <= limit) {
                if (chars[i].code == U' ') space = i;
                used += font.charWidth(chars[i].code);
                ++i;
            }
            if (i == n) {  // the rest fits
                cut(s, n);
                break;
            }
            if (chars[i].code == U' ') space = i;
            if (space != std::string::npos && space > s) {
                cut(s, space);
                s = space + 1;
                continue;
            }
            // No space: break after the last full stop or slash that fits.
            std::size_t k = i;
            while (k > s + 1 && chars[k - 1].code != U'.' && chars[k - 1].code != U'/') --k;
            std::size_t end = (k > s + 1) ? k : i;
            end = std::max(end, s + 1);  // a character wider than the line still takes one
            cut(s, end);
            s = end;
        } while (s < n);
        if (mark == std::string_view::npos) break;
        pieceStart = mark + 2;
    }
    return lines;
}

void TextPanel::gradient(Graphics& g, int x, int y, int w, int h, int colourFrom, int colourTo, int step) {
    if (w <= 0 || h <= 0) return;
    if ((colourFrom & 0xFFFFFF) == (colourTo & 0xFFFFFF) || h == 1) {
        g.setColor(colourFrom);
        g.fillRect(x, y, w, h);
        return;
    }
    step = std::max(step, 1);
    for (int o = 0; o < h; o += step) {
        int colour = 0;
        for (int shift = 16; shift >= 0; shift -= 8) {
            const int a = (colourFrom >> shift) & 0xFF, b = (colourTo >> shift) & 0xFF;
            colour |= (a + o * (b - a) / (h - 1)) << shift;
        }
        g.setColor(colour);
        g.fillRect(x, y + o, w, std::min(step, h - o));
    }
}

}  // namespace game
