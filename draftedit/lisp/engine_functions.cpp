// The file-based engines as LISP functions: ZELADS_GRAV (centroid), ZELADS_BLKTRM,
// ZELADS_DIVIDE, and the section-property engine entry called by the section-property command.
#include "draftedit/engines/blktrm.h"
#include "draftedit/engines/divide.h"
#include "draftedit/engines/section.h"
#include "draftedit/lisp/args.h"
#include "draftedit/lisp/functions.h"

namespace draftedit {
namespace {

constexpr const ACHAR* kInrtName = L"(Zelads_Inrt)";
constexpr const ACHAR* kGravName = L"(Zelads_Grav)";
constexpr const ACHAR* kBlkTrmName = L"(Zelads_BlkTrm)";
constexpr const ACHAR* kDivideName = L"(Zelads_Divide)";

int runSectionEngine(const resbuf* args, engines::EngineKind kind, const ACHAR* diagName) {
    std::wstring input, output;
    if (!twoStrings(args, diagName, input, output)) return RSERR;
    switch (engines::runEngine(kind, nativePath(input), nativePath(output))) {
    case engines::EngineStatus::Written:
        return RSRSLT;
    case engines::EngineStatus::OutputNotOpened:
        acutPrintf(L"\n%s", engines::kOutputNotOpenedText);
        return RSERR;
    case engines::EngineStatus::NoMemory:
    case engines::EngineStatus::InputMissing:
        return RSERR; // the output file tells why
    }
    return RSERR;
}

// A cut engine's end: the failure text is in the output file and echoed on the command line.
int finishCut(engines::CutStatus status, const ACHAR* diagName, bool namedOpenFailure) {
    if (status == engines::CutStatus::Written) return RSRSLT;
    if (status == engines::CutStatus::OutputNotOpened) {
        if (namedOpenFailure)
            acutPrintf(L"\nZELｴﾗｰ %s : 書出しファイルがオープンできません.", diagName);
        else
            acutPrintf(L"\n%s", engines::kOutputNotOpenedText);
        return RSERR;
    }
    const std::wstring text = wideText(engines::cutFailureText(status));
    acutPrintf(L"\nZELｴﾗｰ %s : %s", diagName, text.c_str());
    return RSERR;
}

} // namespace

int zeladsInrt(const resbuf* args) {
    return runSectionEngine(args, engines::EngineKind::SectionProperties, kInrtName);
}

int zeladsGrav() {
    RbList args = callArguments();
    return runSectionEngine(args.get(), engines::EngineKind::Centroid, kGravName);
}

int zeladsBlkTrm() {
    RbList args = callArguments();
    std::wstring input, output;
    if (!twoStrings(args.get(), kBlkTrmName, input, output)) return RSERR;
    return finishCut(engines::runBlockTrim(nativePath(input), nativePath(output)), kBlkTrmName,
                     true);
}

int zeladsDivide() {
    RbList args = callArguments();
    std::wstring input, output;
    if (!twoStrings(args.get(), kDivideName, input, output)) return RSERR;
    return finishCut(engines::runDivide(nativePath(input), nativePath(output)), kDivideName, false);
}

} // namespace draftedit
