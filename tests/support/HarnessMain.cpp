// The program with a few extra application classes that tests need: one
// whose start fails, one that leaves full screen and stops, one that saves
// a record every frame until it is stopped from outside, and the test card
// played with a virtual gamepad.
#include <thread>

#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/Launch.h"
#include "TarvokinEmu/MIDletRegistry.h"
#include "TarvokinEmu/TestCard.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Canvas.h"
#include "javax/microedition/lcdui/Display.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/midlet/MIDlet.h"
#include "javax/microedition/rms/RecordStore.h"
#include "platform/Console.h"
#include "platform/VirtualGamepad.h"

namespace {

using javax::microedition::midlet::MIDlet;

class FailingStart final : public MIDlet {
public:
    void startApp() override { throw java::lang::IllegalStateException("start refused"); }
    void pauseApp() override {}
    void destroyApp(bool) override {}
};

class Blank final : public javax::microedition::lcdui::Canvas {
public:
    void paint(javax::microedition::lcdui::Graphics& g) override {
        g.setColor(0x3FC1C9);
        g.fillRect(0, 0, getWidth(), getHeight());
    }
};

// Shows a few frames, switches full screen as told by its name, then stops.
class Switcher final : public MIDlet {
public:
    explicit Switcher(bool toFullScreen) : toFullScreen_(toFullScreen) {}
    void startApp() override {
        canvas_ = std::make_shared<Blank>();
        auto display = javax::microedition::lcdui::Display::getDisplay(this);
        display->callSerially(java::lang::Runnable::of([this, display] { step(display); }));
    }
    void pauseApp() override {}
    void destroyApp(bool) override {}

private:
    void step(std::shared_ptr<javax::microedition::lcdui::Display> display) {
        canvas_->repaint();
        if (++frames_ == 3) TarvokinEmu::Emulator::getInstance()->requestFullScreen(toFullScreen_);
        if (frames_ == 20) {
            platform::Console::println(std::string("fullScreen=") +
                                       (TarvokinEmu::Emulator::isFullScreen() ? "true" : "false"));
            notifyDestroyed();
            return;
        }
        display->callSerially(java::lang::Runnable::of([this, display] { step(display); }));
    }
    bool toFullScreen_;
    int frames_ = 0;
    std::shared_ptr<Blank> canvas_;
};

// Rewrites record 1 of store "t" with 4 KiB every frame, so that a stop
// from outside lands in the middle of saving sooner or later.
class Saver final : public MIDlet {
public:
    void startApp() override {
        canvas_ = std::make_shared<Blank>();
        auto display = javax::microedition::lcdui::Display::getDisplay(this);
        display->callSerially(java::lang::Runnable::of([this, display] { step(display); }));
    }
    void pauseApp() override {}
    void destroyApp(bool) override { platform::Console::println("destroyApp"); }

private:
    void step(std::shared_ptr<javax::microedition::lcdui::Display> display) {
        canvas_->repaint();
        using javax::microedition::rms::RecordStore;
        auto store = RecordStore::openRecordStore("t", true);
        std::vector<std::uint8_t> record(4096, static_cast<std::uint8_t>(++frames_));
        if (store->getNumRecords() == 0)
            store->addRecord(record, 0, static_cast<int>(record.size()));
        else
            store->setRecord(1, record, 0, static_cast<int>(record.size()));
        store->closeRecordStore();
        display->callSerially(java::lang::Runnable::of([this, display] { step(display); }));
    }
    int frames_ = 0;
    std::shared_ptr<Blank> canvas_;
};

// The test card, and a virtual pad that plays a fixed script on it from a
// thread of its own. Each step prints "pad " + its name before what it
// causes, and the card prints the key calls; the program stops after the
// last step.
class PadCard final : public MIDlet {
public:
    void startApp() override {
        card_.startApp();
        script_ = std::thread([this] { play(); });
        script_.detach();
    }
    void pauseApp() override {}
    void destroyApp(bool) override {}

private:
    void play() {
        using B = platform::GamepadKeys::Button;
        using platform::Console;
        auto pad = platform::VirtualGamepad::plug();
        auto press = [&](B b) {
            pad->set(b, true);
            pad->set(b, false);
        };
        Console::println("pad A");
        press(B::A);
        Console::println("pad B");
        press(B::B);
        Console::println("pad Back");
        press(B::Back);
        Console::println("pad Start");
        press(B::Start);
        Console::println("pad D-pad");
        for (B b : {B::DpadUp, B::DpadDown, B::DpadLeft, B::DpadRight}) press(b);
        Console::println("pad stick");
        // Inside the dead zone, out to the right, back past the press point
        // but not into the dead zone, then home.
        for (int x : {8000, 30000, 14000, 0}) pad->stick(x, 0);
        Console::println("pad stick and D-pad");
        pad->stick(-30000, 0);
        pad->set(B::DpadLeft, true);
        pad->set(B::B, true);
        pad->set(B::Back, true);
        pad->set(B::DpadLeft, false);
        pad->set(B::Back, false);
        pad->stick(0, 0);
        pad->set(B::B, false);
        Console::println("pad unplugged");
        pad->set(B::A, true);
        pad->stick(0, 32767);
        pad->unplug();
        Console::println("pad plugged again");
        pad = platform::VirtualGamepad::plug();
        press(B::A);
        pad->unplug();
        Console::println("pad done");
        notifyDestroyed();
    }

    TarvokinEmu::TestCard card_;
    std::thread script_;
};

}  // namespace

int main(int argc, char** argv) {
    using TarvokinEmu::MIDletRegistry;
    MIDletRegistry::registerClass("FailingStart", [] { return std::make_shared<FailingStart>(); });
    MIDletRegistry::registerClass("GoWindowed", [] { return std::make_shared<Switcher>(false); });
    MIDletRegistry::registerClass("GoFullScreen", [] { return std::make_shared<Switcher>(true); });
    MIDletRegistry::registerClass("Saver", [] { return std::make_shared<Saver>(); });
    MIDletRegistry::registerClass("PadCard", [] { return std::make_shared<PadCard>(); });
    return TarvokinEmu::runProgram(argc, argv);
}
