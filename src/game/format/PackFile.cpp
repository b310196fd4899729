#include "game/format/PackFile.h"

#include <cstdio>

#include "java/io/DataReader.h"
#include "java/io/DataWriter.h"
#include "java/lang/Exceptions.h"

namespace game::format {

namespace {

std::uint32_t be32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) |
           std::uint32_t{b[at + 3]};
}

}  // namespace

std::string PackFile::idText(std::int32_t id) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", static_cast<unsigned>(id));
    return buf;
}

std::vector<std::uint8_t> PackFile::write(const std::vector<std::vector<std::uint8_t>>& entries) {
    std::uint64_t total = 8 + 4 * std::uint64_t{entries.size()};
    for (const auto& e : entries) total += e.size();
    if (total > 0x7FFFFFFF) throw java::lang::IllegalArgumentException("pack of " + std::to_string(total) + " bytes");
    java::io::DataWriter out(static_cast<std::size_t>(total));
    out.writeInt(static_cast<std::int32_t>(total));
    out.writeInt(static_cast<std::int32_t>(entries.size()));
    std::uint64_t at = 8 + 4 * std::uint64_t{entries.size()};
    for (const auto& e : entries) {
        out.writeInt(static_cast<std::int32_t>(at));
        at += e.size();
    }
    for (const auto& e : entries) out.write(e);
    return out.take();
}

PackFile::PackFile(std::string name, std::vector<std::uint8_t> bytes) : name_(std::move(name)), bytes_(std::move(bytes)) {
    using java::io::IOException;
    if (bytes_.size() < 8) throw IOException("pack " + name_ + ": " + std::to_string(bytes_.size()) + " bytes, no header");
    const std::uint32_t length = be32(bytes_, 0);
    if (length != bytes_.size()) {
        throw IOException("pack " + name_ + ": header says " + std::to_string(length) + " bytes, file has " +
                          std::to_string(bytes_.size()));
    }
    const std::uint32_t count = be32(bytes_, 4);
    if (count > (bytes_.size() - 8) / 4) {
        throw IOException("pack " + name_ + ": offset table of " + std::to_string(count) + " entries runs past the file");
    }
    offsets_.resize(count);
    const std::uint32_t tableEnd = 8 + 4 * count;
    std::uint32_t previous = tableEnd;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t at = be32(bytes_, 8 + 4 * std::size_t{i});
        if (at < previous || at > length) {
            throw IOException("pack " + name_ + ": entry " + idText(static_cast<std::int32_t>(i)) + " starts at " +
                              std::to_string(at) + ", outside " + std::to_string(previous) + ".." +
                              std::to_string(length));
        }
        offsets_[i] = previous = at;
    }
}

std::span<const std::uint8_t> PackFile::entry(int i) const {
    if (i < 0 || i >= count()) {
        throw java::lang::ArrayIndexOutOfBoundsException("pack " + name_ + ": entry " + idText(i) + " of " +
                                                         std::to_string(count()));
    }
    const std::size_t begin = offsets_[static_cast<std::size_t>(i)];
    const std::size_t end = i + 1 < count() ? offsets_[static_cast<std::size_t>(i) + 1] : bytes_.size();
    return std::span<const std::uint8_t>(bytes_).subspan(begin, end - begin);
}

std::vector<std::uint8_t> TextEntry::encode(std::string_view text) {
    java::io::DataWriter out(text.size() + 2);
    out.writeUTF(text);
    return out.take();
}

std::string TextEntry::decode(std::span<const std::uint8_t> entry) {
    java::io::DataReader in(entry);
    return in.readUTF();
}

}  // namespace game::format
