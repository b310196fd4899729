// The OpenGL drawing path: its arithmetic, its pictures against the
// software raster's on Mesa's software renderer under Xvfb, and the
// fallback when OpenGL cannot start.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>

#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/PNGReader.h"
#include "TarvokinEmu/SharedState.h"
#include "TarvokinEmu/gl/GLMaster.h"
#include "TarvokinEmu/gl/TextureLoader.h"
#include "javax/microedition/lcdui/Canvas.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "javax/microedition/lcdui/OpenGlGraphicsBackend.h"
#include "javax/microedition/rms/RecordStore.h"
#include "platform/Clock.h"
#include "platform/HeadlessWindow.h"
#include "support/Subprocess.h"
#include "support/Xvfb.h"
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

using TarvokinEmu::gl::GLMaster;
using TarvokinEmu::gl::TextureLoader;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using platform::Rect;

TEST(GLMasterMaths, ColoursDivideBy256AndAZeroAlphaIsOpaque) {
    struct Case {
        std::uint32_t argb;
        float r, g, b, a;
    };
    for (const Case& c : {Case{0xFF0000, 0.99609375f, 0, 0, 1}, Case{0x80FF0000, 0.99609375f, 0, 0, 0.5f},
                          Case{0xFF102030, 16 / 256.0f, 32 / 256.0f, 48 / 256.0f, 255 / 256.0f}}) {
        const auto colour = GLMaster::colourOf(c.argb);
        EXPECT_EQ(colour.r, c.r) << std::hex << c.argb;
        EXPECT_EQ(colour.g, c.g) << std::hex << c.argb;
        EXPECT_EQ(colour.b, c.b) << std::hex << c.argb;
        EXPECT_EQ(colour.a, c.a) << std::hex << c.argb;
    }
}

TEST(GLMasterMaths, ScissorFlipsYAndFollowsThePlacement) {
    struct Case {
        Rect phone;
        int dh, offsetX, offsetY, scale, drawableHeight;
        Rect box;
    };
    for (const Case& c : {
             Case{{10, 20, 30, 40}, 320, 0, 0, 1, 320, {10, 260, 30, 40}},
             Case{{0, 0, 10, 10}, 320, 0, 0, 1, 320, {0, 310, 10, 10}},
             // Zoom 2, letterboxed 100 pixels in from the left and 50 down.
             Case{{10, 20, 30, 40}, 320, 100, 50, 2, 800, {120, 800 - 50 - 640 + 520, 60, 80}},
             // Negative sizes clamp to an empty box.
             Case{{5, 5, -3, -4}, 100, 0, 0, 1, 100, {5, 95, 0, 0}},
         })
        EXPECT_EQ(GLMaster::scissorFor(c.phone, c.dh, c.offsetX, c.offsetY, c.scale, c.drawableHeight), c.box)
            << c.phone.x << "," << c.phone.y << " scale " << c.scale;
}

TEST(TextureLoaderMaths, SidesArePowersOfTwoAndBytesAreRGBAWhateverTheMachine) {
    for (auto [size, side] : {std::pair{100, 128}, {33, 64}, {1, 2}, {2, 2}, {3, 4}, {1024, 1024}})
        EXPECT_EQ(TextureLoader::textureSize(size), side) << size;
    const std::uint32_t pixels[] = {0x80112233, 0xFFAABBCC, 0x00000000};
    const auto bytes = TextureLoader::layout({pixels, 3, 1, 3, false}, 4, 2);
    ASSERT_EQ(bytes.size(), 4u * 2 * 4);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 8),
              (std::vector<std::uint8_t>{0x11, 0x22, 0x33, 0x80, 0xAA, 0xBB, 0xCC, 0xFF}));
    // The padding is transparent black.
    EXPECT_TRUE(std::all_of(bytes.begin() + 12, bytes.end(), [](std::uint8_t b) { return b == 0; }));
}

// The share of pixels of two same-sized pictures that agree within 2 in
// every channel, leaving out those both left at background (0 when no
// pixel is left to compare).
double agreement(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b,
                 std::optional<std::uint32_t> background = {}) {
    if (a.size() != b.size()) return 0;
    std::size_t same = 0, compared = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (background && ((a[i] ^ *background) & 0xFFFFFF) == 0 && ((b[i] ^ *background) & 0xFFFFFF) == 0) continue;
        bool close = true;
        for (int shift : {0, 8, 16})
            close = close && std::abs(int((a[i] >> shift) & 255) - int((b[i] >> shift) & 255)) <= 2;
        same += close;
        ++compared;
    }
    return compared ? double(same) / double(compared) : 0;
}

// Runs start, which starts OpenGL.
template <typename Start>
void startingVideo(Start start) {
#if defined(__SANITIZE_ADDRESS__)
    // The video start-up (D-Bus, the GL driver) keeps what it allocates for
    // the life of the process; that is not ours to free.
    __lsan::ScopedDisabler driverAllocations;
#endif
    start();
}

// A private X server with Mesa's software renderer.
class OpenGlOnXvfb : public ::testing::Test {
protected:
    void SetUp() override {
        server_ = std::make_unique<testsupport::Xvfb>("1024x768x24");
        if (!server_->available()) GTEST_SKIP() << "Xvfb is not available";
        env_ = {{"DISPLAY", server_->display()}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"},
                {"LIBGL_ALWAYS_SOFTWARE", "1"}};
        dir_ = testsupport::makeTempDir("opengl");
    }
    void TearDown() override {
        if (!dir_.empty()) std::filesystem::remove_all(dir_);
    }

    // Frame `frame` of a driver run, as ARGB pixels.
    std::vector<std::uint32_t> shot(const std::vector<std::string>& programArgs, const std::string& name,
                                    int frame = 6, const std::string& script = "",
                                    std::map<std::string, std::string> extraEnv = {}) {
        testsupport::ProcessOptions o;
        o.env = env_;
        for (auto& [k, v] : extraEnv) o.env[k] = v;
        o.timeoutMs = 60000;
        const std::string png = dir_ + "/" + name + ".png";
        std::vector<std::string> args = {"--frames", std::to_string(frame), "--shot", std::to_string(frame) + ":" + png,
                                         "--data", dir_ + "/" + name};
        if (!script.empty()) {
            std::ofstream(dir_ + "/" + name + ".txt") << script;
            args.insert(args.end(), {"--script", dir_ + "/" + name + ".txt"});
        }
        args.push_back("--");
        args.insert(args.end(), programArgs.begin(), programArgs.end());
        last_ = testsupport::runProcess(TIDEPOOL_DRIVER, args, o);
        std::ifstream in(png, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        if (bytes.empty()) return {};
        return TarvokinEmu::PNGReader::decode(bytes).pixels;
    }

    std::unique_ptr<testsupport::Xvfb> server_;
    std::map<std::string, std::string> env_;
    std::string dir_;
    testsupport::ProcessResult last_;
};

TEST_F(OpenGlOnXvfb, TestCardAndTheTitleScreenLookAsInSoftware) {
    for (const auto& program : {std::vector<std::string>{"-MIDletClass", "TestCard"}, std::vector<std::string>{}}) {
        const auto software = shot(program, "software");
        auto withGl = program;
        withGl.push_back("-3d");
        const auto gl = shot(withGl, "gl");
        EXPECT_NE(last_.out.find("OPEN GL INITIALIZED"), std::string::npos) << last_.out << last_.err;
        EXPECT_EQ(last_.out.find("OGL Error"), std::string::npos) << last_.out;
        ASSERT_EQ(software.size(), 800u * 600);
        EXPECT_GE(agreement(software, gl), 0.99) << (program.empty() ? "game" : "TestCard");
    }
}

TEST_F(OpenGlOnXvfb, TheProgramsOwnWindowTakesOpenGlAndRuns) {
    testsupport::ProcessOptions o;
    o.env = env_;
    o.workDir = dir_;
    // Stopped a moment after the card started, while it draws and swaps
    // frames; the limit only ends a lost run.
    o.timeoutMs = 30000;
    o.killWhenOutputHas = "showNotify";
    o.killDelayMs = 1500;
    auto r = testsupport::runProcess(TIDEPOOL_BINARY, {"-MIDletClass", "TestCard", "-3d"}, o);
    EXPECT_NE(r.out.find("OPEN GL INITIALIZED"), std::string::npos) << r.out << r.err;
    EXPECT_EQ(r.out.find("OGL Error"), std::string::npos) << r.out;
    EXPECT_FALSE(r.timedOut);
    // Stopped as asked, not by an error of the display.
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.err.find("X Error"), std::string::npos) << r.err;
}

TEST_F(OpenGlOnXvfb, AFailingStartWarnsAndTheWindowPathDraws) {
    const auto software = shot({"-MIDletClass", "TestCard"}, "software");
    const auto fallback = shot({"-MIDletClass", "TestCard", "-3d"}, "fallback", 6, "",
                               {{GLMaster::kForceFailureVariable, "1"}});
    EXPECT_NE(last_.out.find("OGL Error"), std::string::npos) << last_.out;
    EXPECT_NE(last_.err.find("Warning: Try installing the lastest video card drivers"), std::string::npos)
        << last_.err;
    EXPECT_NE(last_.out.find("frames 6"), std::string::npos) << last_.out;
    EXPECT_EQ(fallback, software);
}

TEST_F(OpenGlOnXvfb, FullScreenRoundTripKeepsDrawingTheGame) {
    // F11 twice mid-run, on the title screen with its pictures and text.
    const std::string script = "3 key down F11\n3 key up F11\n6 key down F11\n6 key up F11\n";
    const auto software = shot({}, "software", 10, script);
    const auto gl = shot({"-3d"}, "gl", 10, script);
    ASSERT_EQ(software.size(), 800u * 600);
    EXPECT_GE(agreement(software, gl), 0.99);
}

// In a window at zoom 2 from the first frame on (an earlier run left full
// screen, and the setting stays), the screenshots are the phone screen.
TEST_F(OpenGlOnXvfb, ZoomedWindowShotsAreThePhoneScreen) {
    std::vector<std::vector<std::uint32_t>> shots;
    for (const std::string name : {"software", "-3d"}) {
        std::vector<std::string> args = {"-MIDletClass", "TestCard", "-zoom", "2"};
        if (name == "-3d") args.push_back(name);
        shot(args, name, 3, "1 key down F11\n1 key up F11\n");
        shots.push_back(shot(args, name));
    }
    ASSERT_EQ(shots[0].size(), 800u * 600);
    EXPECT_GE(agreement(shots[0], shots[1]), 0.99);
}

// In this process: the screen context drawn through OpenGL next to a
// software one, with the same calls.
class OpenGlInProcess : public OpenGlOnXvfb {
protected:
    void SetUp() override {
        OpenGlOnXvfb::SetUp();
        if (IsSkipped()) return;
        for (auto& [k, v] : env_) setenv(k.c_str(), v.c_str(), 1);
        window_ = std::make_unique<platform::HeadlessWindow>(events_, platform::HeadlessWindow::Settings{});
        window_->setOuterSize(kW, kH);
        window_->show();
        GLMaster::setReadBack(true);
        startingVideo([&] { GLMaster::initialise(*window_, kW, kH); });
        GLMaster::place(0, 0, 1);
        gl_ = std::make_unique<Graphics>(std::make_unique<javax::microedition::lcdui::OpenGlGraphicsBackend>(kW, kH),
                                         kW, kH);
        software_ = Image::createImage(kW, kH);
    }
    void TearDown() override {
        GLMaster::close();
        OpenGlOnXvfb::TearDown();
    }
    // Both contexts get the same calls.
    template <typename Draw>
    void draw(Draw d) {
        d(*gl_);
        d(*software_->getGraphics());
    }
    std::vector<std::uint32_t> glPixels() {
        std::vector<std::uint32_t> pixels(kW * kH);
        GLMaster::frameDrawn(pixels.data());
        return pixels;
    }
    std::vector<std::uint32_t> softwarePixels() {
        return std::vector<std::uint32_t>(software_->pixelBuffer(), software_->pixelBuffer() + kW * kH);
    }

    // 8 x 6 pixels, clear, half and wholly opaque.
    static std::shared_ptr<Image> sprite() {
        std::vector<std::int32_t> argb(8 * 6);
        for (int i = 0; i < 48; ++i) argb[i] = static_cast<std::int32_t>((i % 3 == 0 ? 0x00u : i % 3 == 1 ? 0x80u : 0xFFu) << 24 | (i * 0x051C0Bu & 0xFFFFFFu));
        return Image::createRGBImage(argb, 8, 6, true);
    }

    static constexpr int kW = 96, kH = 64;
    platform::EventLoop events_;
    std::unique_ptr<platform::HeadlessWindow> window_;
    std::unique_ptr<Graphics> gl_;
    std::shared_ptr<Image> software_;
};

TEST_F(OpenGlInProcess, ShapesImagesAndClipsMatchTheSoftwareRaster) {
    auto image = sprite();
    draw([&](Graphics& g) {
        g.setColor(0x2040A0);
        g.fillRect(0, 0, kW, kH);
        g.setColor(0xFF8000);
        g.fillRect(5, 6, 20, 10);
        g.drawRect(30, 4, 12, 8);
        g.drawLine(2, 40, 50, 40);
        g.drawLine(60, 2, 60, 30);
        g.drawLine(3, 50, 40, 60);
        g.translate(4, 3);
        g.setClip(40, 20, 30, 20);
        g.setColor(0x00FF00);
        g.fillRect(0, 0, kW, kH);  // only the clip
        g.setClip(0, 0, kW, kH);
        g.drawImage(image, 70, 40, Graphics::TOP | Graphics::LEFT);
        g.drawRegion(image, 1, 1, 6, 4, Graphics::TRANS_MIRROR, 80, 20, 0);
        g.drawRegion(image, 0, 0, 8, 6, Graphics::TRANS_ROT180, 70, 50, 0);
        g.translate(-4, -3);
    });
    EXPECT_GE(agreement(softwarePixels(), glPixels()), 0.99);
}

// The shapes GL has no primitive for, each drawn alone under a translation
// and an odd clip that cuts some of them.
TEST_F(OpenGlInProcess, ShapesWithoutAGlPrimitiveCoverTheSoftwarePixels) {
    auto image = sprite();
    const int xs[] = {4, 40, 62, 30, 10}, ys[] = {6, 2, 30, 44, 38};
    const std::pair<const char*, std::function<void(Graphics&)>> cases[] = {
        {"fillTriangle", [](Graphics& g) { g.fillTriangle(5, 3, 58, 20, 12, 46); }},
        {"fillArc pie", [](Graphics& g) { g.fillArc(10, 5, 50, 36, 30, 250); }},
        {"fillArc disc over the clip's corner", [](Graphics& g) { g.fillArc(-6, -4, 40, 40, 0, 360); }},
        {"drawArc", [](Graphics& g) { g.drawArc(8, 6, 60, 30, -45, 200); }},
        {"fillRoundRect", [](Graphics& g) { g.fillRoundRect(4, 4, 70, 40, 18, 12); }},
        {"drawRoundRect", [](Graphics& g) { g.drawRoundRect(6, 8, 50, 30, 20, 20); }},
        {"translucent fillPolygon", [&](Graphics& g) { g.backend().fillPolygon(xs, ys, 5, 0x80FF4000u); }},
        {"drawPolygon", [&](Graphics& g) { g.backend().drawPolygon(xs, ys, 5, 0xFF00FF80u); }},
        {"drawRegion turned 270",
         [&](Graphics& g) { g.drawRegion(image, 1, 0, 7, 5, Graphics::TRANS_ROT270, 20, 10, 0); }},
        // Not turned: drawn plain in a red frame, and red stays the colour.
        {"drawRegion turned 90",
         [&](Graphics& g) {
             g.drawRegion(image, 0, 0, 8, 6, Graphics::TRANS_ROT90, 30, 20, 0);
             g.fillRect(2, 2, 5, 5);
         }},
    };
    constexpr std::uint32_t kBackground = 0xFF2040A0u;
    for (const auto& [name, shape] : cases) {
        draw([&](Graphics& g) {
            g.setClip(0, 0, kW, kH);
            g.setColor(static_cast<int>(kBackground));
            g.fillRect(0, 0, kW, kH);
            g.translate(3, 2);
            g.setClip(7, 5, 61, 43);
            g.setColor(0xFFD020);
            shape(g);
            g.translate(-3, -2);
        });
        EXPECT_GE(agreement(softwarePixels(), glPixels(), kBackground), 0.99) << name;
    }
}

TEST_F(OpenGlInProcess, AnImageChangedAfterItsTextureWasMadeShowsItsNewPixels) {
    auto picture = Image::createImage(16, 16, 0xFF0000);
    auto drawPicture = [&](Graphics& g) { g.drawImage(picture, 10, 10, 0); };
    draw(drawPicture);
    EXPECT_EQ(glPixels()[11 * kW + 11] & 0xFFFFFF, 0xFF0000u);
    auto pictureGraphics = picture->getGraphics();
    pictureGraphics->setColor(0x0000FF);
    pictureGraphics->fillRect(0, 0, 8, 16);
    draw(drawPicture);
    const auto pixels = glPixels();
    EXPECT_EQ(pixels[11 * kW + 11] & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(pixels[11 * kW + 20] & 0xFFFFFF, 0xFF0000u);
    // Freed with the image, on this thread at the next upkeep.
    picture.reset();
    EXPECT_TRUE(GLMaster::upkeep());
}

// The shell with OpenGL on the headless window system, its clock's sleeps
// moving time on.
class OpenGlShell : public OpenGlOnXvfb {
protected:
    void SetUp() override {
        OpenGlOnXvfb::SetUp();
        if (IsSkipped()) return;
        for (auto& [k, v] : env_) setenv(k.c_str(), v.c_str(), 1);
        oldDir_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);  // the settings store goes here
        TarvokinEmu::Emulator::resetClassState();
        javax::microedition::rms::RecordStore::resetClassState();
        platform::Clock::install(&clock_);
        platform::WindowSystem::install(&system_);
        loop_ = std::thread([this] { system_.runEventLoop(); });
        auto& c = TarvokinEmu::config();
        c.openGl = true;
        c.screenWidth = 48;
        c.screenHeight = 32;
        TarvokinEmu::shared().fullScreen = false;
        system_.events().invokeAndWait([&] {
            emulator_.createScreen();
            emulator_.setupWindow(false);
        });
        GLMaster::setReadBack(true);
        startingVideo([&] { emulator_.startOpenGl(); });
    }
    void TearDown() override {
        if (loop_.joinable()) {
            GLMaster::close();
            system_.events().quit(0);
            loop_.join();
            platform::WindowSystem::install(nullptr);
            platform::Clock::install(nullptr);
            TarvokinEmu::Emulator::resetClassState();
            javax::microedition::rms::RecordStore::resetClassState();
            std::filesystem::current_path(oldDir_);
        }
        OpenGlOnXvfb::TearDown();
    }

    platform::ManualClock clock_;
    std::filesystem::path oldDir_;
    platform::HeadlessWindowSystem system_{platform::HeadlessWindow::Settings{}};
    std::thread loop_;
    TarvokinEmu::Emulator emulator_;
};

class FillCanvas final : public javax::microedition::lcdui::Canvas {
public:
    void paint(Graphics& g) override {
        ++paints;
        g.setColor(0x102030);
        g.fillRect(0, 0, getWidth(), getHeight());
    }
    int paints = 0;
};

TEST_F(OpenGlShell, AHiddenWindowRedrawsTheFrameItAskedForAndSleeps) {
    ASSERT_TRUE(TarvokinEmu::shared().openGl);
    FillCanvas canvas;
    auto& window = *system_.window();
    window.setMinimised(true);
    const std::int64_t start = clock_.nowMillis();
    emulator_.glUpkeep();  // nothing asked for: only the sleep
    EXPECT_EQ(canvas.paints, 0);
    EXPECT_EQ(clock_.nowMillis() - start, 100);

    window.requestRepaint();
    system_.events().invokeAndWait([] {});
    emulator_.glUpkeep();
    emulator_.glUpkeep();  // asked once, drawn once
    EXPECT_EQ(canvas.paints, 1);
    EXPECT_EQ(TarvokinEmu::shared().screenImage->pixelBuffer()[5] & 0xFFFFFF, 0x102030u);
    EXPECT_GE(clock_.nowMillis() - start, 300);

    // Seen again: the frame is shown without a pause.
    window.setMinimised(false);
    const std::int64_t shown = clock_.nowMillis();
    emulator_.glUpkeep();
    EXPECT_EQ(clock_.nowMillis(), shown);
}

}  // namespace
