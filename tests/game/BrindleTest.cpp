// The game as a program, driven headless over the built data.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "javax/microedition/lcdui/Image.h"
#include "javax/microedition/rms/RecordStoreFile.h"
#include "support/Subprocess.h"

namespace {

using javax::microedition::rms::RecordStoreFile;
using testsupport::runProcess;

class Program : public ::testing::Test {
protected:
    void SetUp() override { dir_ = testsupport::makeTempDir("brindle"); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir_ + "/" + name) << text;
        return dir_ + "/" + name;
    }
    testsupport::ProcessResult drive(int frames, const std::string& script, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"--frames", std::to_string(frames), "--data", dir_ + "/data"};
        if (!script.empty()) args.insert(args.end(), {"--script", write("input.txt", script)});
        args.insert(args.end(), more.begin(), more.end());
        return runProcess(TIDEPOOL_DRIVER, args);
    }
    std::string dir_;
};

// The softkey labels of the sound question are drawn in the game's font at
// the bottom corners, and a click on one does what its key does.
TEST_F(Program, SoftkeyLabelsAreDrawnAndClickable) {
    const std::string shot = dir_ + "/question.png";
    auto r = drive(14, "", {"--shot", "13:" + shot});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    std::ifstream in(shot, std::ios::binary);
    std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(in)), {});
    auto image = javax::microedition::lcdui::Image::createImage(png, 0, static_cast<int>(png.size()));
    ASSERT_NE(image, nullptr);
    // Ink on the white screen in both bottom corners.
    for (int x : {0, 740}) {
        std::vector<std::int32_t> corner(60 * 18);
        image->getRGB(corner, 0, 60, x, 582, 60, 18);
        const auto ink = std::count_if(corner.begin(), corner.end(), [](std::int32_t p) { return (p & 0xFF) < 0x80; });
        EXPECT_GT(ink, 20) << x;
    }
    // "No" on the right: the answer goes through the return state.
    r = drive(20, "13 mouse move 790 592\n14 mouse down left 790 592\n14 mouse up left 790 592\n");
    EXPECT_NE(r.out.find(" 0 17\n"), std::string::npos) << r.out;
    r = drive(20, "13 mouse move 400 592\n14 mouse down left 400 592\n14 mouse up left 400 592\n");
    EXPECT_EQ(r.out.find(" 0 17\n"), std::string::npos) << "a click between the labels does nothing";
}

TEST_F(Program, DamagedProgressBootsWithDefaultsAndTheStoreStays) {
    for (std::size_t length : {std::size_t{183}, std::size_t{40}}) {
        std::filesystem::create_directories(dir_ + "/data");
        const std::vector<std::uint8_t> record(length, 0xA5);
        const auto image = RecordStoreFile::serialize(std::vector<RecordStoreFile::Store>{{"g", {record}}});
        std::ofstream(dir_ + "/data/rms.dat", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        auto r = drive(30, "13 key down Return\n14 key up Return\n");
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_NE(r.out.find("Saved game: progress not read"), std::string::npos) << r.out;
        const auto after = RecordStoreFile::emuReadWholeFile(dir_ + "/data/rms.dat");
        const auto stores = RecordStoreFile::parse(after.bytes);
        const auto g = std::find_if(stores.begin(), stores.end(), [](const auto& st) { return st.name == "g"; });
        ASSERT_NE(g, stores.end());
        EXPECT_EQ(g->records, std::vector<RecordStoreFile::Record>{record}) << length;
        std::filesystem::remove_all(dir_ + "/data");
    }
}

}  // namespace
