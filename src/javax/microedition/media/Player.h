// The handset player interface. Every operation is allowed in every state;
// the state is a plain value the operations overwrite.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "javax/microedition/media/Control.h"
#include "javax/microedition/media/PlayerListener.h"

namespace javax::microedition::media {

class Player {
public:
    static constexpr int CLOSED = 0;
    static constexpr int UNREALIZED = 100;
    static constexpr int REALIZED = 200;
    static constexpr int PREFETCHED = 300;
    static constexpr int STARTED = 400;
    static constexpr std::int64_t TIME_UNKNOWN = -1;

    virtual ~Player() = default;

    virtual void realize() = 0;
    virtual void prefetch() = 0;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void deallocate() = 0;
    virtual void close() = 0;
    virtual int getState() = 0;

    // The control named exactly "VolumeControl", else null.
    virtual std::shared_ptr<Control> getControl(const std::string& controlType) = 0;
    // Always null (no list).
    virtual std::optional<std::vector<std::shared_ptr<Control>>> getControls() = 0;
    virtual std::string getContentType() = 0;
    virtual std::int64_t getDuration() = 0;
    virtual std::int64_t getMediaTime() = 0;
    virtual std::int64_t setMediaTime(std::int64_t now) = 0;
    virtual void setLoopCount(int count) = 0;
    virtual void addPlayerListener(std::shared_ptr<PlayerListener> listener) = 0;
    virtual void removePlayerListener(std::shared_ptr<PlayerListener> listener) = 0;
};

}  // namespace javax::microedition::media
