// tidepool-dash: the handset runtime with the game's classes registered.
#include "TarvokinEmu/Launch.h"

int main(int argc, char** argv) { return TarvokinEmu::runProgram(argc, argv); }
