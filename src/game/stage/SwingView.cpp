#include "game/stage/SwingView.h"

#include <algorithm>
#include <cstdlib>

#include "TarvokinEmu/MIDletRegistry.h"
#include "game/Brindle.h"
#include "game/MainCanvas.h"
#include "game/SpriteSheet.h"
#include "game/audio/SoundPlayer.h"
#include "game/save/SavedGame.h"
#include "game/stage/SwingStage.h"
#include "game/ui/PanelWindow.h"
#include "game/ui/Popup.h"
#include "game/world/GameWorld.h"
#include "javax/microedition/lcdui/Font.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "platform/Console.h"

namespace game::stage {

using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Graphics;
using world::GameWorld;

namespace {

// The commands the stage shows, with their label texts and priorities.
constexpr int kCommands[][3] = {{SwingStage::kCommandPause, 51, 2}, {SwingStage::kCommandRetry, 42, 0},
                                {SwingStage::kCommandLevels, 105, 2}, {SwingStage::kCommandOk, 44, 0}};
constexpr const char* kModeNames[] = {"falling", "pendulum", "rope", "trampoline"};
constexpr int kCommandQuit = 7, kQuitText = 50;

int envInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? static_cast<int>(std::strtol(v, nullptr, 0)) : fallback;
}

}  // namespace

void SwingView::registerClass() {
    TarvokinEmu::MIDletRegistry::registerClass(kClassName, [] { return std::make_shared<SwingView>(); });
}

void SwingView::onLifecycle(int event) {
    if (event != LIFECYCLE_STARTED) return;
    for (const auto& c : kCommands) MainCanvas::defineCommand(c[0], c[1], c[2]);
    MainCanvas::defineCommand(kCommandQuit, kQuitText, 2);
}

void SwingView::onKey(int key, int type) {
    if ((type == KEY_PRESSED && key == 27) || (type == KEY_COMMAND && key == kCommandQuit)) {
        destroyApp(false);
        return;
    }
    if (ended_) {
        if (type == KEY_PRESSED && MainCanvas::keyToDigit(key) == '5') restart();
        return;
    }
    if (running_) SwingStage::key(key, type);
}

void SwingView::open() {
    opened_ = true;
    level_ = std::clamp(envInt("TIDEPOOL_LEVEL", kDefaultLevel), 1, format::Progress::kLevels);
    unlocks_ = envInt("TIDEPOOL_UNLOCKS", 0);
    GameWorld::resetClassState();
    if (const char* seed = std::getenv("TIDEPOOL_SEED"); seed && *seed)
        GameWorld::state().random.seed = static_cast<std::uint32_t>(std::strtoul(seed, nullptr, 0));
    try {
        SpriteSheet::initImages();
    } catch (const std::exception& e) {
        platform::Console::println(std::string("pictures: ") + e.what());
    }
    Brindle::createFonts();
    Popup::create();
    GameWorld::createFrameSprite();
    restart();
}

void SwingView::restart() {
    auto& progress = Brindle::shared().progress;
    progress = SavedGame::defaultProgress();
    progress.selectedLevel = level_;
    progress.unlockMask = unlocks_;
    progress.levelGrade[static_cast<std::size_t>(level_)] = 1;
    SwingStage::resetClassState();
    MainCanvas::clearSoftkeys();
    setupStep_ = 0;
    running_ = ended_ = false;
    outcome_.clear();
}

void SwingView::finish(const std::string& what) {
    platform::Console::println(what);
    outcome_ = what + "   fire: again   esc: quit";
    ended_ = true;
    running_ = false;
    MainCanvas::clearSoftkeys();
    MainCanvas::setSoftkey(kCommandQuit, 0);
}

void SwingView::tick(int frameMs) {
    if (!opened_) open();
    redrawRequested = true;
    if (ended_) return;
    if (!running_) {
        // One loading step a frame, as the game's loading screen runs them.
        if (!SwingStage::setupStep(setupStep_++)) return;
        running_ = true;
        SwingStage::enter(false);
        SoundPlayer::playMusic(SoundPlayer::kSwingMusic);
        const auto& w = GameWorld::state();
        const int mode = w.swing.dropMode;
        caption_ = "level " + std::to_string(level_) + (w.bonusLevel ? " (bonus)" : "") + " - " +
                   (mode >= 0 && mode <= 3 ? kModeNames[mode] : "?") + "   fire: swing   esc: quit";
    }
    SwingStage::update(std::clamp(frameMs, 1, 200));
    switch (SwingStage::takeRequest()) {
        case SwingStage::TO_CRASH_STAGE: finish("swing stage ended with " + SwingStage::bankedLaunches()); break;
        case SwingStage::LEVEL_END:
            finish("bonus level ended: " + std::to_string(GameWorld::destroyedBonus()) + " of " + std::to_string(GameWorld::placedBonus()) +
                   " bonus objects, " + std::to_string(SwingStage::bonusStars()) + " stars, score " + std::to_string(SwingStage::bonusScore()));
            break;
        case SwingStage::TO_LEVEL_SELECT: finish("swing stage left for the level select"); break;
        // The view has no pause menu: its softkey leaves the view.
        case SwingStage::PAUSE_MENU: destroyApp(false); break;
        default: break;
    }
}

void SwingView::paintFrame(Graphics& g) {
    if (!redrawRequested) return;
    redrawRequested = false;
    g.setClip(0, 0, MainCanvas::kScreenWidth, MainCanvas::kScreenHeight);
    if (!running_ && !ended_) {
        g.setColor(PanelWindow::kLoadingColour);
        g.fillRect(0, 0, MainCanvas::kScreenWidth, MainCanvas::kScreenHeight);
        return;
    }
    SwingStage::paint(g);
    g.setClip(0, 0, MainCanvas::kScreenWidth, MainCanvas::kScreenHeight);
    g.setFont(Font::getFont(Font::FACE_SYSTEM, Font::STYLE_PLAIN, Font::SIZE_MEDIUM));
    g.setColor(0x1B1B2F);
    g.fillRect(0, 0, MainCanvas::kScreenWidth, 22);
    g.setColor(0xFFFFFF);
    g.drawString(ended_ ? outcome_ : caption_, 6, 3, Graphics::TOP | Graphics::LEFT);
}

}  // namespace game::stage
