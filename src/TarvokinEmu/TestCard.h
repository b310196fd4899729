// A built-in diagnostic application (-MIDletClass TestCard): a test pattern
// with the screen size and a frame counter, and one line on standard output
// for every lifecycle call it receives, so that the shell can be tried
// without the game.
#pragma once

#include <atomic>
#include <memory>

#include "javax/microedition/lcdui/Canvas.h"
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

class TestCard::View final : public javax::microedition::lcdui::Canvas {
public:
    void paint(javax::microedition::lcdui::Graphics& g) override;
    void showNotify() override;
    void hideNotify() override;
    void step();
    int frame() const { return frame_; }

private:
    std::atomic<int> frame_{0};
};

// Draws a number with seven-segment bars, so the card needs no font.
void drawSegmentNumber(javax::microedition::lcdui::Graphics& g, int x, int y, int digitHeight, long value);

}  // namespace TarvokinEmu
