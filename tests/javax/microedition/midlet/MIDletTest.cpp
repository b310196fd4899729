#include "javax/microedition/midlet/MIDlet.h"

#include <gtest/gtest.h>

#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/SharedState.h"
#include "platform/Desktop.h"

namespace {

using TarvokinEmu::Emulator;

class Probe final : public javax::microedition::midlet::MIDlet {
public:
    void startApp() override {}
    void pauseApp() override {}
    void destroyApp(bool) override {}
};

class MIDletTest : public ::testing::Test {
protected:
    void SetUp() override {
        Emulator::resetClassState();
        platform::Desktop::setUrlHandler([this](const std::string& url) { opened.push_back(url); });
    }
    void TearDown() override {
        platform::Desktop::setUrlHandler(nullptr);
        Emulator::resetClassState();
    }
    std::vector<std::string> opened;
};

TEST_F(MIDletTest, PlatformRequestHandsTheUrlOverUnchangedAndAnswersFalse) {
    auto m = std::make_shared<Probe>();
    // Passed as one argument to the desktop's handler: no shell sees it, so
    // ampersands and quotes need no escaping.
    const std::string url = "http://example.invalid/a?b=1&c=2&d='x'; rm -rf ~";
    EXPECT_FALSE(m->platformRequest(url));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], url);
    try {
        m->platformRequest("http://x/_error_/y");
        FAIL() << "expected the URL to be refused";
    } catch (const java::lang::Exception& e) {
        EXPECT_EQ(e.getMessage(), "Error en la URL");
    }
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(MIDletTest, CurrentIsTheLastConstructedAndNotifyDestroyedSetsTheExitFlag) {
    auto a = std::make_shared<Probe>();
    auto b = std::make_shared<Probe>();
    EXPECT_EQ(javax::microedition::midlet::MIDlet::current(), b);
    b.reset();
    EXPECT_EQ(javax::microedition::midlet::MIDlet::current(), nullptr);
    EXPECT_FALSE(TarvokinEmu::shared().exitRequested.load());
    a->notifyDestroyed();
    EXPECT_TRUE(TarvokinEmu::shared().exitRequested.load());
    EXPECT_FALSE(a->getAppProperty("MIDlet-Name").has_value());
    EXPECT_EQ(a->checkPermission("javax.microedition.io.Connector.http"), 0);
}

}  // namespace
