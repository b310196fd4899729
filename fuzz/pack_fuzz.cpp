// Pack files: the header and offset table of untrusted bytes, then every
// entry they promise.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/format/PackFile.h"
#include "java/lang/Throwable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const game::format::PackFile pack("r1", std::vector<std::uint8_t>(data, data + size));
        std::size_t total = 0;
        for (int i = 0; i < pack.count(); ++i) total += pack.entry(i).size();
        if (total > size) __builtin_trap();
        pack.entry(pack.count());
    } catch (const java::lang::Throwable&) {
    }
    return 0;
}
