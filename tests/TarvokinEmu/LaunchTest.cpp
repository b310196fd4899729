#include "TarvokinEmu/Launch.h"

#include <gtest/gtest.h>

#include <sstream>

#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/Emulator.h"
#include "platform/Console.h"

namespace {

using TarvokinEmu::Emulator;
using TarvokinEmu::Launch;

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override { Emulator::resetClassState(); }
    void TearDown() override { Emulator::resetClassState(); }

    std::vector<std::string> configurationFor(const std::vector<std::string>& args) {
        Emulator::resetClassState();
        Launch::applyCommandLine(args);
        TarvokinEmu::Config& c = TarvokinEmu::config();
        if (!c.fontName) c.fontName = Launch::fontForScreen(c.screenWidth, c.screenHeight);
        std::ostringstream out;
        platform::Console::redirect(&out, nullptr);
        Launch::printConfiguration();
        platform::Console::redirect(nullptr, nullptr);
        std::vector<std::string> lines;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return {lines.begin() + 2, lines.end() - 1};  // the five value lines
    }
};

TEST_F(CommandLine, PrintedConfigurationForTypicalLines) {
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {{}, {"Canvas: 800x600", "Zoom: x1", "Softkeys: (-6)(-7)", "Font: SE-S700", "Keymap: Generic"}},
        {{"-canvas", "240", "320", "-zoom", "2"},
         {"Canvas: 240x320", "Zoom: x2", "Softkeys: (-6)(-7)", "Font: NK-6600", "Keymap: Generic"}},
        {{"-keymap", "SI-SL55"},
         {"Canvas: 800x600", "Zoom: x1", "Softkeys: (-1)(-4)", "Font: SE-S700", "Keymap: SI-SL55"}},
        // The keymap overrides softkeys given before it, not after it.
        {{"-softkeys", "-21", "-22", "-keymap", "SI-SL55"},
         {"Canvas: 800x600", "Zoom: x1", "Softkeys: (-1)(-4)", "Font: SE-S700", "Keymap: SI-SL55"}},
        {{"-keymap", "SI-SL55", "-softkeys", "-21", "-22"},
         {"Canvas: 800x600", "Zoom: x1", "Softkeys: (-21)(-22)", "Font: SE-S700", "Keymap: SI-SL55"}},
        {{"-canvas", "abc", "320"},
         {"Canvas: 800x600", "Zoom: x1", "Softkeys: (-6)(-7)", "Font: SE-S700", "Keymap: Generic"}},
        // The first value is kept when only the second is bad.
        {{"-canvas", "128", "x"},
         {"Canvas: 128x600", "Zoom: x1", "Softkeys: (-6)(-7)", "Font: NK-6600", "Keymap: Generic"}},
        {{"-zoom"}, {"Canvas: 800x600", "Zoom: x1", "Softkeys: (-6)(-7)", "Font: SE-S700", "Keymap: Generic"}},
        {{"-keymap", "Nokia", "-font", "NK-3300", "-zoom", "3", "-zoom", "4"},
         {"Canvas: 800x600", "Zoom: x4", "Softkeys: (-6)(-7)", "Font: NK-3300", "Keymap: Nokia"}},
        // A value consumed by -canvas is then looked at by the later tests.
        {{"-canvas", "176", "-zoom", "2"},
         {"Canvas: 176x600", "Zoom: x2", "Softkeys: (-6)(-7)", "Font: SE-S700", "Keymap: Generic"}},
        {{"-debug", "-3d", "whatever", "-maxFPS", "25"},
         {"Canvas: 800x600", "Zoom: x1", "Softkeys: (-6)(-7)", "Font: SE-S700", "Keymap: Generic"}},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (auto& a : c.args) joined += a + " ";
        EXPECT_EQ(configurationFor(c.args), c.expected) << "args: " << joined;
    }
}

TEST_F(CommandLine, SwitchesAndKeyCodes) {
    auto cls = Launch::applyCommandLine({"-debug", "-3d", "-maxFPS", "25", "-keymap", "SI-SL55", "-MIDletClass", "X"});
    const TarvokinEmu::Config& c = TarvokinEmu::config();
    EXPECT_TRUE(c.debugOutput);
    EXPECT_TRUE(c.openGl);
    EXPECT_EQ(c.maxFps, 25);
    EXPECT_EQ(cls, "X");
    EXPECT_EQ((std::vector<int>{c.keyUp, c.keyDown, c.keyLeft, c.keyRight, c.keyFire}),
              (std::vector<int>{-59, -60, -61, -62, -5}));
    EXPECT_FALSE(Launch::applyCommandLine({"-MIDletClass"}).has_value());
}

TEST(LaunchHelpers, ParseIntAcceptsOnlySignedDecimal32) {
    EXPECT_EQ(Launch::parseInt("0"), 0);
    EXPECT_EQ(Launch::parseInt("-21"), -21);
    EXPECT_EQ(Launch::parseInt("2147483647"), 2147483647);
    EXPECT_EQ(Launch::parseInt("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"", "-", "+5", " 5", "5 ", "0x10", "2147483648", "-2147483649", "1e3", "99999999999999999999"})
        EXPECT_FALSE(Launch::parseInt(bad).has_value()) << bad;
}

TEST(LaunchHelpers, FontSetByScreenArea) {
    EXPECT_EQ(Launch::fontForScreen(800, 600), "SE-S700");
    EXPECT_EQ(Launch::fontForScreen(240, 320), "NK-6600");
    EXPECT_EQ(Launch::fontForScreen(176, 208), "NK-6600");
    EXPECT_EQ(Launch::fontForScreen(128, 160), "NK-6020");
    EXPECT_EQ(Launch::fontForScreen(128, 128), "NK-3300");
    EXPECT_EQ(Launch::fontForScreen(101, 80), "SI-SL55");
    EXPECT_EQ(Launch::fontForScreen(4096, 4096), "SE-S700");
}

TEST(LaunchHelpers, ClassNameFromManifest) {
    EXPECT_EQ(Launch::classNameFromManifest("Manifest-Version: 1.0\r\nMIDlet-1: Game, /icon.png, Brindle\r\nX: y\r\n"),
              "Brindle");
    EXPECT_EQ(Launch::classNameFromManifest("MIDlet-1: Game, /icon.png,   Brindle  "), "Brindle");
    EXPECT_EQ(Launch::classNameFromManifest("MIDlet-1: Game, /icon.png, Brindle\nNext: 1"), "Brindle\nNext: 1");
    // Without the attribute the searches start at the beginning of the text.
    EXPECT_EQ(Launch::classNameFromManifest("a, b, C\r\n"), "C");
    EXPECT_EQ(Launch::classNameFromManifest("no commas here"), "no commas here");
    EXPECT_EQ(Launch::classNameFromManifest(""), "");
}

TEST_F(CommandLine, OutOfRangeSizesAreClampedAndReported) {
    Launch::applyCommandLine({"-canvas", "0", "-5", "-zoom", "0"});
    std::ostringstream out;
    platform::Console::redirect(&out, nullptr);
    Launch::clampConfiguration();
    platform::Console::redirect(nullptr, nullptr);
    const TarvokinEmu::Config& c = TarvokinEmu::config();
    EXPECT_EQ(c.screenWidth, 1);
    EXPECT_EQ(c.screenHeight, 1);
    EXPECT_EQ(c.zoom, 1);
    EXPECT_NE(out.str().find("Zoom 0 is out of range; using 1"), std::string::npos);

    Emulator::resetClassState();
    Launch::applyCommandLine({"-canvas", "100000", "600", "-zoom", "1000"});
    Launch::clampConfiguration();
    EXPECT_EQ(c.screenWidth, 4096);
    EXPECT_LE(static_cast<long>(c.screenWidth) * c.zoom, 16384);
}

}  // namespace
