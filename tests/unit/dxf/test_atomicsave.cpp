// Saving: the previous file survives every failure, and no temporary file is left behind.
#include "dxf/atomicfile.h"
#include "dxf/dxf.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::dxf {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

// Failures the simulated system calls give; plain functions (FileOps takes no closures).
struct Faults {
    int openErrno = 0;
    size_t writeLimit = SIZE_MAX; // bytes written before the disk is full
    bool writeReturnsZero = false;
    bool fsyncFails = false;
    bool closeFails = false;
    bool renameFails = false;
    size_t written = 0;
};
Faults gFaults;

int faultyOpen(const char* path, int flags, mode_t mode) {
    if (gFaults.openErrno) {
        errno = gFaults.openErrno;
        return -1;
    }
    return ::open(path, flags, mode);
}

ssize_t faultyWrite(int fd, const void* data, size_t size) {
    if (gFaults.writeReturnsZero) return 0;
    size_t room = gFaults.writeLimit - std::min(gFaults.writeLimit, gFaults.written);
    if (room == 0) {
        errno = ENOSPC;
        return -1;
    }
    ssize_t n = ::write(fd, data, std::min(size, room)); // a short write first
    if (n > 0) gFaults.written += size_t(n);
    return n;
}

int faultyFsync(int fd) {
    if (gFaults.fsyncFails) {
        errno = EIO;
        return -1;
    }
    return ::fsync(fd);
}

int faultyClose(int fd) {
    ::close(fd);
    if (!gFaults.closeFails) return 0;
    errno = EIO;
    return -1;
}

int faultyRename(const char* from, const char* to) {
    if (gFaults.renameFails) {
        errno = EXDEV;
        return -1;
    }
    return ::rename(from, to);
}

const FileOps kFaultyOps{faultyOpen, faultyWrite, faultyFsync, faultyClose, faultyRename};

struct FaultCase {
    const char* name;
    Faults faults;
    const char* cause; // part of the message
};

TEST(AtomicSave, EveryFailureLeavesTheOldFile) {
    const std::string newBytes(100000, 'n');
    const FaultCase cases[] = {
        {"read-only folder", {.openErrno = EACCES}, "Permission denied"},
        {"disk full at once", {.writeLimit = 0}, "No space left on device"},
        {"disk full midway", {.writeLimit = 4096}, "No space left on device"},
        {"write takes nothing", {.writeReturnsZero = true}, "the disk took no more data"},
        {"flush fails", {.fsyncFails = true}, "cannot flush to the disk"},
        {"close fails", {.closeFails = true}, "cannot close"},
        {"rename fails", {.renameFails = true}, "cannot replace the file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        auto target = folder / "drawing.dxf";
        writeBytes(target, "old drawing");
        gFaults = c.faults;
        std::string error;
        EXPECT_FALSE(writeFileAtomic(target.string(), newBytes, error, kFaultyOps));
        EXPECT_NE(error.find(target.string()), std::string::npos) << error;
        EXPECT_NE(error.find(c.cause), std::string::npos) << error;
        EXPECT_EQ(readBytes(target), "old drawing");
        EXPECT_EQ(folder.names(), std::vector<std::string>{"drawing.dxf"}) << "temporary left";
    }
}

TEST(AtomicSave, ReplacesAndKeepsTheMode) {
    TempFolder folder;
    auto target = folder / "a.dxf";
    writeBytes(target, "old");
    ::chmod(target.c_str(), 0640);
    std::string error;
    ASSERT_TRUE(writeFileAtomic(target.string(), "new contents", error)) << error;
    EXPECT_EQ(readBytes(target), "new contents");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"a.dxf"});
}

TEST(AtomicSave, NewFileGetsThePlainCreateMode) {
    TempFolder folder;
    mode_t mask = ::umask(022);
    ::umask(mask);
    std::string error;
    auto target = folder / "b.dxf";
    ASSERT_TRUE(writeFileAtomic(target.string(), "x", error)) << error;
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
}

TEST(AtomicSave, TargetsThatAreNoPlainFile) {
    TempFolder folder;
    test::fs::create_directory(folder / "sub.dxf");
    std::string error;
    EXPECT_FALSE(writeFileAtomic((folder / "sub.dxf").string(), "x", error));
    EXPECT_NE(error.find("not a plain file"), std::string::npos) << error;
    EXPECT_FALSE(writeFileAtomic((folder / "missing" / "c.dxf").string(), "x", error));
    EXPECT_NE(error.find("cannot create a file in the folder"), std::string::npos) << error;
}

// A real read-only folder (the superuser writes anywhere, so there the simulated case above
// stands for it).
TEST(AtomicSave, ReadOnlyFolderForAPlainUser) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root: permissions do not bind";
    TempFolder folder;
    auto target = folder / "d.dxf";
    writeBytes(target, "old");
    ::chmod(folder.path().c_str(), 0555);
    AcDbDatabase db;
    SaveResult r = writeDxf(db, target.string());
    ::chmod(folder.path().c_str(), 0755);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("Permission denied"), std::string::npos) << r.error;
    EXPECT_EQ(readBytes(target), "old");
}

} // namespace
} // namespace zel::dxf
