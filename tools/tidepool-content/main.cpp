// tidepool-content: compiles the game's data from the sources under assets/
// and inspects built data.
#include <chrono>
#include <cstdlib>
#include <iostream>

#include "Compilers.h"
#include "Data.h"
#include "Inspect.h"
#include "Project.h"
#include "java/lang/Throwable.h"

using namespace content;

// Sanitizer builds run this tool as a build step. GLib, fontconfig and
// librsvg keep process-long caches and threads of their own that the
// sanitizers, not seeing them instrumented, report as leaks or races; the
// tool itself is single-threaded and its parsers are fuzzed separately.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
extern "C" const char* __tsan_default_options() { return "report_bugs=0"; }

namespace {

const char* kUsage =
    "usage:\n"
    "  tidepool-content build ASSETS OUT WORK [DEPFILE STAMP]   compile the packs, p and the manifest into OUT\n"
    "  tidepool-content fonts ASSETS OUT [DEPFILE STAMP]        render the runtime font sets into OUT\n"
    "  tidepool-content tune ASSETS MIDI SOUNDFONT OUT.wav      render a tune's loop pass at the music's loudness\n"
    "  tidepool-content check DIR CATALOGUE                     check built data against a catalogue\n"
    "  tidepool-content list PACK                               entries of a pack: index, id, kind, size\n"
    "  tidepool-content extract ID OUT                          one entry's bytes (text ids: t<number>)\n"
    "  tidepool-content anim ID                                 a decoded animation\n"
    "  tidepool-content anim-sheet ID OUT.png                   an animation's frames side by side\n"
    "  tidepool-content level MAP                               a map of the level file as text\n"
    "  tidepool-content level-png MAP OUT.png                   a map drawn with the tile picture\n"
    "  tidepool-content image RAW_ID SELECTOR FLIP SCALE OUT.png  the game's PNG for a raw picture\n"
    "  tidepool-content render ID OUT.png [PICTURE_ID]          any drawable entry as a PNG (fonts: with their picture)\n"
    "  tidepool-content sound ID|FILE                           length, peak, loudness, loop seam and bands of a sound\n"
    "Inspection reads the data in --data DIR, else $TIDEPOOL_DATA, else the current folder\n"
    "when it holds r1, else the build's resource folder.\n";

int build(const std::vector<std::string>& a) {
    if (a.size() != 3 && a.size() != 5) throw std::invalid_argument("build takes ASSETS OUT WORK [DEPFILE STAMP]");
    const auto t0 = std::chrono::steady_clock::now();
    Project project(a[0], a[2]);
    project.build();
    DataSet data;
    for (const auto& [name, pack] : project.packs()) data.add(game::format::PackFile(name, game::format::PackFile::write(pack.entries)));
    const fs::path catalogue = project.assets() / stringAt(project.config(), "catalogue");
    const Value catalogueDoc = parseToml(catalogue, project.deps());
    auto problems = checkCatalogue(data, catalogueDoc);
    if (const Value* m = lookup(catalogueDoc, "manifest")) {
        const std::string want = stringAt(*m, "class");
        const std::string got = manifestClass(project.files().at("META-INF/MANIFEST.MF"));
        if (got != want) problems.push_back("the manifest names the class \"" + got + "\", the program starts " + want);
    }
    if (!problems.empty()) {
        std::cerr << "tidepool-content: the data does not satisfy " << catalogue.string() << ":\n";
        for (const auto& p : problems) std::cerr << "  " << p << "\n";
        return 1;
    }
    const fs::path out = a[1];
    std::size_t total = 0;
    for (const auto& [name, pack] : data.packs()) {
        writeFile(out / name, pack.bytes());
        total += pack.size();
    }
    for (const auto& [name, bytes] : project.files()) writeFile(out / name, bytes);
    if (a.size() == 5) {
        project.deps().writeDepfile(a[3], a[4]);
        writeFile(a[4], {});
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    std::cout << "tidepool-content: " << data.packs().size() << " packs, " << total << " bytes, " << ms << " ms\n";
    return 0;
}

int fonts(const std::vector<std::string>& a) {
    if (a.size() != 2 && a.size() != 4) throw std::invalid_argument("fonts takes ASSETS OUT [DEPFILE STAMP]");
    Deps deps;
    const fs::path assets = a[0];
    const Value config = parseToml(assets / "content.toml", deps);
    const Value def = parseToml(assets / stringAt(config, "fonts"), deps);
    for (const auto& [name, bytes] : buildRuntimeFonts(need(def, "runtime"), deps)) writeFile(fs::path(a[1]) / name, bytes);
    if (a.size() == 4) {
        deps.writeDepfile(a[2], a[3]);
        writeFile(a[3], {});
    }
    return 0;
}

int tune(const std::vector<std::string>& a) {
    if (a.size() != 4) throw std::invalid_argument("tune takes ASSETS MIDI SOUNDFONT OUT.wav");
    Deps deps;
    const Value config = parseToml(fs::path(a[0]) / "content.toml", deps);
    const Value& music = need(config, "music");
    const Sound pass = renderTune(readFile(a[1]), a[2], numberAt(music, "loudness", -16), numberAt(music, "peak", -1));
    writeFile(a[3], wav16(pass));
    return 0;
}

int check(const std::vector<std::string>& a) {
    if (a.size() != 2) throw std::invalid_argument("check takes DIR CATALOGUE");
    Deps deps;
    const auto problems = checkCatalogue(DataSet::load(a[0]), parseToml(a[1], deps));
    for (const auto& p : problems) std::cout << p << "\n";
    std::cout << (problems.empty() ? "the data satisfies the catalogue\n" : std::to_string(problems.size()) + " problems\n");
    return problems.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    fs::path dataDir;
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "--data") {
            dataDir = args[i + 1];
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            break;
        }
    }
    if (dataDir.empty()) {
        if (const char* env = std::getenv("TIDEPOOL_DATA")) dataDir = env;
        else if (fs::exists("r1")) dataDir = ".";
        else dataDir = TIDEPOOL_RESOURCE_DIR;
    }
    if (args.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string cmd = args[0];
    args.erase(args.begin());
    try {
        if (cmd == "build") return build(args);
        if (cmd == "fonts") return fonts(args);
        if (cmd == "tune") return tune(args);
        if (cmd == "check") return check(args);
        return inspect(cmd, args, dataDir);
    } catch (const std::invalid_argument& e) {
        std::cerr << "tidepool-content: " << e.what() << "\n" << kUsage;
        return 2;
    } catch (const ContentError& e) {
        std::cerr << "tidepool-content: " << e.what() << "\n";
        return 1;
    } catch (const java::lang::Throwable& e) {
        std::cerr << "tidepool-content: " << e.toString() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "tidepool-content: " << e.what() << "\n";
        return 1;
    }
}
