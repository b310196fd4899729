// A control a player offers (the volume control is the only one here).
#pragma once

namespace javax::microedition::media {

class Control {
public:
    virtual ~Control() = default;
};

}  // namespace javax::microedition::media
