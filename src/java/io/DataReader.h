// Reads big-endian integers and modified-UTF-8 strings from a byte span.
// Every read is bounds-checked: running past the end throws EOFException
// and leaves the position where it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace java::io {

class DataReader {
public:
    explicit DataReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return bytes_.size() - pos_; }

    std::int8_t readByte();
    std::uint8_t readUnsignedByte();
    std::int16_t readShort();
    std::uint16_t readUnsignedShort();
    std::int32_t readInt();
    // The next n bytes as a view into the reader's span.
    std::span<const std::uint8_t> readFully(std::size_t n);
    // A 16-bit byte count, then that many bytes of modified UTF-8.
    std::string readUTF();

private:
    const std::uint8_t* take(std::size_t n);

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

}  // namespace java::io
