#include "TarvokinEmu/ByteArray.h"

#include "java/lang/Exceptions.h"

namespace TarvokinEmu {

void ByteArray::reset() {
    position_ = 0;
    byteOrder_ = BigEndian;
}

void ByteArray::require(std::int64_t count) const {
    if (count < 0 || position_ + count > static_cast<std::int64_t>(data_.size())) throw java::io::EOFException();
}

std::int8_t ByteArray::readByte() {
    require(1);
    return static_cast<std::int8_t>(data_[position_++]);
}

std::int32_t ByteArray::readInt() {
    require(4);
    const std::uint8_t* p = data_.data() + position_;
    position_ += 4;
    std::uint32_t v = byteOrder_ == LittleEndian
                          ? std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                                std::uint32_t(p[3]) << 24
                          : std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
                                std::uint32_t(p[3]);
    return static_cast<std::int32_t>(v);
}

std::int64_t ByteArray::readLong() {
    require(8);
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = v << 8 | data_[position_ + i];
    position_ += 8;
    return static_cast<std::int64_t>(v);
}

void ByteArray::setPosition(int position) {
    if (position < 0 || position > static_cast<std::int64_t>(data_.size())) throw java::io::EOFException();
    position_ = position;
}

std::span<const std::uint8_t> ByteArray::peek(int count) const {
    require(count);
    return {data_.data() + position_, static_cast<std::size_t>(count)};
}

}  // namespace TarvokinEmu
