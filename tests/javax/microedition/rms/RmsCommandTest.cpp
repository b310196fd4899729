// The rms sub-command of tarvokin-tool, and the crash safety of saving:
// a process that keeps saving is killed at random moments, and rms.dat
// must load after every kill.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>
#include <tuple>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "javax/microedition/rms/RecordStoreFile.h"
#include "javax/microedition/rms/RmsTestSupport.h"

namespace {

using javax::microedition::rms::RecordStoreFile;
using rms_test::Bytes;
using rms_test::FileBuilder;

struct ToolResult {
    int status = -1;
    std::string out;
};

ToolResult runTool(const std::string& args) {
    ToolResult r;
    FILE* p = ::popen((std::string(TARVOKIN_TOOL) + " " + args + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int raw = ::pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

TEST(RmsTool, DumpAndCheck) {
    rms_test::TempWorkingDir dir;
    Bytes long20(20);
    for (int i = 0; i < 20; ++i) long20[i] = static_cast<std::uint8_t>(i);
    rms_test::writeFile("rms.dat", FileBuilder()
                                       .header(2)
                                       .ascii("emu_settings").u8(1).record({1})
                                       .be16(4).raw({'g', 0xC0, 0x80, '"'}).u8(2).record(long20).record({})
                                       .trailer()
                                       .bytes());
    const ToolResult dump = runTool("rms dump rms.dat");
    EXPECT_EQ(dump.status, 0);
    EXPECT_EQ(dump.out,
              "rms.dat: 2 stores, 79 bytes\n"
              "store 0 \"emu_settings\", 1 record\n"
              "  ID 1, 1 byte:\n"
              "    01\n"
              "store 1 \"g\\u0000\\u0022\", 2 records\n"
              "  ID 1, 20 bytes:\n"
              "    00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f\n"
              "    10 11 12 13\n"
              "  ID 2, 0 bytes\n");
    const ToolResult check = runTool("rms check rms.dat");
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, "rms.dat: loads: 2 stores, 3 records\n");

    rms_test::writeFile("cut.dat", FileBuilder().header(1).ascii("g").u8(1).be32(5).u8(0).bytes());
    const ToolResult cut = runTool("rms check cut.dat");
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.out,
              "cut.dat: does not load: java.io.EOFException: store 0 \"g\" record 1 data: "
              "need 5 bytes at offset 26, 1 left\n");
    EXPECT_EQ(runTool("rms dump cut.dat").status, 1);
    const ToolResult missing = runTool("rms check none.dat");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "none.dat: does not load: cannot read: none.dat: No such file or directory\n");
}

// Changes with every save, however the file is rewritten.
std::tuple<ino_t, off_t, time_t, long> fileVersion(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return {st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

TEST(RmsTool, KillingASavingProcessNeverLeavesABrokenFile) {
    rms_test::TempWorkingDir dir;
    rms_test::writeFile("rms.dat", RecordStoreFile::serialize(std::vector<RecordStoreFile::Store>{}));
    const std::string dirPath = dir.path().string();
    const std::string file = dirPath + "/rms.dat";
    const char* argv[] = {TARVOKIN_TOOL, "rms", "soak", dirPath.c_str(), nullptr};

    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> delayMicros(0, 3000);  // a save takes about a millisecond
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);  // a loaded machine gets fewer kills
    int kills = 0;
    while (kills < 50 && std::chrono::steady_clock::now() < deadline) {
        const auto before = fileVersion(file);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::execv(argv[0], const_cast<char* const*>(argv));
            ::_exit(127);
        }
        // Kill only once the child is in its save loop.
        while (fileVersion(file) == before && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(rng)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the soak process ended by itself, status " << status;
        ++kills;
        const ToolResult check = runTool("rms check " + file);
        ASSERT_EQ(check.status, 0) << "after kill " << kills << ": " << check.out;
    }
    EXPECT_GE(kills, 10);
    EXPECT_FALSE(std::filesystem::exists("rms.dat.bad"));
}

}  // namespace
