#include "com/nokia/mid/sound/Sound.h"

#include <gtest/gtest.h>

#include "com/samsung/util/AudioClip.h"
#include "com/siemens/mp/game/Sound.h"
#include "com/siemens/mp/media/Manager.h"
#include "support/AudioTestSupport.h"

namespace {

TEST(VendorSound, SilentClassesTraceAndAnswerConstants) {
    audiotest::Captured io;
    com::nokia::mid::sound::Sound s({1, 2, 3}, 5);
    EXPECT_EQ(s.getGain(), 100);
    s.setGain(40);
    EXPECT_EQ(s.getGain(), 40);
    s.play(3);
    s.stop();
    s.resume();
    s.release();
    EXPECT_EQ(s.getState(), 0);
    EXPECT_FALSE(com::nokia::mid::sound::Sound::getSupportedFormats().has_value());
    EXPECT_EQ(io.out(),
              "[EMU Nokia Sound created from byte[], type:5]\n"
              "[EMU Nokia Sound.setGain(40)]\n"
              "[EMU Nokia Sound.play() loop:3]\n"
              "[EMU Nokia Sound.stop()]\n"
              "[EMU Nokia Sound.resume()]\n"
              "[EMU Nokia Sound.release()]\n");

    std::istringstream data("x");
    EXPECT_EQ(com::siemens::mp::media::Manager::createPlayer(data, "audio/x-mid"), nullptr);
    EXPECT_TRUE(com::siemens::mp::media::Manager::getSupportedProtocols("audio/x-mid").empty());
    EXPECT_FALSE(com::samsung::util::AudioClip::isSupported());
}

}  // namespace
