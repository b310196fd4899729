#include "TarvokinEmu/Launch.h"

#include <algorithm>
#include <climits>

#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/Resources.h"
#include "TarvokinEmu/SharedState.h"
#include "java/lang/Exceptions.h"
#include "platform/Console.h"
#include "platform/KeyCodes.h"
#include "platform/Window.h"

namespace TarvokinEmu {

using platform::Console;

namespace {

// Beyond these the screen image or the window could not be allocated.
constexpr int kMaxScreenSide = 4096;
constexpr int kMaxWindowSide = 16384;

// Java's indexOf: a start below 0 counts as 0; -1 when not found.
long indexOf(const std::string& text, const std::string& needle, long from) {
    if (from < 0) from = 0;
    if (static_cast<std::size_t>(from) > text.size()) return -1;
    auto pos = text.find(needle, static_cast<std::size_t>(from));
    return pos == std::string::npos ? -1 : static_cast<long>(pos);
}

}  // namespace

std::optional<int> Launch::parseInt(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<std::string> Launch::applyCommandLine(const std::vector<std::string>& a) {
    Config& c = config();
    std::optional<std::string> className;
    const std::size_t n = a.size();
    // Stores the value if it parses; says whether it did.
    auto setIf = [&](std::size_t at, int& field) {
        auto v = parseInt(a[at]);
        if (v) field = *v;
        return v.has_value();
    };
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == "-canvas" || a[i] == "-softkeys") {
            int& first = a[i] == "-canvas" ? c.screenWidth : c.leftSoftKey;
            int& second = a[i] == "-canvas" ? c.screenHeight : c.rightSoftKey;
            // A first value that does not parse ends the option there.
            if (i + 1 < n && setIf(++i, first) && i + 1 < n) setIf(++i, second);
        }
        if (a[i] == "-zoom" && i + 1 < n) setIf(++i, c.zoom);
        if (a[i] == "-debug") c.debugOutput = true;
        if (a[i] == "-font" && i + 1 < n) c.fontName = a[++i];
        if (a[i] == "-3d") c.openGl = true;
        if (a[i] == "-maxFPS" && i + 1 < n) setIf(++i, c.maxFps);
        if (a[i] == "-keymap" && i + 1 < n) {
            c.keymapName = a[++i];
            if (c.keymapName == "SI-SL55") {
                const platform::phone::KeySet& k = platform::phone::kSiemensSL55Keys;
                c.keyUp = k.up;
                c.keyDown = k.down;
                c.keyLeft = k.left;
                c.keyRight = k.right;
                c.keyFire = k.fire;
                c.leftSoftKey = k.leftSoftKey;
                c.rightSoftKey = k.rightSoftKey;
            } else if (c.keymapName == "PC") {
                c.pcKeyboard = true;
            }
        }
        if (a[i] == "-MIDletClass" && i + 1 < n) className = a[++i];
    }
    return className;
}

void Launch::clampConfiguration() {
    Config& c = config();
    auto clamp = [](int& value, int low, int high, const char* what) {
        if (value < low || value > high) {
            int was = value;
            value = value < low ? low : high;
            Console::println(std::string(what) + " " + std::to_string(was) + " is out of range; using " +
                             std::to_string(value));
        }
    };
    clamp(c.screenWidth, 1, kMaxScreenSide, "Canvas width");
    clamp(c.screenHeight, 1, kMaxScreenSide, "Canvas height");
    int maxZoom = std::max(1, kMaxWindowSide / std::max(c.screenWidth, c.screenHeight));
    clamp(c.zoom, 1, maxZoom, "Zoom");
}

std::string Launch::fontForScreen(int width, int height) {
    long long area = static_cast<long long>(width) * height;
    // Screens up to 240 x 320 keep the handset-sized set; anything larger
    // gets the desktop-sized one.
    if (area > 76800) return "SE-S700";
    if (area >= 28000) return "NK-6600";
    if (area >= 18000) return "NK-6020";
    if (area >= 12000) return "NK-3300";
    return "SI-SL55";
}

std::string Launch::classNameFromManifest(const std::string& text) {
    long p = indexOf(text, "MIDlet-1:", 0);
    long c1 = indexOf(text, ",", p + 1);
    long c2 = indexOf(text, ",", c1 + 1);
    long e = indexOf(text, "\r", c2 + 1);
    if (e < 0) e = static_cast<long>(text.size());
    std::size_t begin = static_cast<std::size_t>(c2 + 1), end = static_cast<std::size_t>(e);
    // Java's trim(): everything up to and including the space character.
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
    return text.substr(begin, end - begin);
}

void Launch::printBanner() {
    for (const char* line : {" ", "TarvokinEmu v2.1 - Rev.5", "-------------------------", " ", "usage:",
                             "java Launch -canvas 240 320 -zoom 1 -softkeys -21 -22 -font SI-SL55 -keymap SI-SL55",
                             " "})
        Console::println(line);
}

void Launch::printConfiguration() {
    const Config& c = config();
    Console::println("Current configuration:");
    Console::println("----------------------");
    Console::println("Canvas: " + std::to_string(c.screenWidth) + "x" + std::to_string(c.screenHeight));
    Console::println("Zoom: x" + std::to_string(c.zoom));
    Console::println("Softkeys: (" + std::to_string(c.leftSoftKey) + ")(" + std::to_string(c.rightSoftKey) + ")");
    Console::println("Font: " + c.fontName.value_or("null"));
    Console::println("Keymap: " + c.keymapName);
    Console::println(" ");
}

Launch::Launch(const std::vector<std::string>& args) {
    // Failures on the event thread are reported as the handset runtime
    // reports any exception.
    platform::WindowSystem::current().events().setErrorReporter([](const std::exception& e) {
        Console::errln("Exception in thread \"event\"");
        java::lang::printStackTrace(e);
    });
    printBanner();
    emulator_ = std::make_unique<Emulator>();
    std::optional<std::string> className = applyCommandLine(args);
    clampConfiguration();
    Config& c = config();
    if (!c.fontName) c.fontName = fontForScreen(c.screenWidth, c.screenHeight);
    printConfiguration();

    emulator_->createScreen();
    emulator_->setupWindow(shared().fullScreen);

    if (!className) {
        try {
            auto bytes = readResource("META-INF/MANIFEST.MF");
            if (bytes) className = classNameFromManifest(std::string(bytes->begin(), bytes->end()));
        } catch (const java::io::IOException&) {
        }
        if (!className) Console::println("META-INF/MANIFEST.MF");
    }
    if (className) emulator_->startMidlet(*className);
}

Launch::~Launch() = default;

}  // namespace TarvokinEmu
