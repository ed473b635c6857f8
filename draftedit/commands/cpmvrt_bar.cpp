// The move, copy and rotate commands' side of the dialog bar: the page set up for the mode, the
// values kept from run to run, and what the user's edits and presses do to the running object.
#include "common/bar/dlgbar.h"
#include "common/frame/inputreactors.h"
#include "common/services/hoststate.h"
#include "draftedit/commands/cpmvrt_command.h"
#include "draftedit/commands/cpmvrt_tolerance.h"
#include "draftedit/commands/cpmvrt_value.h"

#include <optional>

namespace draftedit::cpmvrt {

namespace {

constexpr unsigned kCpmvrtOptions = kDragLoadDialog | kDragBarCoord; // 0x50
constexpr const ACHAR* kDialogName = L"CMDCOPY";
constexpr const ACHAR* kCancel = L"\x03";
constexpr int kAngleTextPrecision = 10;
constexpr size_t kAngleTextRoom = 40;

// What the process keeps between runs (empty or zero when the module is loaded).
struct Kept {
    std::wstring refText, newText;
    double refValue = 0, newValue = 0;
    int mode = kMove;
    int repeat = 0;
};

Kept& kept() {
    static Kept values;
    return values;
}

std::wstring key(int n) {
    return std::to_wstring(n);
}

void cancelPrompt() {
    postToCommandLine(kCancel);
}

// The field's value when the text is a usable angle: above the smallest angle, or exactly 0.
std::optional<double> usableAngle(const ACHAR* text) {
    if (!text || !*text) return std::nullopt;
    double value = -1.0;
    ACHAR evaluated[64] = L"";
    if (!CDrag::evalNumber(text, evaluated, 64, value)) return std::nullopt;
    if (value > kSmallestFieldAngle || value == 0) return value;
    return std::nullopt;
}

} // namespace

CDrag* CFuncCPMVRT::s_instance = nullptr;

CFuncCPMVRT::CFuncCPMVRT() {
    const Kept& k = kept();
    mRefText = k.refText;
    mNewText = k.newText;
    mRefValue = k.refValue;
    mNewValue = k.newValue;
    mMode = k.mode;
    mRepeat = k.repeat;
    setDialogName(kDialogName);
    init(&s_instance, kCpmvrtOptions);
}

CFuncCPMVRT::~CFuncCPMVRT() {
    kept().repeat = mRepeat;
    freeSelection();
}

void CFuncCPMVRT::textCallback(int key, const ACHAR* text) {
    if (auto* running = dynamic_cast<CFuncCPMVRT*>(s_instance)) running->onText(key, text);
}

void CFuncCPMVRT::tileCallback(int key) {
    if (auto* running = dynamic_cast<CFuncCPMVRT*>(s_instance)) running->onTile(key);
}

void CFuncCPMVRT::setUpDialog() {
    bool turn = rotating();
    Zelads_SetText(L"1", turn ? L"[回転]" : L"[移動/ｺﾋﾟｰ]");
    // Tiles 1 and 2 are a radio pair; the bar does not clear the other one by itself.
    bool first = mMode == kMove || mMode == kRotateMoving;
    Zelads_SetTile(first ? L"1" : L"2", L"1");
    Zelads_SetTile(first ? L"2" : L"1", L"0");
    if (turn) {
        Zelads_ModeText(L"3", 0, 1);
        Zelads_ModeText(L"3", 1, 0);
        Zelads_ShowTile(L"3", 0);
    } else {
        Zelads_ShowText(L"3", 0, 1);
        Zelads_ShowText(L"3", 1, 0);
        Zelads_ShowTile(L"3", 1);
        if (mRepeat) Zelads_SetTile(L"3", L"1");
    }
    Zelads_ModeText(L"4", 0, 0);
    Zelads_SetText(L"5", L"");
    Zelads_ModeTile(L"4", 0);
    Zelads_ModeText(L"6", 0, 0);
    Zelads_SetText(L"7", L"");
    Zelads_ModeTile(L"5", 0);
    ArxCmd_SetText(L"2", kDistanceLabel);
    mAngleLabel = false;
}

void CFuncCPMVRT::enableReferenceTiles() {
    Zelads_ModeText(L"4", 1, 0);
    Zelads_ModeText(L"5", 1, 0);
    Zelads_ModeTile(L"4", 1);
}

void CFuncCPMVRT::enableNewAngleField(bool on) {
    Zelads_ModeText(L"6", on ? 1 : 0, 0);
    Zelads_ModeText(L"7", on ? 1 : 0, 0);
    Zelads_ModeTile(L"5", on ? 1 : 0);
}

// An angle measured or typed for an option: kept as the field's text and value and shown.
void CFuncCPMVRT::storeAngle(int option, double degrees) {
    if (!(degrees > kSmallestFieldAngle || degrees == 0)) return;
    ACHAR text[kAngleTextRoom] = L"";
    if (RealToText(degrees, -1, kAngleTextPrecision, text, kAngleTextRoom) != RTNORM) return;
    fieldText(option) = text;
    fieldValue(option) = degrees;
    Zelads_SetText(key(option == kReferenceAngle ? kReferenceField : kNewAngleField).c_str(), text);
}

void CFuncCPMVRT::onText(int field, const ACHAR* text) {
    if (mStep != kPlacing) return;
    int option = field == kReferenceField ? kReferenceAngle : kNewAngle;
    std::optional<double> angle = usableAngle(text);
    std::optional<std::wstring> shown = angle ? FieldValueText(*angle) : std::nullopt;
    if (!shown) {
        angle = 0.0;
        shown = FieldValueText(0.0).value_or(L"0");
    }
    fieldText(option) = *shown;
    fieldValue(option) = *angle;
    Zelads_SetText(key(field).c_str(), shown->c_str());
    mPendingField = option;
    mFieldChanged = 1;
    cancelPrompt();
}

void CFuncCPMVRT::onTile(int tile) {
    switch (tile) {
    case 1:
    case 2:
        onModeTile(tile);
        return;
    case 3:
        onRepeatTile();
        return;
    case 4:
    case 5:
        onAngleTile(tile);
        return;
    default:
        return;
    }
}

// A change between rotating in place and rotating copies restarts the cycle at the base point
// too: the copies are made (or erased) with the selection.
void CFuncCPMVRT::onModeTile(int tile) {
    int mode = rotating() ? tile + 1 : tile - 1;
    if (mode == mMode) return;
    bool copiesChange = mode == kRotateCopying || mMode == kRotateCopying;
    mMode = mode;
    kept().mode = mode;
    setUpDialog();
    if (mStep == kPlacing || (mStep == kBasePoint && copiesChange)) cancelPrompt();
}

void CFuncCPMVRT::onRepeatTile() {
    mRepeat = mRepeat ? 0 : 1;
    if (!mRepeat && mStep >= kBasePoint) cancelPrompt();
}

void CFuncCPMVRT::onAngleTile(int tile) {
    if (mAngleOption != kNoAngle) return;
    Zelads_ModeTile(L"4", 0);
    Zelads_ModeTile(L"5", 0);
    mAngleOption = tile - 3;
    cancelPrompt();
}

} // namespace draftedit::cpmvrt
