// The per-document record of a module: what its reactors note for the running command (a
// cancelled host command, key-point picks), the command instance of the commands that keep it
// per document, preview vectors and a kept point. One record per open document, made on first
// use and dropped when the document is destroyed.
#pragma once

#include "arx/acdocman.h"
#include "arx/ge.h"

#include <map>
#include <string>

class CDrag;
class asdkInputPointMonitor;

class CDocData {
public:
    CDocData() = default;
    ~CDocData();
    CDocData(const CDocData&) = delete;
    CDocData& operator=(const CDocData&) = delete;

    // Set just before a host command runs on a command's behalf; setting it clears the
    // cancelled flag, which the editor reactor sets when a command is cancelled meanwhile.
    void setCancelWatch(bool on);
    bool cancelWatch() const { return mCancelWatch; }
    bool cancelled() const { return mCancelled; }
    void noteCancelled();

    CDrag* runningCommand() const { return mRunning; }
    void setRunningCommand(CDrag* cmd);

    asdkInputPointMonitor* pointMonitor() const { return mMonitor; }
    void setPointMonitor(asdkInputPointMonitor* m) { mMonitor = m; }
    bool keyPointPicked() const { return mKeyPoint; }
    void setKeyPointPicked(bool on) { mKeyPoint = on; }

    // The commands' own values for this document, by name.
    const std::wstring* value(const std::wstring& key) const;
    void setValue(const std::wstring& key, std::wstring value) { mValues[key] = std::move(value); }

    void* sharedList() const { return mShared; }
    void setSharedList(void* list) { mShared = list; }

    // Temporary vectors drawn for this document (owned: freed with the record).
    resbuf* vectors() const { return mVectors; }
    void setVectors(resbuf* list);
    // Erases the vectors from the screen when the view is as it was when they were drawn,
    // and frees them either way.
    void refreshVectors();

    const AcGePoint3d& lastPoint() const { return mLastPoint; }
    void setLastPoint(const AcGePoint3d& p) { mLastPoint = p; }

private:
    CDrag* mRunning = nullptr;
    void* mCompanion = nullptr;
    asdkInputPointMonitor* mMonitor = nullptr;
    bool mKeyPoint = false;
    bool mCancelWatch = false;
    bool mCancelled = false;
    std::map<std::wstring, std::wstring> mValues;
    void* mShared = nullptr;
    resbuf* mVectors = nullptr;
    AcGePoint3d mViewCentre;
    double mViewSize = 0;
    AcGePoint3d mLastPoint;
};

// The record of a document (the current one by default). The records live from the module's
// initialisation (startDocData) to its unload (endDocData).
CDocData& docData(AcApDocument* doc = nullptr);
void startDocData();
void endDocData();
