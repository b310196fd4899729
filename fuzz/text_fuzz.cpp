// Text entries: a length and modified UTF-8; whatever decodes must encode
// back to a string that decodes the same.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "game/format/PackFile.h"
#include "java/lang/Throwable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text;
    try {
        text = game::format::TextEntry::decode(std::span(data, size));
    } catch (const java::lang::Throwable&) {
        return 0;
    }
    if (game::format::TextEntry::decode(game::format::TextEntry::encode(text)) != text) __builtin_trap();
    return 0;
}
