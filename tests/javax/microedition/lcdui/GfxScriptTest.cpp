// Runs every script of tests/data/gfx through `tarvokin-tool gfx` and
// compares the picture it writes with the rows written in the script.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "TarvokinEmu/PNGReader.h"
#include "support/Subprocess.h"

namespace {

struct Expected {
    std::vector<std::string> rows;
    std::map<char, std::uint32_t> legend = {
        {'.', 0xFFFFFFFFu}, {'#', 0xFF000000u}, {'r', 0xFFFF0000u}, {'g', 0xFF00FF00u}, {'b', 0xFF0000FFu}};
};

Expected readExpected(const std::filesystem::path& script) {
    Expected e;
    std::ifstream in(script);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("#| ", 0) == 0) e.rows.push_back(line.substr(3));
        if (line.rfind("#legend ", 0) == 0) {
            std::istringstream words(line.substr(8));
            char symbol;
            std::string value;
            while (words >> symbol >> value) e.legend[symbol] = static_cast<std::uint32_t>(std::stoul(value, nullptr, 16));
        }
    }
    return e;
}

TEST(GfxScripts, ProduceTheirExpectedPixels) {
    const std::string out = testsupport::makeTempDir("gfx-scripts");
    int scripts = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TEST_DATA_DIR "/gfx")) {
        if (entry.path().extension() != ".gfx") continue;
        ++scripts;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const std::string png = out + "/" + name + ".png";
        const auto result = testsupport::runProcess(TARVOKIN_TOOL, {"gfx", entry.path().string(), png});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        std::ifstream file(png, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const platform::Picture picture = TarvokinEmu::PNGReader::decode(bytes);

        const Expected e = readExpected(entry.path());
        ASSERT_EQ(static_cast<int>(e.rows.size()), picture.height);
        std::string actual, wanted;
        for (int y = 0; y < picture.height; ++y) {
            ASSERT_EQ(static_cast<int>(e.rows[y].size()), picture.width) << "row " << y;
            for (int x = 0; x < picture.width; ++x) {
                const std::uint32_t p = picture.pixels[y * picture.width + x];
                char symbol = '?';
                for (const auto& [s, v] : e.legend)
                    if (v == p) symbol = s;
                actual += symbol;
            }
            actual += '\n';
            wanted += e.rows[y] + '\n';
        }
        EXPECT_EQ(actual, wanted);
    }
    EXPECT_GE(scripts, 9);
    std::filesystem::remove_all(out);
}

TEST(GfxScripts, ReportBadScriptsAndGoOnAfterRuntimeErrors) {
    const std::string dir = testsupport::makeTempDir("gfx-bad");
    const auto write = [&](const std::string& text) {
        std::ofstream(dir + "/s.gfx") << text;
        return testsupport::runProcess(TARVOKIN_TOOL, {"gfx", dir + "/s.gfx", dir + "/o.png"});
    };
    auto r = write("fillRect 0 0 1 1\n");
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("canvas W H"), std::string::npos);
    r = write("canvas 2 2\nfrobnicate 1\n");
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("line 2: unknown call frobnicate"), std::string::npos);
    r = write("canvas 2 2\nfillRect 0 0 x 1\n");
    EXPECT_NE(r.err.find("not a number: x"), std::string::npos);
    // A Graphics call that throws is reported and the script goes on.
    r = write("canvas 2 2\nsetColor 256 0 0\ndrawImage null 0 0 0\nfillRect 0 0 2 2\n");
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.outLines(), (std::vector<std::string>{"line 2: java.lang.IllegalArgumentException",
                                                      "line 3: java.lang.NullPointerException"}));
    std::filesystem::remove_all(dir);
}

}  // namespace
