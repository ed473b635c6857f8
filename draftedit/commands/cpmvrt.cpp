// The selection cycles of the move, copy and rotate commands: each cycle takes a selection and
// a base point, then hands the placement to the host's MOVE, COPY or ROTATE (the user finishes
// it) and learns from the reactors how it ended. ZEL_ROTATEC rotates copies made in place and
// erases the copies that were never rotated.
#include "draftedit/commands/cpmvrt.h"

#include "arx/db.h"
#include "arx/dbads.h"
#include "arx/ed.h"
#include "common/bar/dlgbar.h"
#include "common/frame/docdata.h"
#include "common/frame/inputreactors.h"
#include "common/services/hoststate.h"
#include "common/services/numbers.h"
#include "common/services/pick.h"
#include "common/services/undo.h"
#include "common/support/zelsupport.h"
#include "draftedit/commands/cpmvrt_command.h"

#include <cwchar>
#include <memory>
#include <numbers>

namespace draftedit::cpmvrt {

namespace {

struct ListFree {
    void operator()(resbuf* rb) const { acutRelRb(rb); }
};
using List = std::unique_ptr<resbuf, ListFree>;

constexpr const ACHAR* kSelectPrompt = L"ｵﾌﾞｼﾞｪｸﾄを選択 :";
constexpr const ACHAR* kBasePrompt = L"基点を指示 :";
constexpr const ACHAR* kCentrePrompt = L"回転の中心点を指示 :";
constexpr const ACHAR* kDestinationPrompt = L"目的点を指示 :";
constexpr const ACHAR* kAnglePrompt = L"回転角度を指示 :";
constexpr const ACHAR* kNewAnglePrompt = L"新しい角度 :";
constexpr const ACHAR* kReferenceFirstPrompt = L"参照する角度(1 点目) :";
constexpr const ACHAR* kNewAngleFirstPrompt = L"新しい角度(1 点目) :";
constexpr const ACHAR* kSecondPointPrompt = L"2 点目を指示 :";
constexpr const ACHAR* kCopyFailed = L"\n[Zelｴﾗｰ]複写を作成できませんでした.";
// Posted after the first placement of the host's COPY: its "Exit" ends it after one copy.
constexpr const ACHAR* kEndCopy = L"E\n";

const ACHAR* hostCommand(int mode) {
    switch (mode) {
    case kMove:
        return L".MOVE";
    case kCopy:
        return L".COPY";
    default:
        return L".ROTATE";
    }
}

void promptLine(const ACHAR* text) {
    ArxCmd_SetText(L"1", text);
}

void cancelPendingHostCommand() {
    acedCommandS(RTNONE);
}

void appendList(List& list, resbuf* tail) {
    if (!list) {
        list.reset(tail);
        return;
    }
    resbuf* end = list.get();
    while (end->rbnext)
        end = end->rbnext;
    end->rbnext = tail;
}

// Vertices, attributes and sequence ends travel with their owner.
bool isSubEntity(const ads_name ent) {
    resbuf* data = acdbEntGet(ent);
    const resbuf* type = FindGroup(data, 0);
    bool sub = type && type->resval.rstring &&
               (std::wcscmp(type->resval.rstring, L"VERTEX") == 0 ||
                std::wcscmp(type->resval.rstring, L"SEQEND") == 0 ||
                std::wcscmp(type->resval.rstring, L"ATTRIB") == 0);
    acutRelRb(data);
    return sub;
}

// The entities after `after` (from the first one when the drawing was empty), in a new set;
// false (no set) when there are none.
bool entitiesAfter(const ads_name after, bool haveAfter, ads_name result) {
    ads_name at;
    int rc = haveAfter ? acdbEntNext(after, at) : acdbEntNext(nullptr, at);
    bool any = false;
    while (rc == RTNORM) {
        if (!isSubEntity(at) && any) acedSSAdd(at, result, result);
        if (!isSubEntity(at) && !any) any = acedSSAdd(at, nullptr, result) == RTNORM;
        ads_name next;
        rc = acdbEntNext(at, next);
        at[0] = next[0];
        at[1] = next[1];
    }
    return any;
}

// A point of LASTPOINT, or false when it cannot be read.
bool lastPoint(AcGePoint3d& p) {
    resbuf rb{};
    if (acedGetVar(L"LASTPOINT", &rb) != RTNORM) return false;
    if (rb.restype != RT3DPOINT && rb.restype != RTPOINT) return false;
    p = AcGePoint3d(rb.resval.rpoint[X], rb.resval.rpoint[Y],
                    rb.restype == RT3DPOINT ? rb.resval.rpoint[Z] : 0.0);
    return true;
}

} // namespace

// ---- the run --------------------------------------------------------------------------------

int CFuncCPMVRT::run(int mode) {
    Zelads_MaskEvent(4, 1);
    Zelads_MaskEvent(5, 1);
    takePreselection();
    mMode = mode;
    mStep = kBeforeSelection;
    setUpDialog();
    mRefText.clear();
    mNewText.clear();
    mRefValue = mNewValue = -1.0;
    acedCommandS(RTSTR, L"UNDO", RTSTR, L"BE", RTNONE);
    int echo = 0;
    CmdEchoSave(echo, 1);
    for (bool first = true; runCycle(first); first = false) {
    }
    freeSelection();
    acedRestoreStatusBar();
    ArxCmd_SetLastPt();
    Zelads_UnloadDlg();
    CmdEchoRestore(echo);
    return RTNORM;
}

void CFuncCPMVRT::takePreselection() {
    if (acedSSGet(L"I", nullptr, nullptr, nullptr, mSelection) == RTNORM) {
        acedSSSetFirst(nullptr, nullptr); // taken: the host's commands must not find it again
        mHaveSelection = true;
        return;
    }
    if (GlobalSwitch(2) && GlobalSelection(mSelection)) mHaveSelection = true;
}

// One selection with its placements; false when the user ended the command.
bool CFuncCPMVRT::runCycle(bool first) {
    s_instance = this;
    if (!first) setUpDialog();
    mStep = kSelecting;
    ArxCmd_NULL(1);
    ArxCmd_SetLastPt();
    ArxCmd_Step(L"0");
    if (!mHaveSelection && !selectObjects()) {
        endAtSelection();
        return false;
    }
    ArxCmd_NULL(0);
    if (mMode == kRotateCopying && !copyInPlace()) {
        acutPrintf(L"%s", kCopyFailed);
        closeCycle();
        return true;
    }
    setHighlight(true);
    s_instance = this;
    ArxCmd_SetLastPt();
    ArxCmd_Step(L"0");
    mStep = kBasePoint;
    ads_point base;
    if (basePoint(first, base)) placeFrom(AcGePoint3d(base[X], base[Y], base[Z]));
    closeCycle();
    return true;
}

bool CFuncCPMVRT::selectObjects() {
    promptLine(kSelectPrompt);
    ZelSetFreezeSnapLock(1);
    int rc = acedSSGet(nullptr, nullptr, nullptr, nullptr, mSelection);
    ZelSetFreezeSnapLock(0);
    mHaveSelection = rc == RTNORM;
    return mHaveSelection;
}

void CFuncCPMVRT::endAtSelection() {
    cancelPendingHostCommand();
    acedCommandS(RTSTR, L"UNDO", RTSTR, L"E", RTNONE);
    if (mHighlighted) setHighlight(false);
}

bool CFuncCPMVRT::basePoint(bool first, ads_point base) {
    const ACHAR* prompt = rotating() ? kCentrePrompt : kBasePrompt;
    promptLine(prompt);
    if (first && GlobalSwitch(1)) return GlobalPoint(base);
    return acedGetPoint(nullptr, prompt, base) == RTNORM;
}

// ---- the passes of one base point ---------------------------------------------------------

void CFuncCPMVRT::placeFrom(AcGePoint3d base) {
    mStep = kPlacing;
    setLastPoint(base);
    for (;;) {
        List list(passList(base));
        bool userCompletes = !(rotating() && mAngleOption == kNewAngle);
        showPassPrompt();
        mAngleOption = kNoAngle;
        mPendingField = kNoAngle;
        mFieldChanged = 0;
        ArxCmd_SetFocusText(L"3");
        int result = runHostCommand(list.get(), userCompletes);
        if (mMode == kMove && result == RTNORM) setLastPoint(WcsToUcs(mDragPoint));
        if (mAngleOption != kNoAngle) {
            askAngle();
            continue;
        }
        if (mPendingField != kNoAngle) {
            mAngleOption = mPendingField;
            mPendingField = kNoAngle;
            if (mAngleOption == kReferenceAngle) enableNewAngleField(true);
            continue;
        }
        if (!afterPass(result, base)) return;
    }
}

// The host command of this pass, with the angle fields' texts when an angle option is chosen.
resbuf* CFuncCPMVRT::passList(const AcGePoint3d& base) {
    ads_point at = {base.x, base.y, base.z};
    List list(acutBuildList(RTSTR, hostCommand(mMode), RTPICKS, mSelection, RTSTR, L"", RTSTR,
                            L"NON", RTPOINT, at, 0));
    if (rotating() && mAngleOption != kNoAngle)
        appendList(list, acutBuildList(RTSTR, L"R", RTSTR, mRefText.c_str(), 0));
    if (rotating() && mAngleOption == kNewAngle)
        appendList(list, acutBuildList(RTSTR, mNewText.c_str(), 0));
    if (mAngleLabel) {
        ArxCmd_SetText(L"2", kDistanceLabel);
        mAngleLabel = false;
    }
    ArxCmd_Step(L"1");
    return list.release();
}

void CFuncCPMVRT::showPassPrompt() {
    if (!rotating()) {
        promptLine(kDestinationPrompt);
    } else if (mAngleOption == kNoAngle) {
        promptLine(kAnglePrompt);
        ArxCmd_SetText(L"2", kAngleLabel);
        mAngleLabel = true;
    } else {
        promptLine(kNewAnglePrompt);
    }
    if (mFieldChanged) Zelads_SetFocusText(L"7", L"0");
}

// Runs the host command until the user ends it: RTERROR when the support library saw the
// right button end it, RTCAN when it was cancelled, else what the host answered.
int CFuncCPMVRT::runHostCommand(const resbuf* list, bool userCompletes) {
    if (userCompletes && rotating()) enableReferenceTiles();
    CZelInputContextReactor reactor;
    if (!rotating()) {
        reactor.armForDrag(mMode == kCopy ? kEndCopy : L"");
        reactor.attach(curDoc());
    }
    setButtonMode(true);
    ZelSetLocText(L"ResultButton", L"0");
    ZelSetLocText(L"CheckRButton", L"1");
    CDocData& record = docData();
    record.setCancelWatch(true);
    int rc = acedCmdS(list);
    reactor.detach();
    record.setCancelWatch(false);
    int result = rc;
    if (ZelGetLocInt(L"ResultButton", 1) == 2)
        result = RTERROR;
    else if (record.cancelled())
        result = RTCAN;
    ZelSetLocText(L"ResultButton", L"0");
    ZelSetLocText(L"CheckRButton", L"0");
    setButtonMode(false);
    mDragPoint = reactor.dragPoint();
    return result;
}

// After a pass the host ended by itself: false when the placements from this base are over.
bool CFuncCPMVRT::afterPass(int result, AcGePoint3d& base) {
    cancelPendingHostCommand();
    if (result != RTNORM) return false;
    switch (mMode) {
    case kMove:
        return mRepeat && lastPoint(base);
    case kCopy:
        return mRepeat != 0;
    default:
        break;
    }
    enableReferenceTiles();
    enableNewAngleField(false);
    if (mMode == kRotateMoving) return true;
    setHighlight(false);
    mCopiesPending = 0; // the copies are turned now: they stay
    if (copyInPlace()) return true;
    acutPrintf(L"%s", kCopyFailed);
    return false;
}

// The angle of the option chosen on the bar, by two points (or typed into a field meanwhile).
void CFuncCPMVRT::askAngle() {
    int option = mAngleOption;
    cancelPendingHostCommand();
    Zelads_ModeTile(L"4", 0);
    Zelads_ModeTile(L"5", 0);
    const ACHAR* first = option == kReferenceAngle ? kReferenceFirstPrompt : kNewAngleFirstPrompt;
    promptLine(first);
    ads_point from;
    double radians = 0;
    double degrees = -1.0;
    if (acedGetPoint(nullptr, first, from) == RTNORM) {
        promptLine(kSecondPointPrompt);
        if (acedGetAngle(from, kSecondPointPrompt, &radians) == RTNORM)
            degrees = radians * 180.0 / std::numbers::pi;
    }
    Zelads_ModeTile(L"4", 1);
    if (mPendingField != kNoAngle) {
        mAngleOption = mPendingField;
        mPendingField = kNoAngle;
    } else {
        storeAngle(option, degrees);
    }
    if (mAngleOption == kReferenceAngle) enableNewAngleField(true);
}

// ---- the selection ------------------------------------------------------------------------

// Copies of the selection in place (the host's ARRAY of one row, two columns, no spacing); the
// selection becomes the copies. False (selection kept) when no copy was made.
bool CFuncCPMVRT::copyInPlace() {
    ads_name last = {0, 0};
    bool haveLast = LastEntity(last);
    int rc = acedCommandS(RTSTR, L".array", RTPICKS, mSelection, RTSTR, L"", RTSTR, L"R", RTSHORT,
                          1, RTSHORT, 2, RTSHORT, 0, RTNONE);
    cancelPendingHostCommand(); // an array that wanted more is not left open
    if (rc != RTNORM) return false;
    ads_name copies;
    if (!entitiesAfter(last, haveLast, copies)) return false;
    freeSelection();
    mSelection[0] = copies[0];
    mSelection[1] = copies[1];
    mHaveSelection = true;
    mCopiesPending = 1;
    return true;
}

void CFuncCPMVRT::closeCycle() {
    setHighlight(false);
    if (mCopiesPending && mHaveSelection)
        acedCommandS(RTSTR, L"ERASE", RTPICKS, mSelection, RTSTR, L"", RTNONE);
    mCopiesPending = 0;
    freeSelection();
}

void CFuncCPMVRT::setHighlight(bool on) {
    if (mHaveSelection) HighlightSet(mSelection, on);
    mHighlighted = on;
}

void CFuncCPMVRT::freeSelection() {
    if (mHaveSelection) acedSSFree(mSelection);
    mHaveSelection = false;
    mSelection[0] = mSelection[1] = 0;
}

} // namespace draftedit::cpmvrt

namespace draftedit {

namespace {

template <int Mode> void runCpmvrt() {
    cpmvrt::CFuncCPMVRT cmd;
    Zelads_FpText(&cpmvrt::CFuncCPMVRT::textCallback);
    Zelads_FpTile(&cpmvrt::CFuncCPMVRT::tileCallback);
    cmd.run(Mode);
}

} // namespace

void moveCommand() {
    runCpmvrt<cpmvrt::kMove>();
}

void copyCommand() {
    runCpmvrt<cpmvrt::kCopy>();
}

void rotateMovingCommand() {
    runCpmvrt<cpmvrt::kRotateMoving>();
}

void rotateCopyingCommand() {
    runCpmvrt<cpmvrt::kRotateCopying>();
}

} // namespace draftedit
