// The file tools of the module's LISP functions: ZELADS_FILEDELETE, ZELADS_FCOPY (the copy
// keeps the source's modification time) and ZELADS_FREN.
#include "draftedit/engines/fileopen.h"
#include "draftedit/engines/textio.h"
#include "draftedit/lisp/args.h"
#include "draftedit/lisp/fileopen.h"
#include "draftedit/lisp/functions.h"

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace draftedit {
namespace {

constexpr const ACHAR* kDeleteName = L"(Zelads_FileDelete)";
constexpr const ACHAR* kCopyName = L"(Zelads_FCopy)";
constexpr const ACHAR* kRenameName = L"(Zelads_FRen)";
constexpr size_t kCopyBuffer = 32768;
constexpr size_t kCopyBlock = 16384;

bool isFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// A file that exists in a folder that accepts changes.
bool changeable(const std::string& path) {
    return isFile(path) && engines::probeFolder(engines::folderOf(path));
}

bool deleteOne(const std::wstring& name) {
    const std::string path = nativePath(name);
    return changeable(path) && ::unlink(path.c_str()) == 0;
}

int cannotOpen(const std::wstring& name) {
    acutPrintf(L"\nZELｴﾗｰ %s : [%s]がオープンできません.", kCopyName, name.c_str());
    return RSRSLT;
}

// Copies in blocks of at most kCopyBlock bytes; false on a read or write error.
bool copyBlocks(std::FILE* from, std::FILE* to, char* buffer) {
    size_t got = 0;
    while ((got = std::fread(buffer, 1, kCopyBlock, from)) > 0)
        if (std::fwrite(buffer, 1, got, to) != got) return false;
    return !std::ferror(from);
}

void keepModificationTime(const std::string& source, const std::string& target) {
    struct stat st {};
    if (::stat(source.c_str(), &st) != 0) return;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(AT_FDCWD, target.c_str(), times, 0); // a failure here is ignored
}

} // namespace

int zeladsFileDelete() {
    RbList args = callArguments();
    if (!args) return tooFewArguments(kDeleteName);
    for (const resbuf* rb = args.get(); rb; rb = rb->rbnext) {
        if (rb->restype != RTSTR || !rb->resval.rstring) return wrongArgument(kDeleteName);
        if (deleteOne(rb->resval.rstring)) continue;
        acutPrintf(L"\nZELｴﾗｰ %s :[%s]が削除できません.", kDeleteName, rb->resval.rstring);
        return RSERR;
    }
    acedRetInt(0);
    return RSRSLT;
}

int zeladsFCopy() {
    RbList args = callArguments();
    std::wstring source, target;
    if (!twoStrings(args.get(), kCopyName, source, target)) return RSERR;
    const std::string from = nativePath(source), to = nativePath(target);
    std::unique_ptr<std::FILE, engines::FileCloser> in(zelOpenFile(source.c_str(), L"rb"));
    if (!in || !isFile(from)) return cannotOpen(source);
    // The copy is written under a name of its own beside the target and takes the target's
    // name when complete: a failed copy leaves no half file and an older target untouched.
    const std::wstring partial = wideText(engines::partialName(to).c_str());
    std::unique_ptr<std::FILE, engines::FileCloser> out(zelOpenFile(partial.c_str(), L"wb"));
    if (!out) return cannotOpen(target);
    auto* buffer = static_cast<char*>(acad_malloc(kCopyBuffer));
    if (!buffer) {
        out.reset();
        ::unlink(nativePath(partial).c_str());
        acutPrintf(L"\nZELｴﾗｰ %s : メモリーが足りません.", kCopyName);
        return RSRSLT;
    }
    const bool copied = copyBlocks(in.get(), out.get(), buffer);
    acad_free(buffer);
    in.reset();
    const bool closed = std::fclose(out.release()) == 0;
    if (!copied || !closed || std::rename(nativePath(partial).c_str(), to.c_str()) != 0) {
        ::unlink(nativePath(partial).c_str());
        return cannotOpen(target);
    }
    keepModificationTime(from, to);
    acedRetInt(0);
    return RSRSLT;
}

int zeladsFRen() {
    RbList args = callArguments();
    std::wstring oldName, newName;
    if (!twoStrings(args.get(), kRenameName, oldName, newName)) return RSERR;
    const std::string from = nativePath(oldName), to = nativePath(newName);
    if (!changeable(from) || exists(to)) return RSRSLT;
    if (std::rename(from.c_str(), to.c_str()) != 0) return RSRSLT;
    acedRetInt(0);
    return RSRSLT;
}

} // namespace draftedit
