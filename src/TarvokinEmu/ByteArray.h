// In-memory byte reader with a position and a byte order: the input of
// PNGReader. Reads past the end raise java::io::EOFException.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace TarvokinEmu {

class ByteArray {
public:
    enum ByteOrder : int { BigEndian = 0, LittleEndian = 1 };

    ByteArray() = default;
    explicit ByteArray(std::vector<std::uint8_t> data) : data_(std::move(data)) {}
    ByteArray(const std::uint8_t* data, std::size_t length) : data_(data, data + length) {}

    // Position 0, big-endian.
    void reset();

    std::int8_t readByte();
    // Four bytes in the current byte order.
    std::int32_t readInt();
    // Eight bytes, always big-endian.
    std::int64_t readLong();

    const std::vector<std::uint8_t>& getData() const { return data_; }
    int getPosition() const { return position_; }
    int length() const { return static_cast<int>(data_.size()); }
    // Any value from 0 to the length.
    void setPosition(int position);

    int getByteOrder() const { return byteOrder_; }
    void setByteOrder(int order) { byteOrder_ = order; }

    // The bytes from the position on, without moving it; at least count of
    // them must remain (EOFException otherwise).
    std::span<const std::uint8_t> peek(int count) const;

private:
    void require(std::int64_t count) const;

    std::vector<std::uint8_t> data_;
    int position_ = 0;
    int byteOrder_ = BigEndian;
};

}  // namespace TarvokinEmu
