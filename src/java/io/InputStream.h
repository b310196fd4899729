// Byte input streams: the abstract stream and one over bytes in memory.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace java::io {

class InputStream {
public:
    virtual ~InputStream() = default;

    // The next byte 0..255, or -1 at the end.
    virtual int read() = 0;
    // Up to len bytes into b[off..]; the count read, or -1 at the end.
    // Throws java::lang::IndexOutOfBoundsException for a bad range.
    virtual int read(std::span<std::uint8_t> b, int off, int len);
    // How many bytes can be read without blocking.
    virtual int available() { return 0; }
    virtual void close() {}
};

class ByteArrayInputStream : public InputStream {
public:
    explicit ByteArrayInputStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    int read() override;
    int read(std::span<std::uint8_t> b, int off, int len) override;
    int available() override { return static_cast<int>(bytes_.size() - pos_); }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

}  // namespace java::io
