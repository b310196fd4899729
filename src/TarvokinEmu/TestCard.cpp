#include "TarvokinEmu/TestCard.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "TarvokinEmu/MIDletRegistry.h"
#include "javax/microedition/lcdui/Display.h"
#include "javax/microedition/lcdui/Font.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "platform/Console.h"

namespace TarvokinEmu {

using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Graphics;
using platform::Console;

void TestCard::registerClass() {
    MIDletRegistry::registerClass(kClassName, [] { return std::make_shared<TestCard>(); });
}

void TestCard::startApp() {
    Console::println("startApp");
    view_ = std::make_shared<View>();
    std::weak_ptr<View> view = view_;
    auto display = Display::getDisplay(this);
    // The frame step re-queues itself, as a game's frame loop does.
    auto step = std::make_shared<std::shared_ptr<java::lang::Runnable>>();
    *step = java::lang::Runnable::of([view, display, step] {
        if (auto v = view.lock()) {
            v->step();
            display->callSerially(*step);
        }
    });
    display->callSerially(*step);
}

void TestCard::pauseApp() { Console::println("pauseApp"); }

void TestCard::destroyApp(bool unconditional) {
    Console::println(std::string("destroyApp ") + (unconditional ? "true" : "false"));
}

void TestCard::View::showNotify() { Console::println("showNotify"); }

void TestCard::View::hideNotify() { Console::println("hideNotify"); }

namespace {
void printCall(const char* name, std::initializer_list<int> numbers, const char* flag = nullptr) {
    std::string line = name;
    for (int n : numbers) line += " " + std::to_string(n);
    if (flag) line += std::string(" ") + flag;
    Console::println(line);
}
const char* flagText(bool b) { return b ? "true" : "false"; }
}  // namespace

void TestCard::View::keyPressed(int keyCode) { printCall("keyPressed", {keyCode}); }
void TestCard::View::keyReleased(int keyCode) { printCall("keyReleased", {keyCode}); }
void TestCard::View::keyRepeated(int keyCode) { printCall("keyRepeated", {keyCode}); }
void TestCard::View::pointerPressed(int x, int y) { printCall("pointerPressed", {x, y}); }
void TestCard::View::pointerReleased(int x, int y) { printCall("pointerReleased", {x, y}); }
void TestCard::View::pointerDragged(int x, int y) { printCall("pointerDragged", {x, y}); }
void TestCard::View::desktopMousePressed(int x, int y, bool right) {
    printCall("desktopMousePressed", {x, y}, flagText(right));
}
void TestCard::View::desktopMouseReleased(int x, int y, bool right) {
    printCall("desktopMouseReleased", {x, y}, flagText(right));
}
void TestCard::View::desktopMouseWheel(int x, int y, bool up) { printCall("desktopMouseWheel", {x, y}, flagText(up)); }

void TestCard::View::step() {
    frame_++;
    repaint();
}

void TestCard::View::paint(Graphics& g) {
    const int w = getWidth(), h = getHeight();
    // Sea-blue ground with warm bars: every channel and both extremes show.
    static const int bars[] = {0xFFFFFF, 0xFFD23F, 0x3FC1C9, 0x5BD96A, 0xF25F9A, 0xF28C28, 0x1B4F9C, 0x000000};
    g.setColor(0x0E3A5C);
    g.fillRect(0, 0, w, h);
    const int barH = h / 2;
    for (int i = 0; i < 8; ++i) {
        g.setColor(bars[i]);
        g.fillRect(i * w / 8, 0, (i + 1) * w / 8 - i * w / 8, barH);
    }
    // A one-pixel grid every 20 pixels below the bars shows scaling faults.
    g.setColor(0x7FB8E0);
    for (int x = 0; x < w; x += 20) g.fillRect(x, barH, 1, h - barH);
    for (int y = barH; y < h; y += 20) g.fillRect(0, y, w, 1);
    // Corner markers: each must be fully visible.
    g.setColor(0xF28C28);
    g.fillRect(0, 0, 8, 8);
    g.fillRect(w - 8, 0, 8, 8);
    g.fillRect(0, h - 8, 8, 8);
    g.fillRect(w - 8, h - 8, 8, 8);

    const int digitH = std::max(5, h / 12);
    g.setColor(0xFFFFFF);
    drawSegmentNumber(g, 12, barH + 12, digitH, w);
    drawSegmentNumber(g, 12, barH + 24 + digitH, digitH, h);
    g.setColor(0xFFD23F);
    drawSegmentNumber(g, 12, barH + 36 + 2 * digitH, digitH, frame_);

    // One line per handset font on a dark panel over the bars, in colours
    // that each need a recoloured glyph sheet (black uses the sheet as is).
    struct Line {
        int style, size, colour;
        const char* text;
    };
    static const Line lines[] = {
        {Font::STYLE_PLAIN, Font::SIZE_SMALL, 0xFFFFFF, "Small plain 0123"},
        {Font::STYLE_BOLD, Font::SIZE_SMALL, 0xFFD23F, "Small bold AaBbCc"},
        {Font::STYLE_PLAIN, Font::SIZE_MEDIUM, 0x3FC1C9, "Medium plain Qq?!"},
        {Font::STYLE_BOLD, Font::SIZE_MEDIUM, 0x5BD96A, "Medium bold #42"},
        {Font::STYLE_PLAIN, Font::SIZE_LARGE, 0xF25F9A, "Large plain Wg"},
        {Font::STYLE_BOLD, Font::SIZE_LARGE, 0xF28C28, "Large bold Xy"},
    };
    int textH = 8;
    for (const Line& l : lines) textH += Font::getFont(Font::FACE_SYSTEM, l.style, l.size)->getHeight() + 2;
    g.setColor(0x10141C);
    g.fillRect(10, 12, w - 20, textH);
    g.setColor(0xE0E0E0);
    g.fillRect(10, 12 + textH, w - 20, 16);
    int y = 16;
    for (const Line& l : lines) {
        auto font = Font::getFont(Font::FACE_SYSTEM, l.style, l.size);
        g.setFont(font);
        g.setColor(l.colour);
        g.drawString(l.text, 14, y, Graphics::TOP | Graphics::LEFT);
        y += font->getHeight() + 2;
    }
    g.setFont(Font::getFont(Font::FACE_SYSTEM, Font::STYLE_BOLD, Font::SIZE_SMALL));
    g.setColor(0x000000);
    g.drawString("Black on light", 14, 14 + textH, Graphics::TOP | Graphics::LEFT);
    g.setFont(nullptr);
}

void drawSegmentNumber(Graphics& g, int x, int y, int digitHeight, long value) {
    // Segments a..g as (x, y, w, h) in a 4 x 7 cell.
    static const int seg[7][4] = {{1, 0, 2, 1}, {3, 1, 1, 2}, {3, 4, 1, 2}, {1, 6, 2, 1},
                                  {0, 4, 1, 2}, {0, 1, 1, 2}, {1, 3, 2, 1}};
    static const int digits[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const int unit = std::max(1, digitHeight / 7);
    std::string text = std::to_string(value);
    for (char ch : text) {
        if (ch >= '0' && ch <= '9') {
            int mask = digits[ch - '0'];
            for (int s = 0; s < 7; ++s)
                if (mask & (1 << s)) g.fillRect(x + seg[s][0] * unit, y + seg[s][1] * unit, seg[s][2] * unit, seg[s][3] * unit);
        } else {
            g.fillRect(x, y + 3 * unit, 3 * unit, unit);
        }
        x += 5 * unit;
    }
}

}  // namespace TarvokinEmu
