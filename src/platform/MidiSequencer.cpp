#include "platform/MidiSequencer.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Clock.h"

namespace platform {

struct MidiSequencer::Impl {
    mutable std::mutex mutex;
    bool open = false;
    std::shared_ptr<const MidiSequence> sequence;
    std::shared_ptr<MidiReceiver> receiver;
    std::vector<MetaListener> listeners;
    std::thread thread;
    std::atomic<int> loopCount{0};
    std::atomic<bool> running{false};

    // Lets time pass on the receiver, or on the clock without one.
    bool wait(MidiReceiver* to, std::int64_t micros) {
        if (to) return to->advance(micros, running);
        std::int64_t until = Clock::current().nowMillis() + micros / 1000;
        for (;;) {
            if (!running) return false;
            std::int64_t left = until - Clock::current().nowMillis();
            if (left <= 0) return true;
            Clock::current().sleepMillis(std::min<std::int64_t>(left, 20));
        }
    }

    void notify(const MidiEvent& e) {
        std::vector<MetaListener> copy;
        {
            std::lock_guard lock(mutex);
            copy = listeners;
        }
        for (auto& listener : copy) listener(e);
    }

    static void allNotesOff(MidiReceiver* to) {
        if (!to) return;
        for (int channel = 0; channel < 16; ++channel) {
            MidiEvent e;
            e.status = static_cast<std::uint8_t>(0xB0 | channel);
            e.data1 = 123;  // all notes off
            to->send(e);
        }
    }

    // One play, from the start to the end of the last pass.
    static void run(const std::shared_ptr<Impl>& self, std::shared_ptr<const MidiSequence> seq,
                    std::shared_ptr<MidiReceiver> to) {
        const bool hasLength = seq->microsecondLength() > 0;
        for (int passes = 1;; ++passes) {
            std::int64_t tempo = MidiSequence::kDefaultTempo, tick = 0;
            for (const MidiEvent& e : seq->events()) {
                if (!self->wait(to.get(), seq->ticksToMicros(e.tick - tick, tempo))) return;
                tick = e.tick;
                if (e.status == 0xFF) {
                    if (e.isMeta(MidiSequence::kMetaTempo) && e.payload.size() == 3)
                        tempo = std::max(1, (e.payload[0] << 16) | (e.payload[1] << 8) | e.payload[2]);
                    self->notify(e);
                } else if (to) {
                    to->send(e);
                }
            }
            if (!self->wait(to.get(), seq->ticksToMicros(seq->tickLength() - tick, tempo))) return;
            int count = self->loopCount.load();
            bool again = hasLength && (count < 0 || passes < count);
            if (!again || !self->running) break;
            allNotesOff(to.get());
        }
        allNotesOff(to.get());
        if (!self->running.exchange(false)) return;
        MidiEvent end;
        end.status = 0xFF;
        end.metaType = MidiSequence::kMetaEndOfTrack;
        end.tick = seq->tickLength();
        self->notify(end);
    }

    // Ends the play thread: joins it, or lets it go when called from it.
    void finishThread() {
        std::thread t;
        {
            std::lock_guard lock(mutex);
            t = std::move(thread);
        }
        if (!t.joinable()) return;
        if (t.get_id() == std::this_thread::get_id()) t.detach();
        else t.join();
    }
};

std::shared_ptr<MidiSequencer> MidiSequencer::getDefault() { return std::make_shared<MidiSequencer>(); }

MidiSequencer::MidiSequencer() : impl_(std::make_shared<Impl>()) {}

MidiSequencer::~MidiSequencer() { close(); }

void MidiSequencer::open() {
    std::lock_guard lock(impl_->mutex);
    impl_->open = true;
}

void MidiSequencer::close() {
    stop();
    std::lock_guard lock(impl_->mutex);
    impl_->open = false;
    impl_->receiver.reset();
}

bool MidiSequencer::isOpen() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->open;
}

void MidiSequencer::setSequence(std::shared_ptr<const MidiSequence> sequence) {
    std::lock_guard lock(impl_->mutex);
    impl_->sequence = std::move(sequence);
}

void MidiSequencer::setLoopCount(int count) { impl_->loopCount = count; }
int MidiSequencer::getLoopCount() const { return impl_->loopCount; }

void MidiSequencer::setReceiver(std::shared_ptr<MidiReceiver> receiver) {
    std::lock_guard lock(impl_->mutex);
    impl_->receiver = std::move(receiver);
}

void MidiSequencer::addMetaEventListener(MetaListener listener) {
    std::lock_guard lock(impl_->mutex);
    impl_->listeners.push_back(std::move(listener));
}

void MidiSequencer::start() {
    if (impl_->running) return;
    impl_->finishThread();  // a play that ended by itself
    std::lock_guard lock(impl_->mutex);
    if (!impl_->open) throw AudioError("sequencer not open");
    if (!impl_->sequence) throw AudioError("sequencer has no sequence");
    impl_->running = true;
    impl_->thread = std::thread(&Impl::run, impl_, impl_->sequence, impl_->receiver);
}

void MidiSequencer::stop() {
    bool wasRunning = impl_->running.exchange(false);
    impl_->finishThread();
    if (wasRunning) {
        std::shared_ptr<MidiReceiver> to;
        {
            std::lock_guard lock(impl_->mutex);
            to = impl_->receiver;
        }
        Impl::allNotesOff(to.get());
    }
}

bool MidiSequencer::isRunning() const { return impl_->running; }

}  // namespace platform
