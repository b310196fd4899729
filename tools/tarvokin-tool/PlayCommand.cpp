// tarvokin-tool play: plays a sound file through the runtime's players, so
// any sound can be tried by ear (or, with SDL_AUDIODRIVER=disk, recorded).
#include <atomic>
#include <csignal>
#include <fstream>
#include <iterator>
#include <sstream>

#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/SharedState.h"
#include "ToolCommand.h"
#include "javax/microedition/media/Manager.h"
#include "javax/microedition/media/PlayerImpl.h"
#include "javax/microedition/media/PlayerImplMP3.h"
#include "javax/microedition/media/control/VolumeControl.h"
#include "platform/AudioOutput.h"
#include "platform/Clock.h"
#include "platform/Console.h"

namespace {

using namespace javax::microedition::media;
using platform::Console;

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) { interrupted = true; }

int usageError(const std::string& message) {
    Console::errln("tarvokin-tool play: " + message);
    return 2;
}

int runPlay(const tool::Args& args) {
    std::string file, type;
    std::optional<int> loops, level;
    bool trace = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        try {
            if (a == "--loops" && i + 1 < args.size()) loops = std::stoi(args[++i]);
            else if (a == "--level" && i + 1 < args.size()) level = std::stoi(args[++i]);
            else if (a == "--trace") trace = true;
            else if (file.empty()) file = a;
            else if (type.empty()) type = a;
            else return usageError("unexpected argument " + a);
        } catch (const std::exception&) {
            return usageError("not a number: " + args[i]);
        }
    }
    if (type.empty()) return usageError("usage: play FILE CONTENT-TYPE [--loops N] [--level L] [--trace]");

    std::ifstream in(file, std::ios::binary);
    if (!in) return usageError("cannot read " + file);
    std::istringstream stream(std::string(std::istreambuf_iterator<char>(in), {}));
    if (trace) {
        // Traces print only while a MIDlet runs with -debug.
        TarvokinEmu::config().debugOutput = true;
        TarvokinEmu::shared().midletRunning = true;
    }

    std::shared_ptr<Player> player = Manager::createPlayer(stream, type);
    if (!player) return usageError("no player for content type \"" + type + "\"");
    if (loops) player->setLoopCount(*loops);
    if (level) {
        if (auto volume = std::dynamic_pointer_cast<control::VolumeControl>(player->getControl("VolumeControl")))
            volume->setLevel(*level);
    }

    std::signal(SIGINT, onInterrupt);
    platform::Clock& clock = platform::Clock::current();
    std::int64_t began = clock.nowMillis();
    player->start();
    auto* midi = dynamic_cast<PlayerImpl*>(player.get());
    auto playing = [&] { return midi ? midi->runningPlayCount() > 0 : PlayerImplMP3::playThreadCount() > 0; };
    while (playing() && !interrupted) clock.sleepMillis(10);
    std::int64_t took = clock.nowMillis() - began;
    if (interrupted) player->close();
    PlayerImplMP3::waitForPlayThreads(2000);
    // The synthesizer's line plays out its last block on its own.
    if (midi) clock.sleepMillis(150);
    std::string driver = platform::AudioOutput::driverName();
    platform::AudioOutput::shutdown();
    Console::println("played " + file + " as " + type + " on " + driver + " in " + std::to_string(took) + " ms" +
                     (interrupted ? " (interrupted)" : ""));
    return interrupted ? 130 : 0;
}

const bool registered = tool::registerCommand(
    {"play", "  tarvokin-tool play FILE CONTENT-TYPE [--loops N] [--level L] [--trace]\n", &runPlay});

}  // namespace
