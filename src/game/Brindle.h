// The game's application class, started by name from the manifest. For now
// its state machine boots, shows the title screen built from the packs and
// quits on the left softkey (Escape).
#pragma once

#include <array>
#include <memory>

#include "game/GameMidlet.h"
#include "game/format/ProgressRecord.h"

namespace game {

class BitmapFont;

class Brindle final : public GameMidlet {
public:
    static constexpr const char* kClassName = "Brindle";
    enum State : int { STATE_BOOT = 0, STATE_TITLE = 1, STATE_EXIT = 2 };

    static constexpr int kFontCount = 6;
    using Fonts = std::array<std::shared_ptr<BitmapFont>, kFontCount>;

    // Class-wide state, grouped so that tests can start clean.
    struct Shared {
        // 0 softkeys and items, 1 texts, 3 highlighted softkeys, 4 titles,
        // 5 the medium system font; 2 stays empty.
        Fonts fonts;
        format::Progress progress;
    };
    static Shared& shared();
    static void resetClassState();

    static void registerClass();
    // The state in force, for the headless driver.
    static int currentState();
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
