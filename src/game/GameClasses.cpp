#include "game/GameClasses.h"

#include "game/Brindle.h"
#include "game/LevelView.h"
#include "game/stage/CrashView.h"
#include "game/stage/SwingView.h"

namespace game {

void registerGameClasses() {
    Brindle::registerClass();
    LevelView::registerClass();
    stage::CrashView::registerClass();
    stage::SwingView::registerClass();
}

}  // namespace game
