#include <cstdio>
#include <cstdlib>

#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/Launch.h"
#include "TarvokinEmu/TestCard.h"
#include "platform/Console.h"
#include "platform/SdlWindow.h"

namespace TarvokinEmu {

int runProgram(int argc, char** argv) {
    std::unique_ptr<platform::SdlWindowSystem> system;
    try {
        system = std::make_unique<platform::SdlWindowSystem>();
    } catch (const std::exception& e) {
        platform::Console::errln(std::string("tidepool-dash: ") + e.what());
        return 1;
    }
    platform::WindowSystem::install(system.get());
    system->events().attachCurrentThread();
    TestCard::registerClass();

    std::vector<std::string> args(argv + 1, argv + argc);
    Launch launch(args);
    int status = system->runEventLoop();

    // The supervisor may still be inside a frame: leave the display as it
    // was and end the process without tearing down what it uses.
    if (platform::Window* w = launch.emulator().window(); w && w->isFullScreen()) w->leaveFullScreen();
    std::fflush(stdout);
    std::fflush(stderr);
    SDL_Quit();
    std::_Exit(status);
}

}  // namespace TarvokinEmu
