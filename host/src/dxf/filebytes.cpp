#include "dxf/filebytes.h"

#include <cassert>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::dxf {
namespace {

size_t pageSize() {
    static const size_t size = size_t(sysconf(_SC_PAGESIZE));
    return size;
}

size_t wholePages(size_t bytes) {
    size_t page = pageSize();
    return (bytes + page - 1) / page * page;
}

std::string cause(int error) {
    return std::string("cannot read the file: ") + std::strerror(error);
}

// Closes the descriptor when the scope ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : mFd(fd) {}
    ~Descriptor() {
        if (mFd >= 0) close(mFd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return mFd; }

private:
    int mFd;
};

// Reads up to `size` bytes; the count read (less when the file shrank meanwhile), or -1.
long long readAll(int fd, char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::read(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += size_t(n);
    }
    return static_cast<long long>(done);
}

} // namespace

bool FileBytes::read(const std::string& path, std::string& error) {
    assert(!mData && "a file is read into an empty object");
    Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || fstat(fd.get(), &info) != 0) {
        error = cause(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = cause(EISDIR);
        return false;
    }
    size_t size = info.st_size > 0 ? size_t(info.st_size) : 0;
    if (size == 0) return true;
    size_t mapped = wholePages(size);
    void* p = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
        error = "not enough memory to read the drawing";
        return false;
    }
    mData = static_cast<char*>(p); // the destructor unmaps it on every path
    mMapped = mapped;
    long long got = readAll(fd.get(), mData, size);
    if (got < 0) {
        error = cause(errno);
        return false;
    }
    mSize = size_t(got);
    mprotect(mData, mMapped, PROT_READ); // the reader only reads them (a failure changes nothing)
    return true;
}

FileBytes::~FileBytes() {
    if (mMapped > mReleased) munmap(mData + mReleased, mMapped - mReleased);
}

void FileBytes::passed(size_t offset) {
    size_t upTo = offset / pageSize() * pageSize();
    if (upTo > mMapped || upTo < mReleased + mStep) return;
    // Unmapped, not only emptied: a read of a released byte is a fault, never a silent zero.
    if (munmap(mData + mReleased, upTo - mReleased) != 0) return;
    mReleased = upTo;
}

} // namespace zel::dxf
