#include "platform/WavDecoder.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/AudioTestSupport.h"

namespace {

using namespace audiotest;
using platform::PcmFormat;
using platform::WavDecoder;

std::vector<std::int16_t> decodeAll(const std::vector<std::uint8_t>& file, PcmFormat* format = nullptr,
                                    int chunk = 4096) {
    auto source = WavDecoder::open(std::make_shared<const std::vector<std::uint8_t>>(file));
    if (format) *format = source->format();
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(chunk));
    std::vector<std::int16_t> out;
    for (int n; (n = source->read(buffer.data(), chunk)) != -1;) {
        EXPECT_GT(n, 0);
        EXPECT_EQ(n % source->format().frameBytes(), 0);
        for (int i = 0; i + 1 < n; i += 2) out.push_back(static_cast<std::int16_t>(buffer[i] | (buffer[i + 1] << 8)));
    }
    return out;
}

struct SampleCase {
    const char* name;
    int tag, bits, container;
    std::vector<std::uint8_t> sampleBytes;  // one mono sample per container
    std::vector<std::int16_t> expected;
};

TEST(WavDecoder, SampleCodingsBecomeSixteenBit) {
    const std::vector<SampleCase> cases = {
        {"unsigned 8", 1, 8, 1, {0x00, 0x80, 0xFF}, {-32768, 0, 32512}},
        {"signed 16", 1, 16, 2, {0x34, 0x12, 0x00, 0x80}, {0x1234, -32768}},
        {"signed 24", 1, 24, 3, {0xFF, 0x34, 0x12, 0x00, 0x00, 0x80}, {0x1234, -32768}},
        {"signed 32", 1, 32, 4, {0xFF, 0xFF, 0x34, 0x12, 0, 0, 0, 0x80}, {0x1234, -32768}},
        {"12 bits in 16", 1, 12, 2, {0x40, 0x12}, {0x1240}},
        // 0.5f, -1.0f, 2.0f (clipped), NaN (silence)
        {"float 32", 3, 32, 4, {0, 0, 0, 0x3F, 0, 0, 0x80, 0xBF, 0, 0, 0, 0x40, 0, 0, 0xC0, 0x7F},
         {16384, -32767, 32767, 0}},
        {"float 64", 3, 64, 8, {0, 0, 0, 0, 0, 0, 0xE0, 0x3F}, {16384}},
        // G.711 reference points: silence codes and full scale.
        {"A-law", 6, 8, 1, {0xD5, 0x55, 0xAA, 0x2A}, {8, -8, 32256, -32256}},
        {"mu-law", 7, 8, 1, {0xFF, 0x7F, 0x80, 0x00}, {0, 0, 32124, -32124}},
    };
    for (const SampleCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto file = wavFile(fmtBody(c.tag, 1, 8000, c.container, c.bits), c.sampleBytes);
        PcmFormat f;
        EXPECT_EQ(decodeAll(file, &f), c.expected);
        EXPECT_EQ(f, (PcmFormat{8000, 1}));
    }
}

TEST(WavDecoder, ExtensibleHeaderNamesItsCodingInTheSubFormat) {
    std::vector<std::uint8_t> extra;
    put16(extra, 24);       // valid bits
    put32(extra, 0x3);      // channel mask
    put16(extra, 1);        // sub-format GUID, PCM
    extra.resize(22, 0);
    std::vector<std::uint8_t> data = {0, 0x34, 0x12, 0, 0xCD, 0xAB};
    PcmFormat f;
    auto samples = decodeAll(wavFile(fmtBody(0xFFFE, 2, 48000, 6, 24, extra), data), &f);
    EXPECT_EQ(f, (PcmFormat{48000, 2}));
    EXPECT_EQ(samples, (std::vector<std::int16_t>{0x1234, static_cast<std::int16_t>(0xABCD)}));
}

TEST(WavDecoder, ChunksAroundTheDataAreSkippedWithTheirPadding) {
    auto file = pcmWav(8000, 1, 3, [](int f, int) { return 100 * (f + 1); });
    // Insert an odd-length LIST chunk (padded to even) before "data".
    std::vector<std::uint8_t> list;
    putTag(list, "LIST");
    put32(list, 3);
    list.insert(list.end(), {'a', 'b', 'c', 0});
    file.insert(file.begin() + 36, list.begin(), list.end());
    EXPECT_EQ(decodeAll(file), (std::vector<std::int16_t>{100, 200, 300}));
}

// Known answers worked out by hand from the coding rules.
TEST(WavDecoder, ImaAdpcmKnownBlock) {
    // Header: sample 0, index 0; then codes 4, 0xC, 0, 8, 7, 1, 2, 3 (low
    // nibble first).
    std::vector<std::uint8_t> block = {0, 0, 0, 0, 0xC4, 0x80, 0x17, 0x32};
    std::vector<std::uint8_t> extra;
    put16(extra, 9);
    auto samples = decodeAll(wavFile(fmtBody(0x11, 1, 8000, 8, 4, extra), block));
    // step 7: +7 -> 7, index 2 (step 9); code C: -(1+9) -> -3, index 4 (11);
    // code 0: +1 -> -2, index 3 (10); code 8: -1 -> -3, index 2 (9);
    // code 7: +(1+2+4+9) -> 13, index 10 (19); code 1: +(2+4) -> 19, index 9 (17);
    // code 2: +(2+8) -> 29, index 8 (16); code 3: +(2+4+8) -> 43.
    EXPECT_EQ(samples, (std::vector<std::int16_t>{0, 7, -3, -2, -3, 13, 19, 29, 43}));
}

TEST(WavDecoder, MsAdpcmKnownBlock) {
    // Predictor 0 (256, 0), delta 16, sample1 100, sample2 50; codes 1, F.
    std::vector<std::uint8_t> block = {0, 16, 0, 100, 0, 50, 0, 0x1F};
    std::vector<std::uint8_t> extra;
    put16(extra, 4);  // frames per block
    put16(extra, 0);  // no coefficient table: the standard seven
    auto samples = decodeAll(wavFile(fmtBody(2, 1, 8000, 8, 4, extra), block));
    EXPECT_EQ(samples, (std::vector<std::int16_t>{50, 100, 116, 100}));

    // Stereo: header fields alternate by channel; high nibble is the left.
    std::vector<std::uint8_t> stereo = {0, 0, 16, 0, 32, 0, 100, 0, 0x9C, 0xFF, 50, 0, 0xCE, 0xFF, 0x1F};
    EXPECT_EQ(decodeAll(wavFile(fmtBody(2, 2, 8000, 15, 4), stereo)),
              (std::vector<std::int16_t>{50, -50, 100, -100, 116, -132}));
}

// Encoders written from the same coding rules, to check whole streams.
std::vector<std::uint8_t> imaEncode(const std::vector<std::int16_t>& pcm, int framesPerBlock) {
    static const int kIndex[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};
    static const int kStep[89] = {
        7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
        31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
        130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
        544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
        2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
        9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
    std::vector<std::uint8_t> out;
    int index = 0;
    for (std::size_t start = 0; start < pcm.size(); start += framesPerBlock) {
        int predicted = pcm[start];
        put16(out, predicted);
        out.push_back(static_cast<std::uint8_t>(index));
        out.push_back(0);
        std::vector<int> codes;
        for (int i = 1; i < framesPerBlock; ++i) {
            int target = start + i < pcm.size() ? pcm[start + i] : 0;
            int step = kStep[index], diff = target - predicted, code = 0;
            if (diff < 0) {
                code = 8;
                diff = -diff;
            }
            int delta = step >> 3;
            if (diff >= step) { code |= 4; diff -= step; delta += step; }
            if (diff >= step >> 1) { code |= 2; diff -= step >> 1; delta += step >> 1; }
            if (diff >= step >> 2) { code |= 1; delta += step >> 2; }
            predicted = std::clamp(predicted + ((code & 8) ? -delta : delta), -32768, 32767);
            index = std::clamp(index + kIndex[code], 0, 88);
            codes.push_back(code);
        }
        for (std::size_t i = 0; i < codes.size(); i += 2)
            out.push_back(static_cast<std::uint8_t>(codes[i] | (codes[i + 1] << 4)));
    }
    return out;
}

double snrDb(const std::vector<std::int16_t>& ref, const std::vector<std::int16_t>& got) {
    double signal = 0, noise = 0;
    for (std::size_t i = 0; i < ref.size(); ++i) {
        signal += double(ref[i]) * ref[i];
        noise += double(ref[i] - got[i]) * (ref[i] - got[i]);
    }
    return 10 * std::log10(signal / std::max(noise, 1.0));
}

TEST(WavDecoder, ImaAdpcmStreamFollowsTheSignal) {
    const int perBlock = 505;  // 256-byte mono blocks
    std::vector<std::int16_t> pcm(perBlock * 4);
    for (std::size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<std::int16_t>(12000 * std::sin(i * 0.05));
    std::vector<std::uint8_t> extra;
    put16(extra, perBlock);
    auto samples = decodeAll(wavFile(fmtBody(0x11, 1, 22050, 256, 4, extra), imaEncode(pcm, perBlock)), nullptr, 1000);
    ASSERT_EQ(samples.size(), pcm.size());
    EXPECT_GT(snrDb(pcm, samples), 25.0);
}

struct Malformed {
    const char* name;
    std::vector<std::uint8_t> file;
};

TEST(WavDecoder, BrokenHeadersAreRefusedWithAReason) {
    auto pcm = pcmWav(8000, 1, 4, [](int, int) { return 1; });
    auto noData = pcm;
    noData.resize(36);
    auto truncatedFmt = pcm;
    truncatedFmt.resize(28);
    std::vector<std::uint8_t> noFmt = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    noFmt.insert(noFmt.end(), pcm.begin() + 36, pcm.end());
    const std::vector<Malformed> cases = {
        {"no fmt chunk", noFmt},
        {"no data chunk", noData},
        {"fmt cut short", truncatedFmt},
        {"0 channels", wavFile(fmtBody(1, 0, 8000, 2, 16), {0, 0})},
        {"rate 0", wavFile(fmtBody(1, 1, 0, 2, 16), {0, 0})},
        {"rate beyond int", wavFile(fmtBody(1, 1, 0xFFFFFFFF, 2, 16), {0, 0})},
        {"block align 0", wavFile(fmtBody(1, 1, 8000, 0, 16), {0, 0})},
        {"block align not a multiple of channels", wavFile(fmtBody(1, 2, 8000, 3, 8), {0, 0, 0})},
        {"integer samples of 5 bytes", wavFile(fmtBody(1, 1, 8000, 5, 40), {0, 0, 0, 0, 0})},
        {"float samples of 2 bytes", wavFile(fmtBody(3, 1, 8000, 2, 16), {0, 0})},
        {"unknown coding", wavFile(fmtBody(0x1234, 1, 8000, 2, 16), {0, 0})},
        {"IMA ADPCM of 3 bits", wavFile(fmtBody(0x11, 1, 8000, 8, 3), std::vector<std::uint8_t>(8))},
        {"IMA ADPCM block too small", wavFile(fmtBody(0x11, 2, 8000, 8, 4), std::vector<std::uint8_t>(8))},
        {"MS ADPCM with 3 channels", wavFile(fmtBody(2, 3, 8000, 64, 4), std::vector<std::uint8_t>(64))},
        {"MS ADPCM block too small", wavFile(fmtBody(2, 1, 8000, 7, 4), std::vector<std::uint8_t>(7))},
        {"extensible too short", wavFile(fmtBody(0xFFFE, 1, 8000, 2, 16, {1, 2}), {0, 0})},
        {"not RIFF", std::vector<std::uint8_t>(64, 'x')},
    };
    for (const Malformed& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(WavDecoder::open(std::make_shared<const std::vector<std::uint8_t>>(c.file)),
                     platform::UnsupportedAudioFile);
    }
}

TEST(WavDecoder, DamagedDataPlaysWhatIsThere) {
    // Data length claims more than the file holds; the last frame is half.
    auto file = pcmWav(8000, 2, 10, [](int f, int) { return f; });
    file.resize(file.size() - 6);
    EXPECT_EQ(decodeAll(file).size(), 2u * 8);

    // An MS ADPCM block naming a predictor beyond the table ends the sound.
    std::vector<std::uint8_t> extra;
    put16(extra, 4);
    put16(extra, 0);
    std::vector<std::uint8_t> blocks = {0, 16, 0, 1, 0, 2, 0, 0x11, 9, 16, 0, 1, 0, 2, 0, 0x11};
    EXPECT_EQ(decodeAll(wavFile(fmtBody(2, 1, 8000, 8, 4, extra), blocks)).size(), 4u);

    // Codes that keep growing the MS ADPCM step stay in range.
    std::vector<std::uint8_t> loud = {0, 0xFF, 0x7F, 0xFF, 0x7F, 0xFF, 0x7F};
    loud.resize(256, 0x88);
    auto samples = decodeAll(wavFile(fmtBody(2, 1, 8000, 256, 4), loud));
    EXPECT_EQ(samples.size(), 2u + 2 * 249);
}

}  // namespace
