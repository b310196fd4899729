#include "platform/MidiSequence.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace platform {

namespace {

[[noreturn]] void bad(const std::string& what) { throw InvalidMidiData("MIDI file: " + what); }

std::uint32_t be32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}
int be16(const std::uint8_t* p) { return (p[0] << 8) | p[1]; }

// Reads one track chunk's body.
class TrackReader {
public:
    TrackReader(std::span<const std::uint8_t> body, int track) : b_(body), track_(track) {}

    // Appends the track's events; returns its end tick.
    std::int64_t read(std::vector<MidiEvent>& out) {
        std::int64_t tick = 0;
        std::uint8_t running = 0;
        while (pos_ < b_.size()) {
            tick += varLength();
            MidiEvent e;
            e.tick = tick;
            std::uint8_t first = byte();
            if (first < 0x80) {
                if (running == 0) fail("data byte without a status");
                e.status = running;
                --pos_;  // the byte is the first data byte
            } else {
                e.status = first;
            }
            if (e.status < 0xF0) {
                running = e.status;
                e.data1 = dataByte();
                int kind = e.status & 0xF0;
                if (kind != 0xC0 && kind != 0xD0) e.data2 = dataByte();
            } else if (e.status == 0xFF) {
                e.metaType = byte();
                e.payload = bytes(varLength());
                if (e.metaType == MidiSequence::kMetaEndOfTrack) return tick;
            } else if (e.status == 0xF0 || e.status == 0xF7) {
                running = 0;
                e.payload = bytes(varLength());
            } else {
                fail("status byte " + std::to_string(e.status) + " in a file");
            }
            out.push_back(std::move(e));
        }
        // No end-of-track event: the track ends with its chunk.
        return tick;
    }

private:
    [[noreturn]] void fail(const std::string& what) {
        bad("track " + std::to_string(track_) + " at byte " + std::to_string(pos_) + ": " + what);
    }

    std::uint8_t byte() {
        if (pos_ >= b_.size()) fail("event cut short");
        return b_[pos_++];
    }

    std::uint8_t dataByte() {
        std::uint8_t v = byte();
        if (v & 0x80) fail("status byte where a data byte belongs");
        return v;
    }

    // At most four bytes, as the format allows.
    std::int64_t varLength() {
        std::int64_t v = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t c = byte();
            v = (v << 7) | (c & 0x7F);
            if (!(c & 0x80)) return v;
        }
        fail("variable-length number longer than four bytes");
    }

    std::vector<std::uint8_t> bytes(std::int64_t n) {
        if (n > static_cast<std::int64_t>(b_.size() - pos_)) fail("event length runs past the track");
        std::vector<std::uint8_t> v(b_.begin() + static_cast<std::ptrdiff_t>(pos_),
                                    b_.begin() + static_cast<std::ptrdiff_t>(pos_ + static_cast<std::size_t>(n)));
        pos_ += static_cast<std::size_t>(n);
        return v;
    }

    std::span<const std::uint8_t> b_;
    int track_;
    std::size_t pos_ = 0;
};

constexpr std::int64_t kMaxMicros = std::numeric_limits<std::int64_t>::max() / 4;

}  // namespace

MidiSequence MidiSequence::parse(std::span<const std::uint8_t> b) {
    if (b.size() < 14 || std::memcmp(b.data(), "MThd", 4) != 0) bad("no MThd header");
    std::uint32_t headerLength = be32(&b[4]);
    if (headerLength < 6) bad("MThd of " + std::to_string(headerLength) + " bytes");
    int format = be16(&b[8]);
    int declaredTracks = be16(&b[10]);
    int division = be16(&b[12]);
    if (format > 2) bad("unsupported format " + std::to_string(format));

    MidiSequence seq;
    if (division & 0x8000) {
        int fps = -static_cast<std::int8_t>(division >> 8);
        int ticksPerFrame = division & 0xFF;
        if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || ticksPerFrame == 0)
            bad("SMPTE division " + std::to_string(fps) + " x " + std::to_string(ticksPerFrame));
        seq.ticksPerSecond_ = (fps == 29 ? 29.97 : fps) * ticksPerFrame;
    } else {
        if (division == 0) bad("division 0");
        seq.resolution_ = division;
    }

    std::size_t pos = 8 + static_cast<std::size_t>(std::min<std::uint32_t>(headerLength, b.size() - 8));
    int track = 0;
    while (track < declaredTracks && pos + 8 <= b.size()) {
        std::uint32_t length = be32(&b[pos + 4]);
        std::size_t body = pos + 8;
        if (length > b.size() - body) bad("chunk at byte " + std::to_string(pos) + " runs past the end of the file");
        if (std::memcmp(&b[pos], "MTrk", 4) == 0) {
            TrackReader reader(b.subspan(body, length), track);
            seq.tickLength_ = std::max(seq.tickLength_, reader.read(seq.events_));
            ++track;
        }
        pos = body + length;  // other chunks are skipped
    }
    seq.trackCount_ = track;
    std::stable_sort(seq.events_.begin(), seq.events_.end(),
                     [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
    return seq;
}

std::int64_t MidiSequence::ticksToMicros(std::int64_t ticks, std::int64_t tempo) const {
    if (ticks <= 0) return 0;
    __int128 micros;
    if (resolution_ > 0) {
        micros = static_cast<__int128>(ticks) * tempo / resolution_;
    } else {
        double d = static_cast<double>(ticks) * 1e6 / ticksPerSecond_;
        micros = d >= static_cast<double>(kMaxMicros) ? kMaxMicros : static_cast<__int128>(std::llround(d));
    }
    return static_cast<std::int64_t>(std::min<__int128>(micros, kMaxMicros));
}

std::int64_t MidiSequence::microsecondLength() const {
    std::int64_t micros = 0, tick = 0, tempo = kDefaultTempo;
    for (const MidiEvent& e : events_) {
        micros = std::min(kMaxMicros, micros + ticksToMicros(e.tick - tick, tempo));
        tick = e.tick;
        if (e.isMeta(kMetaTempo) && e.payload.size() == 3 && resolution_ > 0)
            tempo = std::max<std::int64_t>(1, (e.payload[0] << 16) | (e.payload[1] << 8) | e.payload[2]);
    }
    return std::min(kMaxMicros, micros + ticksToMicros(tickLength_ - tick, tempo));
}

}  // namespace platform
