// The vendor player factory: it makes no players.
#pragma once

#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "javax/microedition/media/Player.h"

namespace com::siemens::mp::media {

class Manager {
public:
    static std::shared_ptr<javax::microedition::media::Player> createPlayer(std::istream&, const std::string&) {
        return nullptr;
    }
    static std::shared_ptr<javax::microedition::media::Player> createPlayer(const std::string&) { return nullptr; }
    static std::vector<std::string> getSupportedContentTypes(const std::string&) { return {}; }
    static std::vector<std::string> getSupportedProtocols(const std::string&) { return {}; }
    static void playTone(int, int, int) {}

private:
    // Carried by the class, returned by nothing.
    static inline const std::vector<std::string> protocols_ = {"http", "file"};
    static inline const std::vector<std::string> contentTypes_ = {"audio/x-mid", "application/x-smaf"};
};

}  // namespace com::siemens::mp::media
