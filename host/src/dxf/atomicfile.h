// Saving a file so that a failure never damages what was there: the bytes go to a temporary
// file in the same folder, which is flushed to the disk and then renamed over the target.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

namespace zel::dxf {

// The system calls a save makes. Tests replace some of them to simulate a full disk, a
// read-only folder or a failing rename.
struct FileOps {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* data, size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
    static const FileOps& system();
};

// Writes bytes to path atomically. On failure returns false with a message naming the file
// and the cause; the previous file (if any) is as it was and the temporary file is removed.
// A new file gets the permissions a plain create would give; a replaced one keeps its own.
bool writeFileAtomic(const std::string& path, std::string_view bytes, std::string& error,
                     const FileOps& ops = FileOps::system());

} // namespace zel::dxf
