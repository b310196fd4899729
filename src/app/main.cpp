// tidepool-dash: the handset runtime with the game's classes registered.
#include "TarvokinEmu/Launch.h"
#include "game/GameClasses.h"

int main(int argc, char** argv) {
    game::registerGameClasses();
    return TarvokinEmu::runProgram(argc, argv);
}
