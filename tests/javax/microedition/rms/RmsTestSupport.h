// Helpers for the record-store tests: a fresh working directory per test
// (rms.dat lives in the working directory), whole-file access and a byte
// builder for hand-written files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace rms_test {

using Bytes = std::vector<std::uint8_t>;

// Makes a fresh temporary directory the working directory for its life.
class TempWorkingDir {
public:
    TempWorkingDir() : previous_(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "rms-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        std::filesystem::current_path(path_);
    }
    ~TempWorkingDir() {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempWorkingDir(const TempWorkingDir&) = delete;
    TempWorkingDir& operator=(const TempWorkingDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

inline Bytes readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::filesystem::path& p, const Bytes& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Appends big-endian fields; written independently of the code under test.
class FileBuilder {
public:
    FileBuilder& u8(int v) {
        bytes_.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    FileBuilder& be16(int v) { return u8(v >> 8).u8(v); }
    FileBuilder& be32(std::int64_t v) { return u8(static_cast<int>(v >> 24)).u8(static_cast<int>(v >> 16)).be16(static_cast<int>(v)); }
    FileBuilder& raw(const Bytes& b) {
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    // Only for ASCII text, whose modified UTF-8 is the text itself.
    FileBuilder& ascii(std::string_view s) {
        be16(static_cast<int>(s.size()));
        for (char c : s) u8(c);
        return *this;
    }
    FileBuilder& header(std::int64_t storeCount) { return ascii("TKEMURMS").be32(0).be32(storeCount); }
    FileBuilder& record(const Bytes& data) { return be32(static_cast<std::int64_t>(data.size())).raw(data); }
    FileBuilder& trailer() { return ascii("FIN!"); }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

}  // namespace rms_test
