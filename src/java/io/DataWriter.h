// Builds a byte image of big-endian integers and modified-UTF-8 strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace java::io {

class DataWriter {
public:
    explicit DataWriter(std::size_t initialCapacity = 32) { bytes_.reserve(initialCapacity); }

    void writeByte(int v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
    void writeShort(int v);
    void writeInt(std::int32_t v);
    void write(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
    // A 16-bit byte count, then the text in modified UTF-8. Throws
    // UTFDataFormatException when the encoding exceeds 65535 bytes (nothing
    // is written then).
    void writeUTF(std::string_view text);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace java::io
