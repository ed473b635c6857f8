// Test helpers: fixture files, temporary folders, the independent DXF checker.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <sys/wait.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace zel::dxf::test {

namespace fs = std::filesystem;

inline std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

// Every drawing of another program under tests/fixtures/external, sorted by name.
inline std::vector<fs::path> externalDrawings() {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(ZEL_DRAWINGS_DIR)) {
        std::string ext = e.path().extension().string();
        if (ext == ".dxf" || ext == ".DXF") out.push_back(e.path());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// A folder of its own for one test, removed at the end.
class TempFolder {
public:
    TempFolder() {
        static int counter = 0;
        mPath = fs::temp_directory_path() /
                ("zel_dxf_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        fs::remove_all(mPath);
        fs::create_directories(mPath);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::permissions(mPath, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(mPath, ec);
    }
    const fs::path& path() const { return mPath; }
    fs::path operator/(const std::string& name) const { return mPath / name; }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(mPath)) out.push_back(e.path().filename());
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    fs::path mPath;
};

// The Debian interpreter, where python3-ezdxf installs; another python3 on the PATH may not
// see it.
inline std::string python() { return fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3"; }

struct CheckResult {
    int status = -1; // of ezdxf_check.py: 0 fine, 1 findings, 3 no ezdxf, 4 original unreadable
    std::string output;
};

// Runs tests/unit/dxf/ezdxf_check.py with the arguments (paths are quoted).
inline CheckResult runEzdxfCheck(const std::vector<std::string>& args, const fs::path& scratch) {
    std::string command = python() + " '" ZEL_SOURCE_DIR "/tests/unit/dxf/ezdxf_check.py'";
    for (const std::string& a : args) command += " '" + a + "'";
    fs::path log = scratch / "ezdxf_check.log";
    command += " > '" + log.string() + "' 2>&1";
    int raw = std::system(command.c_str());
    CheckResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.output = readBytes(log);
    return r;
}

} // namespace zel::dxf::test
