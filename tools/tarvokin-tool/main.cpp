// tarvokin-tool: diagnostics for the runtime's file formats and subsystems.
#include <cstdio>
#include <exception>
#include <map>
#include <string>

#include "ToolCommand.h"

namespace tool {

static std::map<std::string, ToolCommand>& commands() {
    static std::map<std::string, ToolCommand> all;
    return all;
}

bool registerCommand(const ToolCommand& command) {
    commands()[command.name] = command;
    return true;
}

}  // namespace tool

static int usage(std::FILE* to, int status) {
    std::fprintf(to, "usage:\n");
    for (auto& [name, c] : tool::commands()) std::fprintf(to, "%s", c.usage);
    return status;
}

int main(int argc, char** argv) {
    if (argc < 2) return usage(stderr, 2);
    if (std::string(argv[1]) == "--help") return usage(stdout, 0);
    auto it = tool::commands().find(argv[1]);
    if (it == tool::commands().end()) {
        std::fprintf(stderr, "tarvokin-tool: unknown command %s\n", argv[1]);
        return usage(stderr, 2);
    }
    tool::Args args(argv + 2, argv + argc);
    try {
        return it->second.run(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvokin-tool %s: %s\n", argv[1], e.what());
        return 1;
    }
}
