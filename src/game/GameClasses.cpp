#include "game/GameClasses.h"

#include "game/Brindle.h"
#include "game/LevelView.h"

namespace game {

void registerGameClasses() {
    Brindle::registerClass();
    LevelView::registerClass();
}

}  // namespace game
