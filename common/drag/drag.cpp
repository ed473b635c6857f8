#include "common/drag/drag.h"

#include "arx/aced.h"
#include "arx/dbents_simple.h"
#include "arx/dbsymtb.h"
#include "arx/dlg.h"
#include "arx/ed.h"
#include "common/bar/dlgbar.h"
#include "common/drag/dragmodereactor.h"
#include "common/frame/view.h"
#include "common/services/sysvar.h"
#include "common/support/zelsupport.h"

#include <cwchar>

namespace {

void freeVectors(resbuf*& list) {
    acutRelRb(list);
    list = nullptr;
}

} // namespace

CDrag::CDrag() {
    ZelSetLocText(L"CmdLine/UsePrompt", L"1");
}

void CDrag::init(CDrag** slot, unsigned options) {
    mOptions = options;
    zelframe::View view = zelframe::currentView();
    mViewCentre = view.centre;
    mViewSize = view.size;
    mThreshold = mCounter = 5;
    mSlot = slot;
    if (!slot) ZelMessageBox(L"引数が不正です", L"ASSERT", MB_OK);
    if (slot) *slot = this;
    Zelads_ResetOsmode();
    Zelads_ResetDrgmode();
    ResetDialogBar();
    if (mOptions & kDragWatcher) mWatcher = std::make_unique<CDragModeReactor>(this);
    mDoc = curDoc();
    thunk_zel_DrgSw(mDoc, this, 1);
    if (mOptions & kDragMarker) makeMarker();
    startDrawingAids();
    mButtonMode = 0;
    ZelSetLocText(L"CheckRButton", L"0");
    ZelSetLocText(L"ResultButton", L"0");
    ZelSetLocText(L"ResultTmp", L"0");
    if (mOptions & kDragUsePrompt) ZelSetLocText(L"CmdLine/UsePrompt", L"1");
    if (mOptions & kDragLoadDialog) Zelads_LoadDlg(mDialog.c_str());
    static const std::pair<unsigned, int> kBarPages[] = {
        {kDragBarDefault, 0}, {kDragBarCoord, 2}, {kDragBarText, 1}};
    for (const auto& [bit, page] : kBarPages)
        if ((mOptions & bit) && !ArxCmd_LoadDlg(page)) acutPrintf(L"\nError:ArxCmdLoad()");
    mPicked.clear();
}

CDrag::~CDrag() {
    ZelSetLocText(L"ResultTmp", L"0");
    if (mOptions & kDragMarker) dropMarker();
    thunk_zel_DrgSw(mDoc, this, 0);
    mPicked.clear();
    if (mOptions & kDragLightEnd) {
        Zelads_ResetDrgmode();
    } else {
        ResetDialogBar();
        ZelSetLocText(L"CmdLine/UsePrompt", L"0");
        if (mOptions & (kDragBarDefault | kDragBarCoord | kDragBarText)) ArxCmd_EndJob();
        if (mOptions & kDragLoadDialog) Zelads_UnloadDlg();
        mWatcher.reset();
        Zelads_ResetDrgmode();
        mButtonMode = 0;
        ZelSetLocText(L"CheckRButton", L"0");
        ZelSetLocText(L"ResultButton", L"0");
        endDrawingAids();
        Zelads_ResetDrgmode();
        Zelads_ResetOsmode();
    }
    freeVectors(mPreview);
    freeVectors(mPreview2);
    if (mSlot && *mSlot == this) *mSlot = nullptr;
}

// OSMODE is given back as it was (the bar's reset shows it again); DRAGMODE goes back to
// automatic when it was, else off.
void CDrag::startDrawingAids() {
    if (mOptions & kDragFreezeOsmode) {
        ZelSetFreezeOsMode(1);
        mSavedOsmode = IntVar(L"OSMODE");
        SetShortVar(L"OSMODE", 0);
    }
    if (mOptions & kDragFreezeDragmode) {
        ZelSetFreezeDragMode(1);
        mDragmodeWasAuto = IntVar(L"DRAGMODE") == 2;
        if (!mDragmodeWasAuto) SetShortVar(L"DRAGMODE", 2);
    }
}

void CDrag::endDrawingAids() {
    if (mOptions & kDragFreezeDragmode) {
        ZelSetFreezeDragMode(0);
        SetShortVar(L"DRAGMODE", mDragmodeWasAuto ? 2 : 0);
    }
    if (mOptions & kDragFreezeOsmode) {
        SetShortVar(L"OSMODE", mSavedOsmode);
        Zelads_ResetOsmode();
        ZelSetFreezeOsMode(0);
    }
}

void CDrag::makeMarker() {
    AcDbBlockTableRecord* space = nullptr;
    AcDbBlockTable* table = nullptr;
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (!db || db->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return;
    Acad::ErrorStatus es = table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForWrite);
    table->close();
    if (es != Acad::eOk) return;
    auto* marker = new AcDbPoint(AcGePoint3d::kOrigin);
    marker->setVisibility(false);
    AcDbObjectId id;
    es = space->appendAcDbEntity(id, marker);
    space->close();
    if (es != Acad::eOk) {
        delete marker;
        return;
    }
    marker->close();
    acdbGetAdsName(mMarker, id);
    acedSSAdd(mMarker, nullptr, mDragSet);
}

void CDrag::dropMarker() {
    if (mDragSet[0] || mDragSet[1]) acedSSFree(mDragSet);
    if (mMarker[0] || mMarker[1]) acdbEntDel(mMarker);
    mDragSet[0] = mDragSet[1] = mMarker[0] = mMarker[1] = 0;
}

int CDrag::sampleFilter(const AcGePoint3d& pt, AcGeMatrix3d&, int force) {
    int resultTmp = ZelGetLocInt(L"ResultTmp", 0);
    ZelSetLocText(L"ResultTmp", L"0");
    if (mRestart) {
        mRestart = 0;
        mCounter = mThreshold;
    }
    mPrevious = mHavePrevious ? mCurrent : pt;
    mHavePrevious = 1;
    mCurrent = pt;
    zelframe::View view = zelframe::currentView();
    if (view.sameAs(mViewCentre, mViewSize)) {
        if (mPreview) acedGrVecs(mPreview, nullptr);
        freeVectors(mPreview);
    } else {
        mViewCentre = view.centre;
        mViewSize = view.size;
        freeVectors(mPreview);
    }
    if (resultTmp != 0 || force) return 1;
    mCounter = mHold ? 0 : mCounter + 1;
    if (mCounter < mThreshold) return 1;
    if (!mButtonMode) return 0;
    return ZelGetLocInt(L"ResultButton", 0) == 1;
}

void CDrag::acceptSample(const AcGePoint3d&, AcGeMatrix3d&) {
    if (!mHold) mAccepted = mCurrent;
}

void CDrag::beginDrag(const AcGePoint3d* base, unsigned char option) {
    mDragOption = option;
    if (base) {
        mBaseGiven = 1;
        mBase = AcGePoint3d(base->x, base->y, 0);
    }
    if (!(mOptions & kDragFreezeDragmode)) {
        mDragmodeWasAuto = IntVar(L"DRAGMODE") == 2;
        if (!mDragmodeWasAuto) SetShortVar(L"DRAGMODE", 2);
    }
    mPicked.clear();
    mDragActive = 1;
}

void CDrag::endDrag() {
    mDragActive = 0;
    mDragOption = 0;
    mBaseGiven = 0;
    mBase = AcGePoint3d::kOrigin;
    if (mOptions & kDragFreezeDragmode) return;
    int now = IntVar(L"DRAGMODE");
    if (mDragmodeWasAuto && now != 2) SetShortVar(L"DRAGMODE", 2);
    if (!mDragmodeWasAuto && now != 0) SetShortVar(L"DRAGMODE", 0);
}

int CDrag::drag(const ads_name ss, const ACHAR* prompt, int cursor,
                int (*sampler)(ads_point, ads_matrix), ads_point result) {
    bool addedWindowBit = false;
    if (cursor == 2) {
        cursor = 1;
        addedWindowBit = !(mOptions & kDragWindowCursor);
        mOptions |= kDragWindowCursor;
    }
    int rc = acedDragGen(ss, prompt, cursor, sampler, result);
    if (addedWindowBit) mOptions &= ~unsigned(kDragWindowCursor);
    return rc;
}

int CDrag::sampleThrough(CDrag* running, ads_point pt, ads_matrix) {
    if (!running) return RTERROR;
    AcGePoint3d p(pt[X], pt[Y], pt[Z]);
    AcGeMatrix3d m;
    if (!running->sampleFilter(p, m, 0)) return RTERROR;
    running->acceptSample(p, m);
    return RTNORM;
}

int CDrag::resetInterruptFlags() {
    int wasSet = 0;
    if (ZelGetLocInt(L"IsAppInt", 0)) {
        ZelResetIsAppInt();
        wasSet = 1;
    }
    if (ZelGetLocInt(L"IsFrom", 0)) {
        ZelResetIsFrom();
        wasSet = 1;
    }
    return wasSet;
}

void CDrag::clearInterrupt() {
    ZelResetIsAppInt();
    mHold = 0;
}

void CDrag::erasePreview() {
    if (mDragmodeWasAuto) {
        if (mPreview) acedGrVecs(mPreview, nullptr);
        return;
    }
    freeVectors(mPreview);
}
