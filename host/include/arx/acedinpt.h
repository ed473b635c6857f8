// Input of the editor as modules watch it: input-context reactors (told when an input call
// starts and when it has its answer, and around drags) and input-point monitors (told of every
// point the user gives), kept per document by its input-point manager.
#pragma once

#include "db.h"
#include "rx.h"

#include <string>
#include <vector>

class AcApDocument;

namespace Acad {
enum PromptStatus {
    eNone = RTNONE,
    eNormal = RTNORM,
    eError = RTERROR,
    eCancel = RTCAN,
    eRejected = RTREJ,
    eFailed = RTFAIL,
    eKeyword = RTKWORD,
};

// How a point came about (bits of AcEdInputPoint::history).
enum PointHistory {
    eDidNotPick = 0x0,
    eTablet = 0x1,
    eNotDigitizer = 0x2, // typed, not clicked
    eLastPt = 0x4,
    eGripped = 0x8,
    eCartSnapped = 0x10,
    eOrtho = 0x20,
    eCyclingPt = 0x40,
    eOsnapped = 0x80,
    eUsedPickBox = 0x2000,
    eUsedOsnapBox = 0x4000,
    ePickAborted = 0x8000,
    ePickMask = 0xE000,
    eFromKeyboard = 0x80000,
};
} // namespace Acad

// One point given by the user, as the monitors see it.
class AcEdInputPoint {
public:
    AcApDocument* document() const { return mDocument; }
    bool pointComputed() const { return mComputed; }
    int history() const { return mHistory; }
    const AcGePoint3d& lastPoint() const { return mLastPoint; }
    const AcGePoint3d& rawPoint() const { return mRawPoint; }
    const AcGePoint3d& computedPoint() const { return mComputedPoint; }
    const AcGePoint3d& osnappedPoint() const { return mComputedPoint; }
    int osnapMask() const { return mOsnapMask; }
    // Entities whose key points the object snap used, and entities under the pick box.
    const AcDbObjectIdArray& keyPointEntities() const { return mKeyPointEntities; }
    const AcDbObjectIdArray& pickedEntities() const { return mPickedEntities; }

    // Filled by the host.
    AcApDocument* mDocument = nullptr;
    bool mComputed = true;
    int mHistory = 0;
    int mOsnapMask = 0;
    AcGePoint3d mLastPoint, mRawPoint, mComputedPoint;
    AcDbObjectIdArray mKeyPointEntities, mPickedEntities;
};

// What a monitor adds to the point: a tooltip text and a message for the command line.
class AcEdInputPointMonitorResult {
public:
    void setAdditionalTooltipString(const ACHAR* s) { mTooltip = s ? s : L""; }
    const std::wstring& additionalTooltipString() const { return mTooltip; }

private:
    std::wstring mTooltip;
};

class AcEdInputPointMonitor {
public:
    virtual ~AcEdInputPointMonitor() = default;
    virtual Acad::ErrorStatus monitorInputPoint(const AcEdInputPoint& input,
                                                AcEdInputPointMonitorResult& output) = 0;
    virtual bool excludeFromOsnapCalculation(const AcDbObjectIdArray&, int) { return false; }
};

// Told when the editor starts an input call (begin: with its prompt, the base point when it
// has one, the acedInitGet bits and keywords) and when the call has its answer (end: with its
// status and value); every begin is followed by the matching end, RTCAN when the user
// cancelled. Corners are asked as points. The points of a drag (the second point of MOVE, the
// angle of ROTATE ...) come as beginDragSequence/endDragSequence instead. Points are in world
// coordinates. The base class does nothing.
class AcEdInputContextReactor {
public:
    virtual ~AcEdInputContextReactor() = default;
    virtual void beginGetPoint(const AcGePoint3d* pointIn, const ACHAR* promptString,
                               int initGetFlags, const ACHAR* pKeywords) {}
    virtual void endGetPoint(Acad::PromptStatus returnStatus, const AcGePoint3d& pointOut,
                             const ACHAR*& pKeyword) {}
    virtual void beginGetAngle(const AcGePoint3d* pointIn, const ACHAR* promptString,
                               int initGetFlags, const ACHAR* pKeywords) {}
    virtual void endGetAngle(Acad::PromptStatus returnStatus, double& angle,
                             const ACHAR*& pKeyword) {}
    virtual void beginGetOrientation(const AcGePoint3d* pointIn, const ACHAR* promptString,
                                     int initGetFlags, const ACHAR* pKeywords) {}
    virtual void endGetOrientation(Acad::PromptStatus returnStatus, double& angle,
                                   const ACHAR*& pKeyword) {}
    virtual void beginGetDistance(const AcGePoint3d* pointIn, const ACHAR* promptString,
                                  int initGetFlags, const ACHAR* pKeywords) {}
    virtual void endGetDistance(Acad::PromptStatus returnStatus, double& distance,
                                const ACHAR*& pKeyword) {}
    virtual void beginGetString(const ACHAR* promptString, int initGetFlags) {}
    virtual void endGetString(Acad::PromptStatus returnStatus, ACHAR* pString) {}
    virtual void beginGetKeyword(const ACHAR* promptString, int initGetFlags,
                                 const ACHAR* pKeywords) {}
    virtual void endGetKeyword(Acad::PromptStatus returnStatus, const ACHAR*& pKeyword) {}
    virtual void beginGetInteger(const int* dfault, const ACHAR* promptString, int initGetFlags,
                                 const ACHAR* pKeywords) {}
    virtual void endGetInteger(Acad::PromptStatus returnStatus, int& retValue,
                               const ACHAR*& pKeyword) {}
    virtual void beginGetReal(const double* dfault, const ACHAR* promptString, int initGetFlags,
                              const ACHAR* pKeywords) {}
    virtual void endGetReal(Acad::PromptStatus returnStatus, double& returnValue,
                            const ACHAR*& pKeyword) {}
    virtual void beginEntsel(const ACHAR* promptString, int initGetFlags, const ACHAR* pKeywords) {}
    virtual void endEntsel(Acad::PromptStatus returnStatus, const AcDbObjectId& entPicked,
                           const AcGePoint3d& pickPoint, const ACHAR* pKeyword) {}
    // pSSControls: ":S" (one selection ends it), ":E" (everything in the pick box); points:
    // those given with the call (none for the prompt this host runs); entMask: the filter.
    virtual void beginSSGet(const ACHAR* pPrompt, int initGetFlags, const ACHAR* pKeywords,
                            const ACHAR* pSSControls, const std::vector<AcGePoint3d>& points,
                            const resbuf* entMask) {}
    virtual void endSSGet(Acad::PromptStatus returnStatus, const AcDbObjectIdArray& ss) {}
    virtual void beginDragSequence(const ACHAR* promptString) {}
    virtual void endDragSequence(Acad::PromptStatus returnStatus, AcGePoint3d& pickPoint,
                                 AcGeVector3d& vec) {}
};

// The monitors and reactors of one document. Adding one twice is refused (eDuplicateKey);
// removing one that is not there gives eKeyNotFound.
class AcEdInputPointManager {
public:
    virtual ~AcEdInputPointManager() = default;
    virtual Acad::ErrorStatus addPointMonitor(AcEdInputPointMonitor* monitor) = 0;
    virtual Acad::ErrorStatus removePointMonitor(AcEdInputPointMonitor* monitor) = 0;
    virtual Acad::ErrorStatus addInputContextReactor(AcEdInputContextReactor* reactor) = 0;
    virtual Acad::ErrorStatus removeInputContextReactor(AcEdInputContextReactor* reactor) = 0;
};
