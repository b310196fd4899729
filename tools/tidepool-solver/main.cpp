// tidepool-solver: proves levels passable by playing the real game headless
// (see Autopilot), and writes the playthrough script.
//
//   tidepool-solver level N [--unlocks MASK] [--seed S] [--script OUT]
//   tidepool-solver table [--markdown] [--from A] [--to B]
//   tidepool-solver playthrough OUT.txt [--to B]
#include <unistd.h>

#include <bit>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Autopilot.h"
#include "TarvokinEmu/Launch.h"
#include "game/Brindle.h"
#include "game/format/ProgressRecord.h"

namespace {

constexpr int kLevels = 27;
constexpr int kStepMs = 21;
constexpr int kAllUnlocks = 0x1FF;

const char* kUsage =
    "usage: tidepool-solver level N [--unlocks MASK] [--seed S] [--script OUT]\n"
    "       tidepool-solver table [--markdown] [--from A] [--to B]\n"
    "       tidepool-solver playthrough OUT.txt [--to B]\n";

int usage(const std::string& why) {
    std::fprintf(stderr, "tidepool-solver: %s\n%s", why.c_str(), kUsage);
    return 2;
}

double msSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

std::string freshDataDir(const std::string& what) {
    auto dir = std::filesystem::temp_directory_path() / ("tidepool-solver-" + what + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    return dir.string();
}

// One line a level mode prints and the table reads back.
void printOutcome(const solver::LevelOutcome& o, int unlocks, double wallMs) {
    std::printf("level %d unlocks 0x%X passed %s grade %d launches %d attempts %d states %lld search-ms %.0f frames %d wall-ms %.0f\n",
                o.level, static_cast<unsigned>(unlocks), o.finished ? "yes" : "no", o.grade, o.launchesBanked, o.attempts,
                static_cast<long long>(o.statesTried), o.searchMs, o.frames, wallMs);
}

struct Run {
    bool ok = false;
    solver::LevelOutcome o;
    double wallMs = 0;
};

// A level mode run of this program, read back from its line.
Run runChild(const std::string& self, int level, int unlocks) {
    Run r;
    const std::string cmd = "'" + self + "' level " + std::to_string(level) + " --unlocks " + std::to_string(unlocks);
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
    if (!pipe) return r;
    char line[512];
    while (std::fgets(line, sizeof line, pipe.get())) {
        unsigned mask = 0;
        char passed[8] = {};
        long long states = 0;
        auto& o = r.o;
        if (std::sscanf(line, "level %d unlocks 0x%X passed %7s grade %d launches %d attempts %d states %lld search-ms %lf frames %d wall-ms %lf",
                        &o.level, &mask, passed, &o.grade, &o.launchesBanked, &o.attempts, &states, &o.searchMs, &o.frames,
                        &r.wallMs) == 10) {
            o.statesTried = states;
            o.finished = std::string(passed) == "yes";
            r.ok = true;
        }
    }
    return r;
}

int table(const std::string& self, bool markdown, int from, int to) {
    if (markdown) {
        std::printf("| Level | Passable without unlocks | Launches banked | Grade without unlocks | Grade with all unlocks | States tried | Time (ms) |\n");
        std::printf("|---:|:---:|---:|---:|---:|---:|---:|\n");
    }
    int failed = 0;
    for (int level = from; level <= to; ++level) {
        const Run plain = runChild(self, level, 0), all = runChild(self, level, kAllUnlocks);
        if (!plain.ok || !plain.o.finished) ++failed;
        const auto grade = [](const Run& r) { return r.ok && r.o.finished ? std::to_string(r.o.grade) : std::string("-"); };
        // A run that printed no outcome (it crashed) is not a "no".
        const char* passable = !plain.ok ? "error" : plain.o.finished ? "yes" : "no";
        if (markdown)
            std::printf("| %d | %s | %d | %s | %s | %lld | %.0f |\n", level, plain.o.finished ? "yes" : !plain.ok ? "**error**" : "**no**",
                        plain.o.launchesBanked, grade(plain).c_str(), grade(all).c_str(),
                        static_cast<long long>(plain.o.statesTried + all.o.statesTried), plain.wallMs + all.wallMs);
        else
            std::printf("level %2d  passable %-5s  launches %d  grade %s (all unlocks %s)  states %lld  %.0f ms\n", level,
                        passable, plain.o.launchesBanked, grade(plain).c_str(), grade(all).c_str(),
                        static_cast<long long>(plain.o.statesTried + all.o.statesTried), plain.wallMs + all.wallMs);
        std::fflush(stdout);
    }
    return failed == 0 ? 0 : 1;
}

driver::Session::Options sessionOptions(const std::string& dataDir) {
    driver::Session::Options options;
    options.stepMs = kStepMs;
    options.dataDir = dataDir;
    options.printStates = std::getenv("TIDEPOOL_SOLVER_TRACE") != nullptr;
    return options;
}

int level(int number, int unlocks, std::optional<std::uint32_t> seed, const std::string& scriptFile) {
    const auto start = std::chrono::steady_clock::now();
    const std::string dir = freshDataDir("level");
    driver::Session session(sessionOptions(dir));
    solver::Autopilot pilot(session);
    if (seed) pilot.setSeed(*seed);
    // Every level open and the level in question not finished, with the
    // unlocks asked for.
    pilot.onLevelSelect([&] {
        auto& p = game::Brindle::shared().progress;
        for (int l = 1; l <= kLevels; ++l) p.levelGrade[static_cast<std::size_t>(l)] = l == number ? 1 : 2;
        p.unlockMask = unlocks;
        p.unlockCount = std::popcount(static_cast<unsigned>(unlocks));
        p.selectedLevel = number;
    });
    solver::LevelOutcome outcome;
    pilot.playLevel(number, outcome);
    printOutcome(outcome, unlocks, msSince(start));
    if (!scriptFile.empty()) std::ofstream(scriptFile) << "# level " << number << " from the solver's prepared save\n" << pilot.script();
    std::fflush(stdout);
    std::filesystem::remove_all(dir);
    session.finish();
}

int playthrough(const std::string& out, int to) {
    const auto start = std::chrono::steady_clock::now();
    const std::string dir = freshDataDir("playthrough");
    driver::Session session(sessionOptions(dir));
    solver::Autopilot pilot(session);
    // The script up to the last level finished, and that level.
    std::string script;
    int finished = 0, frames = 0;
    for (int l = 1; l <= to; ++l) {
        solver::LevelOutcome o;
        const bool passed = pilot.playLevel(l, o);
        printOutcome(o, 0, 0);
        // The last level leads through its notices; the run ends where a
        // player would stand, in the level select.
        if (!passed || !pilot.settleInLevelSelect()) {
            std::fprintf(stderr, "tidepool-solver: level %d not finished; the playthrough stops before it\n", l);
            break;
        }
        // Tests cut the script here to play the first levels only.
        pilot.note("level " + std::to_string(l) + " finished at frame " + std::to_string(pilot.frames()));
        script = pilot.script(), finished = l, frames = pilot.frames();
    }
    const double ms = msSince(start);
    std::ofstream(out) << "# Tidepool Dash from a fresh data folder: no to the sound question, the menus and levels 1.."
                       << finished << " in order, ending in the level select.\n"
                       << "# Written by tidepool-solver playthrough; run with: tidepool-driver --step " << kStepMs
                       << " --frames " << frames + 2 << " --script THIS\n"
                       << script;
    std::printf("playthrough of levels 1..%d: %d frames in %.0f ms (%.0f frames/s with the search)\n", finished, frames, ms,
                pilot.frames() * 1000.0 / ms);
    std::fflush(stdout);
    std::filesystem::remove_all(dir);
    if (finished < to) std::_Exit(1);
    session.finish();
}

std::optional<int> number(const char* s) {
    try {
        std::size_t used = 0;
        const int v = std::stoi(s, &used, 0);
        return used == std::string(s).size() ? std::optional<int>(v) : std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage("a command is needed");
    const std::string command = argv[1];
    if (command == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    int unlocks = 0, from = 1, to = kLevels;
    bool markdown = false;
    std::optional<std::uint32_t> seed;
    std::string scriptFile;
    std::vector<std::string> positional;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::optional<int> { return i + 1 < argc ? number(argv[++i]) : std::nullopt; };
        if (a == "--markdown") {
            markdown = true;
        } else if (a == "--unlocks" || a == "--seed" || a == "--from" || a == "--to") {
            const auto v = value();
            if (!v || *v < 0) return usage(a + " needs a number");
            if (a == "--unlocks") unlocks = *v & kAllUnlocks;
            if (a == "--seed") seed = static_cast<std::uint32_t>(*v);
            if (a == "--from") from = *v;
            if (a == "--to") to = *v;
        } else if (a == "--script") {
            if (i + 1 >= argc) return usage("--script needs a file");
            scriptFile = std::filesystem::absolute(argv[++i]).string();
        } else {
            positional.push_back(a);
        }
    }
    from = std::max(from, 1), to = std::min(to, kLevels);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    if (command == "level") {
        const auto n = positional.size() == 1 ? number(positional[0].c_str()) : std::nullopt;
        if (!n || *n < 1 || *n > kLevels) return usage("level needs a level number 1..27");
        return level(*n, unlocks, seed, scriptFile);
    }
    if (command == "table") return table(self, markdown, from, to);
    if (command == "playthrough") {
        if (positional.size() != 1) return usage("playthrough needs the script file to write");
        // The session works in its data folder.
        return playthrough(std::filesystem::absolute(positional[0]).string(), to);
    }
    return usage("unknown command " + command);
}
