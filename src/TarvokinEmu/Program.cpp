#include <cstdio>
#include <cstdlib>

#include "TarvokinEmu/Launch.h"
#include "TarvokinEmu/TestCard.h"
#include "java/lang/Throwable.h"
#include "platform/Console.h"
#include "platform/SdlWindowSystem.h"

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

    int status = 1;
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        Launch launch(args);
        status = system->runEventLoop();
    } catch (const std::exception& e) {
        platform::Console::errln("Exception in thread \"main\"");
        java::lang::printStackTrace(e);
    }

    // However the program ends, the display is given back as it was. The
    // supervisor may still be inside a frame: the process ends without
    // tearing down what it uses.
    system->shutdown();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

}  // namespace TarvokinEmu
