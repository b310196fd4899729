// The game's application class, started by name from the manifest. For now
// its state machine boots, shows the title screen built from the packs and
// quits on the left softkey (Escape).
#pragma once

#include <memory>

#include "game/GameMidlet.h"

namespace game {

class Brindle final : public GameMidlet {
public:
    static constexpr const char* kClassName = "Brindle";
    enum State : int { STATE_BOOT = 0, STATE_TITLE = 1, STATE_EXIT = 2 };

    static void registerClass();
    // The state in force, for the headless driver.
    static int currentState();

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
