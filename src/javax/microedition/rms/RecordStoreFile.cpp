#include "javax/microedition/rms/RecordStoreFile.h"

#include <cassert>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "java/io/DataReader.h"
#include "java/io/DataWriter.h"
#include "java/io/ModifiedUtf8.h"
#include "java/lang/Exceptions.h"

namespace javax::microedition::rms {

namespace {

using java::io::DataReader;
using java::io::DataWriter;
using java::io::EOFException;
using java::io::IOException;
using java::io::UTFDataFormatException;

constexpr const char* kMagic = "TKEMURMS";
constexpr const char* kTrailer = "FIN!";

std::string errnoText(int e) { return std::error_code(e, std::generic_category()).message(); }

// Runs step and prefixes the message of a short or malformed read with
// where it happened; the exception keeps its class.
template <typename F>
auto withContext(const std::string& where, F&& step) {
    try {
        return step();
    } catch (const EOFException& e) {
        throw EOFException(where + ": " + e.getMessage());
    } catch (const UTFDataFormatException& e) {
        throw UTFDataFormatException(where + ": " + e.getMessage());
    }
}

std::string storeLabel(int index, const std::string* name) {
    std::string s = "store " + std::to_string(index);
    if (name) s += " \"" + *name + "\"";
    return s;
}

RecordStoreFile::Store parseStore(DataReader& in, int index) {
    RecordStoreFile::Store store;
    store.name = withContext(storeLabel(index, nullptr) + " name", [&] { return in.readUTF(); });
    // Raw 00 bytes are read but written back as C0 80; a name that then no
    // longer fits would make every later save fail.
    if (const std::size_t length = java::io::ModifiedUtf8::encodedLength(store.name); length > 0xFFFF) {
        throw UTFDataFormatException(storeLabel(index, nullptr) + " name: " + std::to_string(length) +
                                     " bytes once written back, at most 65535");
    }
    const std::string label = storeLabel(index, &store.name);
    const int count = withContext(label + " record count", [&] { return in.readUnsignedByte(); });
    if (count > RecordStoreFile::kMaxRecords) {
        throw IOException(label + ": record count " + std::to_string(count) + " at offset " +
                          std::to_string(in.position() - 1) + ", at most " +
                          std::to_string(RecordStoreFile::kMaxRecords) + " fit");
    }
    store.records.reserve(count);
    for (int id = 1; id <= count; ++id) {
        const std::string where = label + " record " + std::to_string(id);
        const std::int32_t length = withContext(where + " length", [&] { return in.readInt(); });
        if (length < 0) {
            throw IOException(where + ": negative length " + std::to_string(length) + " at offset " +
                              std::to_string(in.position() - 4));
        }
        auto data = withContext(where + " data", [&] { return in.readFully(static_cast<std::size_t>(length)); });
        store.records.emplace_back(data.begin(), data.end());
    }
    return store;
}

}  // namespace

std::vector<RecordStoreFile::Store> RecordStoreFile::parse(std::span<const std::uint8_t> bytes) {
    DataReader in(bytes);
    withContext("magic", [&] { return in.readUTF(); });
    withContext("reserved word", [&] { return in.readInt(); });
    const std::int32_t n = withContext("store count", [&] { return in.readInt(); });
    if (n > kMaxStores) {
        throw IOException("store count " + std::to_string(n) + ", at most " + std::to_string(kMaxStores) +
                          " fit");
    }
    std::vector<Store> stores;
    if (n > 0) stores.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) stores.push_back(parseStore(in, i));
    // Whatever follows (normally the trailer) is not looked at.
    return stores;
}

std::vector<std::uint8_t> RecordStoreFile::serialize(std::span<const Store* const> stores) {
    assert(stores.size() <= static_cast<std::size_t>(kMaxStores));
    DataWriter out;
    out.writeUTF(kMagic);
    out.writeInt(0);
    out.writeInt(static_cast<std::int32_t>(stores.size()));
    for (const Store* store : stores) {
        assert(store->records.size() <= static_cast<std::size_t>(kMaxRecords));
        out.writeUTF(store->name);
        out.writeByte(static_cast<int>(store->records.size()));
        for (const Record& record : store->records) {
            assert(record.size() <= 0x7FFFFFFFu);
            out.writeInt(static_cast<std::int32_t>(record.size()));
            out.write(record);
        }
    }
    out.writeUTF(kTrailer);
    return out.take();
}

std::vector<std::uint8_t> RecordStoreFile::serialize(const std::vector<Store>& stores) {
    std::vector<const Store*> order;
    order.reserve(stores.size());
    for (const Store& s : stores) order.push_back(&s);
    return serialize(order);
}

RecordStoreFile::FileContents RecordStoreFile::emuReadWholeFile(const std::string& path) {
    FileContents result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        result.status = errno == ENOENT ? FileContents::Status::Missing : FileContents::Status::Unreadable;
        result.error = path + ": " + errnoText(errno);
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) result.bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            result.status = FileContents::Status::Unreadable;
            result.error = path + ": " + errnoText(errno);
            result.bytes.clear();
            ::close(fd);
            return result;
        }
        result.bytes.insert(result.bytes.end(), chunk, chunk + got);
    }
    ::close(fd);
    result.status = FileContents::Status::Read;
    return result;
}

void RecordStoreFile::writeAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::string tmp = path + ".tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw IOException(tmp + ": " + errnoText(errno));
    auto fail = [&](const char* what) {
        const int e = errno;
        ::close(fd);
        ::unlink(tmp.c_str());
        throw IOException(tmp + ": " + what + ": " + errnoText(e));
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            fail("write");
        }
        done += static_cast<std::size_t>(put);
    }
    if (::fsync(fd) != 0) fail("fsync");
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(tmp.c_str());
        throw IOException(tmp + ": close: " + errnoText(e));
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        const int e = errno;
        ::unlink(tmp.c_str());
        throw IOException("rename " + tmp + " to " + path + ": " + errnoText(e));
    }
    // Makes the rename itself durable; the data are safe either way.
    std::string dir = std::filesystem::path(path).parent_path().string();
    if (dir.empty()) dir = ".";
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

bool RecordStoreFile::moveAside(const std::string& path) {
    const std::string bad = path + ".bad";
    if (::rename(path.c_str(), bad.c_str()) == 0) return true;
    if (errno == ENOENT) return false;
    throw IOException("rename " + path + " to " + bad + ": " + errnoText(errno));
}

}  // namespace javax::microedition::rms
