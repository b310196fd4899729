// Runs a program as a child process with its own working directory and
// environment, collecting standard output and the exit status.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace testsupport {

struct ProcessResult {
    int exitStatus = -1;  // 0..255, or -1 when killed by a signal
    int signal = 0;
    bool timedOut = false;
    std::string out;
    std::string err;
    std::vector<std::string> outLines() const;
};

struct ProcessOptions {
    std::string workDir;                       // empty: inherit
    std::map<std::string, std::string> env;    // added to (or replacing in) the parent's
    int timeoutMs = 20000;
    // Sent once the output contains this text (empty: never); e.g. ends a
    // program that would otherwise run forever.
    std::string killWhenOutputHas;
    int killDelayMs = 0;  // how long after that text the signal is sent
    int killSignal = 15;
};

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options = {});

// A fresh empty directory under the system's temporary folder.
std::string makeTempDir(const std::string& prefix);

}  // namespace testsupport
