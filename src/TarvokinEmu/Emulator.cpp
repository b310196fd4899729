#include "TarvokinEmu/Emulator.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>

#include "TarvokinEmu/DesktopMouseListener.h"
#include "TarvokinEmu/MIDletRegistry.h"
#include "TarvokinEmu/Trace.h"
#include "TarvokinEmu/gl/GLMaster.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Canvas.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "javax/microedition/lcdui/OpenGlGraphicsBackend.h"
#include "javax/microedition/midlet/MIDlet.h"
#include "javax/microedition/rms/RecordStore.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/KeyCodes.h"
#include "platform/RasterKernels.h"

namespace TarvokinEmu {

using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Image;
using javax::microedition::rms::RecordStore;
using platform::Console;

namespace {

std::atomic<Emulator::FrameGate*> frameGate{nullptr};

const char* const kSettingsStore = "emu_settings";
// How long renderFrame waits for the window to show a frame before giving up
// on it; only reached when the window stops painting without saying so.
constexpr auto kPresentTimeout = std::chrono::milliseconds(250);
// How often a frame waiting for its paint looks whether the window can
// paint at all.
constexpr auto kCanPaintCheck = std::chrono::milliseconds(10);
// How long a lost display waits for the game's frame to finish.
constexpr auto kStopTimeout = std::chrono::seconds(2);

// The game's input and window handlers run on the event thread; one that
// throws is reported as any failing callback is, and the next event is
// delivered as usual.
template <typename Call>
void guarded(Call call) {
    try {
        call();
    } catch (const std::exception& e) {
        java::lang::printStackTrace(e);
    } catch (...) {
        java::lang::printStackTrace(std::runtime_error("unknown exception"));
    }
}

std::vector<std::uint32_t> copyPixels(Image& image) {
    const int w = image.getWidth(), h = image.getHeight();
    std::vector<std::int32_t> rgb(static_cast<std::size_t>(w) * h);
    image.getRGB(rgb, 0, w, 0, 0, w, h);
    return std::vector<std::uint32_t>(rgb.begin(), rgb.end());
}

}  // namespace

void Emulator::setFrameGate(FrameGate* gate) { frameGate = gate; }

void Emulator::resetClassState() {
    config() = Config{};
    shared().reset();
    resetFirstUseTraces();
}

const std::vector<platform::DisplayMode>& Emulator::preferredDisplayModes() {
    static const std::vector<platform::DisplayMode> modes = {
        {800, 600, 32, 0}, {800, 600, 16, 0}, {800, 600, 8, 0}};
    return modes;
}

Emulator::Emulator() = default;

Emulator::~Emulator() {
    if (supervisor_.joinable()) supervisor_.detach();
}

Emulator* Emulator::getInstance() { return dynamic_cast<Emulator*>(Shell::current()); }

// --- screen and window ----------------------------------------------------

void Emulator::createScreen() {
    const Config& c = config();
    trace("createImage(" + std::to_string(c.screenWidth) + "x" + std::to_string(c.screenHeight) + ")");
    auto image = Image::createImage(c.screenWidth, c.screenHeight);
    auto graphics = image->getGraphics();
    graphics->setClip(0, 0, c.screenWidth, c.screenHeight);
    graphics->setColor(0xFFFFFF);
    graphics->fillRect(0, 0, c.screenWidth, c.screenHeight);
    shared().screenImage = image;
    shared().screenGraphics = graphics;
    loadFullScreenSetting();
}

void Emulator::loadFullScreenSetting() {
    bool full = true;
    try {
        auto store = RecordStore::openRecordStore(kSettingsStore, false);
        if (store->getNumRecords() >= 1) {
            auto record = store->getRecord(1);
            // An empty record reads as "no byte", which counts as missing.
            full = record.empty() || record[0] == 1;
        }
        store->closeRecordStore();
    } catch (const std::exception&) {
        full = true;
    }
    shared().fullScreen = full;
}

void Emulator::saveFullScreenSetting() {
    try {
        auto store = RecordStore::openRecordStore(kSettingsStore, true);
        std::vector<std::uint8_t> byte{static_cast<std::uint8_t>(shared().fullScreen ? 1 : 0)};
        if (store->getNumRecords() >= 1)
            store->setRecord(1, byte, 0, 1);
        else
            store->addRecord(byte, 0, 1);
        store->closeRecordStore();
    } catch (const std::exception&) {
        // A setting that cannot be saved only costs the next start its choice.
    }
}

void Emulator::setupWindow(bool fullScreenRequested) {
    const Config& c = config();
    placementX_ = 0;
    placementY_ = 0;
    if (!c.pcKeyboard) shared().fullScreen = fullScreenRequested;

    if (!window_) {
        auto& system = platform::WindowSystem::current();
        openGlStarting_ = c.openGl;
        window_ = c.openGl ? system.createGlWindow() : system.createWindow();
        window_->setListener(this);
        invisibleCursor_ = window_->createCursor(std::vector<std::uint32_t>(16 * 16, 0u), 16, 16, 0, 0);
        defaultCursor_ = window_->defaultCursor();
        Console::println("[TarvokinEmu.Emulator] <- listeners []");
    }

    if (gameTitle_) {
        window_->setTitle(*gameTitle_);
    } else {
        window_->setTitle(titlePrefix_ + std::to_string(c.screenWidth) + "x" + std::to_string(c.screenHeight));
        defaultTitleShown_ = false;  // the next frame puts the game's name back
    }

    if (shared().fullScreen) {
        window_->dispose();
        window_->setDecorated(false);
        window_->show();
        savedDisplayMode_ = window_->currentDisplayMode();
        const platform::DisplayMode* chosen = nullptr;
        std::vector<platform::DisplayMode> available;
        if (window_->displayChangeSupported()) available = window_->displayModes();
        for (const auto& wanted : preferredDisplayModes()) {
            auto it = std::find_if(available.begin(), available.end(), [&](const platform::DisplayMode& m) {
                return m.width == wanted.width && m.height == wanted.height && m.bitDepth == wanted.bitDepth;
            });
            if (it != available.end()) {
                chosen = &*it;
                break;
            }
        }
        window_->enterFullScreen(chosen);
        insets_ = {};
        updatePlacement();
        paintPending_ = PaintPending;
        presentNeeded_ = true;
    } else {
        window_->dispose();
        if (window_->isFullScreen()) window_->leaveFullScreen();
        window_->setDecorated(true);
        resizeWindow();
    }
}

void Emulator::resizeWindow() {
    std::lock_guard hold(frameMutex_);
    const Config& c = config();
    window_->hide();
    platform::Insets in = window_->insets();
    int width = c.screenWidth * c.zoom + in.left + in.right;
    int height = c.screenHeight * c.zoom + in.top + in.bottom;
    window_->setOuterSize(width, height);
    platform::Size screen = window_->screenSize();
    window_->setLocation((screen.width - width) / 2, (screen.height - height) / 2);
    insets_ = in;
    placementX_ = in.left;
    placementY_ = in.top;
    placementScale_ = c.zoom;
    paintPending_ = PaintPending;
    presentNeeded_ = true;
    window_->show();
}

void Emulator::updatePlacement() {
    // Full screen: the largest whole scale that fits, centred on black, so a
    // display without an 800 x 600 mode does not show the game in a corner.
    // The zoom asked for is the window's, and comes back with it.
    const Config& c = config();
    platform::Size client = window_->clientSize();
    int scale = std::max(1, std::min(client.width / c.screenWidth, client.height / c.screenHeight));
    placementScale_ = scale;
    placementX_ = (client.width - c.screenWidth * scale) / 2;
    placementY_ = (client.height - c.screenHeight * scale) / 2;
}

Emulator::Placement Emulator::placement() const {
    return Placement{placementX_.load(), placementY_.load(), placementScale_.load()};
}

// --- the MIDlet supervisor ------------------------------------------------

void Emulator::startMidlet(const std::string& className) {
    midletClassName_ = className;
    supervisorRunning_ = true;
    supervisor_ = std::thread([this] {
        run();
        supervisorRunning_ = false;
    });
}

void Emulator::joinSupervisor() {
    if (supervisor_.joinable()) supervisor_.join();
}

void Emulator::exitProcess(int status) { platform::WindowSystem::current().exitProcess(status); }

void Emulator::run() {
    for (const char* line : {" ", " ", "Starting MIDlet", "---------------"}) Console::println(line);
    Console::println("Launching class: " + midletClassName_);

    SharedState& s = shared();
    platform::Clock& clock = platform::Clock::current();
    if (config().openGl) startOpenGl();
    try {
        midlet_ = MIDletRegistry::create(midletClassName_);
        midlet_->startApp();
        s.midletRunning = true;
        if (Canvas* canvas = s.currentCanvas.load()) canvas->showNotify();
    } catch (const java::lang::ClassNotFoundException& e) {
        trace("Class not found: " + midletClassName_);
        java::lang::printStackTrace(e);
        exitProcess(-2);
        return;
    } catch (const std::exception& e) {
        trace("Error opening Class: " + midletClassName_);
        java::lang::printStackTrace(e);
        exitProcess(-3);
        return;
    }

    s.exitRequested = false;
    while (true) {
        try {
            if (windowRebuildPending_) rebuildWindow();
            if (s.openGl) glUpkeep();
            if (s.serialCall.load() && !s.framePainting) {
                FrameGate* gate = frameGate.load();
                if (gate) gate->beforeSerialCall();
                clock.sleepMillis(1);
                auto call = s.serialCall.exchange(nullptr);
                struct After {
                    FrameGate* gate;
                    ~After() {
                        if (gate) gate->afterSerialCall();
                    }
                } after{gate};
                if (call) call->run();
            }
        } catch (...) {
            try {
                throw;
            } catch (const std::exception& e) {
                java::lang::printStackTrace(e);
            } catch (...) {
                java::lang::printStackTrace(std::runtime_error("unknown exception"));
            }
            Console::println("error..........");
            windowRebuildPending_ = false;
        }
        clock.sleepMillis(1);
        if (s.exitRequested) break;
    }

    s.serialCall.store(std::shared_ptr<java::lang::Runnable>());
    for (const char* line : {" ", "---------------", "MIDlet Stopped!", "===============", " "}) Console::println(line);
    if (s.openGl) gl::GLMaster::close();
    supervisorRunning_ = false;
    exitProcess(0);
    s.midletRunning = false;
}

void Emulator::startOpenGl() {
    const Config& c = config();
    try {
        if (!window_) throw java::lang::IllegalStateException("no window to draw on");
        gl::GLMaster::initialise(*window_, c.screenWidth, c.screenHeight);
        placeOpenGl();
        // The screen context draws through OpenGL from now on; its recorded
        // clip, colour and font stay.
        auto& g = *shared().screenGraphics;
        g.attachBackend(std::make_unique<javax::microedition::lcdui::OpenGlGraphicsBackend>(c.screenWidth, c.screenHeight));
        g.setClip(0, 0, c.screenWidth, c.screenHeight);
        g.setColor(g.getColor());
        shared().openGl = true;
        openGlStarting_ = false;
    } catch (const std::exception& e) {
        // The window path keeps drawing for the rest of the run.
        gl::GLMaster::close();
        shared().openGl = false;
        if (window_)
            window_->alert("Warning", "Try installing the lastest video card drivers to get the best graphical effects.");
        Console::println("OGL Error");
        java::lang::printStackTrace(e, Console::out());
        openGlStarting_ = false;
        presentNeeded_ = true;
    }
}

void Emulator::placeOpenGl() {
    const Placement at = placement();
    gl::GLMaster::place(at.x - insets_.left, at.y - insets_.top, at.scale);
}

void Emulator::glUpkeep() {
    // The frame is shown where it was drawn; the next one goes where the
    // window now puts the screen.
    const bool visible = gl::GLMaster::upkeep();
    placeOpenGl();
    if (visible) return;
    // A hidden window asked to be painted gets the current canvas's frame,
    // shown once it can be seen again; otherwise there is no need to hurry.
    if (glDirty_.exchange(false) && shared().currentCanvas.load()) renderFrame();
    platform::Clock::current().sleepMillis(100);
}

void Emulator::requestFullScreen(bool on) {
    if (on == shared().fullScreen.load() || windowRebuildPending_) return;
    shared().fullScreen = on;
    shared().fullScreenSwitching = true;
    switchSettlesAt_ = kNever;
    windowRebuildPending_ = true;
}

bool Emulator::isFullScreen() { return shared().fullScreen; }

void Emulator::rebuildWindow() {
    try {
        platform::WindowSystem::current().events().invokeAndWait([this] {
            // Settled from the end of the rebuild, on the event thread, so
            // that window events handled after it already see the time.
            struct Settle {
                Emulator& emulator;
                ~Settle() {
                    emulator.switchSettlesAt_ = platform::Clock::current().nowMillis() + kSwitchSettleMillis;
                }
            } settle{*this};
            setupWindow(shared().fullScreen);
            if (!shared().fullScreen) {
                setWindowTitle(gameTitle_);
                if (!gameIcon_.empty()) window_->setIcon(gameIcon_, gameIconWidth_, gameIconHeight_);
            }
            saveFullScreenSetting();
        });
    } catch (const std::exception& e) {
        java::lang::printStackTrace(e);
    }
    windowRebuildPending_ = false;
}

// --- frames ---------------------------------------------------------------

void Emulator::renderFrame() {
    SharedState& s = shared();
    const Config& c = config();
    s.gameThread = std::this_thread::get_id();

    Canvas* canvas = s.currentCanvas.load();
    if (s.screenGraphics && canvas) {
        s.framePainting = true;
        {
            std::lock_guard hold(frameMutex_);
            s.screenGraphics->setClip(0, 0, c.screenWidth, c.screenHeight);
            try {
                canvas->paint(*s.screenGraphics);
            } catch (const std::exception& e) {
                trace("*** Render Exception ***");
                java::lang::printStackTrace(e);
            }
        }
        if (s.openGl) {
            // Shown by the supervisor's next upkeep.
            auto screen = s.screenImage;
            gl::GLMaster::frameDrawn(screen ? screen->pixelBuffer() : nullptr);
        } else if (window_ && frameNeedsPresent() && !presentAndWait()) {
            // A frame the window did not get to show (minimised, hidden,
            // given up on) is shown by the next frame even if nothing
            // changed.
            presentNeeded_ = true;
        }
    }
    s.framePainting = false;

    if (!gameTitle_ && !defaultTitleShown_ && window_) {
        window_->setTitle("Tidepool Dash");
        defaultTitleShown_ = true;
    }

    if (c.maxFps > 0) {
        platform::Clock& clock = platform::Clock::current();
        if (lastFrameTime_ == 0) {
            lastFrameTime_ = clock.nowMillis();
        } else {
            std::int64_t delay = 1000 / c.maxFps - (clock.nowMillis() - lastFrameTime_);
            if (delay > 0) clock.sleepMillis(delay);
        }
        lastFrameTime_ = clock.nowMillis();
    }
}

bool Emulator::frameNeedsPresent() {
    const bool rebuilt = presentNeeded_.exchange(false);
    auto image = shared().screenImage;
    const std::uint32_t* pixels = image ? image->pixelBuffer() : nullptr;
    if (!pixels) return true;
    const std::size_t count = static_cast<std::size_t>(image->getWidth()) * image->getHeight();
    // Most frames of a menu are the last one again: comparing costs a read
    // of the picture, converting and showing it costs far more.
    if (shownFrame_.size() == count && std::equal(pixels, pixels + count, shownFrame_.begin())) return rebuilt;
    shownFrame_.assign(pixels, pixels + count);
    return true;
}

bool Emulator::presentAndWait() {
    {
        std::lock_guard lock(presentMutex_);
        paintPending_ = PaintPending;
    }
    window_->requestRepaint();
    // Blocks until the window's paint has shown the frame, so the next
    // frame starts only after this one is on screen. A window that cannot
    // paint (minimised, hidden, display gone) would otherwise hold the game
    // forever, so it is looked at again every few milliseconds; a window
    // that stops painting without saying so is given up after a while.
    // A paint already under way is always waited for: it reads the screen
    // the next frame draws into.
    std::unique_lock lock(presentMutex_);
    const auto deadline = std::chrono::steady_clock::now() + kPresentTimeout;
    while (paintPending_.load() != PaintIdle) {
        if (!window_->canPaint() || std::chrono::steady_clock::now() >= deadline) {
            int expected = PaintPending;
            if (paintPending_.compare_exchange_strong(expected, PaintIdle)) return false;
        }
        presented_.wait_for(lock, kCanPaintCheck);
    }
    // A paint that ran while the window could not show it showed nothing.
    return window_->canPaint();
}

void Emulator::paintView() {
    // With OpenGL the frames go through its swaps; a paint asked of the
    // window only marks the frame for redrawing.
    if (shared().openGl) glDirty_ = true;
    int expected = PaintPending;
    if (!paintPending_.compare_exchange_strong(expected, PaintInProgress)) return;
    const Config& c = config();
    if (!shared().openGl && !openGlStarting_ && window_) {
        Placement at = placement();
        const int x = at.x - insets_.left, y = at.y - insets_.top, k = at.scale;
        const int w = c.screenWidth, h = c.screenHeight;
        const std::size_t outPixels = static_cast<std::size_t>(w) * k * h * k;
        auto image = shared().screenImage;
        const std::uint32_t* pixels = image ? image->pixelBuffer() : nullptr;
        if (!pixels) {
            viewBuffer_.assign(outPixels, 0xFFFFFFFFu);
            window_->present(viewBuffer_.data(), w * k, h * k, x, y);
        } else if (k == 1) {
            window_->present(pixels, w, h, x, y);
        } else {
            viewBuffer_.resize(outPixels);
            if (k == 2)
                platform::raster::zoomExact2(pixels, w, h, zoomRowBuffer_, viewBuffer_.data());
            else
                platform::raster::zoomNearest(pixels, w, h, k, viewBuffer_.data());
            window_->present(viewBuffer_.data(), w * k, h * k, x, y);
        }
    }
    {
        std::lock_guard lock(presentMutex_);
        paintPending_ = PaintIdle;
    }
    presented_.notify_all();
}

// --- window events --------------------------------------------------------

void Emulator::destroyMidlet() {
    if (auto midlet = javax::microedition::midlet::MIDlet::current()) {
        try {
            midlet->destroyApp(true);
        } catch (...) {
        }
    }
}

void Emulator::windowClosing() {
    // The close button and the quit request that follows it are one close.
    if (closing_.exchange(true)) return;
    shared().exitRequested = true;
    destroyMidlet();
    exitProcess(0);
}

void Emulator::displayLost() {
    // Stopped as a closed window stops the game; then the supervisor gets a
    // moment to leave its loop, so the process does not end in the middle
    // of a frame's saves (unless the loss was found on the supervisor's own
    // thread, between saves).
    if (closing_.exchange(true)) return;
    shared().exitRequested = true;
    destroyMidlet();
    if (std::this_thread::get_id() == supervisor_.get_id()) return;
    const auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
    while (supervisorRunning_ && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void Emulator::windowEvent(int id) {
    SharedState& s = shared();
    platform::Clock& clock = platform::Clock::current();
    std::int64_t now = clock.nowMillis();
    std::int64_t previous = s.lastWindowEventTime.exchange(now);
    if (!s.midletRunning || now - previous <= 50) return;

    switch (id) {
    case platform::WindowIconified:
    case platform::WindowDeactivated:
    case platform::WindowLostFocus:
        // A switch is over once it has been done and its own focus events
        // had time to arrive, whether or not any came.
        if (s.fullScreenSwitching && now >= switchSettlesAt_) s.fullScreenSwitching = false;
        if (!s.fullScreenSwitching) {
            if (Canvas* canvas = s.currentCanvas.load()) guarded([&] { canvas->hideNotify(); });
        }
        break;
    case platform::WindowDeiconified:
    case platform::WindowActivated:
    case platform::WindowGainedFocus:
        s.fullScreenSwitching = false;
        if (Canvas* canvas = s.currentCanvas.load()) guarded([&] { canvas->showNotify(); });
        break;
    default:
        break;
    }
}

// --- keyboard and mouse --------------------------------------------------

std::optional<int> Emulator::phoneKeyCode(int key, int) {
    namespace pc = platform::pc;
    const Config& c = config();
    switch (key) {
    case pc::kUp: return c.keyUp;
    case pc::kDown: return c.keyDown;
    case pc::kLeft: return c.keyLeft;
    case pc::kRight: return c.keyRight;
    case pc::kEnter:
    case pc::kSpace: return c.keyFire;
    case pc::kEscape: return c.leftSoftKey;
    case pc::kBackspace:
    case pc::kShift:
    case pc::kControl:
    case pc::kAlt:
    case pc::kDelete: return key;
    default: break;
    }
    if (key >= pc::kNumpad0 && key <= pc::kNumpad9) return platform::phone::kNum0 + (key - pc::kNumpad0);
    if (key >= pc::kA && key <= pc::kZ) return key;
    if (key >= pc::kF1 && key <= pc::kF12) return key;
    return std::nullopt;
}

void Emulator::keyEvent(const platform::KeyEvent& e) {
    SharedState& s = shared();
    // F11 switches on its press only, before the key is delivered.
    if (e.pressed && e.keyCode == platform::pc::kF11) {
        s.fullScreenSwitching = true;
        requestFullScreen(!s.fullScreen);
    }
    // Keys reach the current canvas also while the game is still starting.
    auto code = e.rightSoftKey ? std::optional<int>(config().rightSoftKey) : phoneKeyCode(e.keyCode, e.keyLocation);
    if (!code) return;
    Canvas* canvas = s.currentCanvas.load();
    if (!canvas) return;
    guarded([&] {
        if (e.pressed)
            canvas->keyPressed(*code);
        else
            canvas->keyReleased(*code);
    });
}

void Emulator::mouseEvent(const platform::MouseEvent& e) {
    SharedState& s = shared();
    const Config& c = config();
    Placement at = placement();
    int x = std::clamp((e.x - at.x) / at.scale, 0, c.screenWidth - 1);
    int y = std::clamp((e.y - at.y) / at.scale, 0, c.screenHeight - 1);
    s.lastPointerX = x;
    s.lastPointerY = y;
    if (!s.midletRunning) return;
    Canvas* canvas = s.currentCanvas.load();
    if (!canvas) return;
    guarded([&] { deliverMouse(*canvas, e, x, y); });
}

void Emulator::deliverMouse(Canvas& target, const platform::MouseEvent& e, int x, int y) {
    SharedState& s = shared();
    Canvas* canvas = &target;
    auto* desktop = dynamic_cast<DesktopMouseListener*>(canvas);
    using Type = platform::MouseEvent::Type;
    switch (e.type) {
    case Type::Moved:
    case Type::Dragged:
        canvas->pointerDragged(x, y);
        break;
    case Type::Pressed:
    case Type::Released: {
        const bool pressed = e.type == Type::Pressed;
        if (desktop && (e.button == 1 || e.button == 3)) {
            if (pressed)
                desktop->desktopMousePressed(x, y, e.button == 3);
            else
                desktop->desktopMouseReleased(x, y, e.button == 3);
        } else if (!desktop && e.button == 1) {
            if (pressed)
                canvas->pointerPressed(x, y);
            else
                canvas->pointerReleased(x, y);
        }
        break;
    }
    case Type::Wheel:
        if (desktop && e.wheelRotation != 0)
            desktop->desktopMouseWheel(s.lastPointerX, s.lastPointerY, e.wheelRotation < 0);
        break;
    }
}

// --- game services --------------------------------------------------------

void Emulator::setWindowTitle(const std::optional<std::string>& text) {
    gameTitle_ = text;
    if (window_ && text) window_->setTitle(*text);
}

void Emulator::setWindowIcon(const std::shared_ptr<Image>& image) {
    if (!image) return;
    gameIcon_ = copyPixels(*image);
    gameIconWidth_ = image->getWidth();
    gameIconHeight_ = image->getHeight();
    if (window_) window_->setIcon(gameIcon_, gameIconWidth_, gameIconHeight_);
}

void Emulator::setCursorImage(const std::shared_ptr<Image>& image, int hotX, int hotY) {
    if (!image || !window_) return;
    gameCursor_ = window_->createCursor(copyPixels(*image), image->getWidth(), image->getHeight(), hotX, hotY);
    window_->setCursor(gameCursor_);
}

void Emulator::showCursor(bool visible) {
    if (!window_) return;
    if (visible && !cursorShown_) {
        window_->setCursor(gameCursor_ ? gameCursor_ : defaultCursor_);
        cursorShown_ = true;
    } else if (!visible && cursorShown_) {
        window_->setCursor(invisibleCursor_);
        cursorShown_ = false;
    }
}

}  // namespace TarvokinEmu
