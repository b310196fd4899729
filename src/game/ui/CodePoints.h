// UTF-8 text as characters with their byte spans, so that texts are
// measured and cut by character, never inside one. A byte that does not
// start a valid sequence stands for itself, so damaged text still measures
// and draws.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace game {

class CodePoints {
public:
    struct Char {
        char32_t code;
        std::uint32_t begin, end;  // bytes [begin, end) of the text
    };
    static std::vector<Char> of(std::string_view text);
};

}  // namespace game
