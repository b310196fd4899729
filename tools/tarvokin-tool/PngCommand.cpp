// tarvokin-tool png: decodes a file with the runtime's PNG decoder.
//   png FILE [--out FILE.pam]
// Prints "width W", "height H" and "opaque true|false", or the decoder's
// exception (class and message) with exit status 1. --out writes the ARGB
// pixels as a PAM file (TUPLTYPE RGB_ALPHA, bytes R G B A).
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "TarvokinEmu/ByteArray.h"
#include "TarvokinEmu/PNGReader.h"
#include "ToolCommand.h"
#include "java/lang/Throwable.h"

namespace {

bool writePam(const std::string& path, const platform::Picture& picture) {
    std::ofstream out(path, std::ios::binary);
    out << "P7\nWIDTH " << picture.width << "\nHEIGHT " << picture.height
        << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    std::vector<char> bytes;
    bytes.reserve(picture.pixels.size() * 4);
    for (std::uint32_t p : picture.pixels)
        bytes.insert(bytes.end(), {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p),
                                   static_cast<char>(p >> 24)});
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

int run(const tool::Args& args) {
    std::string file, pam;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--out" && i + 1 < args.size()) pam = args[++i];
        else if (file.empty()) file = args[i];
        else file.clear(), i = args.size();
    }
    if (file.empty()) {
        std::fprintf(stderr, "usage: tarvokin-tool png FILE [--out FILE.pam]\n");
        return 2;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "tarvokin-tool png: cannot read %s\n", file.c_str());
        return 2;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    platform::Picture picture;
    try {
        TarvokinEmu::ByteArray data(std::move(bytes));
        data.reset();
        picture = TarvokinEmu::PNGReader().read(data);
    } catch (const java::lang::Throwable& e) {
        std::cout << e.toString() << std::endl;
        return 1;
    }
    std::cout << "width " << picture.width << "\nheight " << picture.height << "\nopaque "
              << (picture.opaque ? "true" : "false") << std::endl;
    if (!pam.empty() && !writePam(pam, picture)) {
        std::fprintf(stderr, "tarvokin-tool png: cannot write %s\n", pam.c_str());
        return 2;
    }
    return 0;
}

const bool registered = tool::registerCommand({"png", "  tarvokin-tool png FILE [--out FILE.pam]\n", &run});

}  // namespace
