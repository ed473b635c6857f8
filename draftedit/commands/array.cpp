// ZEL_ARRAY: the module storage, the dialog bar page and its callbacks, and the run of the
// command around its variant procedures.
#include "draftedit/commands/array.h"

#include "arx/ed.h"
#include "common/bar/dlgbar.h"
#include "common/frame/inputreactors.h"
#include "common/services/hoststate.h"
#include "common/services/undo.h"
#include "common/services/wtext.h"
#include "draftedit/commands/array_object.h"
#include "draftedit/commands/array_tolerance.h"

#include <cmath>
#include <string>

namespace draftedit::arraycmd {

namespace {

constexpr unsigned kArrayOptions = kDragLoadDialog | kDragBarCoord; // 0x50
constexpr const ACHAR* kPageName = L"CMDARRAY";

constexpr const ACHAR* kPrompts[] = {
    L"コマンド",
    L"オブジェクトを選択",
    L"Y(縦)方向の間隔を入力(または2点を指示)",
    L"X(横)方向の間隔を入力(または2点を指示)",
    L"元図形の基点を指示",
    L"XY(縦･横)方向の間隔になる点を指示",
    L"傾斜角度を入力(または2点を指示)",
    L"斜め方向の間隔を入力(または2点を指示)",
    L"円形状配列複写の中心を指示",
    L"全体の複写角(+=左回り/-=右回り)を入力<360>",
    L"図形間の角度を入力",
    L"Y(縦)方向の複写数を入力",
    L"X(横)方向の複写数を入力",
    L"斜め方向の複写数を入力",
    L"複写の回数を入力",
    L"角度参照中",
};

// Labels of buttons 4 to 6 by array type.
constexpr const ACHAR* kStyleLabels[2][3] = {
    {L"縦･横間隔\n入力", L"縦･横方向\n2点指示", L"斜め連続\n(1列)"},
    {L"複写回数･\n全体角", L"図形間角度\n･全体角", L"複写回数･\n図形間角度"},
};

constexpr const ACHAR* kEntryLabels[kEntryCount] = {
    L"複写数(縦)", L"複写数(横)", L"複写数(斜め)", L"複写回数", L"傾斜角度", L"図形間の角度",
};

constexpr const ACHAR* kRefusedValue = L"\n入力する値は正の値を入力してください.";
constexpr const ACHAR* kRefusedBetween = L"\n図形間の角度が小さすぎます.";

// The fields a variant shows: field key and entry; unused slots have key 0.
struct FieldUse {
    int key;
    Entry entry;
};
constexpr FieldUse kVariantFields[6][2] = {
    {{5, kRows}, {6, kColumns}},
    {{5, kRows}, {6, kColumns}},
    {{5, kDiagonalCount}, {6, kInclination}},
    {{7, kPolarCount}, {0, kRows}},
    {{8, kBetween}, {0, kRows}},
    {{7, kPolarCount}, {8, kBetween}},
};
constexpr int kFirstField = 5;
constexpr int kLastField = 8;
// The label of field k is the tile k + kLabelOffset.
constexpr int kLabelOffset = 10;
// Button 7 measures an angle: the variants that have one.
constexpr bool kVariantHasAngle[6] = {false, false, true, true, true, true};

std::wstring key(int k) {
    return std::to_wstring(k);
}

const ACHAR* onOff(bool on) {
    return on ? L"1" : L"0";
}

int fieldOf(int variant, Entry e) {
    for (const FieldUse& use : kVariantFields[variant])
        if (use.key != 0 && use.entry == e) return use.key;
    return 0;
}

CFuncARY* running() {
    return static_cast<CFuncARY*>(CFuncARY::s_instance);
}

void textCallback(int k, const ACHAR* text) {
    if (CFuncARY* cmd = running()) cmd->onText(k, text);
}

void tileCallback(int k) {
    if (CFuncARY* cmd = running()) cmd->onTile(k);
}

std::wstring cut(const std::wstring& text) {
    return text.substr(0, kEntryTextSize - 1);
}

} // namespace

// ---- module storage and entries -----------------------------------------------------------

ArrayMemory& arrayMemory() {
    static ArrayMemory memory;
    return memory;
}

bool isCount(Entry e) {
    return e == kRows || e == kColumns || e == kDiagonalCount || e == kPolarCount;
}

bool acceptableEntry(Entry e, double value) {
    if (value == 0) return true;
    if (e == kBetween) return std::fabs(value) > arraytol::kEntryMinimum;
    if (value <= arraytol::kEntryMinimum) return false;
    return !isCount(e) || value <= kMaxCount;
}

Entry entryOfField(int variant, int k) {
    if (variant <= 1) return k == 5 ? kRows : kColumns;
    if (variant == 2) return k == 5 ? kDiagonalCount : kInclination;
    return k == 8 ? kBetween : kPolarCount;
}

int resultOf(Step s) {
    return s == Step::Changed ? 2 : 0;
}

const ACHAR* promptText(int index) {
    return kPrompts[index];
}

std::wstring promptLine(int index) {
    return L"\n" + std::wstring(kPrompts[index]) + L" :";
}

// ---- the command object -------------------------------------------------------------------

CDrag* CFuncARY::s_instance = nullptr;

CFuncARY::CFuncARY() {
    const ArrayMemory& memory = arrayMemory();
    for (int i = 0; i < kEntryCount; ++i)
        mEntries[i] = memory.entries[i];
    mRotate = memory.rotate;
    mKeep = memory.keep;
    setDialogName(kPageName);
    init(&s_instance, kArrayOptions);
}

CFuncARY::~CFuncARY() {
    ArrayMemory& memory = arrayMemory();
    for (int i = 0; i < kEntryCount; ++i)
        memory.entries[i] = mEntries[i];
    memory.rotate = mRotate;
    memory.keep = mKeep;
}

void CFuncARY::run() {
    start();
    int result = 2;
    while (result == 2)
        result = runVariant();
    finish(result == 1);
}

void CFuncARY::start() {
    mHaveSet = acedSSGet(L"I", nullptr, nullptr, nullptr, mSet) == RTNORM;
    if (mHaveSet) HighlightSet(mSet, true);
    if (!mKeep)
        for (int i = 0; i < kEntryCount; ++i)
            mEntries[i] = ArrayEntry{};
    showPage();
    acedCommandS(RTSTR, L"UNDO", RTSTR, L"BE", RTNONE);
    CmdEchoSave(mEcho, 1);
}

void CFuncARY::finish(bool made) {
    acedCommandS(RTNONE);
    acedCommandS(RTSTR, L"UNDO", RTSTR, L"E", RTNONE);
    if (made) ArxCmd_SetLastPt();
    if (mHaveSet) {
        HighlightSet(mSet, false);
        acedSSFree(mSet);
        mHaveSet = false;
    }
    acedRestoreStatusBar();
    Zelads_UnloadDlg();
    CmdEchoRestore(mEcho);
}

int CFuncARY::runVariant() {
    switch (variant()) {
    case 0:
        return rectangularByDistances();
    case 1:
        return rectangularByPoints();
    case 2:
        return diagonal();
    case 3:
        return polarCountAndFill();
    case 4:
        return polarFillAndBetween();
    case 5:
        return polarCountAndBetween();
    }
    return 0;
}

// ---- the page -----------------------------------------------------------------------------

void CFuncARY::showPage() {
    Zelads_SetTile(L"1", onOff(mType == 0));
    Zelads_SetTile(L"2", onOff(mType == 1));
    Zelads_SetTile(L"3", onOff(mRotate != 0));
    Zelads_ModeTile(L"3", mType == 1 ? 1 : 0);
    for (int i = 0; i < 3; ++i) {
        Zelads_SetTileText(key(4 + i).c_str(), kStyleLabels[mType][i]);
        Zelads_SetTile(key(4 + i).c_str(), onOff(mStyle == i));
    }
    Zelads_ModeTile(L"7", kVariantHasAngle[variant()] && !mMeasure ? 1 : 0);
    Zelads_SetTile(L"8", onOff(mKeep != 0));
    int picture = mType == 0 ? (mStyle == 2 ? 1 : 0) : 3 - mRotate;
    Zelads_SetText(L"2", key(picture).c_str());
    Zelads_RedrawBitmap(2);
    showFields();
}

void CFuncARY::showFields() {
    for (int k = kFirstField; k <= kLastField; ++k) {
        Zelads_ShowText(key(k).c_str(), 0, 0);
        Zelads_ShowTile(key(k + kLabelOffset).c_str(), 0);
    }
    for (const FieldUse& use : kVariantFields[variant()]) {
        if (use.key == 0) continue;
        Zelads_SetTileText(key(use.key + kLabelOffset).c_str(), kEntryLabels[use.entry]);
        Zelads_ShowTile(key(use.key + kLabelOffset).c_str(), 1);
        Zelads_ShowText(key(use.key).c_str(), 1, 0);
        showEntry(use.entry);
    }
}

void CFuncARY::showEntry(Entry e) {
    int k = fieldOf(variant(), e);
    if (k != 0) Zelads_SetText(key(k).c_str(), mEntries[e].text.c_str());
}

void CFuncARY::setEntry(Entry e, const std::wstring& text, double value) {
    mEntries[e] = ArrayEntry{cut(text), value};
    showEntry(e);
}

void CFuncARY::clearEntry(Entry e) {
    setEntry(e, L"", 0);
}

void CFuncARY::endPendingInput() {
    if (mWait != 1) return;
    mWait = 2;
    postToCommandLine(L"\n");
}

// ---- the callbacks ------------------------------------------------------------------------

void CFuncARY::onText(int k, const ACHAR* text) {
    if (k < kFirstField || k > kLastField) return;
    Entry e = entryOfField(variant(), k);
    std::wstring typed = TrimBlanks(text ? text : L"");
    if (typed.empty()) return clearEntry(e);
    ACHAR out[64] = L"";
    mEntries[e].text.copy(out, mEntries[e].text.size());
    double value = mEntries[e].value;
    if (!evalNumber(typed.c_str(), out, 64, value)) return clearEntry(e);
    if (!acceptableEntry(e, value)) {
        acutPrintf(L"%s", e == kBetween                     ? kRefusedBetween
                          : isCount(e) && value > kMaxCount ? kCountTooLarge
                                                            : kRefusedValue);
        return clearEntry(e);
    }
    setEntry(e, out, value);
    endPendingInput();
}

void CFuncARY::onTile(int k) {
    switch (k) {
    case 1:
    case 2:
        mType = k - 1;
        break;
    case 3:
        mRotate = !mRotate;
        break;
    case 4:
    case 5:
    case 6:
        mStyle = k - 4;
        break;
    case 7:
        if (mMeasure) return;
        mMeasure = 1;
        Zelads_ModeTile(L"7", 0);
        return endPendingInput();
    case 8:
        mKeep = !mKeep;
        break;
    default:
        return;
    }
    showPage();
    endPendingInput();
}

} // namespace draftedit::arraycmd

namespace draftedit {

void arrayCommand() {
    using arraycmd::CFuncARY;
    {
        CFuncARY cmd;
        Zelads_FpText(arraycmd::textCallback);
        Zelads_FpTile(arraycmd::tileCallback);
        cmd.run();
    }
    CFuncARY::s_instance = nullptr;
}

void resetArrayMemory() {
    arraycmd::arrayMemory() = arraycmd::ArrayMemory{};
}

} // namespace draftedit
