#include "javax/microedition/media/PlayerImplMP3.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <iterator>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "TarvokinEmu/Trace.h"
#include "java/lang/Exceptions.h"
#include "platform/AudioOutput.h"
#include "platform/SampledAudio.h"

namespace javax::microedition::media {


namespace {

struct ClassState {
    std::mutex mutex;
    std::condition_variable threadEnded;
    int playThreads = 0;
    std::weak_ptr<PlayerImplMP3::Core> lastStarted;
};

// Never destroyed: detached play threads may outlive static destruction.
ClassState& classState() {
    static auto* s = new ClassState;
    return *s;
}

std::atomic<std::uint64_t> nextPlayId{1};

}  // namespace

struct PlayerImplMP3::Core final : BasicPlayer::Core, std::enable_shared_from_this<Core> {
    platform::SoundBytes sourceStream;       // the whole encoded file
    bool recognised = false;
    platform::PcmFormat targetFormat;        // 16-bit PCM, the source's rate and channels
    std::atomic<int> loopCount{0};
    // The running play, 0 when none. A play thread keeps going only while
    // this holds its id.
    std::atomic<std::uint64_t> playThread{0};

    // decodedStream is what the next play will read. A play takes it for
    // itself at start, and rewinding makes a new one, so a rewind never
    // touches a source that a finishing thread still reads and no two plays
    // ever share one.
    std::mutex streamMutex;
    std::shared_ptr<platform::PcmSource> decodedStream;
    std::shared_ptr<platform::AudioLine> line;  // of the current play
    // Encoded bytes read since the last rewind, by whichever play.
    std::atomic<std::int64_t> sourceRead{0};

    void start() override { startPlay(0); }
    // `from`: the id of the play handing over to its next pass, 0 for a
    // start by the game. Returns false when that play was stopped first.
    bool startPlay(std::uint64_t from);
    void stop() override;
    // The stop path shared by stop() and a loop pass that finds the play
    // stopped: the source back at its start, the player closed.
    void rewindForNextPlay();
    void markClosed();
    void setLoopCount(int count) override {
        loopCount = count;
        TarvokinEmu::trace("Player::public void setLoopCount(int loops)");
    }

    void rewind() {
        if (sourceRead > kMarkLimit) throw java::io::IOException("Resetting to invalid mark");
        if (!recognised) throw java::io::IOException("no audio stream to rewind");
        auto fresh = platform::SampledAudio::open(sourceStream);
        std::lock_guard lock(streamMutex);
        decodedStream = std::move(fresh);
        sourceRead = 0;
    }

    // The source for a new play, from its start unless a rewind failed.
    std::shared_ptr<platform::PcmSource> takeStream() {
        std::shared_ptr<platform::PcmSource> stream;
        {
            std::lock_guard lock(streamMutex);
            stream = std::exchange(decodedStream, nullptr);
        }
        // Taken by a play that ended without rewinding: start afresh, unless
        // the source is past rewinding (then, as with a spent stream,
        // nothing plays).
        if (!stream && recognised && sourceRead <= kMarkLimit) stream = platform::SampledAudio::open(sourceStream);
        return stream;
    }

    void playLoop(std::uint64_t id, std::shared_ptr<platform::AudioLine> out,
                  std::shared_ptr<platform::PcmSource> stream, std::vector<std::uint8_t> buffer);
    void finishPlay(std::uint64_t id);
};

PlayerImplMP3::PlayerImplMP3(std::istream& stream, const std::string&) : BasicPlayer(std::make_shared<Core>()) {
    auto& core = static_cast<Core&>(*core_);
    TarvokinEmu::trace("Player: Loading Mp3");
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    try {
        bytes->assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        // What was read before the failure is all there is.
    }
    core.sourceStream = bytes;
    try {
        core.decodedStream = platform::SampledAudio::open(core.sourceStream);
        core.targetFormat = core.decodedStream->format();
        core.recognised = true;
    } catch (const std::exception& e) {
        TarvokinEmu::trace(std::string("MP3 load exception: ") + e.what());
    }
}

bool PlayerImplMP3::Core::startPlay(std::uint64_t from) {
    const std::uint64_t id = nextPlayId++;
    if (from != 0) {
        // The next pass takes the play over in one step, so that a stop()
        // from the game either comes first (and ends the loop here) or
        // reaches the new pass.
        if (!playThread.compare_exchange_strong(from, id)) return false;
        TarvokinEmu::trace("Player::public void start()");
        TarvokinEmu::trace("Player::stop()");
        rewindForNextPlay();
        markClosed();
    } else {
        TarvokinEmu::trace("Player::public void start()");
        if (playThread != 0) stop();
    }
    // STARTED is set before the play thread exists: a short play could
    // otherwise finish, set PREFETCHED, and then be overwritten.
    auto markStarted = [this] {
        state = STARTED;
        std::lock_guard lock(classState().mutex);
        classState().lastStarted = weak_from_this();
    };
    bool marked = false;
    try {
        std::vector<std::uint8_t> buffer(kChunkBytes);
        if (!recognised) throw platform::LineUnavailable("no line for data of unknown format");
        auto out = platform::AudioOutput::openLine(targetFormat);
        if (from != 0) {
            // The next pass of a loop joins the tail of the last one on the
            // output instead of sounding over it.
            std::lock_guard lock(streamMutex);
            if (line) out->follow(line);
        }
        float level = static_cast<float>(volumeControl->getLevel());
        if (out->hasVolumeControl()) {
            out->setVolume(level / 100.0f);
        } else if (out->hasGainControl()) {
            float g = level / 100.0f;
            if (g == 0.0f) g = 0.0001f;
            out->setGainDb(20.0f * std::log(g) / std::log(10.0f));
        }
        out->start();
        TarvokinEmu::trace("*** MP3 START");
        std::shared_ptr<platform::PcmSource> stream = takeStream();
        {
            std::lock_guard lock(streamMutex);
            line = out;
        }
        if (from == 0) playThread = id;
        {
            std::lock_guard lock(classState().mutex);
            classState().playThreads++;
        }
        markStarted();
        marked = true;
        try {
            std::thread(&Core::playLoop, shared_from_this(), id, out, std::move(stream), std::move(buffer)).detach();
        } catch (...) {
            finishPlay(id);
            out->close();
            throw;
        }
    } catch (const std::exception& e) {
        TarvokinEmu::trace(std::string("MP3 Start Exception: ") + e.what());
        // A pass that could not start leaves no play behind.
        std::uint64_t handedTo = id;
        if (from != 0) playThread.compare_exchange_strong(handedTo, 0);
    }
    if (!marked) markStarted();
    return true;
}

void PlayerImplMP3::Core::stop() {
    TarvokinEmu::trace("Player::stop()");
    if (playThread.exchange(0) != 0) rewindForNextPlay();
    markClosed();
}

void PlayerImplMP3::Core::rewindForNextPlay() {
    TarvokinEmu::trace("Stop: ready for next play");
    try {
        rewind();
    } catch (const std::exception& e) {
        TarvokinEmu::trace(std::string("Stop:") + e.what());
    }
}

void PlayerImplMP3::Core::markClosed() {
    state = CLOSED;
    std::lock_guard lock(classState().mutex);
    classState().lastStarted.reset();
}

void PlayerImplMP3::Core::playLoop(std::uint64_t id, std::shared_ptr<platform::AudioLine> out,
                                   std::shared_ptr<platform::PcmSource> stream, std::vector<std::uint8_t> buffer) {
    try {
        bool played = false;
        int n = 0;
        while (playThread == id && n != -1) {
            n = stream ? stream->read(buffer.data(), kChunkBytes) : -1;
            if (stream) sourceRead = stream->sourceBytesRead();
            if (n == 0) n = -1;  // a frame wider than a chunk: nothing playable
            if (n > 0) {
                out->write(buffer.data(), n);
                played = true;
            }
        }
        bool again = false;
        int count = loopCount;
        if (count < 0) {
            again = true;
        } else if (count > 1) {
            loopCount = count - 1;
            again = true;
        }
        // A pass that produced nothing would loop without end.
        again = again && played;
        if (playThread == id && again) {
            TarvokinEmu::trace("loop: " + std::to_string(loopCount.load()) + " true");
            rewind();
            // The finished pass's line plays out what it holds meanwhile.
            out->closeWhenPlayedOut();
            if (startPlay(id)) {
                finishPlay(0);
                return;
            }
        }
        out->drain();
        out->stop();
        out->close();
        TarvokinEmu::trace("ready for next play");
        rewind();
        std::uint64_t mine = id;
        // Only the current play (or one already stopped) settles the state:
        // a newer play started meanwhile owns it.
        if (playThread.compare_exchange_strong(mine, 0) || mine == 0) state = PREFETCHED;
    } catch (...) {
        out->closeWhenPlayedOut();
        std::uint64_t mine = id;
        playThread.compare_exchange_strong(mine, 0);
    }
    finishPlay(0);
}

// Counts a play thread out.
void PlayerImplMP3::Core::finishPlay(std::uint64_t id) {
    if (id != 0) playThread.compare_exchange_strong(id, 0);
    std::lock_guard lock(classState().mutex);
    classState().playThreads--;
    classState().threadEnded.notify_all();
}

void PlayerImplMP3::stopLastStarted() {
    std::shared_ptr<Core> last;
    {
        std::lock_guard lock(classState().mutex);
        last = classState().lastStarted.lock();
    }
    if (last) last->stop();
}

void PlayerImplMP3::resetClassState() {
    std::lock_guard lock(classState().mutex);
    classState().lastStarted.reset();
}

int PlayerImplMP3::playThreadCount() {
    std::lock_guard lock(classState().mutex);
    return classState().playThreads;
}

bool PlayerImplMP3::waitForPlayThreads(int timeoutMs) {
    std::unique_lock lock(classState().mutex);
    return classState().threadEnded.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                             [] { return classState().playThreads == 0; });
}

}  // namespace javax::microedition::media
