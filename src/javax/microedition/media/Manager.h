// The player factory. Only an input stream with one of three exact content
// types makes a player; every other type, every locator and tones make
// nothing, without an exception.
#pragma once

#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "javax/microedition/media/Player.h"

namespace javax::microedition::media {

class Manager {
public:
    static constexpr const char* MIDI_DEVICE_LOCATOR = "device://midi";
    static constexpr const char* TONE_DEVICE_LOCATOR = "device://tone";

    // PlayerImpl for "audio/mid", PlayerImplMP3 for "audio/wav" and
    // "audio/mpeg", null otherwise.
    static std::shared_ptr<Player> createPlayer(std::istream& stream, const std::string& type);
    static std::shared_ptr<Player> createPlayer(const std::string& locator);
    static std::optional<std::vector<std::string>> getSupportedContentTypes(const std::string& protocol);
    static std::optional<std::vector<std::string>> getSupportedProtocols(const std::string& contentType);
    static void playTone(int note, int duration, int volume);
};

}  // namespace javax::microedition::media
