#include "draftedit/commands/scale.h"

#include "arx/ads.h"
#include "arx/dlg.h"
#include "arx/ed.h"
#include "common/bar/dlgbar.h"
#include "common/drag/drag.h"
#include "common/frame/inputreactors.h"
#include "common/services/hoststate.h"
#include "common/services/pick.h"
#include "common/support/zelsupport.h"
#include "draftedit/commands/command_tolerances.h"
#include "draftedit/commands/pass_selection.h"

#include <array>
#include <cwchar>
#include <optional>
#include <string>

namespace draftedit {
namespace {

// The command's page and the coordinate bar.
constexpr unsigned kScaleOptions = kDragLoadDialog | kDragBarCoord; // 0x50
constexpr const ACHAR* kScaleDialog = L"CMDKAKUDAI";
// Bits of "ZelGlobalSw2002": the point and the selection left by the LISP code are used.
constexpr int kGlobalPointBit = 1;
constexpr int kGlobalSelectionBit = 2;
// Characters of an entry's text (the terminating null included).
constexpr size_t kEntryLength = 80;
// Decimals of a measured length.
constexpr int kMeasuredPrecision = 10;

enum Mode { kByFactor = 0, kByReference = 1 };

// The three entries of the dialog bar.
enum Entry { kReference = 0, kNewLength = 1, kFactor = 2 };
constexpr int kEntryCount = 3;
constexpr int kEntryField[kEntryCount] = {3, 5, 7};
constexpr const ACHAR* kEntryDefaultText[kEntryCount] = {L"0", L"0", L"1"};
constexpr double kEntryDefaultValue[kEntryCount] = {0.0, 0.0, 1.0};

// The prompts, by index.
enum Prompt {
    kPromptCommand = 0,
    kPromptSelect = 1,
    kPromptBasePoint = 2,
    kPromptFactor = 3,
    kPromptReference = 4,
    kPromptSecondPoint = 5,
    kPromptNewLength = 6,
    kPromptPositive = 7,
};
constexpr const ACHAR* kPrompts[] = {
    L"ｺﾏﾝﾄﾞ",
    L"ｵﾌﾞｼﾞｪｸﾄを選択",
    L"基点を指示",
    L"尺度を入力",
    L"参照する長さを入力",
    L"2 点目を指示",
    L"新しい長さを入力",
    L"入力する値は正の値を入力してください.",
};
constexpr const ACHAR* kMissingValue = L"長さ/拡大率を指定してください.";
constexpr const ACHAR* kMeasureFirst = L"\n(長さ参照中)1点目を指示 :";
constexpr const ACHAR* kMeasureSecond = L"\n(長さ参照中)2点目を指示 :";

// The input being waited for, and whether a dialog-bar entry cancelled it.
enum WaitState { kIdle = 0, kWaiting = 1, kCancelledByBar = 2 };
// A length to measure (buttons 3 and 4).
enum Measure { kNoMeasure = 0, kMeasureReference = 1, kMeasureNewLength = 2 };

// What the command keeps between runs (the module starts with these values).
struct ScaleEntries {
    int mode = kByFactor;
    std::array<std::wstring, kEntryCount> texts{L"0", L"0", L"1"};
    std::array<double, kEntryCount> values{0.0, 0.0, 1.0};
};

ScaleEntries& kept() {
    static ScaleEntries entries;
    return entries;
}

std::optional<Entry> entryOfField(int field) {
    for (int e = 0; e < kEntryCount; ++e)
        if (kEntryField[e] == field) return Entry(e);
    return std::nullopt;
}

std::wstring fieldKey(int field) {
    return std::to_wstring(field);
}

void undo(const ACHAR* option) {
    acedCommandS(RTSTR, L"UNDO", RTSTR, option, RTNONE);
}

// The result of an input call, and whether the dialog bar cancelled it.
struct Input {
    int rc = RTNONE;
    bool byBar = false;
};

// A value the mode needs that is not there: its prompt and the field that takes it.
struct Missing {
    Prompt prompt;
    int field;
};

class CFuncSCALE : public CDrag {
public:
    static CDrag* s_instance;

    CFuncSCALE() : mEntries(kept()) {
        setDialogName(kScaleDialog);
        init(&s_instance, kScaleOptions);
    }
    ~CFuncSCALE() override { kept() = mEntries; }

    static void onText(int key, const ACHAR* text) {
        if (s_instance) static_cast<CFuncSCALE*>(s_instance)->text(key, text);
    }
    static void onTile(int key) {
        if (s_instance) static_cast<CFuncSCALE*>(s_instance)->tile(key);
    }

    void run() {
        PassSelection ss;
        preselect(ss);
        showPage();
        bool firstBasePoint = true;
        for (;;) {
            if (!valuesGiven()) break;
            if (!ss.held()) {
                Input in = select(ss);
                if (in.byBar) continue;
                if (in.rc != RTNORM) break;
            }
            AcGePoint3d base;
            Input in = basePoint(base, firstBasePoint);
            if (in.byBar) continue;
            if (in.rc != RTNORM) break;
            firstBasePoint = false;
            if (missingValue()) continue; // an entry was cleared meanwhile
            scale(ss, base);
        }
        ss.release();
        ArxCmd_SetLastPt();
    }

private:
    // ---- the dialog bar -------------------------------------------------------------------

    void showPage() {
        for (int e = 0; e < kEntryCount; ++e)
            Zelads_SetText(fieldKey(kEntryField[e]).c_str(), mEntries.texts[e].c_str());
        showMode();
    }

    // Reference entries (fields 3 to 6, tiles 3 and 4) in mode 1, the factor (field 7, tile
    // 5) in mode 0.
    void showMode() {
        bool byReference = mEntries.mode == kByReference;
        Zelads_SetTile(L"1", byReference ? L"0" : L"1");
        Zelads_SetTile(L"2", byReference ? L"1" : L"0");
        for (const ACHAR* key : {L"3", L"4", L"5", L"6"})
            Zelads_ModeText(key, byReference ? 1 : 0);
        Zelads_ShowTile(L"3", byReference ? 1 : 0);
        Zelads_ShowTile(L"4", byReference ? 1 : 0);
        Zelads_ModeText(L"7", byReference ? 0 : 1);
        Zelads_ShowTile(L"5", byReference ? 0 : 1);
    }

    void showPrompt(Prompt p) {
        std::wstring line = std::wstring(kPrompts[p]) + L" :";
        ArxCmd_SetText(L"1", line.c_str());
    }

    void setEntry(Entry e, const std::wstring& text, double value) {
        mEntries.texts[e] = text.substr(0, kEntryLength - 1);
        mEntries.values[e] = value;
        Zelads_SetText(fieldKey(kEntryField[e]).c_str(), mEntries.texts[e].c_str());
    }

    void resetEntry(Entry e) { setEntry(e, kEntryDefaultText[e], kEntryDefaultValue[e]); }

    void text(int field, const ACHAR* typed) {
        std::optional<Entry> e = entryOfField(field);
        if (!e) return;
        ACHAR out[kEntryLength] = L"";
        std::wcsncpy(out, mEntries.texts[*e].c_str(), kEntryLength - 1);
        double value = mEntries.values[*e];
        bool usable = typed && *typed && evalNumber(typed, out, kEntryLength, value);
        if (usable && value <= cmdtol::kLengthZero) acutPrintf(L"\n%s", kPrompts[kPromptPositive]);
        // A reference of no length is refused (the host would divide by it).
        if (!usable || (*e == kReference && value <= cmdtol::kLengthZero)) {
            resetEntry(*e);
            return;
        }
        setEntry(*e, out, value);
        cancelInput();
    }

    void tile(int key) {
        if (key == 1 || key == 2) {
            mEntries.mode = key == 1 ? kByFactor : kByReference;
            showMode();
            cancelInput();
            return;
        }
        if ((key != 3 && key != 4) || mMeasure != kNoMeasure) return;
        mMeasure = key == 3 ? kMeasureReference : kMeasureNewLength;
        cancelInput();
    }

    // ---- input ----------------------------------------------------------------------------

    // A dialog-bar entry ends the input being waited for, so that the loop takes it up.
    void cancelInput() {
        if (mWait != kWaiting) return;
        mWait = kCancelledByBar;
        postToCommandLine(L"\x03");
    }

    template <class F> Input waitFor(F input) {
        mWait = kWaiting;
        Input in;
        in.rc = input();
        in.byBar = mWait == kCancelledByBar;
        mWait = kIdle;
        return in;
    }

    void measure() {
        if (mMeasure == kNoMeasure) return;
        Entry target = mMeasure == kMeasureReference ? kReference : kNewLength;
        ads_point first;
        double length = 0;
        bool given = acedGetPoint(nullptr, kMeasureFirst, first) == RTNORM &&
                     acedGetDist(first, kMeasureSecond, &length) == RTNORM;
        mMeasure = kNoMeasure;
        if (!given || length <= cmdtol::kLengthZero) return;
        ACHAR text[kEntryLength] = L"";
        RealToText(length, -1, kMeasuredPrecision, text, kEntryLength);
        setEntry(target, text, length);
    }

    std::optional<Missing> missingValue() const {
        if (mEntries.mode == kByFactor) {
            if (mEntries.values[kFactor] > 0) return std::nullopt;
            return Missing{kPromptFactor, kEntryField[kFactor]};
        }
        if (!(mEntries.values[kReference] > 0))
            return Missing{kPromptReference, kEntryField[kReference]};
        if (!(mEntries.values[kNewLength] > 0))
            return Missing{kPromptNewLength, kEntryField[kNewLength]};
        return std::nullopt;
    }

    // Until the mode has its values (told once per command, then asked for on the bar):
    // false when the user cancelled the wait.
    bool valuesGiven() {
        for (;;) {
            measure();
            std::optional<Missing> missing = missingValue();
            if (!missing) return true;
            showPrompt(missing->prompt);
            Zelads_SetFocusText(fieldKey(missing->field).c_str());
            if (!mToldMissing) {
                AfxMessageBox(kMissingValue, MB_OK);
                mToldMissing = true;
            }
            acutPrintf(L"\n%s", kPrompts[missing->prompt]);
            ads_point ignored;
            Input in = waitFor([&] { return acedGetPoint(nullptr, L"\n", ignored); });
            if (!in.byBar && in.rc != RTNORM && in.rc != RTNONE) return false;
        }
    }

    void preselect(PassSelection& ss) {
        if (acedSSGet(L"I", nullptr, nullptr, nullptr, ss.name()) == RTNORM) {
            ss.own();
            return;
        }
        if (GlobalSwitch(kGlobalSelectionBit) && GlobalSelection(ss.name())) ss.own();
    }

    Input select(PassSelection& ss) {
        showPrompt(kPromptSelect);
        acutPrintf(L"\n%s :", kPrompts[kPromptSelect]);
        ZelSetFreezeSnapLock(1);
        Input in =
            waitFor([&] { return acedSSGet(nullptr, nullptr, nullptr, nullptr, ss.name()); });
        ZelSetFreezeSnapLock(0);
        if (in.rc == RTNORM) ss.own();
        if (in.byBar) ss.release();
        return in;
    }

    Input basePoint(AcGePoint3d& base, bool first) {
        showPrompt(kPromptBasePoint);
        ads_point p = {0, 0, 0};
        Input in;
        if (first && GlobalSwitch(kGlobalPointBit) && GlobalPoint(p)) {
            in.rc = RTNORM;
        } else {
            std::wstring prompt = L"\n" + std::wstring(kPrompts[kPromptBasePoint]) + L" :";
            in = waitFor([&] { return acedGetPoint(nullptr, prompt.c_str(), p); });
        }
        base = AcGePoint3d(p[X], p[Y], p[Z]);
        return in;
    }

    // ---- the scaling ----------------------------------------------------------------------

    void scale(PassSelection& ss, const AcGePoint3d& base) {
        ads_point b = {base.x, base.y, base.z};
        undo(L"BE");
        if (mEntries.mode == kByFactor)
            acedCommandS(RTSTR, L"SCALE", RTPICKS, ss.name(), RTSTR, L"", RTSTR, L"NON", RTPOINT, b,
                         RTREAL, mEntries.values[kFactor], RTNONE);
        else
            acedCommandS(RTSTR, L"SCALE", RTPICKS, ss.name(), RTSTR, L"", RTSTR, L"NON", RTPOINT, b,
                         RTSTR, L"R", RTREAL, mEntries.values[kReference], RTREAL,
                         mEntries.values[kNewLength], RTNONE);
        acedCommandS(RTNONE);
        ss.release();
        acedRestoreStatusBar();
        undo(L"E");
    }

    ScaleEntries mEntries;
    int mWait = kIdle;
    int mMeasure = kNoMeasure;
    bool mToldMissing = false;
};

CDrag* CFuncSCALE::s_instance = nullptr;

} // namespace

void scaleCommand() {
    CFuncSCALE cmd;
    Zelads_FpText(&CFuncSCALE::onText);
    Zelads_FpTile(&CFuncSCALE::onTile);
    cmd.run();
}

} // namespace draftedit
