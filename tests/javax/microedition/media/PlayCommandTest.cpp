// tarvokin-tool play, end to end under SDL's disk driver.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/AudioTestSupport.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string output;
    double energy = 0;  // sum of squared samples written by the device
};

ToolRun play(const std::string& args) {
    auto raw = std::filesystem::temp_directory_path() / ("tidepool-play-" + std::to_string(::getpid()) + ".raw");
    std::string command = "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + raw.string() +
                          " SDL_DISKAUDIODELAY=2 " TARVOKIN_TOOL " play " + args + " 2>/dev/null";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    char line[512];
    while (pipe && fgets(line, sizeof line, pipe)) run.output += line;
    run.status = pipe ? pclose(pipe) : -1;
    auto bytes = audiotest::readFile(raw);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        double s = static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8));
        run.energy += s * s;
    }
    std::filesystem::remove(raw);
    return run;
}

TEST(PlayCommand, PlaysTheFileItsLoopCountAndExits) {
    const std::string chime = std::string(TEST_DATA_DIR) + "/media/chime.wav";
    ToolRun once = play(chime + " audio/wav");
    ToolRun thrice = play(chime + " audio/wav --loops 3 --trace");
    ToolRun quiet = play(chime + " audio/wav --level 0");
    EXPECT_EQ(once.status, 0);
    EXPECT_NE(once.output.find("played " + chime + " as audio/wav on sdl:disk"), std::string::npos);
    EXPECT_GT(once.energy, 0);
    // Three passes one after another: three times the energy of one.
    EXPECT_NE(thrice.output.find("[EMU loop: 2 true]"), std::string::npos);
    EXPECT_NE(thrice.output.find("[EMU loop: 1 true]"), std::string::npos);
    EXPECT_NE(thrice.output.find("[EMU ready for next play]"), std::string::npos);
    EXPECT_NEAR(thrice.energy / once.energy, 3.0, 0.06);
    EXPECT_EQ(quiet.energy, 0);

    ToolRun unknown = play(chime + " audio/midi");
    EXPECT_NE(unknown.status, 0);
}

}  // namespace
