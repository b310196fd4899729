// Resource packs: a 4-byte total length, a 4-byte entry count, one 4-byte
// start offset per entry (from the start of the file), then the entries in
// ascending order; entry i ends where entry i + 1 starts, the last one at the
// total length. All integers big-endian.
//
// Text packs hold one string per entry: a 2-byte length and that many bytes
// of modified UTF-8.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace game::format {

class PackFile {
public:
    // Pack and entry of a 32-bit resource id; -1 means none.
    static constexpr int packOf(std::int32_t id) { return static_cast<int>(static_cast<std::uint32_t>(id) >> 16); }
    static constexpr int entryOf(std::int32_t id) { return id & 0xFFFF; }
    static constexpr std::int32_t idOf(int pack, int entry) { return static_cast<std::int32_t>((pack << 16) | entry); }
    // "r3" for binary packs, "l0_3" for text packs.
    static std::string dataPackName(int pack) { return "r" + std::to_string(pack); }
    static std::string textPackName(int pack) { return "l0_" + std::to_string(pack); }
    // "0x30045".
    static std::string idText(std::int32_t id);

    // The whole file for these entries.
    static std::vector<std::uint8_t> write(const std::vector<std::vector<std::uint8_t>>& entries);

    // Checks the header and the offset table of a whole file. Throws
    // java::io::IOException naming the pack for a length that disagrees
    // with the file, a table running past the file, offsets outside the file
    // or out of order.
    PackFile(std::string name, std::vector<std::uint8_t> bytes);

    const std::string& name() const { return name_; }
    int count() const { return static_cast<int>(offsets_.size()); }
    std::size_t size() const { return bytes_.size(); }
    // A view of entry i; ArrayIndexOutOfBoundsException naming the pack and
    // the entry when i is not below count().
    std::span<const std::uint8_t> entry(int i) const;
    std::uint32_t offset(int i) const { return offsets_.at(static_cast<std::size_t>(i)); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::string name_;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::uint32_t> offsets_;
};

class TextEntry {
public:
    // UTF-8 text to an entry: 2-byte length and modified UTF-8. The
    // two-character break mark (backslash, n) is ordinary text here.
    static std::vector<std::uint8_t> encode(std::string_view text);
    // The string of an entry (bytes after it are ignored, as the game reads
    // one string from a stream). Throws java::io::EOFException or
    // UTFDataFormatException.
    static std::string decode(std::span<const std::uint8_t> entry);
};

}  // namespace game::format
