#include "game/MainCanvas.h"

#include <algorithm>

#include "TarvokinEmu/Emulator.h"
#include "game/GameFont.h"
#include "game/GameMidlet.h"
#include "game/audio/SoundPlayer.h"
#include "game/format/PackFile.h"
#include "game/ui/ScreenEffects.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/Console.h"

namespace game {

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using TarvokinEmu::Emulator;

namespace {
std::unique_ptr<MainCanvas::State>& stateStore() {
    static auto s = std::make_unique<MainCanvas::State>();
    return s;
}

std::string hex(int id) { return format::PackFile::idText(id); }
}  // namespace

MainCanvas::State& MainCanvas::state() { return *stateStore(); }

void MainCanvas::resetClassState() { stateStore() = std::make_unique<State>(); }

MainCanvas::MainCanvas() : DesktopGameCanvas(false) {}

void MainCanvas::attach(GameMidlet* listener) {
    State& s = state();
    if (!s.canvas) s.canvas = std::make_shared<MainCanvas>();
    s.heldKeys.clear();
    s.heldKeys.reserve(5);
    s.heldTop = -1;
    s.listener = listener;
}

void MainCanvas::init() {
    State& s = state();
    s.mouseX = 200;
    s.mouseY = 150;
    s.cursorImage.reset();
    s.drawCursor = true;
    s.commandTexts.clear();
    s.commandLabels.clear();
    s.commandPriorities.clear();
    clearSoftkeys();
    s.screen = s.canvas ? s.canvas->getGraphics() : Emulator::shared().screenGraphics;

    loadProperties();
    {
        std::lock_guard lock(s.imageCacheMutex);
        s.imageCache.clear();
    }
    s.languageList.clear();
    if (loadPack(format::PackFile::textPackName(0))) {
        try {
            auto entry = packEntry(1);
            s.languageList.push_back(format::TextEntry::decode(entry));
        } catch (const std::exception& e) {
            java::lang::printStackTrace(e);
        }
    }
}

void MainCanvas::loadProperties() {
    State& s = state();
    s.properties.assign(kProperties, std::nullopt);
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = Emulator::readResource("p");
    } catch (const std::exception&) {
        return;  // no property file is normal
    }
    if (!bytes) return;
    java::io::DataReader in(*bytes);
    try {
        while (in.remaining() > 0) {
            int k = in.readUnsignedByte();
            if (k < 1 || k > kProperties) break;
            s.properties[k - 1] = in.readUTF();
        }
    } catch (const std::exception&) {
        // A damaged record ends the file; what was read stays.
    }
}

// ---- input ---------------------------------------------------------------

int MainCanvas::keyToDigit(int keyCode) {
    MainCanvas* c = instance();
    int action = c ? c->getGameAction(keyCode) : 0;
    switch (action) {
    case UP: return '2';
    case LEFT: return '4';
    case FIRE: return '5';
    case RIGHT: return '6';
    case DOWN: return '8';
    default: return 0;
    }
}

void MainCanvas::keyPressed(int keyCode) { state().input.push({InputQueue::Kind::KeyPressed, keyCode}); }

void MainCanvas::keyReleased(int keyCode) { state().input.push({InputQueue::Kind::KeyReleased, keyCode}); }

void MainCanvas::keyRepeated(int keyCode) { state().input.push({InputQueue::Kind::KeyRepeated, keyCode}); }

void MainCanvas::pointerDragged(int x, int y) { state().input.push({InputQueue::Kind::PointerMoved, x, y}); }

void MainCanvas::desktopMousePressed(int x, int y, bool rightButton) {
    state().input.push({InputQueue::Kind::MousePressed, x, y, rightButton});
}

void MainCanvas::desktopMouseReleased(int x, int y, bool rightButton) {
    state().input.push({InputQueue::Kind::MouseReleased, x, y, rightButton});
}

void MainCanvas::desktopMouseWheel(int x, int y, bool up) {
    state().input.push({InputQueue::Kind::MouseWheel, x, y, up});
}

void MainCanvas::showNotify() {
    state().input.push({InputQueue::Kind::Shown});
    // A paused game runs no frames: wake it to take the event.
    if (GameMidlet* game = GameMidlet::instance()) game->wake();
}

void MainCanvas::hideNotify() { state().input.push({InputQueue::Kind::Hidden}); }

void MainCanvas::desktopSpare3(int, int, bool) { platform::Console::println("NOT HAPPEN 1"); }
void MainCanvas::desktopSpare4(int, int, bool) { platform::Console::println("NOT HAPPEN 2"); }
void MainCanvas::desktopSpare1(int, int) { platform::Console::println("NOT HAPPEN 3"); }
void MainCanvas::desktopSpare2(int, int) { platform::Console::println("NOT HAPPEN 4"); }

void MainCanvas::deliverInput() {
    for (const InputQueue::Event& event : state().input.take()) deliver(event);
}

void MainCanvas::deliver(const InputQueue::Event& e) {
    State& s = state();
    GameMidlet* game = s.listener;
    if (!game) return;
    using Kind = InputQueue::Kind;
    // Input that arrives while the game is paused is not for it.
    const bool input = e.kind != Kind::Shown && e.kind != Kind::Hidden && e.kind != Kind::Destroy;
    if (input && game->isPaused()) return;
    switch (e.kind) {
    case Kind::KeyPressed: deliverKeyPressed(e.a); break;
    case Kind::KeyReleased:
        std::erase(s.heldKeys, e.a);
        s.heldTop = static_cast<int>(s.heldKeys.size()) - 1;
        if (e.a != -6 && e.a != -7) game->onKey(e.a, GameMidlet::KEY_RELEASED);
        break;
    case Kind::KeyRepeated:
        if (e.a != -6 && e.a != -7) game->onKey(e.a, GameMidlet::KEY_REPEATED);
        break;
    case Kind::PointerMoved:
        s.mouseX = e.a;
        s.mouseY = e.b;
        game->onPointer(e.a, e.b, GameMidlet::POINTER_MOVE);
        break;
    case Kind::MousePressed: deliverMousePressed(e.a, e.b, e.flag); break;
    case Kind::MouseReleased:
        game->onPointer(e.a, e.b, e.flag ? GameMidlet::POINTER_ALT_RELEASE : GameMidlet::POINTER_RELEASE);
        break;
    case Kind::MouseWheel:
        game->onPointer(e.a, e.b, e.flag ? GameMidlet::POINTER_WHEEL_UP : GameMidlet::POINTER_WHEEL_DOWN);
        break;
    case Kind::Shown:
        if (s.skipFirstShow)
            s.skipFirstShow = false;
        else
            game->startApp();
        break;
    case Kind::Hidden:
        if (!s.noPauseOnHide) game->pauseApp();
        break;
    case Kind::Destroy: game->destroyApp(e.flag); break;
    }
}

void MainCanvas::releaseHeldKeys(int mode) {
    if (mode != 0) return;
    State& s = state();
    std::vector<int> held;
    held.swap(s.heldKeys);
    s.heldTop = -1;
    if (s.listener)
        for (int key : held) s.listener->onKey(key, GameMidlet::KEY_RELEASED);
}

void MainCanvas::deliverKeyPressed(int keyCode) {
    State& s = state();
    s.heldKeys.push_back(keyCode);
    s.heldTop = static_cast<int>(s.heldKeys.size()) - 1;
    if (keyCode == -6) {
        // With nothing on the left, the key (Escape) backs out through the right softkey.
        const int command = s.leftCommand != -1 ? s.leftCommand : s.rightCommand;
        if (command != -1) s.listener->onKey(command, GameMidlet::KEY_COMMAND);
    } else if (keyCode == -7) {
        if (s.rightCommand != -1) s.listener->onKey(s.rightCommand, GameMidlet::KEY_COMMAND);
    } else {
        s.listener->onKey(keyCode, GameMidlet::KEY_PRESSED);
    }
}

void MainCanvas::deliverMousePressed(int x, int y, bool rightButton) {
    State& s = state();
    if (!rightButton && y > kScreenHeight - s.softkeyBarHeight) {
        if (s.leftCommand != -1 && x < labelWidth(s.leftLabel) + 4) {
            s.listener->onKey(s.leftCommand, GameMidlet::KEY_COMMAND);
            return;
        }
        if (s.rightCommand != -1 && x > kScreenWidth - 4 - labelWidth(s.rightLabel)) {
            s.listener->onKey(s.rightCommand, GameMidlet::KEY_COMMAND);
            return;
        }
    }
    s.listener->onPointer(x, y, rightButton ? GameMidlet::POINTER_ALT_PRESS : GameMidlet::POINTER_PRESS);
}

// ---- softkeys ------------------------------------------------------------

void MainCanvas::setSoftkeyFonts(std::shared_ptr<const GameFont> normal, std::shared_ptr<const GameFont> highlight) {
    State& s = state();
    s.softkeyFont = std::move(normal);
    s.highlightFont = std::move(highlight);
    if (s.softkeyFont) s.softkeyBarHeight = std::max(s.softkeyBarHeight, s.softkeyFont->height() + 4);
    if (s.softkeyFont && s.highlightFont)
        s.highlightShift = (s.highlightFont->height() - s.softkeyFont->height()) / 2;
}

int MainCanvas::labelWidth(const std::optional<std::string>& label) {
    const GameFont* font = state().softkeyFont.get();
    return label && font ? font->stringWidth(*label) : 0;
}

void MainCanvas::clearSoftkeys() {
    State& s = state();
    s.leftCommand = s.rightCommand = -1;
    s.leftPriority = s.rightPriority = 0;
    s.leftLabel.reset();
    s.rightLabel.reset();
}

void MainCanvas::setSoftkey(int command, int side) {
    State& s = state();
    std::optional<std::string> label;
    if (auto it = s.commandLabels.find(command | kLabelFlag); it != s.commandLabels.end()) label = it->second;
    int priority = 0;
    if (auto it = s.commandPriorities.find(command | kPriorityFlag); it != s.commandPriorities.end())
        priority = it->second;

    bool left;
    if (side == 1) {
        left = true;
    } else if (side != 0) {
        left = false;
    } else if (priority == 0 || priority == 1) {
        if (s.leftCommand == -1) {
            left = false;
        } else if (s.leftPriority <= priority) {
            left = true;
        } else {
            int previous = s.leftCommand;
            clearSoftkeys();
            setSoftkey(previous, 1);
            left = false;
        }
    } else {
        if (s.rightCommand == -1) {
            left = true;
        } else if (s.rightPriority >= priority) {
            left = false;
        } else {
            int previous = s.rightCommand;
            clearSoftkeys();
            setSoftkey(previous, 3);
            left = true;
        }
    }
    if (left) {
        s.leftCommand = command;
        s.leftPriority = priority;
        s.leftLabel = label;
    } else {
        s.rightCommand = command;
        s.rightPriority = priority;
        s.rightLabel = label;
    }
}

void MainCanvas::defineCommand(int command, int textId, int priority) {
    State& s = state();
    s.commandTexts[command] = textId;
    if (auto label = text(textId)) s.commandLabels[command | kLabelFlag] = *label;
    s.commandPriorities[command | kPriorityFlag] = priority;
}

// ---- drawing -------------------------------------------------------------

void MainCanvas::render() {
    State& s = state();
    GameMidlet* game = s.listener;
    if (!s.screen) s.screen = Emulator::shared().screenGraphics;
    if (!s.screen) return;
    Graphics& g = *s.screen;
    if (game) {
        if (ScreenEffects::shaking())
            ScreenEffects::drawShaken(*game, g);
        else
            game->paintFrame(g);
    }
    g.setClip(0, 0, kScreenWidth, kScreenHeight);
    const GameFont* normal = s.softkeyFont.get();
    const GameFont* highlight = s.highlightFont ? s.highlightFont.get() : normal;
    constexpr int anchor = Graphics::BOTTOM | Graphics::LEFT;
    if (normal) {
        const int h = normal->height();
        if (s.leftCommand != -1 && s.leftLabel) {
            const int w = normal->stringWidth(*s.leftLabel);
            if (s.mouseY > 598 - h && s.mouseX < w + 4)
                highlight->drawString(g, *s.leftLabel, 2 - s.highlightShift, 598 + s.highlightShift, anchor);
            else
                normal->drawString(g, *s.leftLabel, 2, 598, anchor);
        }
        if (s.rightCommand != -1 && s.rightLabel) {
            const int w = normal->stringWidth(*s.rightLabel);
            if (s.mouseY > 598 - h && s.mouseX > 796 - w)
                highlight->drawString(g, *s.rightLabel, 798 - s.highlightShift - w, 598 + s.highlightShift, anchor);
            else
                normal->drawString(g, *s.rightLabel, 798 - w, 598, anchor);
        }
    }
    if (s.drawCursor && s.cursorImage) {
        if (Emulator* emu = Emulator::getInstance()) emu->showCursor(false);
        g.drawImage(s.cursorImage, s.mouseX, s.mouseY, Graphics::TOP | Graphics::LEFT);
    }
    if (s.canvas) s.canvas->flushGraphics();
}

// ---- players -------------------------------------------------------------

void MainCanvas::pausePlayers() { SoundPlayer::pause(); }

void MainCanvas::closePlayers() { SoundPlayer::closeAll(); }

// ---- resources -----------------------------------------------------------

bool MainCanvas::loadPack(const std::string& name) {
    State& s = state();
    if (s.packName && *s.packName == name) return true;
    s.packName.reset();
    s.packBuffer.assign(4, 0);
    try {
        auto bytes = Emulator::readResource(name);
        if (!bytes || bytes->size() < 4) return false;
        const std::uint32_t n = (std::uint32_t{(*bytes)[0]} << 24) | (std::uint32_t{(*bytes)[1]} << 16) |
                                (std::uint32_t{(*bytes)[2]} << 8) | (*bytes)[3];
        // The header's length rules; a shorter file is a damaged pack.
        if (n < 4 || n > bytes->size()) return false;
        s.packBuffer.assign(n, 0);
        std::copy(bytes->begin() + 4, bytes->begin() + n, s.packBuffer.begin() + 4);
    } catch (const std::exception&) {
        s.packBuffer.assign(4, 0);
        return false;
    }
    s.packName = name;
    return true;
}

int MainCanvas::packInt(int offset) {
    State& s = state();
    if (offset < 0 || static_cast<std::size_t>(offset) + 4 > s.packBuffer.size())
        throw java::lang::ArrayIndexOutOfBoundsException("offset " + std::to_string(offset) + " is outside pack " +
                                                          s.packName.value_or("(none)"));
    const std::uint8_t* p = s.packBuffer.data() + offset;
    return static_cast<int>((std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
                            p[3]);
}

std::vector<std::uint8_t> MainCanvas::packEntry(int index) {
    State& s = state();
    const std::string pack = s.packName.value_or("(none)");
    const int count = s.packBuffer.size() >= 8 ? packInt(4) : 0;
    if (index < 0 || index >= count)
        throw java::lang::ArrayIndexOutOfBoundsException("entry " + std::to_string(index) + " is not in pack " + pack +
                                                         " (" + std::to_string(count) + " entries)");
    const std::int64_t start = static_cast<std::uint32_t>(packInt(8 + 4 * index));
    const std::int64_t end = index == count - 1 ? static_cast<std::int64_t>(s.packBuffer.size())
                                                : static_cast<std::uint32_t>(packInt(12 + 4 * index));
    if (start > end || end > static_cast<std::int64_t>(s.packBuffer.size()))
        throw java::lang::ArrayIndexOutOfBoundsException("entry " + std::to_string(index) + " of pack " + pack +
                                                         " lies outside the pack");
    return {s.packBuffer.begin() + start, s.packBuffer.begin() + end};
}

std::vector<std::uint8_t> MainCanvas::entryOf(const std::string& pack, int id) {
    if (!loadPack(pack)) throw java::io::IOException("pack " + pack + " is missing or damaged (reading " + hex(id) + ")");
    return packEntry(id & 0xFFFF);
}

std::optional<std::vector<std::uint8_t>> MainCanvas::resourceBytes(int id) {
    if (id == -1) return std::nullopt;
    return entryOf(format::PackFile::dataPackName(format::PackFile::packOf(id)), id);
}

std::unique_ptr<ResourceStream> MainCanvas::resourceStream(int id) {
    auto bytes = resourceBytes(id);
    if (!bytes) return nullptr;
    return std::make_unique<ResourceStream>(std::move(*bytes));
}

std::optional<std::string> MainCanvas::text(int id) {
    if (id == -1) return std::nullopt;
    if (id == -2) return std::string();
    try {
        auto entry = entryOf(format::PackFile::textPackName(format::PackFile::packOf(id)), id);
        return format::TextEntry::decode(entry);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::shared_ptr<Image> MainCanvas::loadImage(int id) {
    if (id == -1) return nullptr;
    State& s = state();
    {
        std::lock_guard lock(s.imageCacheMutex);
        if (auto it = s.imageCache.find(id); it != s.imageCache.end()) return it->second;
    }
    auto bytes = entryOf(format::PackFile::dataPackName(format::PackFile::packOf(id)), id);
    auto image = Image::createImage(std::span<const std::uint8_t>(bytes), 0, static_cast<int>(bytes.size()));
    if (!image) return nullptr;
    std::lock_guard lock(s.imageCacheMutex);
    s.imageCache[id] = image;
    return image;
}

void MainCanvas::dropPackCache() {
    State& s = state();
    s.packName.reset();
    s.packBuffer.clear();
    s.packBuffer.shrink_to_fit();
}

std::optional<std::string> MainCanvas::property(int i) {
    State& s = state();
    if (i < 1 || i > static_cast<int>(s.properties.size())) return std::nullopt;
    return s.properties[i - 1];
}

}  // namespace game
