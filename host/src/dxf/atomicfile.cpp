#include "dxf/atomicfile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::dxf {
namespace {

int systemOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Removes the temporary file of a failed save and keeps the first error.
class TempFile {
public:
    TempFile(const FileOps& ops) : mOps(ops) {}
    ~TempFile() {
        if (mFd >= 0) ::close(mFd);
        if (!mPath.empty()) ::unlink(mPath.c_str());
    }
    bool create(const std::string& target, std::string& cause) {
        static std::atomic<unsigned> counter{0};
        std::string stem = folderOf(target) + "/." + nameOf(target) + "." +
                           std::to_string(::getpid()) + ".";
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string path = stem + std::to_string(counter++) + ".tmp";
            mFd = mOps.open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (mFd >= 0) {
                mPath = path;
                return true;
            }
            if (errno != EEXIST) break;
        }
        cause = std::string("cannot create a file in the folder: ") + std::strerror(errno);
        return false;
    }
    bool write(std::string_view bytes, std::string& cause) {
        while (!bytes.empty()) {
            ssize_t n = mOps.write(mFd, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                cause = n < 0 ? std::strerror(errno) : "the disk took no more data";
                return false;
            }
            bytes.remove_prefix(size_t(n));
        }
        return true;
    }
    bool finish(std::string& cause) {
        if (mOps.fsync(mFd) != 0) {
            cause = std::string("cannot flush to the disk: ") + std::strerror(errno);
            return false;
        }
        int fd = mFd;
        mFd = -1;
        if (mOps.close(fd) != 0) {
            cause = std::string("cannot close: ") + std::strerror(errno);
            return false;
        }
        return true;
    }
    int fd() const { return mFd; }
    const std::string& path() const { return mPath; }
    void committed() { mPath.clear(); }

private:
    const FileOps& mOps;
    int mFd = -1;
    std::string mPath;
};

void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return; // the rename is done; a folder that cannot be synced is no failure
    ::fsync(fd);
    ::close(fd);
}

} // namespace

const FileOps& FileOps::system() {
    static const FileOps ops{systemOpen, ::write, ::fsync, ::close, ::rename};
    return ops;
}

bool writeFileAtomic(const std::string& path, std::string_view bytes, std::string& error,
                     const FileOps& ops) {
    std::string cause;
    auto fail = [&] {
        error = "cannot save '" + path + "': " + cause + " (nothing was changed)";
        return false;
    };
    struct stat old {};
    bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        cause = "it is not a plain file";
        return fail();
    }
    TempFile temp(ops);
    if (!temp.create(path, cause) || !temp.write(bytes, cause)) return fail();
    if (exists) ::fchmod(temp.fd(), old.st_mode & 07777); // a replaced file keeps its mode
    if (!temp.finish(cause)) return fail();
    if (ops.rename(temp.path().c_str(), path.c_str()) != 0) {
        cause = std::string("cannot replace the file: ") + std::strerror(errno);
        return fail();
    }
    temp.committed();
    syncFolder(folderOf(path));
    return true;
}

} // namespace zel::dxf
