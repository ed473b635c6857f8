#include "common/frame/docdata.h"

#include "arx/aced.h"
#include "arx/ed.h"
#include "common/frame/view.h"

#include <memory>

namespace {

std::unique_ptr<AcApDataManager<CDocData>> gRecords;

} // namespace

CDocData::~CDocData() {
    acutRelRb(mVectors);
}

void CDocData::setCancelWatch(bool on) {
    mCancelWatch = on;
    if (on) mCancelled = false;
}

void CDocData::noteCancelled() {
    if (mCancelWatch) mCancelled = true;
}

void CDocData::setRunningCommand(CDrag* cmd) {
    mRunning = cmd;
    if (!cmd) mCompanion = nullptr;
}

const std::wstring* CDocData::value(const std::wstring& key) const {
    auto it = mValues.find(key);
    return it == mValues.end() ? nullptr : &it->second;
}

void CDocData::setVectors(resbuf* list) {
    if (list != mVectors) acutRelRb(mVectors);
    mVectors = list;
}

void CDocData::refreshVectors() {
    zelframe::View now = zelframe::currentView();
    bool same = now.sameAs(mViewCentre, mViewSize);
    if (same && mVectors) acedGrVecs(mVectors, nullptr);
    if (!same) {
        mViewCentre = now.centre;
        mViewSize = now.size;
    }
    acutRelRb(mVectors);
    mVectors = nullptr;
}

CDocData& docData(AcApDocument* doc) {
    if (!gRecords) startDocData();
    return doc ? gRecords->docData(doc) : gRecords->docData();
}

void startDocData() {
    if (!gRecords) gRecords = std::make_unique<AcApDataManager<CDocData>>();
}

void endDocData() {
    gRecords.reset();
}
