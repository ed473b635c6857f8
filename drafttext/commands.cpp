#include "drafttext/commands.h"

#include "common/frame/notbuilt.h"

namespace drafttext {

bool gInitTextRequested = false;
int gEvenSpacingAvailable = 0;

namespace {

using zelframe::notBuiltEntry;

constexpr const ACHAR* kDText = L"ZEL_DTEXT";
constexpr const ACHAR* kPrefix = L"ZEL_PREFIX";
constexpr const ACHAR* kSuffix = L"ZEL_SUFFIX";
constexpr const ACHAR* kDelText = L"ZEL_DELTEXT";
constexpr const ACHAR* kMoveText = L"ZEL_MOVETEXT";
constexpr const ACHAR* kRepChar = L"ZEL_REPCHAR";
constexpr const ACHAR* kTextEdit = L"ZEL_TEXTEDIT";
constexpr const ACHAR* kChText = L"ZEL_CHTEXT";
constexpr const ACHAR* kTxEd = L"ZEL_TXED";
constexpr const ACHAR* kTxtSpc = L"ZEL_TXTSPC";

constexpr zelframe::CommandRow kTable[] = {
    {L"DTEXT", L"DT", 0, notBuiltEntry<&kDText>},
    {L"INITTEXT", L"INITTXT", 0, dll_zel_InitFunc},
    {L"PREFIX", L"PR", 0, notBuiltEntry<&kPrefix>},
    {L"SUFFIX", L"SU", 0, notBuiltEntry<&kSuffix>},
    {L"DELTEXT", L"DTX", 0, notBuiltEntry<&kDelText>},
    {L"MOVETEXT", L"MTX", 0, notBuiltEntry<&kMoveText>},
    {L"REPCHAR", L"RC", 0, notBuiltEntry<&kRepChar>},
    {L"TEXTEDIT", L"TE", 0, notBuiltEntry<&kTextEdit>},
    {L"CHTEXT", L"CT", 0, notBuiltEntry<&kChText>},
    {L"TXED", L"TED", 0, notBuiltEntry<&kTxEd>},
    {L"TXTSPC", L"TSP", 0, notBuiltEntry<&kTxtSpc>},
};

} // namespace

std::span<const zelframe::CommandRow> commandTable() {
    return kTable;
}

} // namespace drafttext
