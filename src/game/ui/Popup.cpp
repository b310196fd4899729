#include "game/ui/Popup.h"

#include <memory>

#include "game/Brindle.h"
#include "game/MainCanvas.h"
#include "game/ui/BitmapFont.h"
#include "game/ui/PanelWindow.h"
#include "javax/microedition/lcdui/Graphics.h"

namespace game {

namespace {
std::unique_ptr<Popup::State>& store() {
    static auto s = std::make_unique<Popup::State>();
    return s;
}
constexpr int kW = MainCanvas::kScreenWidth, kH = MainCanvas::kScreenHeight;
// The message sits this far below the band's top.
constexpr int kTextInset = 10;
}  // namespace

Popup::State& Popup::state() { return *store(); }

void Popup::resetClassState() { store() = std::make_unique<State>(); }

void Popup::create() {
    State& s = state();
    const auto& font = Brindle::shared().fonts[1];
    s.panel.setup(TextPanel::MODE_TEXT, 0, TextPanel::LAYOUT_CENTRE_ITEMS);
    s.panel.setStyle(8);
    s.panel.setFonts(font, nullptr, nullptr);
    s.extra = (font ? font->height() : 0) + 22;
    s.phase = HIDDEN;
    s.timer = 0;
    s.marked = false;
    s.created = true;
}

int Popup::bandTop() { return kH - MainCanvas::state().softkeyBarHeight - state().extra; }

void Popup::show(const std::string& text) {
    State& s = state();
    if (!s.created) create();
    s.panel.setTitle(text, nullptr);
    s.panel.setBounds(0, bandTop(), kW, kH);
}

void Popup::open() {
    state().timer = 0;
    state().phase = OPENING;
}

void Popup::close() {
    if (state().phase == OPENING || state().phase == SHOWN) state().phase = CLOSING;
}

void Popup::hide() {
    state().phase = HIDDEN;
    state().timer = 0;
}

void Popup::update(int dt) {
    State& s = state();
    switch (s.phase) {
    case OPENING:
        s.timer += dt;
        if (s.timer > kSlideMs) {
            s.phase = SHOWN;
            s.timer = 0;
        }
        break;
    case SHOWN:
        if (s.timer != 0) {
            s.timer += dt;
            if (s.timer > kShownCycleMs) s.timer = 0;
        }
        break;
    case CLOSING:
        s.timer -= dt;
        if (s.timer < 0) hide();
        break;
    default: break;
    }
    if (s.created) s.panel.update(dt);
}

int Popup::progress() {
    const State& s = state();
    if (s.phase == HIDDEN) return 0;
    return s.phase == SHOWN ? 255 : s.timer / 4;
}

int Popup::offset() {
    const int p = progress();
    switch (state().phase) {
    case OPENING: return kW - p * kW / 256;
    case CLOSING: return p * kW / 256 - kW;
    default: return 0;
    }
}

void Popup::draw(Graphics& g) {
    State& s = state();
    if (!s.created || progress() <= 0) return;
    const int x = offset(), y = bandTop();
    g.setClip(0, 0, kW, kH);
    g.setColor(kBandColour);
    g.fillRect(x, y, kW, s.extra);
    PanelWindow::drawBandEdges(g, x, y, kW, s.extra);
    s.panel.draw(g, x, y + kTextInset);
}

}  // namespace game
