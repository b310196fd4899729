#include <gtest/gtest.h>

#include <sstream>

#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/SharedState.h"
#include "TarvokinEmu/Launch.h"
#include "com/qorvi/tkemu/graphics/DesktopGameCanvas.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Canvas.h"
#include "platform/Console.h"
#include "platform/HeadlessWindow.h"

namespace {

using TarvokinEmu::Emulator;
using platform::KeyEvent;
using platform::MouseEvent;

// Records every call as one line, as the test card prints them.
template <typename Base>
class Recorder : public Base {
public:
    using Base::Base;
    void paint(javax::microedition::lcdui::Graphics&) override {}
    void keyPressed(int k) override { log << "keyPressed " << k << "\n"; }
    void keyReleased(int k) override { log << "keyReleased " << k << "\n"; }
    void pointerPressed(int x, int y) override { log << "pointerPressed " << x << " " << y << "\n"; }
    void pointerReleased(int x, int y) override { log << "pointerReleased " << x << " " << y << "\n"; }
    void pointerDragged(int x, int y) override { log << "pointerDragged " << x << " " << y << "\n"; }
    std::ostringstream log;
};

class PlainCanvas final : public Recorder<javax::microedition::lcdui::Canvas> {};

class DesktopCanvas final : public Recorder<com::qorvi::tkemu::graphics::DesktopGameCanvas> {
public:
    DesktopCanvas() : Recorder(false) {}
    void desktopSpare3(int, int, bool) override {}
    void desktopSpare4(int, int, bool) override {}
    void desktopSpare1(int, int) override {}
    void desktopSpare2(int, int) override {}
    void desktopMousePressed(int x, int y, bool r) override { log << "down " << x << " " << y << " " << r << "\n"; }
    void desktopMouseReleased(int x, int y, bool r) override { log << "up " << x << " " << y << " " << r << "\n"; }
    void desktopMouseWheel(int x, int y, bool u) override { log << "wheel " << x << " " << y << " " << u << "\n"; }
};

class Input : public ::testing::Test {
protected:
    void SetUp() override {
        Emulator::resetClassState();
        platform::HeadlessWindow::Settings s;
        s.insets = {4, 30, 4, 4};
        system_ = std::make_unique<platform::HeadlessWindowSystem>(s);
        platform::WindowSystem::install(system_.get());
        system_->events().attachCurrentThread();
        emulator_ = std::make_unique<Emulator>();
    }
    void TearDown() override {
        emulator_.reset();
        platform::WindowSystem::install(nullptr);
        Emulator::resetClassState();
    }
    // A windowed 240 x 320 screen at zoom 2 inside (4, 30) insets.
    void windowed() {
        TarvokinEmu::config().screenWidth = 240;
        TarvokinEmu::config().screenHeight = 320;
        TarvokinEmu::config().zoom = 2;
        TarvokinEmu::shared().fullScreen = false;
        emulator_->setupWindow(false);
    }
    void key(int code, bool pressed = true, int location = 1) { emulator_->keyEvent(KeyEvent{pressed, code, location}); }
    void mouse(MouseEvent::Type t, int x, int y, int button = 0, int wheel = 0) {
        MouseEvent e;
        e.type = t;
        e.x = x;
        e.y = y;
        e.button = button;
        e.wheelRotation = wheel;
        emulator_->mouseEvent(e);
    }
    std::unique_ptr<platform::HeadlessWindowSystem> system_;
    std::unique_ptr<Emulator> emulator_;
};

TEST_F(Input, KeyTableForBothKeymaps) {
    struct Case {
        int pc;
        int location;
        std::optional<int> generic, siemens;
    };
    const Case cases[] = {
        {38, 1, -1, -59}, {40, 1, -2, -60}, {37, 1, -3, -61}, {39, 1, -4, -62},
        {10, 1, -5, -5},  {32, 1, -5, -5},  {27, 1, -6, -1},
        {101, 4, 53, 53}, {96, 4, 48, 48},  {105, 4, 57, 57},
        {53, 1, std::nullopt, std::nullopt},  // main-keyboard digit
        {65, 1, 65, 65},  {90, 1, 90, 90},  {112, 1, 112, 112}, {123, 1, 123, 123},
        {8, 1, 8, 8},     {16, 2, 16, 16},  {17, 3, 17, 17},    {18, 2, 18, 18}, {127, 1, 127, 127},
        {9, 1, std::nullopt, std::nullopt}, {0, 1, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(Emulator::phoneKeyCode(c.pc, c.location), c.generic) << c.pc;
    TarvokinEmu::Launch::applyCommandLine({"-keymap", "SI-SL55"});
    for (const Case& c : cases) EXPECT_EQ(Emulator::phoneKeyCode(c.pc, c.location), c.siemens) << c.pc;
}

// Keys go to the current canvas also while the game is still starting.
TEST_F(Input, KeysReachTheCurrentCanvasAlsoBeforeTheStart) {
    PlainCanvas canvas;
    key(38);
    key(38, false);
    key(65);
    key(65);  // auto-repeat arrives as presses
    key(65, false);
    key(53);
    EXPECT_EQ(canvas.log.str(), "keyPressed -1\nkeyReleased -1\nkeyPressed 65\nkeyPressed 65\nkeyReleased 65\n");
}

// A handler that throws is reported as a stack trace, like a failing
// callback elsewhere, and the events after it still arrive.
TEST_F(Input, ThrowingHandlersAreReportedAndInputGoesOn) {
    windowed();
    class Throwing final : public Recorder<javax::microedition::lcdui::Canvas> {
    public:
        void keyPressed(int k) override {
            Recorder::keyPressed(k);
            if (k == 65) throw java::lang::IllegalStateException("key refused");
        }
        void pointerDragged(int, int) override { throw std::runtime_error("move refused"); }
        void hideNotify() override { throw java::lang::NullPointerException(); }
    } canvas;
    TarvokinEmu::shared().midletRunning = true;
    std::ostringstream err;
    platform::Console::redirect(nullptr, &err);
    EXPECT_NO_THROW(key(65));
    EXPECT_NO_THROW(mouse(MouseEvent::Type::Moved, 10, 40));
    EXPECT_NO_THROW(emulator_->windowEvent(platform::WindowLostFocus));
    key(66);
    platform::Console::redirect(nullptr, nullptr);
    EXPECT_EQ(canvas.log.str(), "keyPressed 65\nkeyPressed 66\n");
    for (const char* trace : {"java.lang.IllegalStateException: key refused", "move refused",
                              "java.lang.NullPointerException"})
        EXPECT_NE(err.str().find(trace), std::string::npos) << trace << "\n" << err.str();
}

TEST_F(Input, F11SwitchesOnPressOnlyAndIsStillDelivered) {
    windowed();
    PlainCanvas canvas;
    TarvokinEmu::shared().midletRunning = true;
    key(122);
    EXPECT_TRUE(Emulator::isFullScreen());
    EXPECT_TRUE(TarvokinEmu::shared().fullScreenSwitching.load());
    key(122);  // the switch is still pending: only the key
    key(122, false);
    EXPECT_TRUE(Emulator::isFullScreen());
    EXPECT_EQ(canvas.log.str(), "keyPressed 122\nkeyPressed 122\nkeyReleased 122\n");
}

TEST_F(Input, MousePositionsAreTranslatedAndClamped) {
    windowed();
    PlainCanvas canvas;
    using T = MouseEvent::Type;
    mouse(T::Pressed, 10, 40, 1);  // before the start: position only
    EXPECT_EQ(canvas.log.str(), "");
    EXPECT_EQ(TarvokinEmu::shared().lastPointerX.load(), 3);
    EXPECT_EQ(TarvokinEmu::shared().lastPointerY.load(), 5);
    TarvokinEmu::shared().midletRunning = true;
    mouse(T::Pressed, 4, 30, 1);
    mouse(T::Released, 3, 29, 1);
    mouse(T::Moved, 5000, 5000);
    mouse(T::Dragged, 4 + 2 * 239 + 1, 30 + 2 * 319 + 1);
    mouse(T::Pressed, 50, 50, 2);   // middle: nothing
    mouse(T::Pressed, 50, 50, 3);   // right on a plain canvas: nothing
    mouse(T::Wheel, 50, 50, 0, -1); // wheel on a plain canvas: nothing
    EXPECT_EQ(canvas.log.str(),
              "pointerPressed 0 0\npointerReleased 0 0\npointerDragged 239 319\npointerDragged 239 319\n");
    EXPECT_EQ(TarvokinEmu::shared().lastPointerX.load(), 23);
}

TEST_F(Input, DesktopCanvasGetsButtonsAndWheelInsteadOfPointerCalls) {
    windowed();
    DesktopCanvas canvas;
    TarvokinEmu::shared().midletRunning = true;
    using T = MouseEvent::Type;
    mouse(T::Moved, 24, 50);
    mouse(T::Pressed, 24, 50, 3);
    mouse(T::Released, 24, 50, 3);
    mouse(T::Pressed, 24, 50, 1);
    mouse(T::Pressed, 24, 50, 2);
    mouse(T::Wheel, 100, 100, 0, -1);
    mouse(T::Wheel, 100, 100, 0, 1);
    EXPECT_EQ(canvas.log.str(),
              "pointerDragged 10 10\ndown 10 10 1\nup 10 10 1\ndown 10 10 0\nwheel 48 35 1\nwheel 48 35 0\n");
}

}  // namespace
