// The module's file-open routine (see fileopen.h).
#include "draftedit/lisp/fileopen.h"

#include "draftedit/engines/fileopen.h"
#include "draftedit/engines/textio.h"

namespace draftedit {

std::FILE* zelOpenFile(const ACHAR* path, const ACHAR* mode) {
    if (!path || !mode) return nullptr;
    return engines::openFile(engines::toUtf8(path), engines::toUtf8(mode).c_str());
}

} // namespace draftedit
