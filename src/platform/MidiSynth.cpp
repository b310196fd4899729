#include "platform/MidiSynth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <filesystem>
#include <mutex>

#include "platform/AudioOutput.h"
#include "platform/Console.h"

namespace platform {

namespace {

void routeLibraryMessages() {
    static std::once_flag once;
    std::call_once(once, [] {
        auto drop = [](int, const char*, void*) {};
        auto report = [](int, const char* message, void*) { Console::errln(std::string("fluidsynth: ") + message); };
        fluid_set_log_function(FLUID_PANIC, report, nullptr);
        fluid_set_log_function(FLUID_ERR, report, nullptr);
        fluid_set_log_function(FLUID_WARN, drop, nullptr);
        fluid_set_log_function(FLUID_INFO, drop, nullptr);
        fluid_set_log_function(FLUID_DBG, drop, nullptr);
    });
}

constexpr int kRenderFrames = 512;

}  // namespace

struct MidiSynth::Impl {
    std::mutex mutex;  // the FluidSynth objects
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    std::shared_ptr<AudioLine> line;
    std::int64_t microRemainder = 0;  // sequencer time not yet rendered, in microseconds x rate

    void free() {
        if (synth) delete_fluid_synth(synth);
        if (settings) delete_fluid_settings(settings);
        synth = nullptr;
        settings = nullptr;
    }
};

namespace {

class SynthReceiver final : public MidiReceiver {
public:
    explicit SynthReceiver(std::shared_ptr<MidiSynth::Impl> impl) : impl_(std::move(impl)) {}

    void send(const MidiEvent& e) override {
        std::lock_guard lock(impl_->mutex);
        fluid_synth_t* s = impl_->synth;
        if (!s) return;
        int channel = e.status & 0x0F;
        switch (e.status & 0xF0) {
            case 0x80: fluid_synth_noteoff(s, channel, e.data1); break;
            case 0x90:
                if (e.data2 == 0) fluid_synth_noteoff(s, channel, e.data1);
                else fluid_synth_noteon(s, channel, e.data1, e.data2);
                break;
            case 0xA0: fluid_synth_key_pressure(s, channel, e.data1, e.data2); break;
            case 0xB0: fluid_synth_cc(s, channel, e.data1, e.data2); break;
            case 0xC0: fluid_synth_program_change(s, channel, e.data1); break;
            case 0xD0: fluid_synth_channel_pressure(s, channel, e.data1); break;
            case 0xE0: fluid_synth_pitch_bend(s, channel, e.data1 | (e.data2 << 7)); break;
            case 0xF0:
                if (e.status == 0xF0 && !e.payload.empty()) {
                    // The payload ends with F7; FluidSynth wants neither end.
                    int length = static_cast<int>(e.payload.size()) - (e.payload.back() == 0xF7 ? 1 : 0);
                    fluid_synth_sysex(s, reinterpret_cast<const char*>(e.payload.data()), length, nullptr, nullptr,
                                      nullptr, 0);
                }
                break;
        }
    }

    bool advance(std::int64_t micros, const std::atomic<bool>& running) override {
        std::int64_t frames;
        std::shared_ptr<AudioLine> line;
        {
            std::lock_guard lock(impl_->mutex);
            if (!impl_->synth) return false;
            // Whole frames now, the fraction carried to the next call.
            impl_->microRemainder += std::max<std::int64_t>(micros, 0) * MidiSynth::kSampleRate;
            frames = impl_->microRemainder / 1000000;
            impl_->microRemainder %= 1000000;
            line = impl_->line;
        }
        std::int16_t buffer[kRenderFrames * 2];
        while (frames > 0) {
            if (!running) return false;
            int n = static_cast<int>(std::min<std::int64_t>(frames, kRenderFrames));
            {
                std::lock_guard lock(impl_->mutex);
                if (!impl_->synth) return false;
                fluid_synth_write_s16(impl_->synth, n, buffer, 0, 2, buffer, 1, 2);
            }
            int bytes = n * 4;
            if (line->write(reinterpret_cast<const std::uint8_t*>(buffer), bytes) < bytes) return false;
            frames -= n;
        }
        return static_cast<bool>(running);
    }

private:
    std::shared_ptr<MidiSynth::Impl> impl_;
};

}  // namespace

MidiSynth::Config& MidiSynth::config() {
    static Config c;
    return c;
}

void MidiSynth::resetConfig() { config() = Config{}; }

std::optional<std::string> MidiSynth::findSoundFont() {
    for (const std::string& path : config().soundFontPaths) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec)) return path;
    }
    return std::nullopt;
}

std::shared_ptr<MidiSynth> MidiSynth::getDefault() { return std::make_shared<MidiSynth>(); }

MidiSynth::MidiSynth() : impl_(std::make_shared<Impl>()) {}

MidiSynth::~MidiSynth() { close(); }

void MidiSynth::open() {
    routeLibraryMessages();
    std::lock_guard lock(impl_->mutex);
    if (impl_->synth) return;
    std::optional<std::string> font = findSoundFont();
    if (!font) throw MidiUnavailable("no General MIDI soundfont found (install fluid-soundfont-gm)");
    impl_->settings = new_fluid_settings();
    if (!impl_->settings) throw MidiUnavailable("FluidSynth settings unavailable");
    fluid_settings_setnum(impl_->settings, "synth.sample-rate", kSampleRate);
    // Samples load per preset as programs are chosen: opening stays quick.
    fluid_settings_setint(impl_->settings, "synth.dynamic-sample-loading", 1);
    // FluidSynth's default gain (0.2) leaves General MIDI music far quieter
    // than sampled sound at the same player level.
    fluid_settings_setnum(impl_->settings, "synth.gain", 0.6);
    impl_->synth = new_fluid_synth(impl_->settings);
    if (!impl_->synth) {
        impl_->free();
        throw MidiUnavailable("FluidSynth synthesizer unavailable");
    }
    if (fluid_synth_sfload(impl_->synth, font->c_str(), 1) == FLUID_FAILED) {
        impl_->free();
        throw MidiUnavailable("cannot load soundfont " + *font);
    }
    try {
        impl_->line = AudioOutput::openLine({kSampleRate, 2});
    } catch (...) {
        impl_->free();
        throw;
    }
    impl_->line->start();
    impl_->microRemainder = 0;
}

void MidiSynth::close() {
    std::shared_ptr<AudioLine> line;
    {
        std::lock_guard lock(impl_->mutex);
        impl_->free();
        line = std::move(impl_->line);
    }
    if (line) line->closeWhenPlayedOut();
}

bool MidiSynth::isOpen() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->synth != nullptr;
}

std::shared_ptr<MidiReceiver> MidiSynth::getReceiver() { return std::make_shared<SynthReceiver>(impl_); }

}  // namespace platform
