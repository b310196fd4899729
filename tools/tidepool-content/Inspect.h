// The inspection sub-commands; throws std::invalid_argument for a command
// or arguments it does not know.
#pragma once

#include <string>
#include <vector>

#include "Content.h"

namespace content {

int inspect(const std::string& command, const std::vector<std::string>& args, const fs::path& dataDir);

}  // namespace content
