#include "platform/WavDecoder.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "platform/Mp3Decoder.h"

namespace platform {

namespace {

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void put16(std::uint8_t* p, std::int32_t v) {
    auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(v, -32768, 32767)));
    p[0] = static_cast<std::uint8_t>(u & 0xFF);
    p[1] = static_cast<std::uint8_t>(u >> 8);
}

[[noreturn]] void bad(const std::string& what) { throw UnsupportedAudioFile("WAVE file: " + what); }

struct WaveHeader {
    int formatTag = 0;
    int channels = 0;
    std::uint32_t sampleRate = 0;
    int blockAlign = 0;
    int bitsPerSample = 0;
    std::span<const std::uint8_t> extra;  // bytes after cbSize
    std::size_t dataOffset = 0, dataLength = 0;
};

// Walks the chunks. Chunk lengths that run past the end are cut to what is
// there, so a truncated file plays what it holds.
WaveHeader parseChunks(std::span<const std::uint8_t> b) {
    WaveHeader h;
    bool haveFormat = false, haveData = false;
    std::size_t pos = 12;
    while (pos + 8 <= b.size() && !(haveFormat && haveData)) {
        const std::uint8_t* id = &b[pos];
        std::size_t length = std::min<std::size_t>(le32(&b[pos + 4]), b.size() - pos - 8);
        std::size_t body = pos + 8;
        if (std::memcmp(id, "fmt ", 4) == 0 && !haveFormat) {
            if (length < 14) bad("fmt chunk of " + std::to_string(length) + " bytes");
            h.formatTag = le16(&b[body]);
            h.channels = le16(&b[body + 2]);
            h.sampleRate = le32(&b[body + 4]);
            h.blockAlign = le16(&b[body + 12]);
            h.bitsPerSample = length >= 16 ? le16(&b[body + 14]) : 8;
            if (length >= 18) {
                std::size_t cb = std::min<std::size_t>(le16(&b[body + 16]), length - 18);
                h.extra = b.subspan(body + 18, cb);
            }
            haveFormat = true;
        } else if (std::memcmp(id, "data", 4) == 0 && !haveData) {
            h.dataOffset = body;
            h.dataLength = length;
            haveData = true;
        }
        // Chunks are padded to even lengths.
        pos = body + length + (length & 1);
    }
    if (!haveFormat) bad("no fmt chunk");
    if (!haveData) bad("no data chunk");
    return h;
}

// G.711 expansions to 16 bits.
std::int16_t expandALaw(std::uint8_t a) {
    a ^= 0x55;
    int t = (a & 0x0F) << 4;
    int segment = (a & 0x70) >> 4;
    if (segment == 0) t += 8;
    else t = (t + 0x108) << (segment - 1);
    return static_cast<std::int16_t>((a & 0x80) ? t : -t);
}

std::int16_t expandMuLaw(std::uint8_t u) {
    u = static_cast<std::uint8_t>(~u);
    int t = (((u & 0x0F) << 3) + 0x84) << ((u & 0x70) >> 4);
    return static_cast<std::int16_t>((u & 0x80) ? 0x84 - t : t - 0x84);
}

// Sources of blockless codings: each frame stands alone.
enum class SampleCoding { UnsignedInt, SignedInt, Float, ALaw, MuLaw };

class LinearSource final : public PcmSource {
public:
    LinearSource(SoundBytes bytes, const WaveHeader& h, SampleCoding coding, int containerBytes)
        : bytes_(std::move(bytes)),
          format_{static_cast<int>(h.sampleRate), h.channels},
          coding_(coding),
          container_(containerBytes),
          pos_(h.dataOffset),
          end_(h.dataOffset + h.dataLength - h.dataLength % (static_cast<std::size_t>(containerBytes) * h.channels)) {}

    const PcmFormat& format() const override { return format_; }
    std::int64_t sourceBytesRead() const override { return consumed_; }

    int read(std::uint8_t* out, int length) override {
        const std::size_t inFrame = static_cast<std::size_t>(container_) * format_.channels;
        if (pos_ >= end_) return -1;
        std::size_t frames = std::min<std::size_t>(length / format_.frameBytes(), (end_ - pos_) / inFrame);
        std::size_t samples = frames * format_.channels;
        const std::uint8_t* in = bytes_->data() + pos_;
        for (std::size_t i = 0; i < samples; ++i, in += container_) put16(out + 2 * i, sample(in));
        pos_ += frames * inFrame;
        consumed_ = static_cast<std::int64_t>(pos_);
        return static_cast<int>(frames * format_.frameBytes());
    }

private:
    std::int32_t sample(const std::uint8_t* p) const {
        switch (coding_) {
            case SampleCoding::UnsignedInt:
                return (static_cast<std::int32_t>(p[0]) - 128) << 8;
            case SampleCoding::SignedInt: {
                // The top two bytes of a little-endian sample of any width.
                std::uint32_t v = 0;
                for (int i = 0; i < container_; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
                v <<= 8 * (4 - container_);
                return static_cast<std::int32_t>(v) >> 16;
            }
            case SampleCoding::Float: {
                double d;
                if (container_ == 4) {
                    d = std::bit_cast<float>(le32(p));
                } else {
                    std::uint64_t v = le32(p) | (static_cast<std::uint64_t>(le32(p + 4)) << 32);
                    d = std::bit_cast<double>(v);
                }
                if (!(d == d)) return 0;  // NaN
                return static_cast<std::int32_t>(std::lrint(std::clamp(d, -1.0, 1.0) * 32767.0));
            }
            case SampleCoding::ALaw:
                return expandALaw(p[0]);
            case SampleCoding::MuLaw:
                return expandMuLaw(p[0]);
        }
        return 0;
    }

    SoundBytes bytes_;
    PcmFormat format_;
    SampleCoding coding_;
    int container_;
    std::size_t pos_, end_;
    std::atomic<std::int64_t> consumed_{0};  // read by other threads
};

// ADPCM codings come in blocks that decode to a fixed number of frames.
class BlockSource : public PcmSource {
public:
    BlockSource(SoundBytes bytes, const WaveHeader& h, int framesPerBlock)
        : bytes_(std::move(bytes)),
          format_{static_cast<int>(h.sampleRate), h.channels},
          blockAlign_(h.blockAlign),
          framesPerBlock_(framesPerBlock),
          pos_(h.dataOffset),
          end_(h.dataOffset + h.dataLength) {
        block_.resize(static_cast<std::size_t>(framesPerBlock) * h.channels);
    }

    const PcmFormat& format() const override { return format_; }
    std::int64_t sourceBytesRead() const override { return consumed_; }

    int read(std::uint8_t* out, int length) override {
        int written = 0;
        const int frameBytes = format_.frameBytes();
        while (written + frameBytes <= length) {
            if (blockPos_ == blockFrames_) {
                if (!nextBlock()) break;
            }
            int frames = std::min(blockFrames_ - blockPos_, (length - written) / frameBytes);
            const std::int16_t* src = &block_[static_cast<std::size_t>(blockPos_) * format_.channels];
            for (int i = 0; i < frames * format_.channels; ++i) put16(out + written + 2 * i, src[i]);
            blockPos_ += frames;
            written += frames * frameBytes;
        }
        return written == 0 && length >= frameBytes ? -1 : written;
    }

protected:
    // Decodes one block of `size` bytes (the last may be short) into
    // block_; returns the frames it produced, 0 when it is unusable.
    virtual int decodeBlock(const std::uint8_t* in, std::size_t size) = 0;

    std::int16_t* frame(int index) { return &block_[static_cast<std::size_t>(index) * format_.channels]; }
    int channels() const { return format_.channels; }
    int framesPerBlock() const { return framesPerBlock_; }

private:
    bool nextBlock() {
        while (pos_ < end_) {
            std::size_t size = std::min<std::size_t>(blockAlign_, end_ - pos_);
            const std::uint8_t* in = bytes_->data() + pos_;
            pos_ += size;
            consumed_ = static_cast<std::int64_t>(pos_);
            blockFrames_ = decodeBlock(in, size);
            blockPos_ = 0;
            if (blockFrames_ > 0) return true;
            // A corrupt block ends the sound.
            pos_ = end_;
        }
        return false;
    }

    SoundBytes bytes_;
    PcmFormat format_;
    std::size_t blockAlign_;
    int framesPerBlock_;
    std::size_t pos_, end_;
    std::vector<std::int16_t> block_;
    int blockFrames_ = 0, blockPos_ = 0;
    std::atomic<std::int64_t> consumed_{0};  // read by other threads
};

class MsAdpcmSource final : public BlockSource {
public:
    MsAdpcmSource(SoundBytes bytes, const WaveHeader& h, int framesPerBlock,
                  std::vector<std::array<int, 2>> coefficients)
        : BlockSource(std::move(bytes), h, framesPerBlock), coefficients_(std::move(coefficients)) {}

private:
    int decodeBlock(const std::uint8_t* in, std::size_t size) override {
        static constexpr int kAdapt[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                           768, 614, 512, 409, 307, 230, 230, 230};
        const int ch = channels();
        const std::size_t header = 7 * static_cast<std::size_t>(ch);
        if (size < header) return 0;
        struct State {
            int c1, c2, delta, s1, s2;
        };
        std::array<State, 2> st{};
        for (int c = 0; c < ch; ++c) {
            std::size_t predictor = in[c];
            if (predictor >= coefficients_.size()) return 0;
            st[c].c1 = coefficients_[predictor][0];
            st[c].c2 = coefficients_[predictor][1];
            st[c].delta = static_cast<std::int16_t>(le16(in + ch + 2 * c));
            st[c].s1 = static_cast<std::int16_t>(le16(in + 3 * ch + 2 * c));
            st[c].s2 = static_cast<std::int16_t>(le16(in + 5 * ch + 2 * c));
        }
        // The two header samples come out oldest first.
        for (int c = 0; c < ch; ++c) {
            frame(0)[c] = static_cast<std::int16_t>(st[c].s2);
            frame(1)[c] = static_cast<std::int16_t>(st[c].s1);
        }
        const std::size_t nibbles = (size - header) * 2;
        const int frames = static_cast<int>(std::min<std::size_t>(framesPerBlock(), 2 + nibbles / ch));
        std::size_t n = 0;
        for (int f = 2; f < frames; ++f) {
            for (int c = 0; c < ch; ++c, ++n) {
                // High nibble first.
                int code = (in[header + n / 2] >> ((n & 1) ? 0 : 4)) & 0x0F;
                State& s = st[c];
                int signedCode = code >= 8 ? code - 16 : code;
                std::int64_t predicted = (std::int64_t{s.s1} * s.c1 + std::int64_t{s.s2} * s.c2) >> 8;
                int sample = static_cast<int>(std::clamp<std::int64_t>(predicted + signedCode * s.delta, -32768, 32767));
                s.s2 = s.s1;
                s.s1 = sample;
                // Corrupt data could grow the step without bound.
                s.delta = std::clamp(kAdapt[code] * s.delta / 256, 16, 1 << 20);
                frame(f)[c] = static_cast<std::int16_t>(sample);
            }
        }
        return frames;
    }

    std::vector<std::array<int, 2>> coefficients_;
};

class ImaAdpcmSource final : public BlockSource {
public:
    ImaAdpcmSource(SoundBytes bytes, const WaveHeader& h, int framesPerBlock)
        : BlockSource(std::move(bytes), h, framesPerBlock) {}

private:
    int decodeBlock(const std::uint8_t* in, std::size_t size) override {
        static constexpr int kIndex[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};
        static constexpr int kStep[89] = {
            7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
            31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
            130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
            544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
            2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
            9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
        const int ch = channels();
        const std::size_t header = 4 * static_cast<std::size_t>(ch);
        if (size < header) return 0;
        int sample[8] = {}, index[8] = {};
        for (int c = 0; c < ch; ++c) {
            sample[c] = static_cast<std::int16_t>(le16(in + 4 * c));
            index[c] = std::clamp<int>(in[4 * c + 2], 0, 88);
            frame(0)[c] = static_cast<std::int16_t>(sample[c]);
        }
        // Then groups of four bytes per channel, eight samples each, low
        // nibble first.
        const std::size_t groups = (size - header) / header;
        const int frames = static_cast<int>(std::min<std::size_t>(framesPerBlock(), 1 + groups * 8));
        for (int f = 1; f < frames; ++f) {
            std::size_t group = static_cast<std::size_t>(f - 1) / 8, k = static_cast<std::size_t>(f - 1) % 8;
            for (int c = 0; c < ch; ++c) {
                std::uint8_t byte = in[header + group * header + 4 * static_cast<std::size_t>(c) + k / 2];
                int code = (k & 1) ? byte >> 4 : byte & 0x0F;
                int step = kStep[index[c]];
                int diff = step >> 3;
                if (code & 1) diff += step >> 2;
                if (code & 2) diff += step >> 1;
                if (code & 4) diff += step;
                sample[c] = std::clamp(sample[c] + ((code & 8) ? -diff : diff), -32768, 32767);
                index[c] = std::clamp(index[c] + kIndex[code], 0, 88);
                frame(f)[c] = static_cast<std::int16_t>(sample[c]);
            }
        }
        return frames;
    }
};

std::unique_ptr<PcmSource> openMsAdpcm(SoundBytes bytes, const WaveHeader& h) {
    if (h.channels > 2) bad("MS ADPCM with " + std::to_string(h.channels) + " channels");
    const int header = 7 * h.channels;
    if (h.blockAlign <= header) bad("MS ADPCM block of " + std::to_string(h.blockAlign) + " bytes");
    const int fits = 2 + (h.blockAlign - header) * 2 / h.channels;
    int framesPerBlock = fits;
    std::vector<std::array<int, 2>> coefficients = {{256, 0},  {512, -256}, {0, 0},    {192, 64},
                                                    {240, 0},  {460, -208}, {392, -232}};
    if (h.extra.size() >= 4) {
        framesPerBlock = std::clamp<int>(le16(&h.extra[0]), 2, fits);
        std::size_t count = le16(&h.extra[2]);
        if (count > 0 && h.extra.size() >= 4 + 4 * count) {
            coefficients.clear();
            for (std::size_t i = 0; i < count; ++i)
                coefficients.push_back({static_cast<std::int16_t>(le16(&h.extra[4 + 4 * i])),
                                        static_cast<std::int16_t>(le16(&h.extra[6 + 4 * i]))});
        }
    }
    return std::make_unique<MsAdpcmSource>(std::move(bytes), h, framesPerBlock, std::move(coefficients));
}

std::unique_ptr<PcmSource> openImaAdpcm(SoundBytes bytes, const WaveHeader& h) {
    if (h.bitsPerSample != 4) bad("IMA ADPCM with " + std::to_string(h.bitsPerSample) + " bits");
    if (h.channels > 8) bad("IMA ADPCM with " + std::to_string(h.channels) + " channels");
    const int header = 4 * h.channels;
    if (h.blockAlign <= header || (h.blockAlign - header) % header != 0)
        bad("IMA ADPCM block of " + std::to_string(h.blockAlign) + " bytes");
    const int fits = 1 + (h.blockAlign - header) / header * 8;
    int framesPerBlock = fits;
    if (h.extra.size() >= 2) framesPerBlock = std::clamp<int>(le16(&h.extra[0]), 1, fits);
    return std::make_unique<ImaAdpcmSource>(std::move(bytes), h, framesPerBlock);
}

}  // namespace

bool WavDecoder::recognises(std::span<const std::uint8_t> b) {
    return b.size() >= 12 && std::memcmp(b.data(), "RIFF", 4) == 0 && std::memcmp(b.data() + 8, "WAVE", 4) == 0;
}

std::unique_ptr<PcmSource> WavDecoder::open(SoundBytes bytes) {
    if (!bytes || !recognises(*bytes)) throw UnsupportedAudioFile("not a RIFF WAVE file");
    WaveHeader h = parseChunks(*bytes);
    int tag = h.formatTag;
    if (tag == kExtensible) {
        // cbSize 22: valid bits, channel mask, then the sub-format GUID
        // whose first two bytes are the plain format tag.
        if (h.extra.size() < 22) bad("extensible fmt chunk too short");
        tag = le16(&h.extra[6]);
    }
    if (tag == kMpeg || tag == kMpegLayer3) return Mp3Decoder::open(bytes, h.dataOffset, h.dataLength);
    if (h.channels == 0) bad("0 channels");
    if (h.sampleRate == 0 || h.sampleRate > static_cast<std::uint32_t>(INT_MAX))
        bad("sample rate " + std::to_string(h.sampleRate));
    if (h.blockAlign == 0) bad("block align 0");

    switch (tag) {
        case kPcm:
        case kFloat: {
            // Samples sit in whole bytes; blockAlign says how many per frame.
            int container = h.blockAlign / h.channels;
            if (h.blockAlign % h.channels != 0 || container < 1 || container > 8)
                bad("block align " + std::to_string(h.blockAlign) + " for " + std::to_string(h.channels) +
                    " channels");
            if (tag == kFloat) {
                if (container != 4 && container != 8) bad("float samples of " + std::to_string(container) + " bytes");
                return std::make_unique<LinearSource>(std::move(bytes), h, SampleCoding::Float, container);
            }
            if (container > 4) bad("integer samples of " + std::to_string(container) + " bytes");
            return std::make_unique<LinearSource>(
                std::move(bytes), h, container == 1 ? SampleCoding::UnsignedInt : SampleCoding::SignedInt, container);
        }
        case kALaw:
        case kMuLaw:
            if (h.blockAlign != h.channels) bad("G.711 block align " + std::to_string(h.blockAlign));
            return std::make_unique<LinearSource>(std::move(bytes), h,
                                                  tag == kALaw ? SampleCoding::ALaw : SampleCoding::MuLaw, 1);
        case kMsAdpcm:
            return openMsAdpcm(std::move(bytes), h);
        case kImaAdpcm:
            return openImaAdpcm(std::move(bytes), h);
        default: {
            static constexpr char kHex[] = "0123456789ABCDEF";
            std::string hex = "0x";
            for (int shift = 12; shift >= 0; shift -= 4) hex += kHex[(tag >> shift) & 0xF];
            bad("unsupported format tag " + hex);
        }
    }
}

}  // namespace platform
