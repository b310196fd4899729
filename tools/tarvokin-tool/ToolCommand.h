// tarvokin-tool's sub-commands register themselves here, one source file
// each, so that adding one touches no other file.
#pragma once

#include <string>
#include <vector>

namespace tool {

using Args = std::vector<std::string>;

struct ToolCommand {
    const char* name;
    const char* usage;  // one or more lines, without the program name
    int (*run)(const Args& args);  // args after the command name
};

// Returns true so that it can initialise a file-level constant.
bool registerCommand(const ToolCommand& command);

}  // namespace tool
