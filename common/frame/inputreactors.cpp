#include "common/frame/inputreactors.h"

#include "arx/aced.h"
#include "common/frame/docdata.h"

namespace {

// A point that came from the pick box, the snap box or an aborted pick, or that was typed.
constexpr int kPickOrTyped = Acad::ePickMask | Acad::eNotDigitizer;

} // namespace

void postToCommandLine(const std::wstring& text) {
    acedPostCommandText(text.c_str());
}

CZelInputContextReactor::CZelInputContextReactor(AcApDocument* doc) {
    if (doc) attach(doc);
}

CZelInputContextReactor::~CZelInputContextReactor() {
    detach();
}

void CZelInputContextReactor::attach(AcApDocument* doc) {
    if (mDoc || !doc || !doc->inputPointManager()) return;
    doc->inputPointManager()->addInputContextReactor(this);
    mDoc = doc;
}

void CZelInputContextReactor::detach() {
    if (!mDoc) return;
    if (AcEdInputPointManager* m = mDoc->inputPointManager()) m->removeInputContextReactor(this);
    mDoc = nullptr;
}

void CZelInputContextReactor::armForDrag(const std::wstring& text) {
    mMode = kWatchDrag;
    mCount = 0;
    mText = text;
}

void CZelInputContextReactor::armForPoints(int target, const std::wstring& text) {
    mMode = kCountPoints;
    mCount = 0;
    mTarget = target;
    mText = text;
}

void CZelInputContextReactor::endGetPoint(Acad::PromptStatus status, const AcGePoint3d&,
                                          const ACHAR*&) {
    if (mMode != kCountPoints || status != Acad::eNormal) return;
    if (++mCount == mTarget) postToCommandLine(mText);
}

void CZelInputContextReactor::endDragSequence(Acad::PromptStatus status, AcGePoint3d& pickPoint,
                                              AcGeVector3d&) {
    if (mMode != kWatchDrag || status != Acad::eNormal) return;
    mDragPoint = pickPoint;
    if (!mText.empty()) postToCommandLine(mText);
}

asdkInputPointMonitor::asdkInputPointMonitor(AcApDocument* doc, bool attach) : mDoc(doc) {
    if (attach && doc && doc->inputPointManager() &&
        doc->inputPointManager()->addPointMonitor(this) == Acad::eOk) {
        mAttached = true;
        docData(doc).setPointMonitor(this);
    }
    docData().setKeyPointPicked(false);
}

asdkInputPointMonitor::~asdkInputPointMonitor() {
    if (!mAttached) return;
    if (AcEdInputPointManager* m = mDoc->inputPointManager()) m->removePointMonitor(this);
    CDocData& rec = docData(mDoc);
    if (rec.pointMonitor()) rec.setPointMonitor(nullptr);
}

Acad::ErrorStatus asdkInputPointMonitor::monitorInputPoint(const AcEdInputPoint& input,
                                                           AcEdInputPointMonitorResult&) {
    bool picked = (input.history() & kPickOrTyped) != 0;
    if (picked && !input.keyPointEntities().empty()) docData().setKeyPointPicked(true);
    return Acad::eOk;
}
