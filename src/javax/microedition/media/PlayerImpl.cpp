#include "javax/microedition/media/PlayerImpl.h"

#include <mutex>

#include "TarvokinEmu/Trace.h"
#include "java/lang/Exceptions.h"
#include "platform/Console.h"
#include "platform/MidiSequencer.h"
#include "platform/MidiSynth.h"

namespace javax::microedition::media {


namespace {

// The sound layer's failures under the names a handset stack trace uses.
TARVOKIN_EXCEPTION(InvalidMidiDataException, java::lang::Exception, "javax.sound.midi.InvalidMidiDataException");
TARVOKIN_EXCEPTION(MidiUnavailableException, java::lang::Exception, "javax.sound.midi.MidiUnavailableException");
TARVOKIN_EXCEPTION(LineUnavailableException, java::lang::Exception, "javax.sound.sampled.LineUnavailableException");

void printSoundStackTrace(const std::exception& e) {
    if (dynamic_cast<const platform::InvalidMidiData*>(&e)) {
        java::lang::printStackTrace(InvalidMidiDataException(e.what()));
    } else if (dynamic_cast<const platform::MidiUnavailable*>(&e)) {
        java::lang::printStackTrace(MidiUnavailableException(e.what()));
    } else if (dynamic_cast<const platform::LineUnavailable*>(&e)) {
        java::lang::printStackTrace(LineUnavailableException(e.what()));
    } else {
        java::lang::printStackTrace(e);
    }
}

struct ClassState {
    std::mutex mutex;
    std::weak_ptr<PlayerImpl::Core> lastStarted;
};

ClassState& classState() {
    static auto* s = new ClassState;
    return *s;
}

struct Play {
    std::shared_ptr<platform::MidiSequencer> sequencer;
    std::shared_ptr<platform::MidiSynth> synthesizer;

    // Stops and releases both; exceptions are of no interest here.
    void release() {
        try {
            if (sequencer) {
                sequencer->stop();
                sequencer->close();
            }
        } catch (...) {
        }
        if (synthesizer) synthesizer->close();
    }
};

}  // namespace

struct PlayerImpl::Core final : BasicPlayer::Core, std::enable_shared_from_this<Core> {
    std::vector<std::uint8_t> midiData;
    std::atomic<int> loopCount{1};

    // Guards the references below; never held while a sequencer or
    // synthesizer is stopped or closed (their threads call back in here).
    std::mutex mutex;
    std::shared_ptr<platform::MidiSequencer> sequencer;
    std::shared_ptr<platform::MidiSynth> synthesizer;
    std::shared_ptr<const platform::MidiSequence> sequence;
    // Plays replaced by a later start that are still sounding.
    std::vector<Play> earlierPlays;

    void start() override;
    void stop() override;
    void setLoopCount(int count) override;
    void endOfSequence(const platform::MidiSequencer* which);
};

PlayerImpl::PlayerImpl(std::istream& stream, const std::string&) : BasicPlayer(std::make_shared<Core>()) {
    auto& core = static_cast<Core&>(*core_);
    try {
        std::streamsize available = stream.rdbuf() ? stream.rdbuf()->in_avail() : 0;
        core.midiData.resize(static_cast<std::size_t>(std::max<std::streamsize>(available, 0)));
        stream.read(reinterpret_cast<char*>(core.midiData.data()), static_cast<std::streamsize>(core.midiData.size()));
    } catch (const std::exception&) {
        // The player is made with what there is.
    }
}

void PlayerImpl::Core::start() {
    try {
        auto parsed = std::make_shared<const platform::MidiSequence>(platform::MidiSequence::parse(midiData));
        auto seq = platform::MidiSequencer::getDefault();
        std::vector<Play> silent;
        {
            std::lock_guard lock(mutex);
            sequence = parsed;
            // An earlier play sounds on; stop() still reaches it. Plays that
            // never got going (failed starts) are let go now.
            if (sequencer || synthesizer) earlierPlays.push_back({std::move(sequencer), std::move(synthesizer)});
            for (auto it = earlierPlays.begin(); it != earlierPlays.end();) {
                if (it->sequencer && it->sequencer->isRunning()) {
                    ++it;
                } else {
                    silent.push_back(std::move(*it));
                    it = earlierPlays.erase(it);
                }
            }
            sequencer = seq;
        }
        for (Play& play : silent) play.release();
        if (!seq) {
            platform::Console::println("SimpleMidiPlayer.main(): can't get a Sequencer");
            throw java::lang::NullPointerException();
        }
        std::weak_ptr<Core> self = weak_from_this();
        const platform::MidiSequencer* which = seq.get();
        seq->addMetaEventListener([self, which](const platform::MidiEvent& e) {
            if (!e.isMeta(platform::MidiSequence::kMetaEndOfTrack)) return;
            if (auto core = self.lock()) core->endOfSequence(which);
        });
        seq->open();
        seq->setLoopCount(loopCount);
        seq->setSequence(parsed);
        if (!seq->isSynthesizer()) {
            auto synth = platform::MidiSynth::getDefault();
            {
                std::lock_guard lock(mutex);
                if (sequencer == seq) synthesizer = synth;
            }
            synth->open();
            seq->setReceiver(synth->getReceiver());
        }
        platform::Console::println("Player::public void setLoopCount(int loops)");
        seq->start();
    } catch (const std::exception& e) {
        printSoundStackTrace(e);
    }
    state = STARTED;
    std::lock_guard lock(classState().mutex);
    classState().lastStarted = weak_from_this();
}

// On the sequencer's thread when a play has ended: release that play.
void PlayerImpl::Core::endOfSequence(const platform::MidiSequencer* which) {
    Play ended;
    {
        std::lock_guard lock(mutex);
        if (sequencer.get() == which) {
            ended = {std::move(sequencer), std::move(synthesizer)};
        } else {
            for (auto it = earlierPlays.begin(); it != earlierPlays.end(); ++it) {
                if (it->sequencer.get() == which) {
                    ended = std::move(*it);
                    earlierPlays.erase(it);
                    break;
                }
            }
        }
    }
    if (ended.sequencer) ended.sequencer->close();
    if (ended.synthesizer) ended.synthesizer->close();
}

void PlayerImpl::Core::stop() {
    TarvokinEmu::trace("Player::stop()");
    std::vector<Play> plays;
    {
        std::lock_guard lock(mutex);
        plays = std::move(earlierPlays);
        earlierPlays.clear();
        if (sequencer || synthesizer) plays.push_back({std::move(sequencer), std::move(synthesizer)});
    }
    // The synthesizer is released too: nothing else would close it.
    for (Play& play : plays) play.release();
    state = PREFETCHED;
    std::lock_guard lock(classState().mutex);
    classState().lastStarted.reset();
}

void PlayerImpl::Core::setLoopCount(int count) {
    loopCount = count;
    std::shared_ptr<platform::MidiSequencer> seq;
    {
        std::lock_guard lock(mutex);
        seq = sequencer;
    }
    if (seq) seq->setLoopCount(count);
}

void PlayerImpl::stopLastStarted() {
    std::shared_ptr<Core> last;
    {
        std::lock_guard lock(classState().mutex);
        last = classState().lastStarted.lock();
    }
    if (last) last->stop();
}

void PlayerImpl::resetClassState() {
    std::lock_guard lock(classState().mutex);
    classState().lastStarted.reset();
}

int PlayerImpl::runningPlayCount() {
    auto& core = static_cast<Core&>(*core_);
    std::lock_guard lock(core.mutex);
    int n = 0;
    if (core.sequencer && core.sequencer->isRunning()) ++n;
    for (auto& play : core.earlierPlays)
        if (play.sequencer && play.sequencer->isRunning()) ++n;
    return n;
}

const std::vector<std::uint8_t>& PlayerImpl::midiData() const { return static_cast<const Core&>(*core_).midiData; }

}  // namespace javax::microedition::media
