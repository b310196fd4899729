// The game's single canvas: held keys, the two softkeys, the key and
// pointer pipelines, the drawing pass, and the class-wide resource readers
// (one-pack cache, texts, images, properties).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "com/qorvi/tkemu/graphics/DesktopGameCanvas.h"
#include "game/InputQueue.h"
#include "java/io/DataReader.h"

namespace javax::microedition::lcdui {
class Graphics;
class Image;
}  // namespace javax::microedition::lcdui

namespace game {

class GameFont;
class GameMidlet;

// A data stream over a copy of one pack entry.
class ResourceStream {
public:
    explicit ResourceStream(std::vector<std::uint8_t> bytes)
        : bytes_(std::make_unique<std::vector<std::uint8_t>>(std::move(bytes))), reader_(*bytes_) {}
    java::io::DataReader& in() { return reader_; }
    std::size_t size() const { return bytes_->size(); }

private:
    std::unique_ptr<std::vector<std::uint8_t>> bytes_;
    java::io::DataReader reader_;
};

class MainCanvas final : public com::qorvi::tkemu::graphics::DesktopGameCanvas {
public:
    static constexpr int kScreenWidth = 800, kScreenHeight = 600;
    static constexpr int kLabelFlag = 0x1000000, kPriorityFlag = 0x3000000;
    static constexpr int kProperties = 22;

    // Class-wide state, grouped so that tests can start clean.
    struct State {
        std::shared_ptr<MainCanvas> canvas;
        GameMidlet* listener = nullptr;
        std::vector<int> heldKeys;
        int heldTop = -1;
        int leftCommand = -1, leftPriority = 0;
        std::optional<std::string> leftLabel;
        int rightCommand = -1, rightPriority = 0;
        std::optional<std::string> rightLabel;
        // command -> text id, command | kLabelFlag -> label, command | kPriorityFlag -> priority.
        std::map<int, int> commandTexts, commandPriorities;
        std::map<int, std::string> commandLabels;
        std::shared_ptr<javax::microedition::lcdui::Graphics> screen;
        int mouseX = 200, mouseY = 150;
        std::shared_ptr<const GameFont> softkeyFont;
        std::shared_ptr<const GameFont> highlightFont;
        int softkeyBarHeight = 0;
        int highlightShift = 0;
        std::shared_ptr<javax::microedition::lcdui::Image> cursorImage;
        bool drawCursor = true;
        bool noPauseOnHide = false;
        bool skipFirstShow = true;
        // The only field the event thread touches.
        InputQueue input;

        // Resource cache.
        std::optional<std::string> packName;
        std::vector<std::uint8_t> packBuffer;
        std::mutex imageCacheMutex;
        std::map<int, std::shared_ptr<javax::microedition::lcdui::Image>> imageCache;
        std::vector<std::optional<std::string>> properties;
        std::vector<std::string> languageList;
    };
    static State& state();
    static void resetClassState();

    MainCanvas();

    static void attach(GameMidlet* listener);
    static MainCanvas* instance() { return state().canvas.get(); }
    // First-frame set-up: input state, softkeys, the screen and resources.
    static void init();
    static void render();

    static int keyToDigit(int keyCode);
    static void setSoftkey(int command, int side);
    static void clearSoftkeys();
    static void releaseHeldKeys(int mode);
    static void setSoftkeyFonts(std::shared_ptr<const GameFont> normal, std::shared_ptr<const GameFont> highlight);
    // Delivers the input and window events that arrived since the last
    // call, in order (frame thread; the frame loop calls it first thing).
    static void deliverInput();
    static bool inputWaiting() { return !state().input.empty(); }

    // The sound channels: the tune stops and the effect closes on a pause,
    // both close when the application leaves.
    static void pausePlayers();
    static void closePlayers();

    // ---- resources ----
    static bool loadPack(const std::string& name);
    // ArrayIndexOutOfBoundsException naming the pack for an offset outside it.
    static int packInt(int offset);
    static std::vector<std::uint8_t> packEntry(int index);
    // Null for id -1. A missing pack or entry raises
    // java::io::IOException naming the pack and the entry.
    static std::optional<std::vector<std::uint8_t>> resourceBytes(int id);
    static std::unique_ptr<ResourceStream> resourceStream(int id);
    // Null for -1 and on any error; "" for -2.
    static std::optional<std::string> text(int id);
    static std::shared_ptr<javax::microedition::lcdui::Image> loadImage(int id);
    static void dropPackCache();
    static std::optional<std::string> property(int i);
    static void defineCommand(int command, int textId, int priority);

    // ---- canvas operations ----
    // Called on the event thread: each only queues its event.
    void paint(javax::microedition::lcdui::Graphics&) override {}
    void keyPressed(int keyCode) override;
    void keyReleased(int keyCode) override;
    void keyRepeated(int keyCode) override;
    void pointerDragged(int x, int y) override;
    void showNotify() override;
    void hideNotify() override;
    void desktopSpare3(int, int, bool) override;
    void desktopSpare4(int, int, bool) override;
    void desktopSpare1(int, int) override;
    void desktopSpare2(int, int) override;
    void desktopMousePressed(int x, int y, bool rightButton) override;
    void desktopMouseReleased(int x, int y, bool rightButton) override;
    void desktopMouseWheel(int x, int y, bool up) override;

private:
    static void deliver(const InputQueue::Event& event);
    static void deliverKeyPressed(int keyCode);
    static void deliverMousePressed(int x, int y, bool rightButton);
    static int labelWidth(const std::optional<std::string>& label);
    static void loadProperties();
    static std::vector<std::uint8_t> entryOf(const std::string& pack, int id);
};

}  // namespace game
