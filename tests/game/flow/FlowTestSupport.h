// A clean game for the state machine's tests: every class-wide state reset,
// the test font in every slot, a tune and a sound effect in small packs,
// and frames run straight through the machine (tick, then paint).
#pragma once

#include <sstream>

#include "GameTestSupport.h"
#include "game/Brindle.h"
#include "game/SpriteSheet.h"
#include "game/flow/StateMachine.h"
#include "game/ui/Popup.h"
#include "game/ui/TextPanel.h"
#include "game/world/GameWorld.h"
#include "platform/Console.h"

namespace flowtest {

using game::flow::StateMachine;

class FlowTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        resetGame();
        platform::Console::redirect(&out_, &out_);
        // The menu tune (pack 1, entry 0x14) and the volume preview (pack 3, entry 7).
        std::vector<std::vector<std::uint8_t>> r1(0x15, std::vector<std::uint8_t>{1}), r3(8, {3});
        r1[0x14] = {20};
        r3[7] = {7};
        gametest::writePack("r1", r1);
        gametest::writePack("r3", r3);
        auto font = gametest::testFont();
        for (int i : {0, 1, 3, 4, 5}) game::Brindle::shared().fonts[static_cast<std::size_t>(i)] = font;
        game::TextPanel::setDefaultFonts(font, font, font);
        // The game owns the canvas, so that keys map to game actions.
        game_ = std::make_shared<game::Brindle>();
    }
    void TearDown() override {
        platform::Console::redirect(nullptr, nullptr);
        resetGame();
        GameTest::TearDown();
    }
    static void resetGame() {
        game::Brindle::resetClassState();
        game::world::GameWorld::resetClassState();
        game::TextPanel::resetClassState();
        game::SpriteSheet::resetClassState();
        StateMachine::resetScreens();
    }

    // One frame; the states seen are collected.
    void frame(int ms = 20) {
        StateMachine::tick(ms);
        StateMachine::paint(*screen_->getGraphics());
        if (seen_.empty() || seen_.back() != StateMachine::current()) seen_.push_back(StateMachine::current());
    }
    void frames(int n, int ms = 20) {
        for (int i = 0; i < n; ++i) frame(ms);
    }
    // Frames until the state is s (at most limit); the frames it took.
    int runUntil(int s, int limit = 2000) {
        for (int i = 1; i <= limit; ++i) {
            frame();
            if (StateMachine::current() == s && StateMachine::state().nextState == -1) return i;
        }
        ADD_FAILURE() << "state " << s << " not reached; in " << StateMachine::current();
        return -1;
    }
    static void press(int code) {
        StateMachine::onKey(code, game::GameMidlet::KEY_PRESSED);
        StateMachine::onKey(code, game::GameMidlet::KEY_RELEASED);
    }
    static void command(int c) { StateMachine::onKey(c, game::GameMidlet::KEY_COMMAND); }
    // The game booted and at the main menu, sound on.
    void bootToMainMenu() {
        StateMachine::onLifecycle(game::GameMidlet::LIFECYCLE_STARTED);
        runUntil(game::flow::STATE_MENU);
        frame();
        command(game::flow::CMD_YES);
        runUntil(game::flow::STATE_SPLASH);
        runUntil(game::flow::STATE_MENU, 500);
        frame();
    }
    static int menu() { return StateMachine::state().menuId; }

    // Game actions as the runtime's keys deliver them.
    static constexpr int UP = -1, DOWN = -2, LEFT = -3, RIGHT = -4, FIRE = -5;

    std::shared_ptr<game::Brindle> game_;
    std::ostringstream out_;
    std::vector<int> seen_;
    std::shared_ptr<javax::microedition::lcdui::Image> screen_ = javax::microedition::lcdui::Image::createImage(800, 600);
};

}  // namespace flowtest
