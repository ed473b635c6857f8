// Test helper: a shell command run to its end, with what it printed on standard output and its
// exit status.
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace zel::test {

struct ProcessResult {
    int status = -1; // the exit status; -1 when it could not run or was killed
    std::string out;
};

inline ProcessResult runProcess(const std::string& command) {
    ProcessResult r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0)
        r.out.append(buf.data(), n);
    int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

} // namespace zel::test
