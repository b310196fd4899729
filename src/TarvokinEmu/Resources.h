// The program's resources: files in the working directory first, then in
// the resource space, the folder the executable lives in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace TarvokinEmu {

// A resource's bytes. Null when the file exists but cannot be read; raises
// java::io::IOException when the name is found nowhere.
std::optional<std::vector<std::uint8_t>> readResource(const std::string& name);
// A file relative to the working directory; null when it cannot be read.
std::optional<std::vector<std::uint8_t>> readFileFromWorkingDir(const std::string& name);
// The resource space (where the executable is, unless set).
const std::string& resourceDir();
void setResourceDir(std::string dir);

}  // namespace TarvokinEmu
