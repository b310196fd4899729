// The program's entry: banner, command line, configuration printout, screen,
// window, and the start of the MIDlet named on the command line or in the
// manifest. Constructing a Launch does all of it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace TarvokinEmu {

class Emulator;

class Launch {
public:
    explicit Launch(const std::vector<std::string>& args);
    ~Launch();

    Emulator& emulator() { return *emulator_; }

    // Applies the options to the configuration; returns the -MIDletClass
    // value when one was given.
    static std::optional<std::string> applyCommandLine(const std::vector<std::string>& args);
    // Screen size and zoom below 1, or too large to allocate, are clamped;
    // each clamp is reported on standard output.
    static void clampConfiguration();
    // The runtime font set that suits a screen of this area.
    static std::string fontForScreen(int width, int height);
    // The class named by the manifest's "MIDlet-1:" attribute.
    static std::string classNameFromManifest(const std::string& manifest);
    // Signed decimal 32-bit integer: optional minus sign, digits only.
    static std::optional<int> parseInt(const std::string& text);

    static void printBanner();
    static void printConfiguration();

private:
    std::unique_ptr<Emulator> emulator_;
};

// Everything the program does from main(): the window system is SDL unless
// a test installed another one. Returns the process exit status.
int runProgram(int argc, char** argv);

}  // namespace TarvokinEmu
