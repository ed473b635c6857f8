// What the LISP function handlers share: their argument lists, argument messages and the
// conversion of wide texts to the file system's paths.
#pragma once

#include "arx/adslib.h"

#include <memory>
#include <string>

namespace draftedit {

// An argument list (or any result-buffer list) released when the handle goes.
struct RbDeleter {
    void operator()(resbuf* rb) const {
        if (rb) acutRelRb(rb);
    }
};
using RbList = std::unique_ptr<resbuf, RbDeleter>;

// The arguments of the call being answered.
RbList callArguments();

// "ZELｴﾗｰ %s : 引き数が足りません." and "ZELｴﾗｰ %s : 引き数が間違っています." with the diagnostic
// name; both answer RSERR.
int tooFewArguments(const ACHAR* diagName);
int wrongArgument(const ACHAR* diagName);

// Two string arguments (input and output file): their texts, or the argument message printed
// and false.
bool twoStrings(const resbuf* args, const ACHAR* diagName, std::wstring& first,
                std::wstring& second);

// A path of the file system for a wide text (UTF-8).
std::string nativePath(const std::wstring& path);
// A UTF-8 text of the engines as wide text.
std::wstring wideText(const char* utf8);

} // namespace draftedit
