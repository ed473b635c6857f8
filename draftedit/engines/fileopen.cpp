// Opening files with the folder probe (see fileopen.h).
#include "draftedit/engines/fileopen.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace draftedit::engines {
namespace {

// Probe names run "QM_00000.T" to "QM_99999.T".
constexpr int kProbeNumbers = 100000;

std::string withSeparator(std::string folder) {
    if (folder.empty()) folder = ".";
    if (folder.back() != '/') folder += '/';
    return folder;
}

} // namespace

bool probeFolder(const std::string& folder) {
    std::error_code ec;
    const std::string dir = withSeparator(folder);
    if (!std::filesystem::is_directory(dir, ec)) return false;
    for (int number = 0; number < kProbeNumbers; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "QM_%05d.T", number);
        const std::string probe = dir + name;
        int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return false;
        ::close(fd);
        return ::unlink(probe.c_str()) == 0;
    }
    return false;
}

std::string folderOf(const std::string& path) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(path, ec);
    if (ec) full = path;
    return full.parent_path().string();
}

std::string partialName(const std::string& path) {
    for (int number = 0;; ++number) {
        std::string name = path + ".~" + std::to_string(number);
        struct stat st {};
        if (::lstat(name.c_str(), &st) != 0) return name;
    }
}

std::FILE* openFile(const std::string& path, const char* mode) {
    if (path.empty() || !mode || !*mode) return nullptr;
    if ((mode[0] == 'w' || mode[0] == 'W') && !probeFolder(folderOf(path))) return nullptr;
    std::string m(mode);
    if (m[0] == 'W') m[0] = 'w';
    return std::fopen(path.c_str(), m.c_str());
}

} // namespace draftedit::engines
