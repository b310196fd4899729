// The game's application class, started by name from the manifest. Its
// hooks run the top-level state machine (flow/StateMachine.h); all of the
// game's class-wide state outside the world, the stages and the widgets
// is grouped here in one copyable value.
#pragma once

#include <array>
#include <memory>

#include "game/GameMidlet.h"
#include "game/flow/Assets.h"
#include "game/flow/BootLoader.h"
#include "game/flow/IntroStory.h"
#include "game/flow/LevelBrowser.h"
#include "game/flow/LevelSelect.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/MenuPanels.h"
#include "game/flow/Notices.h"
#include "game/flow/RewardScreen.h"
#include "game/flow/Splash.h"
#include "game/flow/StateMachine.h"
#include "game/format/ProgressRecord.h"

namespace game {

class BitmapFont;

class Brindle final : public GameMidlet {
public:
    static constexpr const char* kClassName = "Brindle";

    static constexpr int kFontCount = 6;
    using Fonts = std::array<std::shared_ptr<BitmapFont>, kFontCount>;

    // Class-wide state, grouped so that tests can start clean.
    struct Shared {
        // 0 softkeys and items, 1 texts, 3 highlighted softkeys, 4 titles,
        // 5 the medium system font; 2 stays empty.
        Fonts fonts;
        format::Progress progress;
        flow::StateMachine::State machine;
        flow::LoadingScreen::State loading;
        flow::BootLoader::State boot;
        flow::MenuPanels::State menus;
        flow::Splash::State splash;
        flow::IntroStory::State intro;
        flow::Assets::State assets;
        flow::LevelBrowser::State browser;
        flow::LevelSelect::State levelSelect;
        flow::Notices::State notices;
        flow::RewardScreen::State reward;
    };
    static Shared& shared();
    static void resetClassState();

    static void registerClass();
    // The state in force, for the headless driver (any thread).
    static int currentState();
    static void publishState(int state);
    // The game's fonts from their glyph pictures and tables; one that does
    // not load is replaced by the system font it stands on (with a
    // message). Also installs them as the softkey and panel fonts.
    static void createFonts();

    void resetFrameClock() override {}
    void onLifecycle(int event) override;
    void onKey(int key, int type) override;
    void onPointer(int x, int y, int type) override;
    void paintFrame(javax::microedition::lcdui::Graphics& g) override;
    void tick(int frameMs) override;

private:
    void desktopIntegration();

    bool titleSet_ = false;
    bool cursorSet_ = false;
};

}  // namespace game
