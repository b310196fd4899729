#include "platform/Inflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace platform {

namespace {

// The checks zlib makes on a zlib header. They are done here because the
// body is inflated raw, which spares computing the Adler-32 nobody reads.
bool validZlibHeader(std::uint8_t cmf, std::uint8_t flg) {
    if ((cmf & 0x0F) != Z_DEFLATED) return false;
    if ((cmf >> 4) + 8 > 15) return false;
    if ((static_cast<unsigned>(cmf) << 8 | flg) % 31 != 0) return false;
    return (flg & 0x20) == 0;  // a preset dictionary is never supplied
}

}  // namespace

struct ZlibInflater::State {
    z_stream z{};
    bool open = false;
};

ZlibInflater::ZlibInflater(std::span<const std::uint8_t> in) : state_(std::make_unique<State>()), in_(in) {}

ZlibInflater::~ZlibInflater() {
    if (state_->open) inflateEnd(&state_->z);
}

std::size_t ZlibInflater::fill(std::span<std::uint8_t> out) {
    if (failed_) return 0;
    if (out.empty()) return 0;
    z_stream& z = state_->z;
    if (!started_) {
        started_ = true;
        if (in_.size() < 2 || !validZlibHeader(in_[0], in_[1]) || inflateInit2(&z, -MAX_WBITS) != Z_OK) {
            failed_ = true;
            return 0;
        }
        state_->open = true;
        in_ = in_.subspan(2);
    }
    z.next_out = out.data();
    std::size_t outLeft = out.size();
    for (;;) {
        // zlib counts in uInt; very large buffers go in slices.
        const uInt inChunk = static_cast<uInt>(std::min<std::size_t>(in_.size(), UINT_MAX));
        const uInt outChunk = static_cast<uInt>(std::min<std::size_t>(outLeft, UINT_MAX));
        z.next_in = const_cast<Bytef*>(in_.data());
        z.avail_in = inChunk;
        z.avail_out = outChunk;
        const int rc = inflate(&z, Z_NO_FLUSH);
        const std::size_t consumed = inChunk - z.avail_in, written = outChunk - z.avail_out;
        in_ = in_.subspan(consumed);
        outLeft -= written;
        if (outLeft == 0) break;
        if (rc == Z_OK && (consumed != 0 || written != 0)) continue;
        failed_ = true;  // stream end, corrupt data, or input exhausted
        break;
    }
    return out.size() - outLeft;
}

std::vector<std::uint8_t> deflateZlib(std::span<const std::uint8_t> in, int level) {
    uLongf len = compressBound(static_cast<uLong>(in.size()));
    std::vector<std::uint8_t> out(len);
    if (compress2(out.data(), &len, in.data(), static_cast<uLong>(in.size()), level) != Z_OK) return {};
    out.resize(len);
    return out;
}

std::uint32_t crc32(std::uint32_t crc, std::span<const std::uint8_t> data) {
    return static_cast<std::uint32_t>(::crc32_z(crc, data.data(), data.size()));
}

}  // namespace platform
