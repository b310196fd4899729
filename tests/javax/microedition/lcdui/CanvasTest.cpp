#include "javax/microedition/lcdui/Canvas.h"

#include <gtest/gtest.h>

#include <sstream>

#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/SharedState.h"
#include "javax/microedition/lcdui/Command.h"
#include "javax/microedition/lcdui/Display.h"
#include "javax/microedition/lcdui/Form.h"
#include "javax/microedition/lcdui/game/GameCanvas.h"
#include "platform/Console.h"

namespace {

using TarvokinEmu::Emulator;
namespace lcdui = javax::microedition::lcdui;

class Blank final : public lcdui::Canvas {
public:
    void paint(lcdui::Graphics&) override { paints++; }
    int paints = 0;
};

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override { Emulator::resetClassState(); }
    void TearDown() override { Emulator::resetClassState(); }
};

TEST_F(CanvasTest, TheLastConstructedCanvasIsCurrent) {
    auto a = std::make_unique<Blank>();
    auto b = std::make_unique<Blank>();
    lcdui::Display::getDisplay(nullptr)->setCurrent(a.get());
    EXPECT_EQ(TarvokinEmu::shared().currentCanvas.load(), b.get());
    b.reset();  // a canvas that goes away is no longer delivered to
    EXPECT_EQ(TarvokinEmu::shared().currentCanvas.load(), nullptr);
}

TEST_F(CanvasTest, GameActionsFollowTheConfiguredCodes) {
    Blank c;
    EXPECT_EQ(c.getGameAction(-1), lcdui::Canvas::UP);
    EXPECT_EQ(c.getGameAction(-2), lcdui::Canvas::DOWN);
    EXPECT_EQ(c.getGameAction(-3), lcdui::Canvas::LEFT);
    EXPECT_EQ(c.getGameAction(-4), lcdui::Canvas::RIGHT);
    EXPECT_EQ(c.getGameAction(-5), lcdui::Canvas::FIRE);
    EXPECT_EQ(c.getGameAction('5'), 0);
    EXPECT_EQ(c.getGameAction(-6), 0);
    TarvokinEmu::config().keyUp = -59;
    EXPECT_EQ(c.getGameAction(-59), lcdui::Canvas::UP);
    EXPECT_EQ(c.getGameAction(-1), 0);
}

TEST_F(CanvasTest, PartialRepaintOnlyTraces) {
    Blank c;
    TarvokinEmu::config().debugOutput = true;
    TarvokinEmu::shared().midletRunning = true;
    std::ostringstream out;
    platform::Console::redirect(&out, nullptr);
    c.repaint(0, 0, 10, 10);
    platform::Console::redirect(nullptr, nullptr);
    EXPECT_EQ(c.paints, 0);
    EXPECT_EQ(out.str(), "[EMU TODO: Canvas.repaint(x,y,w,h);]\n");
}

TEST_F(CanvasTest, SerialCallsReplaceOneAnother) {
    auto display = lcdui::Display::getDisplay(nullptr);
    int ran = 0;
    display->callSerially(java::lang::Runnable::of([&] { ran += 1; }));
    display->callSerially(java::lang::Runnable::of([&] { ran += 10; }));
    auto call = TarvokinEmu::shared().serialCall.exchange(nullptr);
    ASSERT_TRUE(call);
    call->run();
    EXPECT_EQ(ran, 10);
    EXPECT_FALSE(TarvokinEmu::shared().serialCall.load());
}

TEST_F(CanvasTest, NeutralAnswersOfTheDisplayAndInertClasses) {
    auto d = lcdui::Display::getDisplay(nullptr);
    EXPECT_NE(d, lcdui::Display::getDisplay(nullptr));  // a new object each time
    EXPECT_TRUE(d->isColor());
    EXPECT_EQ(d->numColors(), 65536);
    EXPECT_EQ(d->numAlphaLevels(), 1);
    EXPECT_FALSE(d->vibrate(100));
    EXPECT_EQ(d->getCurrent(), nullptr);
    lcdui::game::GameCanvas g(true);
    EXPECT_EQ(g.getKeyStates(), 0);
    EXPECT_EQ(g.getWidth(), 800);
    EXPECT_EQ(g.getHeight(), 600);
    EXPECT_FALSE(g.isShown());
    lcdui::Form f("title");
    EXPECT_EQ(f.getWidth(), 0);
    EXPECT_EQ(f.append("x"), 0);
    lcdui::Command cmd("Back", "Go back", lcdui::Command::BACK, 3);
    EXPECT_EQ(cmd.getLabel(), "Back");
    EXPECT_EQ(cmd.getLongLabel(), "Go back");
    EXPECT_EQ(cmd.getCommandType(), lcdui::Command::BACK);
    EXPECT_EQ(cmd.getPriority(), 3);
    EXPECT_FALSE(lcdui::Command("Ok", lcdui::Command::OK, 1).getLongLabel().has_value());
}

}  // namespace
