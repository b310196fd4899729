// zlib inflation into exactly sized buffers (the PNG decoder), deflation and
// CRC-32 (writing PNG files). The only users of zlib.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace platform {

// Inflates one zlib-format stream (two-byte header, deflate data) held in
// memory, in as many exact fills as the caller likes: filling a whole buffer
// in one call or row by row gives the same bytes and the same failures.
// The stream's Adler-32 is never read, and nothing after the last byte asked
// for is looked at.
class ZlibInflater {
public:
    // in must outlive the inflater; it is read where it lies.
    explicit ZlibInflater(std::span<const std::uint8_t> in);
    ~ZlibInflater();
    ZlibInflater(const ZlibInflater&) = delete;
    ZlibInflater& operator=(const ZlibInflater&) = delete;

    // Fills out completely and returns out.size(); on a bad header, corrupt
    // data or input ending early returns how many bytes it wrote before
    // that, and every later call returns 0.
    std::size_t fill(std::span<std::uint8_t> out);
    bool failed() const { return failed_; }

private:
    struct State;
    std::unique_ptr<State> state_;
    std::span<const std::uint8_t> in_;
    bool started_ = false;
    bool failed_ = false;
};

// zlib-format deflate of in; empty on failure.
std::vector<std::uint8_t> deflateZlib(std::span<const std::uint8_t> in, int level = 6);

// The standard CRC-32 of PNG chunks, continued from crc (0 to start).
std::uint32_t crc32(std::uint32_t crc, std::span<const std::uint8_t> data);

}  // namespace platform
