// Receiver of player events. The players here deliver none; the interface
// exists so that games can register themselves.
#pragma once

#include <any>
#include <string>

namespace javax::microedition::media {

class Player;

class PlayerListener {
public:
    static constexpr const char* STARTED = "started";
    static constexpr const char* STOPPED = "stopped";
    static constexpr const char* END_OF_MEDIA = "endOfMedia";
    static constexpr const char* DURATION_UPDATED = "durationUpdated";
    static constexpr const char* DEVICE_UNAVAILABLE = "deviceUnavailable";
    static constexpr const char* DEVICE_AVAILABLE = "deviceAvailable";
    static constexpr const char* VOLUME_CHANGED = "volumeChanged";
    static constexpr const char* ERROR = "error";
    static constexpr const char* CLOSED = "closed";

    virtual ~PlayerListener() = default;
    virtual void playerUpdate(Player* player, const std::string& event, const std::any& eventData) = 0;
};

}  // namespace javax::microedition::media
