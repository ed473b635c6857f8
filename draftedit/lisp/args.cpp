// Argument handling shared by the LISP function handlers (see args.h).
#include "draftedit/lisp/args.h"

#include "draftedit/engines/textio.h"

namespace draftedit {

RbList callArguments() {
    return RbList(acedGetArgs());
}

int tooFewArguments(const ACHAR* diagName) {
    acutPrintf(L"\nZELｴﾗｰ %s : 引き数が足りません.", diagName);
    return RSERR;
}

int wrongArgument(const ACHAR* diagName) {
    acutPrintf(L"\nZELｴﾗｰ %s : 引き数が間違っています.", diagName);
    return RSERR;
}

bool twoStrings(const resbuf* args, const ACHAR* diagName, std::wstring& first,
                std::wstring& second) {
    if (!args || !args->rbnext) {
        tooFewArguments(diagName);
        return false;
    }
    const resbuf* next = args->rbnext;
    if (args->restype != RTSTR || next->restype != RTSTR || !args->resval.rstring ||
        !next->resval.rstring) {
        wrongArgument(diagName);
        return false;
    }
    first = args->resval.rstring;
    second = next->resval.rstring;
    return true;
}

std::string nativePath(const std::wstring& path) {
    return engines::toUtf8(path);
}

std::wstring wideText(const char* utf8) {
    return engines::decodeText(utf8 ? utf8 : "");
}

} // namespace draftedit
