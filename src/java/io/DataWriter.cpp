#include "java/io/DataWriter.h"

#include <string>

#include "java/io/ModifiedUtf8.h"
#include "java/lang/Exceptions.h"

namespace java::io {

void DataWriter::writeShort(int v) {
    writeByte(v >> 8);
    writeByte(v);
}

void DataWriter::writeInt(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    writeByte(static_cast<int>(u >> 24));
    writeByte(static_cast<int>(u >> 16));
    writeByte(static_cast<int>(u >> 8));
    writeByte(static_cast<int>(u));
}

void DataWriter::writeUTF(std::string_view text) {
    const std::vector<std::uint8_t> encoded = ModifiedUtf8::encode(text);
    if (encoded.size() > 0xFFFF) {
        throw UTFDataFormatException("encoded string too long: " + std::to_string(encoded.size()) + " bytes");
    }
    writeShort(static_cast<int>(encoded.size()));
    write(encoded);
}

}  // namespace java::io
