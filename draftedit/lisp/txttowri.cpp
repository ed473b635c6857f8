// ZELADS_TXTTOWRI: a text file made into a Write document.
#include "draftedit/engines/writedoc.h"
#include "draftedit/lisp/args.h"
#include "draftedit/lisp/functions.h"

namespace draftedit {
namespace {

constexpr const ACHAR* kName = L"(Zelads_TxtToWri)";

} // namespace

int zeladsTxtToWri() {
    RbList args = callArguments();
    std::wstring input, output;
    if (!twoStrings(args.get(), kName, input, output)) return RSERR;
    using engines::WriteDocResult;
    switch (engines::convertTextToWrite(nativePath(input), nativePath(output))) {
    case WriteDocResult::Ok:
        return RSRSLT;
    case WriteDocResult::InputNotOpened:
        acutPrintf(L"\nZELｴﾗｰ %s : 入力ファイル[%s]オープンエラー.", kName, input.c_str());
        return RSERR;
    case WriteDocResult::InputEmpty:
        acutPrintf(L"\nZELｴﾗｰ %s : 入力ファイル[%s]読み込みエラー.", kName, input.c_str());
        return RSERR;
    case WriteDocResult::OutputNotOpened:
        acutPrintf(L"\nZELｴﾗｰ %s : 出力ファイル[%s]オープンエラー.", kName, output.c_str());
        return RSERR;
    case WriteDocResult::WriteFailed:
        acutPrintf(L"\nZELｴﾗｰ %s : 出力ファイル[%s]書き込みエラー.", kName, output.c_str());
        return RSERR;
    }
    return RSERR;
}

} // namespace draftedit
