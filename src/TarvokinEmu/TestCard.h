// A built-in diagnostic application (-MIDletClass TestCard): a test pattern
// with the screen size and a frame counter, and one line on standard output
// for every lifecycle call it receives, so that the shell can be tried
// without the game.
#pragma once

#include <atomic>
#include <memory>

#include "com/qorvi/tkemu/graphics/DesktopGameCanvas.h"
#include "javax/microedition/midlet/MIDlet.h"

namespace TarvokinEmu {

class TestCard final : public javax::microedition::midlet::MIDlet {
public:
    static constexpr const char* kClassName = "TestCard";
    static void registerClass();

    void startApp() override;
    void pauseApp() override;
    void destroyApp(bool unconditional) override;

    class View;

private:
    std::shared_ptr<View> view_;
};

// Prints every call it receives, one line each.
class TestCard::View final : public com::qorvi::tkemu::graphics::DesktopGameCanvas {
public:
    View() : DesktopGameCanvas(false) {}
    void paint(javax::microedition::lcdui::Graphics& g) override;
    void showNotify() override;
    void hideNotify() override;
    void keyPressed(int keyCode) override;
    void keyReleased(int keyCode) override;
    void keyRepeated(int keyCode) override;
    void pointerPressed(int x, int y) override;
    void pointerReleased(int x, int y) override;
    void pointerDragged(int x, int y) override;
    void desktopSpare3(int, int, bool) override {}
    void desktopSpare4(int, int, bool) override {}
    void desktopSpare1(int, int) override {}
    void desktopSpare2(int, int) override {}
    void desktopMousePressed(int x, int y, bool rightButton) override;
    void desktopMouseReleased(int x, int y, bool rightButton) override;
    void desktopMouseWheel(int x, int y, bool up) override;
    void step();
    int frame() const { return frame_; }

private:
    std::atomic<int> frame_{0};
};

// Draws a number with seven-segment bars, so the card needs no font.
void drawSegmentNumber(javax::microedition::lcdui::Graphics& g, int x, int y, int digitHeight, long value);

}  // namespace TarvokinEmu
