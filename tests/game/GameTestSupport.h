// Shared by the game's tests: a fresh working folder with clean class-wide
// state, pack files written from entries, and a media player that records
// what the sound channels ask of it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "TarvokinEmu/Emulator.h"
#include "game/MainCanvas.h"
#include "game/audio/SoundPlayer.h"
#include "game/format/GameFontData.h"
#include "game/format/PackFile.h"
#include "game/ui/BitmapFont.h"
#include "game/ui/ScreenEffects.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "javax/microedition/media/Player.h"
#include "javax/microedition/media/control/VolumeControlImpl.h"
#include "javax/microedition/rms/RecordStore.h"
#include "platform/Clock.h"

namespace gametest {

inline void writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void writePack(const std::string& name, const std::vector<std::vector<std::uint8_t>>& entries) {
    writeFile(name, game::format::PackFile::write(entries));
}

// A picture-mode font: glyph i is codes[i], shape.advance wide (wide
// overrides it per code), ascent + descent high with its top at the ascent,
// and its cell of the picture filled with the colour 0xFF000000 | (i + 1).
struct TestFontShape {
    std::vector<int> codes;
    int advance = 10, ascent = 10, descent = 2, spacing = 0;
    std::vector<std::pair<int, int>> wide;
};

inline std::vector<int> asciiCodes() {
    std::vector<int> codes;
    for (int c = 32; c < 127; ++c) codes.push_back(c);
    codes.push_back(0xE9);  // é, two bytes in UTF-8
    return codes;
}

inline std::shared_ptr<game::BitmapFont> testFont(const TestFontShape& shape = {asciiCodes(), 10, 10, 2, 0, {}}) {
    using javax::microedition::lcdui::Image;
    game::format::GameFont font;
    font.spacing = shape.spacing;
    font.ascent = shape.ascent;
    font.descent = shape.descent;
    const int n = static_cast<int>(shape.codes.size());
    const int h = shape.ascent + shape.descent;
    auto sheet = Image::createImage(16 * 16, ((n + 15) / 16) * h, 0);
    auto& g = *sheet->getGraphics();
    for (int i = 0; i < n; ++i) {
        const int code = shape.codes[static_cast<std::size_t>(i)];
        int advance = shape.advance;
        for (auto [c, a] : shape.wide)
            if (c == code) advance = a;
        font.glyphs.push_back({code, (i % 16) * 16, (i / 16) * h, advance, h, shape.ascent});
        g.setColor(i + 1);
        g.fillRect((i % 16) * 16, (i / 16) * h, 16, h);
    }
    return std::make_shared<game::BitmapFont>(sheet, game::format::GameFontData::encode(font));
}

// Records calls as "type op" lines in a log shared by every player made.
class RecordingPlayer final : public javax::microedition::media::Player {
public:
    RecordingPlayer(std::string type, std::shared_ptr<std::string> log) : type_(std::move(type)), log_(std::move(log)) {}
    void realize() override {}
    void prefetch() override { state_ = PREFETCHED; }
    void start() override {
        state_ = STARTED;
        *log_ += type_ + " start loops=" + std::to_string(loops) + " level=" + std::to_string(volume_->getLevel()) + "\n";
    }
    void stop() override {
        state_ = PREFETCHED;
        *log_ += type_ + " stop\n";
    }
    void deallocate() override {}
    void close() override {
        state_ = CLOSED;
        *log_ += type_ + " close\n";
    }
    int getState() override { return state_; }
    std::shared_ptr<javax::microedition::media::Control> getControl(const std::string& name) override {
        return name == "VolumeControl" ? volume_ : nullptr;
    }
    std::optional<std::vector<std::shared_ptr<javax::microedition::media::Control>>> getControls() override {
        return std::nullopt;
    }
    std::string getContentType() override { return type_; }
    std::int64_t getDuration() override { return 0; }
    std::int64_t getMediaTime() override { return 0; }
    std::int64_t setMediaTime(std::int64_t) override { return 0; }
    void setLoopCount(int count) override { loops = count; }
    void addPlayerListener(std::shared_ptr<javax::microedition::media::PlayerListener>) override {}
    void removePlayerListener(std::shared_ptr<javax::microedition::media::PlayerListener>) override {}

    int loops = 0;

private:
    std::string type_;
    std::shared_ptr<std::string> log_;
    int state_ = UNREALIZED;
    std::shared_ptr<javax::microedition::media::control::VolumeControlImpl> volume_ =
        std::make_shared<javax::microedition::media::control::VolumeControlImpl>();
};

// A fresh folder as the working directory and clean class-wide state.
// Sounds go to RecordingPlayers whose log is sounds(); each player's
// first line names the first byte of its file ("#7 audio/wav start ...").
class GameTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetAll();
        oldDir_ = std::filesystem::current_path();
        static int serial = 0;
        dir_ = std::filesystem::temp_directory_path() /
               ("game-test-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
        game::SoundPlayer::state().factory = [log = log_](const std::vector<std::uint8_t>& file, const std::string& type) {
            const std::string name = "#" + std::to_string(file.empty() ? -1 : file[0]) + " " + type;
            return std::make_shared<RecordingPlayer>(name, log);
        };
    }
    void TearDown() override {
        resetAll();
        platform::Clock::install(nullptr);
        std::filesystem::current_path(oldDir_);
        std::filesystem::remove_all(dir_);
    }
    static void resetAll() {
        game::SoundPlayer::resetClassState();
        game::ScreenEffects::resetClassState();
        game::MainCanvas::resetClassState();
        TarvokinEmu::Emulator::resetClassState();
        javax::microedition::rms::RecordStore::resetClassState();
    }
    // The log so far, emptied.
    std::string sounds() {
        std::string out;
        out.swap(*log_);
        return out;
    }

    std::filesystem::path oldDir_, dir_;
    std::shared_ptr<std::string> log_ = std::make_shared<std::string>();
};

}  // namespace gametest
