#include "platform/Mp3Decoder.h"

#include <mpg123.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <mutex>

namespace platform {

namespace {

void initLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

// mpg123 reads through these callbacks from the shared bytes.
struct MemoryReader {
    SoundBytes bytes;
    std::size_t begin = 0, end = 0, pos = 0;

    static mpg123_ssize_t read(void* handle, void* out, std::size_t count) {
        auto* r = static_cast<MemoryReader*>(handle);
        std::size_t n = std::min(count, r->end - r->pos);
        std::memcpy(out, r->bytes->data() + r->pos, n);
        r->pos += n;
        return static_cast<mpg123_ssize_t>(n);
    }

    static off_t seek(void* handle, off_t offset, int whence) {
        auto* r = static_cast<MemoryReader*>(handle);
        off_t base = whence == SEEK_SET ? 0
                     : whence == SEEK_CUR ? static_cast<off_t>(r->pos - r->begin)
                     : whence == SEEK_END ? static_cast<off_t>(r->end - r->begin)
                                          : -1;
        if (base < 0) return -1;
        off_t target = base + offset;
        if (target < 0 || target > static_cast<off_t>(r->end - r->begin)) return -1;
        r->pos = r->begin + static_cast<std::size_t>(target);
        return target;
    }
};

class Mp3Source final : public PcmSource {
public:
    Mp3Source(SoundBytes bytes, std::size_t offset, std::size_t length) {
        initLibrary();
        reader_.bytes = std::move(bytes);
        reader_.begin = reader_.pos = offset;
        reader_.end = offset + length;
        int error = MPG123_OK;
        handle_ = mpg123_new(nullptr, &error);
        if (!handle_) throw AudioError(std::string("mpg123: ") + mpg123_plain_strerror(error));
        mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
        // Trim the encoder's delay and padding (recorded in the LAME/Xing
        // header), so a looping tune plays its passes back to back without
        // a gap.
        mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_GAPLESS, 0.0);
        // Always 16-bit; any rate and mono or stereo as the stream has it.
        mpg123_format_none(handle_);
        const long* rates = nullptr;
        std::size_t rateCount = 0;
        mpg123_rates(&rates, &rateCount);
        for (std::size_t i = 0; i < rateCount; ++i)
            mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_replace_reader_handle(handle_, &MemoryReader::read, &MemoryReader::seek, nullptr) != MPG123_OK ||
            mpg123_open_handle(handle_, &reader_) != MPG123_OK ||
            mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 || channels <= 0) {
            mpg123_delete(handle_);
            throw UnsupportedAudioFile("could not get audio input stream from input stream");
        }
        format_ = {static_cast<int>(rate), channels};
    }

    ~Mp3Source() override { mpg123_delete(handle_); }

    const PcmFormat& format() const override { return format_; }
    std::int64_t sourceBytesRead() const override { return consumed_; }

    int read(std::uint8_t* out, int length) override {
        if (ended_) return -1;
        const int frameBytes = format_.frameBytes();
        std::size_t want = static_cast<std::size_t>(length / frameBytes * frameBytes);
        if (want == 0) return 0;
        std::size_t total = 0;
        while (total < want) {
            std::size_t done = 0;
            int result = mpg123_read(handle_, out + total, want - total, &done);
            total += done;
            if (result == MPG123_NEW_FORMAT) {
                long rate = 0;
                int channels = 0, encoding = 0;
                mpg123_getformat(handle_, &rate, &channels, &encoding);
                // The line was opened for the first format; a change ends
                // the sound rather than playing it at the wrong speed.
                if (rate != format_.sampleRate || channels != format_.channels) {
                    ended_ = true;
                    break;
                }
                continue;
            }
            if (result != MPG123_OK) {
                // MPG123_DONE at the end; errors on corrupt data end it too.
                ended_ = true;
                break;
            }
            if (done == 0) {
                ended_ = true;
                break;
            }
        }
        consumed_ = static_cast<std::int64_t>(reader_.pos - reader_.begin);
        total -= total % static_cast<std::size_t>(frameBytes);
        if constexpr (std::endian::native == std::endian::big) {
            for (std::size_t i = 0; i + 1 < total; i += 2) std::swap(out[i], out[i + 1]);
        }
        if (total == 0 && ended_) return -1;
        return static_cast<int>(total);
    }

private:
    mpg123_handle* handle_ = nullptr;
    MemoryReader reader_;
    PcmFormat format_;
    bool ended_ = false;
    std::atomic<std::int64_t> consumed_{0};  // read by other threads
};

}  // namespace

std::unique_ptr<PcmSource> Mp3Decoder::open(SoundBytes bytes, std::size_t offset, std::size_t length) {
    if (!bytes || offset > bytes->size() || length > bytes->size() - offset)
        throw UnsupportedAudioFile("could not get audio input stream from input stream");
    return std::make_unique<Mp3Source>(std::move(bytes), offset, length);
}

std::unique_ptr<PcmSource> Mp3Decoder::open(SoundBytes bytes) {
    std::size_t size = bytes ? bytes->size() : 0;
    return open(std::move(bytes), 0, size);
}

}  // namespace platform
