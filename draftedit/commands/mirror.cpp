#include "draftedit/commands/mirror.h"

#include "arx/db.h"
#include "arx/dbads.h"
#include "arx/dbents_simple.h"
#include "arx/dbmain.h"
#include "arx/ed.h"
#include "common/bar/dlgbar.h"
#include "common/drag/drag.h"
#include "common/frame/inputreactors.h"
#include "common/services/entkind.h"
#include "common/services/hoststate.h"
#include "common/services/numbers.h"
#include "common/services/pick.h"
#include "common/services/sysvar.h"
#include "common/services/undo.h"
#include "common/support/zelsupport.h"
#include "draftedit/commands/command_tolerances.h"
#include "draftedit/commands/pass_selection.h"

#include <optional>
#include <string>

namespace draftedit {
namespace {

// Marker and drag set, DRAGMODE held, the command's page and the coordinate bar.
constexpr unsigned kMirrorOptions =
    kDragMarker | kDragFreezeDragmode | kDragLoadDialog | kDragBarCoord; // 0x59
constexpr const ACHAR* kMirrorDialog = L"CMDMIRROR";
// Lines, construction lines and rays can be the axis.
constexpr unsigned kAxisKinds = kKindLine | kKindXline | kKindRay; // 25
// The second axis point of a construction line or ray: this far along its direction.
constexpr double kAxisReach = 100.0;
// "CheckRButton" while the host takes the second axis point with its own preview.
constexpr int kHostTakesSecondPoint = 17;
// Bit of "ZelGlobalSw2002": the selection left by the LISP code is used.
constexpr int kGlobalSelectionBit = 2;

constexpr const ACHAR* kSelectPrompt = L"ｵﾌﾞｼﾞｪｸﾄを選択 :";
constexpr const ACHAR* kAxisPrompt = L"\n対称軸の1点,または軸となる線分を指示 :";
constexpr const ACHAR* kAxisPointPrompt = L"\n対称軸の1点を指示 :";
constexpr const ACHAR* kSecondPointPrompt = L"\n対称軸の2点目を指示 :";
constexpr const ACHAR* kSamePoints = L"\n対称軸の2点が一致しています.";

// The erase mode is the index of the answer to the host's question.
enum EraseMode { kEraseSource = 0, kKeepSource = 1 };

const ACHAR* answerOf(int eraseMode) {
    return eraseMode == kEraseSource ? L"Y" : L"N";
}

std::wstring postedAnswer(int eraseMode) {
    return std::wstring(answerOf(eraseMode)) + L"\n";
}

AcGePoint3d pointOf(const ads_point p) {
    return AcGePoint3d(p[X], p[Y], p[Z]);
}

void toAds(const AcGePoint3d& p, ads_point out) {
    out[X] = p.x;
    out[Y] = p.y;
    out[Z] = p.z;
}

void undo(const ACHAR* option) {
    acedCommandS(RTSTR, L"UNDO", RTSTR, option, RTNONE);
}

// Two points of the axis, in the UCS.
struct Axis {
    AcGePoint3d from, to;
    bool degenerate() const { return from.distanceTo(to) <= cmdtol::kLengthZero; }
};

// The axis of the picked entity (a line from start to end; a construction line or ray from
// its base point along its direction); the record keeps the entity for its highlight.
std::optional<Axis> axisOf(PickRecord& pick, const ads_name ent) {
    AcDbEntity* e = nullptr;
    if (acdbGetObjectId(pick.picked, ent) != Acad::eOk ||
        acdbOpenAcDbEntity(e, pick.picked, AcDb::kForRead) != Acad::eOk || !e)
        return std::nullopt;
    bool known = KindAccepted(e, pick.accepted) && CurveRecordFrom(pick.curve, e, 1.0);
    e->close();
    if (!known) return std::nullopt;
    pick.held = pick.picked;
    const CurveRecord& c = pick.curve;
    AcGePoint3d to = c.kind == kKindLine ? c.b : c.a + c.vector * kAxisReach;
    return Axis{WcsToUcs(c.a), WcsToUcs(to)};
}

// Posts the erase answer once the host's drag of the second axis point ends on a point other
// than the first (the host asks again for a point equal to the first, and the answer must
// wait for that).
class SecondPointWatcher : public CZelInputContextReactor {
public:
    SecondPointWatcher(AcApDocument* doc, const AcGePoint3d& firstWcs, int eraseMode)
        : CZelInputContextReactor(doc), mFirst(firstWcs) {
        setAnswer(eraseMode);
    }
    void setAnswer(int eraseMode) { armForDrag(postedAnswer(eraseMode)); }

    void endDragSequence(Acad::PromptStatus status, AcGePoint3d& pickPoint,
                         AcGeVector3d& vec) override {
        if (pickPoint.distanceTo(mFirst) <= cmdtol::kLengthZero) return;
        CZelInputContextReactor::endDragSequence(status, pickPoint, vec);
    }

private:
    AcGePoint3d mFirst;
};

class CFuncMIRROR : public CDrag {
public:
    static CDrag* s_instance;

    explicit CFuncMIRROR(int eraseMode)
        : mHostPreview(IntVar(L"DRAGMODE", 2) == 2), mEraseMode(eraseMode) {
        mAxis.accepted = kAxisKinds;
        setDialogName(kMirrorDialog);
        init(&s_instance, kMirrorOptions);
    }

    static void onTile(int key) {
        if (s_instance) static_cast<CFuncMIRROR*>(s_instance)->tile(key);
    }

    void run() {
        PassSelection preselected;
        if (acedSSGet(L"I", nullptr, nullptr, nullptr, preselected.name()) == RTNORM)
            preselected.own();
        showPage();
        undo(L"BE");
        int echo = 1;
        CmdEchoSave(echo, 1);
        for (bool first = true;; first = false) {
            PassSelection ss;
            if (!select(ss, preselected, first)) break;
            mirrorPass(ss);
        }
        leave(echo);
    }

private:
    // ---- the dialog bar -------------------------------------------------------------------

    void showPage() {
        showEraseMode();
        mMirrorText = IntVar(L"MIRRTEXT", 1) != 0;
        showMirrorText();
    }
    void showEraseMode() {
        Zelads_SetTile(L"1", mEraseMode == kEraseSource ? L"1" : L"0");
        Zelads_SetTile(L"2", mEraseMode == kKeepSource ? L"1" : L"0");
    }
    void showMirrorText() { Zelads_SetTile(L"3", mMirrorText ? L"1" : L"0"); }

    void tile(int key) {
        if (key == 1 || key == 2) {
            mEraseMode = key == 1 ? kEraseSource : kKeepSource;
            showEraseMode();
            if (mWatcher) mWatcher->setAnswer(mEraseMode);
            return;
        }
        if (key != 3) return;
        mMirrorText = !mMirrorText;
        SetShortVar(L"MIRRTEXT", mMirrorText ? 1 : 0);
        showMirrorText();
    }

    // ---- one pass -------------------------------------------------------------------------

    // The objects of this pass: the global selection or the pick-first set in the first pass
    // only (a set used again would never end the command), else the user's selection.
    bool select(PassSelection& ss, PassSelection& preselected, bool first) {
        if (first && GlobalSwitch(kGlobalSelectionBit) && GlobalSelection(ss.name())) {
            ss.own();
            return true;
        }
        if (first && preselected.held()) {
            ss.takeFrom(preselected);
            return true;
        }
        acutPrintf(L"\n%s", kSelectPrompt);
        if (acedSSGet(nullptr, nullptr, nullptr, nullptr, ss.name()) != RTNORM) return false;
        ss.own();
        return true;
    }

    void mirrorPass(PassSelection& ss) {
        undo(L"BE");
        HighlightSet(ss.name(), true);
        ads_name ent = {0, 0};
        ads_point first = {0, 0, 0};
        int picked = pickAxis(ent, first);
        if (picked & kZelSelEntity)
            mirrorAboutObject(ss, ent);
        else if (picked & kZelSelPoint)
            mirrorFromPoint(ss, first);
        // The set is shown plain again whatever happened (the kept source of MIRRORC too).
        HighlightSet(ss.name(), false);
        ss.release();
        HighlightPick(mAxis, false);
        mAxis.held = mAxis.picked = AcDbObjectId();
        acedCommandS(RTNONE);
        undo(L"E");
    }

    int pickAxis(ads_name ent, ads_point first) {
        int osmode = IntVar(L"OSMODE", 0);
        int picked = thunk_zel_entselp(0, kAxisPrompt, kAxisPointPrompt, kAxisKinds, ent, first, 0);
        SetOsmode(osmode);
        ZelSetFreezeOsMode(0);
        return picked;
    }

    void mirrorAboutObject(PassSelection& ss, const ads_name ent) {
        std::optional<Axis> axis = axisOf(mAxis, ent);
        if (!axis) return;
        HighlightPick(mAxis, true);
        sendMirror(ss, *axis);
    }

    void mirrorFromPoint(PassSelection& ss, const ads_point first) {
        Zelads_ResetOsmode();
        noteLastPoint(pointOf(first));
        if (mHostPreview) {
            letHostTakeSecondPoint(ss, first);
            return;
        }
        ads_point second;
        if (acedGetPoint(first, kSecondPointPrompt, second) != RTNORM) return;
        noteLastPoint(pointOf(second));
        sendMirror(ss, Axis{pointOf(first), pointOf(second)});
    }

    void sendMirror(PassSelection& ss, const Axis& axis) {
        if (axis.degenerate()) {
            acutPrintf(L"%s", kSamePoints);
            return;
        }
        ads_point p1, p2;
        toAds(axis.from, p1);
        toAds(axis.to, p2);
        acedCommandS(RTSTR, L".mirror", RTPICKS, ss.name(), RTSTR, L"", RTSTR, L"NON", RTPOINT, p1,
                     RTSTR, L"NON", RTPOINT, p2, RTSTR, answerOf(mEraseMode), RTNONE);
    }

    // The host drags the second point with its own preview; the watcher answers its question
    // (with the erase mode as it stands when the point is given).
    void letHostTakeSecondPoint(PassSelection& ss, const ads_point first) {
        setLastPoint(pointOf(first));
        SecondPointWatcher watcher(document(), UcsToWcs(pointOf(first)), mEraseMode);
        mWatcher = &watcher;
        ZelSetLocInt(L"CheckRButton", kHostTakesSecondPoint);
        resbuf* list = acutBuildList(RTSTR, L".mirror", RTPICKS, ss.name(), RTSTR, L"", RTSTR,
                                     L"NON", RTPOINT, first, 0);
        acedCmdS(list);
        acutRelRb(list);
        watcher.detach();
        mWatcher = nullptr;
        ZelSetLocText(L"CheckRButton", L"0");
        ZelSetLocText(L"ResultButton", L"0");
    }

    void noteLastPoint(const AcGePoint3d& p) {
        mLastPoint = p;
        mHaveLastPoint = true;
    }

    // ---- leaving --------------------------------------------------------------------------

    void leave(int echo) {
        // The group opened at the start is still open when no pass ran.
        UndoCloseGroup();
        ZelSetFreezeOsMode(0);
        Zelads_ResetOsmode();
        SetShortVar(L"MIRRTEXT", mMirrorText ? 1 : 0);
        acedRestoreStatusBar();
        if (mHaveLastPoint)
            setLastPoint(mLastPoint);
        else
            ArxCmd_SetLastPt();
        CmdEchoRestore(echo);
    }

    bool mHostPreview; // DRAGMODE was automatic when the command started
    int mEraseMode;
    bool mMirrorText = true;
    PickRecord mAxis;
    SecondPointWatcher* mWatcher = nullptr;
    AcGePoint3d mLastPoint;
    bool mHaveLastPoint = false;
};

CDrag* CFuncMIRROR::s_instance = nullptr;

void runMirror(int eraseMode) {
    CFuncMIRROR cmd(eraseMode);
    Zelads_FpTile(&CFuncMIRROR::onTile);
    cmd.run();
}

} // namespace

void mirrorMoveCommand() {
    runMirror(kEraseSource);
}

void mirrorCopyCommand() {
    runMirror(kKeepSource);
}

} // namespace draftedit
