#include "java/io/InputStream.h"

#include <algorithm>
#include <cstring>

#include "java/lang/Exceptions.h"

namespace java::io {

namespace {

void checkRange(std::size_t size, int off, int len) {
    if (off < 0 || len < 0 || static_cast<std::int64_t>(off) + len > static_cast<std::int64_t>(size))
        throw java::lang::IndexOutOfBoundsException();
}

}  // namespace

int InputStream::read(std::span<std::uint8_t> b, int off, int len) {
    checkRange(b.size(), off, len);
    if (len == 0) return 0;
    int n = 0;
    for (; n < len; ++n) {
        const int c = read();
        if (c < 0) break;
        b[off + n] = static_cast<std::uint8_t>(c);
    }
    return n == 0 ? -1 : n;
}

int ByteArrayInputStream::read() { return pos_ < bytes_.size() ? bytes_[pos_++] : -1; }

int ByteArrayInputStream::read(std::span<std::uint8_t> b, int off, int len) {
    checkRange(b.size(), off, len);
    if (len == 0) return 0;
    if (pos_ >= bytes_.size()) return -1;
    const std::size_t n = std::min<std::size_t>(len, bytes_.size() - pos_);
    std::memcpy(b.data() + off, bytes_.data() + pos_, n);
    pos_ += n;
    return static_cast<int>(n);
}

}  // namespace java::io
