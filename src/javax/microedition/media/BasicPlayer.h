// What the two players share: the state, the volume control, and the
// operations that only trace and set the state. Each player keeps its
// working state in a Core held by shared pointer, so that play threads and
// the MIDI sequencer's notices can keep it alive after the game has let go
// of the player (a started sampled player plays on, as on the handset).
#pragma once

#include <atomic>
#include <memory>

#include "javax/microedition/media/Player.h"
#include "javax/microedition/media/control/VolumeControlImpl.h"

namespace javax::microedition::media {

class BasicPlayer : public Player {
public:
    struct Core {
        virtual ~Core() = default;
        virtual void start() = 0;
        virtual void stop() = 0;
        virtual void setLoopCount(int count) = 0;

        std::atomic<int> state{UNREALIZED};
        const std::shared_ptr<control::VolumeControlImpl> volumeControl =
            std::make_shared<control::VolumeControlImpl>();
    };

    void realize() override;
    void prefetch() override;
    void deallocate() override;
    void close() override;
    int getState() override { return core_->state; }
    void start() override { core_->start(); }
    void stop() override { core_->stop(); }
    void setLoopCount(int count) override { core_->setLoopCount(count); }

    std::shared_ptr<Control> getControl(const std::string& controlType) override;
    std::optional<std::vector<std::shared_ptr<Control>>> getControls() override { return std::nullopt; }
    std::string getContentType() override { return {}; }
    std::int64_t getDuration() override { return 0; }
    std::int64_t getMediaTime() override { return 0; }
    std::int64_t setMediaTime(std::int64_t) override { return 0; }
    void addPlayerListener(std::shared_ptr<PlayerListener>) override {}
    void removePlayerListener(std::shared_ptr<PlayerListener>) override {}

protected:
    explicit BasicPlayer(std::shared_ptr<Core> core) : core_(std::move(core)) {}

    std::shared_ptr<Core> core_;
};

}  // namespace javax::microedition::media
