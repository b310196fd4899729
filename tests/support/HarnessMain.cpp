// The program with a few extra application classes that tests need: one
// whose start fails, one that leaves full screen and stops, one that saves
// a record every frame until it is stopped from outside.
#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/Launch.h"
#include "TarvokinEmu/MIDletRegistry.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Canvas.h"
#include "javax/microedition/lcdui/Display.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/midlet/MIDlet.h"
#include "javax/microedition/rms/RecordStore.h"
#include "platform/Console.h"

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

}  // namespace

int main(int argc, char** argv) {
    using TarvokinEmu::MIDletRegistry;
    MIDletRegistry::registerClass("FailingStart", [] { return std::make_shared<FailingStart>(); });
    MIDletRegistry::registerClass("GoWindowed", [] { return std::make_shared<Switcher>(false); });
    MIDletRegistry::registerClass("GoFullScreen", [] { return std::make_shared<Switcher>(true); });
    MIDletRegistry::registerClass("Saver", [] { return std::make_shared<Saver>(); });
    return TarvokinEmu::runProgram(argc, argv);
}
