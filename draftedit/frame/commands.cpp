#include "draftedit/frame/commands.h"

#include "common/frame/notbuilt.h"
#include "draftedit/commands/array.h"
#include "draftedit/commands/cpmvrt.h"
#include "draftedit/commands/deldup.h"
#include "draftedit/commands/mirror.h"
#include "draftedit/commands/scale.h"

namespace draftedit {

namespace {

using zelframe::notBuiltEntry;

// Names of the commands whose command objects are not part of this build yet.
constexpr const ACHAR* kChamfer = L"ZEL_CHAMFER";
constexpr const ACHAR* kFillet = L"ZEL_FILLET";
constexpr const ACHAR* kMeditr = L"ZEL_MEDITR";
constexpr const ACHAR* kMedita = L"ZEL_MEDITA";
constexpr const ACHAR* kLengthen = L"ZEL_LENGTHEN";
constexpr const ACHAR* kFilledit = L"ZEL_FILLEDIT";
constexpr const ACHAR* kChamedit = L"ZEL_CHAMEDIT";
constexpr const ACHAR* kOffset = L"ZEL_OFFSET";
constexpr const ACHAR* kBreak = L"ZEL_BREAK";
constexpr const ACHAR* kTrim = L"ZEL_TRIM";
constexpr const ACHAR* kExtend = L"ZEL_EXTEND";
constexpr const ACHAR* kMasprop = L"ZEL_MASPROP";
constexpr const ACHAR* kDetail = L"ZEL_DETAIL";
constexpr const ACHAR* kRvol = L"ZEL_RVOL";
constexpr const ACHAR* kJoin = L"ZEL_JOIN";
constexpr const ACHAR* kStrch = L"ZEL_STRCH";
constexpr const ACHAR* kInertia = L"ZEL_INERTIA";
constexpr const ACHAR* kSpmlmod = L"ZEL_SPMLMOD";

// Registered in this order; ZEL_JOIN keeps the pick-first set and clears its highlight.
constexpr zelframe::CommandRow kTable[] = {
    {L"CHAMFER", L"CHA", 0, notBuiltEntry<&kChamfer>},
    {L"FILLET", L"FL", 0, notBuiltEntry<&kFillet>},
    {L"MOVE", L"M", 0, moveCommand},
    {L"COPY", L"CO", 0, copyCommand},
    {L"ROTATEM", L"ROM", 0, rotateMovingCommand},
    {L"ROTATEC", L"ROC", 0, rotateCopyingCommand},
    {L"MIRRORM", L"MIM", 0, mirrorMoveCommand},
    {L"MIRRORC", L"MIC", 0, mirrorCopyCommand},
    {L"ARRAY", L"AR", 0, arrayCommand},
    {L"MEDITR", L"MER", 0, notBuiltEntry<&kMeditr>},
    {L"MEDITA", L"MEA", 0, notBuiltEntry<&kMedita>},
    {L"LENGTHEN", L"LEN", 0, notBuiltEntry<&kLengthen>},
    {L"FILLEDIT", L"FE", 0, notBuiltEntry<&kFilledit>},
    {L"CHAMEDIT", L"CE", 0, notBuiltEntry<&kChamedit>},
    {L"OFFSET", L"O", 0, notBuiltEntry<&kOffset>},
    {L"SCALE", L"SC", 0, scaleCommand},
    {L"BREAK", L"BR", 0, notBuiltEntry<&kBreak>},
    {L"TRIM", L"TR", 0, notBuiltEntry<&kTrim>},
    {L"EXTEND", L"EX", 0, notBuiltEntry<&kExtend>},
    {L"MASPROP", L"MPROP", 0, notBuiltEntry<&kMasprop>},
    {L"DELDUP", L"DDUP", 0, deldupCommand},
    {L"DETAIL", L"DTL", 0, notBuiltEntry<&kDetail>},
    {L"RVOL", L"RV", 0, notBuiltEntry<&kRvol>},
    {L"JOIN", L"JN", 4, notBuiltEntry<&kJoin>},
    {L"STRCH", L"S", 0, notBuiltEntry<&kStrch>},
    {L"INERTIA", L"INERTIA", 0, notBuiltEntry<&kInertia>},
    {L"SPMLMOD", L"SPMLMOD", 0, notBuiltEntry<&kSpmlmod>},
};

} // namespace

std::span<const zelframe::CommandRow> commandTable() {
    return kTable;
}

} // namespace draftedit
