#include "TarvokinEmu/Resources.h"

#include <filesystem>
#include <fstream>
#include <mutex>

#include "java/lang/Exceptions.h"
#include "platform/Console.h"

namespace TarvokinEmu {

namespace {

struct ResourceSpace {
    std::mutex mutex;
    std::string dir;
};

ResourceSpace& space() {
    static ResourceSpace s;
    return s;
}

// The whole stream; false when reading failed before its end.
bool readAll(std::ifstream& in, std::vector<std::uint8_t>& bytes) {
    char chunk[1024];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) bytes.insert(bytes.end(), chunk, chunk + in.gcount());
    return in.eof() && !in.bad();
}

}  // namespace

const std::string& resourceDir() {
    std::lock_guard lock(space().mutex);
    std::string& dir = space().dir;
    if (dir.empty()) {
        std::error_code ec;
        auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        dir = ec ? std::string(".") : exe.parent_path().string();
#ifdef INSTALLED_DATA_DIR
        // An installed program keeps its data apart from the executable
        // (share/ beside libexec/ under one prefix, wherever that is); a
        // build tree keeps it beside.
        const std::filesystem::path installed = std::filesystem::path(dir) / INSTALLED_DATA_DIR;
        if (!ec && !std::filesystem::exists(std::filesystem::path(dir) / "META-INF/MANIFEST.MF", ec) &&
            std::filesystem::exists(installed / "META-INF/MANIFEST.MF", ec))
            dir = installed.lexically_normal().string();
#endif
    }
    return dir;
}

void setResourceDir(std::string dir) {
    std::lock_guard lock(space().mutex);
    space().dir = std::move(dir);
}

std::optional<std::vector<std::uint8_t>> readFileFromWorkingDir(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    if (!readAll(in, bytes)) return std::nullopt;
    return bytes;
}

std::optional<std::vector<std::uint8_t>> readResource(const std::string& name) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(name, ec)) {
        auto bytes = readFileFromWorkingDir(name);
        if (!bytes) platform::Console::println("Error leyendo: " + name);
        return bytes;
    }
    std::filesystem::path inSpace = std::filesystem::path(resourceDir()) / name;
    if (!name.empty() && std::filesystem::is_regular_file(inSpace, ec)) {
        std::ifstream in(inSpace, std::ios::binary);
        std::vector<std::uint8_t> bytes;
        if (!readAll(in, bytes)) platform::Console::errln("Error getting resource " + name + " from jar.");
        return bytes;
    }
    throw java::io::IOException("Couldn't find file " + name + " from filesystem or classpath.");
}

}  // namespace TarvokinEmu
