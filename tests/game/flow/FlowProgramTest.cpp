// The game as a program, driven headless: the boot path with its states
// and tune, options kept across a restart, focus changes, and random input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

#include "game/format/ProgressRecord.h"
#include "game/save/SavedGame.h"
#include "javax/microedition/rms/RecordStoreFile.h"
#include "support/Subprocess.h"

namespace {

using javax::microedition::rms::RecordStoreFile;
using testsupport::runProcess;

// Answering the sound question at frame 13, the splash starts at frame 21
// and the main menu follows 7 s later, or at frame 26 when FIRE skips twice.
constexpr int kSplashFrame = 21;
constexpr int kMainMenuFrame = kSplashFrame + 350;
constexpr int kQuickMenuFrame = 26;

class FlowProgram : public ::testing::Test {
protected:
    void SetUp() override { dir_ = testsupport::makeTempDir("flow"); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    testsupport::ProcessResult drive(int frames, const std::string& script, std::vector<std::string> more = {},
                                     testsupport::ProcessOptions options = {}) {
        std::vector<std::string> args = {"--frames", std::to_string(frames), "--data", dir_ + "/data"};
        // Sanitizer builds draw slowly.
        if (options.timeoutMs == testsupport::ProcessOptions{}.timeoutMs) options.timeoutMs = 180000;
        if (!script.empty()) {
            std::ofstream(dir_ + "/input.txt") << script;
            args.insert(args.end(), {"--script", dir_ + "/input.txt"});
        }
        args.insert(args.end(), more.begin(), more.end());
        return runProcess(TIDEPOOL_DRIVER, args, options);
    }
    // "OLD NEW" of every state line.
    static std::vector<std::string> transitions(const std::string& out) {
        std::vector<std::string> t;
        static const std::regex line("state (\\d+) (\\S+) (\\S+)");
        for (std::sregex_iterator it(out.begin(), out.end(), line), end; it != end; ++it)
            t.push_back((*it)[2].str() + " " + (*it)[3].str());
        return t;
    }
    static int frameOf(const std::string& out, const std::string& change) {
        std::smatch m;
        if (!std::regex_search(out, m, std::regex("state (\\d+) " + change + "\n"))) return -1;
        return std::stoi(m[1].str());
    }
    std::optional<std::vector<std::uint8_t>> record(const std::string& store) {
        const auto file = RecordStoreFile::emuReadWholeFile(dir_ + "/data/rms.dat");
        for (const auto& s : RecordStoreFile::parse(file.bytes))
            if (s.name == store && !s.records.empty()) return s.records[0];
        return std::nullopt;
    }
    // A saves file holding only this progress, as the game writes it.
    void seed(const game::format::Progress& p) {
        std::filesystem::create_directories(dir_ + "/data");
        const std::vector<RecordStoreFile::Store> stores = {{"g", {game::format::ProgressRecord::encode(p)}}};
        const auto bytes = RecordStoreFile::serialize(stores);
        std::ofstream(dir_ + "/data/rms.dat", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string answer(const std::string& key) {
        return "13 key down " + key + "\n14 key up " + key + "\n";
    }
    // Answers Yes and skips the splash.
    static std::string quickStart() {
        return answer("Return") + "22 key down space\n23 key up space\n25 key down space\n26 key up space\n";
    }
    static std::string keys(int from, const std::vector<std::string>& names) {
        std::string script;
        for (const std::string& key : names) {
            script += std::to_string(from) + " key down " + key + "\n" + std::to_string(from + 1) + " key up " + key + "\n";
            from += 4;
        }
        return script;
    }
    std::string dir_;
};

TEST_F(FlowProgram, BootPathAnswersTheSoundQuestionAndPlaysTheMenuTune) {
    struct Case {
        const char* key;
        std::uint8_t volume;
    };
    for (const Case& c : {Case{"Return", 3}, Case{"BackSpace", 0}}) {
        std::filesystem::remove_all(dir_ + "/data");
        const std::string audio = dir_ + "/audio.raw";
        std::filesystem::remove(audio);
        testsupport::ProcessOptions options;
        // The disk device writes at the pace of the wall clock unless told
        // not to wait, and driven frames take far less than 20 ms each.
        options.env = {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", audio}, {"SDL_DISKAUDIODELAY", "0"}};
        options.timeoutMs = 240000;
        // Yes waits through the splash; No skips it.
        const bool full = c.volume != 0;
        std::string script = answer(c.key);
        if (!full) script += keys(kSplashFrame + 1, {"space", "space"});
        const auto r = drive((full ? kMainMenuFrame : kQuickMenuFrame) + 60, script, {}, options);
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_EQ(transitions(r.out), (std::vector<std::string>{"24 0", "0 17", "17 1", "1 2", "2 0"})) << r.out;
        if (full) {
            EXPECT_EQ(frameOf(r.out, "2 0"), kMainMenuFrame);
        }
        const auto settings = record("s");
        ASSERT_TRUE(settings) << c.key;
        EXPECT_EQ(*settings, (std::vector<std::uint8_t>{0, 0, 0, c.volume, 0, 0, 0, c.volume, 0, 0, 0, 0})) << c.key;
        // The tune of the main menu reaches the sound device (none opens without sound).
        std::ifstream in(audio, std::ios::binary);
        std::vector<char> pcm((std::istreambuf_iterator<char>(in)), {});
        const bool sound = std::any_of(pcm.begin(), pcm.end(), [](char b) { return b != 0; });
        EXPECT_EQ(sound, c.volume != 0) << c.key << " " << pcm.size() << " bytes";
    }
}

TEST_F(FlowProgram, FireSkipsTheSplashAndLosingFocusThereOpensTheMainMenu) {
    const int splash = kSplashFrame;
    struct Case {
        std::vector<int> fire;  // frames into the splash
        int menu;               // when the main menu follows
    };
    // At 80 ms the logo jumps to its fading out at 3920 ms; in the second
    // picture FIRE ends the splash.
    for (const Case& c : {Case{{5}, 158}, Case{{5, 30}, 31}}) {
        std::string script = answer("Return");
        for (int f : c.fire)
            script += std::to_string(splash + f) + " key down space\n" + std::to_string(splash + f + 1) + " key up space\n";
        const auto r = drive(splash + c.menu + 5, script);
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_NEAR(frameOf(r.out, "2 0") - splash, c.menu, 2) << r.out;
    }

    auto r = drive(splash + 40, answer("Return") + std::to_string(splash + 20) + " focus out\n" +
                                    std::to_string(splash + 30) + " focus in\n");
    EXPECT_EQ(frameOf(r.out, "2 0"), splash + 30) << r.out;
    // In a menu the focus changes nothing.
    r = drive(kQuickMenuFrame + 30, quickStart() + std::to_string(kQuickMenuFrame + 10) + " focus out\n" +
                                        std::to_string(kQuickMenuFrame + 20) + " focus in\n");
    EXPECT_EQ(transitions(r.out).size(), 5u) << r.out;
}

TEST_F(FlowProgram, OptionsSurviveARestartMoreGamesOpensNothingAndExitQuits) {
    // Main menu: down twice to Options, in: music is the first row; right
    // twice (music 5), Escape backs out and saves.
    const int m = kQuickMenuFrame + 5;
    auto r = drive(m + 40, quickStart() + keys(m, {"Down", "Down", "Return", "Right", "Right", "Escape"}));
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(*record("s"), (std::vector<std::uint8_t>{0, 0, 0, 5, 0, 0, 0, 3, 0, 0, 0, 0})) << r.out;

    // The second start answers Yes again and keeps the louder music.
    r = drive(m + 30, quickStart() + keys(m, {"Down", "Down", "Down", "Return"}));
    EXPECT_EQ(*record("s"), (std::vector<std::uint8_t>{0, 0, 0, 5, 0, 0, 0, 3, 0, 0, 0, 0}));
    EXPECT_NE(r.out.find("open URL (not opened by the driver): https://"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" 0 16\n"), std::string::npos);
    EXPECT_NE(r.out.find(" 16 0\n"), std::string::npos);

    // Exit (the right softkey) asks; Yes ends the program with status 0.
    r = drive(m + 60, quickStart() + keys(m, {"BackSpace", "Return"}));
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_NE(r.out.find("MIDlet Stopped!"), std::string::npos);
    std::smatch frames;
    ASSERT_TRUE(std::regex_search(r.out, frames, std::regex("frames (\\d+)\n")));
    EXPECT_LT(std::stoi(frames[1].str()), m + 20);
}

TEST_F(FlowProgram, PlayFromAFreshStartReachesTheLevelSelectAndSavesTheProgress) {
    // Play at the main menu, then any key ends the story and the slide-in.
    const int m = kQuickMenuFrame + 5;
    const auto r = drive(m + 420, quickStart() + keys(m, {"Return"}) + keys(m + 200, {"space"}) + keys(m + 330, {"space"}));
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    const auto t = transitions(r.out);
    const std::vector<std::string> tail(t.end() - std::min<std::ptrdiff_t>(5, std::ssize(t)), t.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"0 1000", "1000 3", "3 1000", "1000 22", "22 13"})) << r.out;
    const auto g = record("g");
    ASSERT_TRUE(g);
    ASSERT_EQ(g->size(), 184u);
    const auto p = game::format::ProgressRecord::decode(*g);
    EXPECT_EQ(p.levelGrade[1], 1);
    EXPECT_EQ(p.levelGrade[2], 0);
    EXPECT_TRUE(p.progressFlags[2]);
}

// Levels 1..9 open, 1..3 finished: the browser with stars, locks and
// titles. TIDEPOOL_SHOT_DIR keeps the pictures (the README's come from here).
TEST_F(FlowProgram, SeededSaveOpensTheBrowserAtTheSavedLevel) {
    auto p = game::SavedGame::defaultProgress();
    p.progressFlags[2] = true;
    for (int level = 1; level <= 9; ++level) p.levelGrade[static_cast<std::size_t>(level)] = level <= 3 ? 5 - level : 1;
    p.totalStars = 6;
    p.selectedLevel = 2;
    seed(p);
    const char* keep = std::getenv("TIDEPOOL_SHOT_DIR");
    const std::string shots = keep ? keep : dir_;
    const int m = kQuickMenuFrame + 5;
    // Play; at the browser right eight times (level 10, locked): FIRE does
    // nothing there; back to level 9 (open): FIRE plays it.
    const auto r = drive(m + 480, quickStart() + keys(m, {"Return"}) + keys(m + 200, std::vector<std::string>(8, "Right")) +
                                      keys(m + 310, {"Return", "Left", "Return"}),
                         {"--shot", std::to_string(m + 190) + ":" + shots + "/levelselect-1.png", "--shot",
                          std::to_string(m + 300) + ":" + shots + "/levelselect-2.png"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    const auto t = transitions(r.out);
    ASSERT_GE(t.size(), 3u) << r.out;
    EXPECT_EQ(t[t.size() - 3], "1000 13");
    // Not at the first FIRE (frame m + 310), at the one after the move.
    EXPECT_GE(frameOf(r.out, "13 1000"), m + 318) << r.out;
    EXPECT_EQ(t.back(), "1000 1001") << r.out;
    EXPECT_TRUE(std::filesystem::exists(shots + "/levelselect-2.png"));
}

// Random keys, clicks, wheel turns and focus changes never throw and never
// stall; a run the player quits is started again on the same data. The
// frame count comes from TIDEPOOL_MONKEY_FRAMES (100000 for a long run).
TEST_F(FlowProgram, RandomInputNeverThrowsOrStalls) {
    const char* env = std::getenv("TIDEPOOL_MONKEY_FRAMES");
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    const int ciFrames = 800;  // sanitizer builds draw a frame ten times slower
#else
    const int ciFrames = 6000;
#endif
    const int wanted = env ? std::atoi(env) : ciFrames;
    int done = 0;
    for (int seed = 1; done < wanted; ++seed) {
        testsupport::ProcessOptions options;
        options.timeoutMs = 180000 + wanted * 10;
        const auto r = drive(std::min(wanted - done, 20000), "", {"--monkey", std::to_string(seed)}, options);
        ASSERT_EQ(r.exitStatus, 0) << "seed " << seed << "\n" << r.err;
        EXPECT_EQ(r.out.find("error.........."), std::string::npos) << "seed " << seed << "\n" << r.out.substr(0, 4000);
        EXPECT_EQ(r.err.find("no frame came"), std::string::npos) << "seed " << seed;
        std::smatch m;
        ASSERT_TRUE(std::regex_search(r.out, m, std::regex("frames (\\d+)\n")));
        done += std::max(std::stoi(m[1].str()), 1);
    }
}

}  // namespace
