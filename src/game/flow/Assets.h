// The screens' reads of texts, pictures and sprites from the packs. A
// missing entry never stops the game: the screen goes on without it, and
// the first miss of each id is reported on standard output.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/SpriteSheet.h"

namespace javax::microedition::lcdui {
class Image;
}

namespace game::flow {

class Assets {
public:
    using Image = javax::microedition::lcdui::Image;

    struct State {
        std::set<std::int64_t> reported;
    };
    static State& state();

    // "" when missing.
    static std::string text(int id);
    // A PNG entry; null when missing or undecodable.
    static std::shared_ptr<Image> image(int id);
    // The picture of a descriptor entry; null when missing.
    static std::shared_ptr<Image> descriptorImage(int id);
    // A sprite of one animation, or of several; an animation that does not
    // load keeps its place empty (and draws nothing).
    static std::shared_ptr<SpriteSheet> sprite(std::int32_t id, bool forever);
    static std::shared_ptr<SpriteSheet> sprite(const std::vector<std::int32_t>& ids, bool forever);

private:
    static void reportOnce(const char* kind, std::int64_t id, const std::string& why);
};

}  // namespace game::flow
