// The record-store file: every store of the process in one image.
//
//   string "TKEMURMS"   magic, never compared when read
//   int    0            reserved, ignored when read
//   int    N            number of stores (N <= 0: none)
//   N times:
//     string name
//     u8     count      highest record ID handed out, 0..254
//     count times (IDs 1..count): int length, then that many bytes
//   string "FIN!"       trailer, never read
//
// Integers are big-endian, strings a 16-bit byte count and modified UTF-8.
// A deleted record is stored with length 0. Parsing and serialising are
// pure so that tools can inspect any file without touching the live table.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace javax::microedition::rms {

class RecordStoreFile {
public:
    RecordStoreFile() = delete;

    static constexpr int kMaxStores = 128;
    // The count byte could say 255, but the table keeps IDs 1..254 only.
    static constexpr int kMaxRecords = 254;
    static constexpr const char* kFileName = "rms.dat";

    using Record = std::vector<std::uint8_t>;
    struct Store {
        std::string name;
        std::vector<Record> records;  // record ID i is records[i - 1]
        bool operator==(const Store&) const = default;
    };

    // Stores in file order. Throws java::io::IOException (EOFException and
    // UTFDataFormatException among them) naming what is wrong and where.
    static std::vector<Store> parse(std::span<const std::uint8_t> bytes);

    // The file image of the stores in the given order. Throws
    // java::io::UTFDataFormatException for a name longer than 65535 bytes
    // encoded. Preconditions: at most kMaxStores stores, at most
    // kMaxRecords records each.
    static std::vector<std::uint8_t> serialize(std::span<const Store* const> stores);
    static std::vector<std::uint8_t> serialize(const std::vector<Store>& stores);

    struct FileContents {
        enum class Status { Missing, Unreadable, Read };
        Status status = Status::Missing;
        std::vector<std::uint8_t> bytes;
        std::string error;  // why it is missing or unreadable
    };
    static FileContents emuReadWholeFile(const std::string& path);

    // Writes path + ".tmp", flushes it to the disk and renames it over
    // path, so that a crash at any moment leaves either the old or the new
    // file whole. Throws java::io::IOException.
    static void writeAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

    // Renames path to path + ".bad", replacing an older one. Returns false
    // when path does not exist; throws java::io::IOException when it
    // exists but cannot be moved.
    static bool moveAside(const std::string& path);
};

}  // namespace javax::microedition::rms
