#include "game/MainCanvas.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TarvokinEmu/Emulator.h"
#include "game/GameFont.h"
#include "game/GameMidlet.h"
#include "game/format/PackFile.h"
#include "java/io/DataWriter.h"
#include "java/lang/Exceptions.h"
#include "platform/Clock.h"

namespace {

using game::GameMidlet;
using game::MainCanvas;
using game::format::PackFile;
using game::format::TextEntry;

// Records hook calls as text.
class HookRecorder final : public GameMidlet {
public:
    void resetFrameClock() override {}
    void onLifecycle(int e) override { log += "life " + std::to_string(e) + "\n"; }
    void onKey(int k, int t) override { log += "key " + std::to_string(k) + " " + std::to_string(t) + "\n"; }
    void onPointer(int x, int y, int t) override {
        log += "ptr " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(t) + "\n";
    }
    void paintFrame(javax::microedition::lcdui::Graphics&) override {}
    void tick(int ms) override { ticks.push_back(ms); }
    std::string log;
    std::vector<int> ticks;
};

// Every character is 10 pixels wide; the font is 12 high.
class FixedFont final : public game::GameFont {
public:
    explicit FixedFont(int h = 12) : h_(h) {}
    int height() const override { return h_; }
    int stringWidth(std::string_view t) const override { return 10 * static_cast<int>(t.size()); }
    void drawString(javax::microedition::lcdui::Graphics&, std::string_view, int, int, int) const override {}

private:
    int h_;
};

class Spine : public ::testing::Test {
protected:
    void SetUp() override {
        TarvokinEmu::Emulator::resetClassState();
        MainCanvas::resetClassState();
        oldDir_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() / ("spine-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
        game_ = std::make_shared<HookRecorder>();
    }
    void TearDown() override {
        game_.reset();
        MainCanvas::resetClassState();
        TarvokinEmu::Emulator::resetClassState();
        std::filesystem::current_path(oldDir_);
        std::filesystem::remove_all(dir_);
    }
    void writePack(const std::string& name, const std::vector<std::vector<std::uint8_t>>& entries) {
        auto bytes = PackFile::write(entries);
        std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
    }
    MainCanvas& canvas() { return *MainCanvas::instance(); }
    void defineLabels() {
        writePack("l0_0", {TextEntry::encode("zero"), TextEntry::encode("English"), TextEntry::encode("Go"),
                           TextEntry::encode("Back"), TextEntry::encode("Menu")});
        MainCanvas::defineCommand(1, 2, 0);
        MainCanvas::defineCommand(7, 3, 2);
        MainCanvas::defineCommand(9, 4, 2);
        MainCanvas::defineCommand(14, 2, 0);
    }
    std::filesystem::path oldDir_, dir_;
    std::shared_ptr<HookRecorder> game_;
};

TEST_F(Spine, HeldKeysAndTheirReleaseOnPause) {
    canvas().keyPressed(-1);
    canvas().keyPressed(65);
    canvas().keyPressed(-3);
    canvas().keyReleased(65);
    EXPECT_TRUE(MainCanvas::state().heldKeys.empty());  // input waits for the frame thread
    MainCanvas::deliverInput();
    EXPECT_EQ(MainCanvas::state().heldKeys, (std::vector<int>{-1, -3}));
    canvas().keyPressed(50);
    canvas().keyPressed(50);
    canvas().keyReleased(50);  // one release removes both
    MainCanvas::deliverInput();
    EXPECT_EQ(MainCanvas::state().heldKeys, (std::vector<int>{-1, -3}));
    game_->log.clear();
    game_->pauseApp();
    EXPECT_EQ(game_->log, "life 0\nkey -1 1\nkey -3 1\n");
    EXPECT_TRUE(MainCanvas::state().heldKeys.empty());
    EXPECT_EQ(MainCanvas::state().heldTop, -1);
    game_->log.clear();
    game_->pauseApp();  // already paused: nothing
    EXPECT_EQ(game_->log, "");
}

TEST_F(Spine, SoftkeysNeverArriveAsPlainKeys) {
    canvas().keyPressed(-6);  // both softkeys empty: nothing at all
    canvas().keyPressed(-7);
    canvas().keyReleased(-6);
    canvas().keyRepeated(-7);
    MainCanvas::deliverInput();
    EXPECT_EQ(game_->log, "");
    defineLabels();
    MainCanvas::setSoftkey(7, 0);
    canvas().keyPressed(-6);
    canvas().keyReleased(-6);
    canvas().keyRepeated(5);
    MainCanvas::deliverInput();
    EXPECT_EQ(game_->log, "key 7 3\nkey 5 2\n");
}

TEST_F(Spine, SoftkeySidesByPriority) {
    defineLabels();
    auto sides = [] {
        auto& s = MainCanvas::state();
        return std::make_pair(s.leftCommand, s.rightCommand);
    };
    MainCanvas::setSoftkey(1, 0);  // priority 0 with both empty: right
    EXPECT_EQ(sides(), std::make_pair(-1, 1));
    MainCanvas::clearSoftkeys();
    MainCanvas::setSoftkey(7, 0);  // priority 2 with both empty: left
    EXPECT_EQ(sides(), std::make_pair(7, -1));
    MainCanvas::setSoftkey(1, 0);  // a priority-2 left command stays left
    EXPECT_EQ(sides(), std::make_pair(7, 1));
    EXPECT_EQ(MainCanvas::state().leftLabel, "Back");
    EXPECT_EQ(MainCanvas::state().rightLabel, "Go");
    MainCanvas::clearSoftkeys();
    MainCanvas::setSoftkey(14, 1);
    MainCanvas::setSoftkey(9, 3);
    EXPECT_EQ(sides(), std::make_pair(14, 9));
}

TEST_F(Spine, PointerPipelineWithTheSoftkeyBar) {
    defineLabels();
    auto font = std::make_shared<FixedFont>();
    MainCanvas::setSoftkeyFonts(font, font);
    MainCanvas::setSoftkey(7, 1);  // "Back", 40 px, on the left
    MainCanvas::setSoftkey(9, 3);  // "Menu", 40 px, on the right
    canvas().desktopMousePressed(10, 595, false);
    canvas().desktopMousePressed(790, 595, false);
    canvas().desktopMousePressed(10, 595, true);   // right button: never a softkey
    canvas().desktopMousePressed(100, 595, false); // between the labels
    canvas().desktopMouseReleased(100, 595, true);
    canvas().desktopMouseWheel(3, 4, true);
    canvas().desktopMouseWheel(3, 4, false);
    canvas().pointerDragged(33, 44);
    MainCanvas::deliverInput();
    EXPECT_EQ(game_->log, "key 7 3\nkey 9 3\nptr 10 595 3\nptr 100 595 0\nptr 100 595 4\nptr 3 4 5\nptr 3 4 6\n"
                          "ptr 33 44 2\n");
    EXPECT_EQ(MainCanvas::state().mouseX, 33);
    EXPECT_EQ(MainCanvas::state().softkeyBarHeight, 16);
}

TEST_F(Spine, KeyToDigitByGameAction) {
    EXPECT_EQ(MainCanvas::keyToDigit(-1), '2');
    EXPECT_EQ(MainCanvas::keyToDigit(-3), '4');
    EXPECT_EQ(MainCanvas::keyToDigit(-5), '5');
    EXPECT_EQ(MainCanvas::keyToDigit(-4), '6');
    EXPECT_EQ(MainCanvas::keyToDigit(-2), '8');
    EXPECT_EQ(MainCanvas::keyToDigit('5'), 0);
}

TEST_F(Spine, FrameTimesAreAveragedOverEightAndCapped) {
    platform::ManualClock clock(false);
    platform::Clock::install(&clock);
    game_->startApp();
    // The first interval counts from 0 and is capped at 500.
    game_->run();
    EXPECT_EQ(game_->ticks.back(), 500 / 8);
    EXPECT_EQ(game_->log.substr(0, 7), "life 2\n");
    for (int i = 0; i < 8; ++i) {
        clock.advance(20);
        game_->run();
    }
    EXPECT_EQ(game_->ticks.back(), 20);
    clock.advance(3000);  // a stalled frame adds at most 500 / 8
    game_->run();
    EXPECT_EQ(game_->ticks.back(), (7 * 20 + 500) / 8);
    platform::Clock::install(nullptr);
}

TEST_F(Spine, PackReadingAndTexts) {
    writePack("r3", {{1, 2, 3}, {}, {9, 8}, {}});
    writePack("l0_0", {TextEntry::encode("zero"), TextEntry::encode("Tidepool\\nDash")});
    EXPECT_EQ(MainCanvas::resourceBytes(0x30000), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(MainCanvas::resourceBytes(0x30002), (std::vector<std::uint8_t>{9, 8}));
    EXPECT_EQ(MainCanvas::resourceBytes(0x30003), std::vector<std::uint8_t>{});  // empty last entry
    EXPECT_FALSE(MainCanvas::resourceBytes(-1).has_value());
    auto stream = MainCanvas::resourceStream(0x30000);
    EXPECT_EQ(stream->in().readUnsignedByte(), 1);
    // A cached pack is not read again.
    std::filesystem::remove("r3");
    EXPECT_TRUE(MainCanvas::loadPack("r3"));
    EXPECT_EQ(MainCanvas::text(1), "Tidepool\\nDash");
    EXPECT_EQ(MainCanvas::text(-2), "");
    EXPECT_FALSE(MainCanvas::text(-1).has_value());
    EXPECT_FALSE(MainCanvas::text(57).has_value());  // beyond the pack: null, not a crash
    // The previous pack is gone once another was read.
    EXPECT_FALSE(MainCanvas::loadPack("r3"));
}

TEST_F(Spine, MissingPacksAndEntriesAreNamedErrors) {
    try {
        MainCanvas::resourceBytes(0x50004);
        FAIL();
    } catch (const java::io::IOException& e) {
        EXPECT_NE(e.getMessage().find("pack r5"), std::string::npos);
        EXPECT_NE(e.getMessage().find("0x50004"), std::string::npos);
    }
    writePack("r2", {{1}, {2}});
    try {
        MainCanvas::resourceBytes(0x20002);
        FAIL();
    } catch (const java::lang::ArrayIndexOutOfBoundsException& e) {
        EXPECT_NE(e.getMessage().find("entry 2 is not in pack r2"), std::string::npos);
    }
    // A pack whose header claims more than the file holds is refused whole.
    std::ofstream("r4", std::ios::binary).write("\0\0\1\0\0\0\0\1\0\0\0\14xyz", 15);
    EXPECT_FALSE(MainCanvas::loadPack("r4"));
}

TEST_F(Spine, PropertiesFileRecords) {
    java::io::DataWriter w;
    w.writeByte(3);
    w.writeUTF("three");
    w.writeByte(7);
    w.writeUTF("seven");
    w.writeByte(3);
    w.writeUTF("again");
    w.writeByte(40);  // outside 1..22: the end
    w.writeByte(1);
    w.writeUTF("never");
    std::ofstream("p", std::ios::binary).write(reinterpret_cast<const char*>(w.bytes().data()),
                                               static_cast<std::streamsize>(w.bytes().size()));
    MainCanvas::init();
    EXPECT_EQ(MainCanvas::property(3), "again");
    EXPECT_EQ(MainCanvas::property(7), "seven");
    EXPECT_FALSE(MainCanvas::property(1).has_value());
    EXPECT_FALSE(MainCanvas::property(23).has_value());
}

}  // namespace
