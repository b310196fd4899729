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

// The left softkey's label is drawn in the game's font at the bottom left,
// and a click on it does what Escape does.
TEST_F(Program, TitleScreenSoftkeyLabelIsDrawnAndClickable) {
    const std::string shot = dir_ + "/title.png";
    auto r = drive(8, "", {"--shot", "5:" + shot});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    std::ifstream in(shot, std::ios::binary);
    std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(in)), {});
    auto image = javax::microedition::lcdui::Image::createImage(png, 0, static_cast<int>(png.size()));
    ASSERT_NE(image, nullptr);
    // Light glyph pixels on the dark bottom band, left of x = 60 and below y = 580.
    std::vector<std::int32_t> corner(60 * 18);
    image->getRGB(corner, 0, 60, 0, 582, 60, 18);
    const auto light = std::count_if(corner.begin(), corner.end(), [](std::int32_t p) { return (p & 0xFF) > 0xC0; });
    EXPECT_GT(light, 20);

    for (const char* script : {"4 key down Escape\n5 key up Escape\n",
                               "4 mouse move 10 592\n5 mouse down left 10 592\n5 mouse up left 10 592\n"}) {
        r = drive(20, script);
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_NE(r.out.find(" 1 2\n"), std::string::npos) << script << r.out;  // title to exit
        EXPECT_NE(r.out.find("MIDlet Stopped!"), std::string::npos);
    }
    r = drive(10, "4 mouse move 300 592\n5 mouse down left 300 592\n5 mouse up left 300 592\n");
    EXPECT_EQ(r.out.find(" 1 2\n"), std::string::npos) << "a click beside the label does nothing";
}

TEST_F(Program, DamagedProgressBootsWithDefaultsAndTheStoreStays) {
    for (std::size_t length : {std::size_t{183}, std::size_t{40}}) {
        std::filesystem::create_directories(dir_ + "/data");
        const std::vector<std::uint8_t> record(length, 0xA5);
        const auto image = RecordStoreFile::serialize(std::vector<RecordStoreFile::Store>{{"g", {record}}});
        std::ofstream(dir_ + "/data/rms.dat", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        auto r = drive(5, "");
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_NE(r.out.find("Saved game: progress not read"), std::string::npos) << r.out;
        const auto after = RecordStoreFile::emuReadWholeFile(dir_ + "/data/rms.dat");
        const auto stores = RecordStoreFile::parse(after.bytes);
        ASSERT_EQ(stores.size(), 1u);
        EXPECT_EQ(stores[0].name, "g");
        EXPECT_EQ(stores[0].records, std::vector<RecordStoreFile::Record>{record}) << length;
        std::filesystem::remove_all(dir_ + "/data");
    }
}

}  // namespace
