// What the spine needs of a font for softkey labels: its height, the width
// of a text and drawing it. The game's bitmap fonts implement it.
#pragma once

#include <string_view>

namespace javax::microedition::lcdui {
class Graphics;
}

namespace game {

class GameFont {
public:
    virtual ~GameFont() = default;
    virtual int height() const = 0;
    virtual int stringWidth(std::string_view text) const = 0;
    // anchor as for Graphics::drawString.
    virtual void drawString(javax::microedition::lcdui::Graphics& g, std::string_view text, int x, int y,
                            int anchor) const = 0;
};

}  // namespace game
