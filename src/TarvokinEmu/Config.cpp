#include "TarvokinEmu/Config.h"

namespace TarvokinEmu {

Config& config() {
    static Config store;
    return store;
}

}  // namespace TarvokinEmu
