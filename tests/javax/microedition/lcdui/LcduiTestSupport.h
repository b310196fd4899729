// Fixture for Image and Graphics tests: a fresh emulator state with tracing
// on and standard output captured.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/SharedState.h"
#include "platform/Console.h"

namespace lcdui_test {

class TracedTest : public ::testing::Test {
protected:
    void SetUp() override {
        TarvokinEmu::Emulator::resetClassState();
        TarvokinEmu::config().debugOutput = true;
        TarvokinEmu::shared().midletRunning = true;
        platform::Console::redirect(&out_, nullptr);
    }
    void TearDown() override {
        platform::Console::redirect(nullptr, nullptr);
        TarvokinEmu::Emulator::resetClassState();
    }
    // The captured lines since the last call.
    std::vector<std::string> lines() {
        std::vector<std::string> result;
        std::istringstream in(out_.str());
        for (std::string line; std::getline(in, line);) result.push_back(line);
        out_.str("");
        return result;
    }

    std::ostringstream out_;
};

}  // namespace lcdui_test
