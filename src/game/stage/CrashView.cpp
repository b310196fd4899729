#include "game/stage/CrashView.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "TarvokinEmu/MIDletRegistry.h"
#include "game/Brindle.h"
#include "game/MainCanvas.h"
#include "game/SpriteSheet.h"
#include "game/save/SavedGame.h"
#include "game/stage/CrashPainter.h"
#include "game/stage/CrashStage.h"
#include "game/world/GameWorld.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "platform/Console.h"

namespace game::stage {

using javax::microedition::lcdui::Graphics;
using world::GameWorld;

namespace {

constexpr int kLoadingColour = 0xFFBA56;

int envInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    if (!v || !*v) return fallback;
    char* end = nullptr;
    const long n = std::strtol(v, &end, 0);
    return end && *end == '\0' ? static_cast<int>(std::clamp<long>(n, -1000000, 1000000)) : fallback;
}

std::vector<int> envList(const char* name) {
    std::vector<int> out;
    const char* v = std::getenv(name);
    if (!v) return out;
    std::stringstream in(v);
    std::string item;
    while (std::getline(in, item, ',')) out.push_back(static_cast<int>(std::strtol(item.c_str(), nullptr, 0)));
    return out;
}

}  // namespace

void CrashView::registerClass() {
    TarvokinEmu::MIDletRegistry::registerClass(kClassName, [] { return std::make_shared<CrashView>(); });
}

void CrashView::onLifecycle(int event) {
    if (event == LIFECYCLE_STARTED) opened_ = false;
}

void CrashView::onKey(int key, int type) {
    if (!ready_) return;
    CrashStage::onKey(type, key, type == KEY_COMMAND ? 0 : MainCanvas::keyToDigit(key));
}

void CrashView::onPointer(int, int, int type) {
    if (ready_) CrashStage::onPointer(type);
}

// The game's fonts, commands and saved progress, as the boot and data
// loaders leave them.
void CrashView::open() {
    opened_ = true;
    if (const char* seed = std::getenv("TIDEPOOL_SEED")) GameWorld::state().random.seed = static_cast<std::uint32_t>(std::strtoul(seed, nullptr, 0));
    if (auto settings = SavedGame::loadSettings()) SavedGame::applySettings(*settings);
    SpriteSheet::initImages();
    Brindle::createFonts();
    GameWorld::createFrameSprite();
    struct Command {
        int command, text, priority;
    };
    for (const Command c : {Command{CrashStage::kCommandConfirm, 44, 0}, {CrashStage::kCommandPause, 51, 2},
                            {CrashStage::kCommandRetry, 42, 0}, {CrashStage::kCommandLevels, 105, 2}})
        MainCanvas::defineCommand(c.command, c.text, c.priority);
    auto& p = Brindle::shared().progress;
    p = SavedGame::loadProgress();
    p.selectedLevel = std::clamp(envInt("TIDEPOOL_LEVEL", 1), 1, format::Progress::kLevels);
    p.unlockMask = envInt("TIDEPOOL_UNLOCKS", p.unlockMask) & 0x1FF;
    auto& grade = p.levelGrade[static_cast<std::size_t>(p.selectedLevel)];
    grade = std::max(grade, 1);
    bank();
}

// The launches the swing stage would have banked.
void CrashView::bank() {
    auto& w = GameWorld::state();
    w.launchesBanked = std::max(envInt("TIDEPOOL_LAUNCHES", kDefaultLaunches), 0);
    w.launchSmash.assign(static_cast<std::size_t>(w.launchesBanked) + 1, 0);
    w.launchAims.assign(static_cast<std::size_t>(w.launchesBanked) + 1, 0);
    for (int i : envList("TIDEPOOL_SMASH"))
        if (i >= 0 && i < w.launchesBanked) w.launchSmash[static_cast<std::size_t>(i)] = 1;
    const auto aims = envList("TIDEPOOL_AIMS");
    for (std::size_t i = 0; i < aims.size() && i < w.launchAims.size(); ++i) w.launchAims[i] = std::max(aims[i], 0);
    setupStep_ = 0;
    ready_ = false;
    lastPhase_ = -1;
}

void CrashView::handle() {
    auto& p = Brindle::shared().progress;
    const auto& s = CrashStage::state();
    switch (CrashStage::takeRequest()) {
        case CrashStage::Request::LEVEL_END: {
            const auto end = SavedGame::levelEnd(p, s.level, s.requestResult, s.grade, s.score);
            const bool saved = SavedGame::saveProgress(p);
            platform::Console::println("level " + std::to_string(s.level) + " ended: result " + std::to_string(s.requestResult) + ", stars " +
                                       std::to_string(s.grade) + ", score " + std::to_string(s.score) + (end.nextLevelOpened ? ", next level opened" : "") +
                                       (saved ? ", saved" : ", not saved"));
            bank();
            break;
        }
        case CrashStage::Request::RETRY: bank(); break;
        case CrashStage::Request::LEVEL_SELECT:
        case CrashStage::Request::PAUSE: destroyApp(false); break;
        default: break;
    }
}

void CrashView::tick(int frameMs) {
    if (!opened_) open();
    if (!ready_) {
        ready_ = CrashStage::setupStep(setupStep_++);
        if (ready_) CrashStage::resume();
        redrawRequested = true;
        // The goal may be set for trying the results on any map.
        if (ready_ && std::getenv("TIDEPOOL_TARGET")) {
            auto& w = GameWorld::state();
            w.targetCount = std::max(envInt("TIDEPOOL_TARGET", w.targetCount), 0);
            CrashStage::state().goalCount = w.targetCount;
        }
    } else {
        CrashStage::tick(frameMs);
    }
    const int phase = CrashStage::state().phase;
    if (ready_ && phase != lastPhase_) {
        platform::Console::println("crash phase " + std::to_string(phase));
        lastPhase_ = phase;
    }
    handle();
}

void CrashView::paintFrame(Graphics& g) {
    if (!ready_) {
        if (!redrawRequested) return;
        redrawRequested = false;
        g.setClip(0, 0, MainCanvas::kScreenWidth, MainCanvas::kScreenHeight);
        g.setColor(kLoadingColour);
        g.fillRect(0, 0, MainCanvas::kScreenWidth, MainCanvas::kScreenHeight);
        return;
    }
    CrashPainter::paint(g);
}

}  // namespace game::stage
