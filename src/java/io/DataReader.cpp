#include "java/io/DataReader.h"

#include "java/io/ModifiedUtf8.h"
#include "java/lang/Exceptions.h"

namespace java::io {

const std::uint8_t* DataReader::take(std::size_t n) {
    if (n > remaining()) {
        throw EOFException("need " + std::to_string(n) + " bytes at offset " + std::to_string(pos_) + ", " +
                           std::to_string(remaining()) + " left");
    }
    const std::uint8_t* p = bytes_.data() + pos_;
    pos_ += n;
    return p;
}

std::int8_t DataReader::readByte() { return static_cast<std::int8_t>(*take(1)); }

std::uint8_t DataReader::readUnsignedByte() { return *take(1); }

std::int16_t DataReader::readShort() { return static_cast<std::int16_t>(readUnsignedShort()); }

std::uint16_t DataReader::readUnsignedShort() {
    const std::uint8_t* p = take(2);
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

std::int32_t DataReader::readInt() {
    const std::uint8_t* p = take(4);
    const std::uint32_t v = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                            (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
    return static_cast<std::int32_t>(v);
}

std::span<const std::uint8_t> DataReader::readFully(std::size_t n) { return {take(n), n}; }

std::string DataReader::readUTF() {
    const std::size_t start = pos_;
    const std::size_t length = readUnsignedShort();
    if (length > remaining()) {
        pos_ = start;
        take(2 + length);  // throws with the whole string's size
    }
    // Decode before consuming so that a malformed string leaves the
    // position at its start, like a short one.
    std::string text = ModifiedUtf8::decode(bytes_.subspan(pos_, length));
    pos_ += length;
    return text;
}

}  // namespace java::io
