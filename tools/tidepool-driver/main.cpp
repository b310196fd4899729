// tidepool-driver: runs the real program (runtime, game and data) on the
// headless window system with a fixed-step clock, feeds it a script of timed
// inputs and writes screenshots. The same inputs give the same frames.
//
//   tidepool-driver [--step MS] [--frames N] [--script FILE] [--monkey SEED]
//                   [--shot FRAME:FILE.png]... [--data DIR] [-- PROGRAM OPTIONS]
//
// A web page the program asks to open is named on standard output, not opened.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include "DriverSession.h"
#include "InputScript.h"
#include "TarvokinEmu/Launch.h"
#include "TarvokinEmu/SharedState.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/Console.h"
#include "platform/PngWriter.h"

namespace {

const char* kUsage =
    "usage: tidepool-driver [--step MS] [--frames N] [--script FILE] [--monkey SEED]\n"
    "                       [--shot FRAME:FILE.png]... [--data DIR] [-- PROGRAM OPTIONS]\n";

int usage(const char* why) {
    std::fprintf(stderr, "tidepool-driver: %s\n%s", why, kUsage);
    return 2;
}

bool writeScreen(const std::string& file) {
    auto image = TarvokinEmu::shared().screenImage;
    if (!image || !image->pixelBuffer()) return false;
    const int w = image->getWidth(), h = image->getHeight();
    auto png = platform::encodePng({image->pixelBuffer(), static_cast<std::size_t>(w) * h}, w, h);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return !png.empty() && static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    int step = 20, frames = 100;
    std::string scriptFile, dataDir;
    std::optional<unsigned> monkeySeed;
    std::multimap<int, std::string> shots;
    std::vector<std::string> programArgs;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--") {
            programArgs.assign(argv + i + 1, argv + argc);
            break;
        } else if (a == "--step") {
            auto v = TarvokinEmu::Launch::parseInt(value());
            if (!v || *v < 1) return usage("--step needs a number of milliseconds above 0");
            step = *v;
        } else if (a == "--frames") {
            auto v = TarvokinEmu::Launch::parseInt(value());
            if (!v || *v < 0) return usage("--frames needs a count");
            frames = *v;
        } else if (a == "--script") {
            scriptFile = value();
        } else if (a == "--monkey") {
            auto v = TarvokinEmu::Launch::parseInt(value());
            if (!v || *v < 0) return usage("--monkey needs a seed");
            monkeySeed = static_cast<unsigned>(*v);
        } else if (a == "--data") {
            dataDir = value();
        } else if (a == "--shot") {
            std::string v = value();
            auto colon = v.find(':');
            auto frame = colon == std::string::npos ? std::nullopt : TarvokinEmu::Launch::parseInt(v.substr(0, colon));
            if (!frame || colon + 1 >= v.size()) return usage("--shot needs FRAME:FILE.png");
            shots.emplace(*frame, std::filesystem::absolute(v.substr(colon + 1)).string());
        } else {
            return usage(("unknown option " + a).c_str());
        }
    }

    std::vector<driver::ScriptInput> inputs;
    if (!scriptFile.empty()) {
        std::ifstream in(scriptFile);
        if (!in) return usage(("cannot read " + scriptFile).c_str());
        try {
            inputs = driver::parseInputScript(in);
        } catch (const std::exception& e) {
            return usage(e.what());
        }
    }

    if (monkeySeed) {
        if (!inputs.empty()) return usage("--monkey and --script do not mix");
        inputs = driver::monkeyInput(*monkeySeed, frames);
    }

    // The saves of a driven run go to a folder of its own.
    if (dataDir.empty()) {
        std::error_code ec;
        dataDir = (std::filesystem::temp_directory_path() / ("tidepool-driver-" + std::to_string(getpid()))).string();
        std::filesystem::remove_all(dataDir, ec);
    }
    std::optional<driver::Session> session;
    try {
        session.emplace(driver::Session::Options{step, dataDir, programArgs, true});
    } catch (const std::exception& e) {
        return usage(e.what());
    }

    std::size_t next = 0;
    int frame = 0;
    for (frame = 1; frame <= frames && !session->stopping(); ++frame) {
        std::vector<driver::ScriptInput> due;
        for (; next < inputs.size() && inputs[next].frame <= frame; ++next) due.push_back(inputs[next]);
        const bool ran = session->frame(due);
        auto [from, to] = shots.equal_range(frame);
        for (auto it = from; it != to; ++it)
            if (!writeScreen(it->second)) platform::Console::errln("tidepool-driver: cannot write " + it->second);
        if (!ran) {
            ++frame;
            break;
        }
    }
    platform::Console::println("frames " + std::to_string(frame - 1));
    session->finish();
}
