// Watchers of the editor's input that a command sets up around a host command it issues: one
// counts the points given (and posts a text after so many) or watches the end of a drag; the
// other notes picks that the object snap took from key points of entities.
#pragma once

#include "arx/acdocman.h"
#include "arx/acedinpt.h"

#include <string>

class CZelInputContextReactor : public AcEdInputContextReactor {
public:
    // With a document it is attached to that document's input at once.
    explicit CZelInputContextReactor(AcApDocument* doc = nullptr);
    ~CZelInputContextReactor() override;
    CZelInputContextReactor(const CZelInputContextReactor&) = delete;
    CZelInputContextReactor& operator=(const CZelInputContextReactor&) = delete;

    virtual void attach(AcApDocument* doc);
    virtual void detach();
    virtual AcApDocument* document() const { return mDoc; }
    virtual bool isAttached() const { return mDoc != nullptr; }

    // After a drag that ends normally: keep its point and post text (when not empty).
    void armForDrag(const std::wstring& text);
    // After `target` points given normally: post text.
    void armForPoints(int target, const std::wstring& text);
    const AcGePoint3d& dragPoint() const { return mDragPoint; }
    int count() const { return mCount; }

    void endGetPoint(Acad::PromptStatus status, const AcGePoint3d& point,
                     const ACHAR*& keyword) override;
    void endDragSequence(Acad::PromptStatus status, AcGePoint3d& pickPoint,
                         AcGeVector3d& vec) override;

private:
    enum Mode { kIdle = -1, kCountPoints = 0, kWatchDrag = 1 };
    AcApDocument* mDoc = nullptr;
    int mCount = 0;
    int mTarget = 0;
    std::wstring mText;
    int mMode = kIdle;
    AcGePoint3d mDragPoint;
};

// Notes in the document's record when a point is picked on a key point of an entity.
class asdkInputPointMonitor : public AcEdInputPointMonitor {
public:
    // With attach it watches the document's input and the record names it. Either way the
    // current record's key-point flag is cleared.
    asdkInputPointMonitor(AcApDocument* doc, bool attach);
    ~asdkInputPointMonitor() override;
    asdkInputPointMonitor(const asdkInputPointMonitor&) = delete;
    asdkInputPointMonitor& operator=(const asdkInputPointMonitor&) = delete;

    Acad::ErrorStatus monitorInputPoint(const AcEdInputPoint& input,
                                        AcEdInputPointMonitorResult& output) override;

private:
    AcApDocument* mDoc = nullptr;
    bool mAttached = false;
};

// Sends text to the command line as if typed; the single character 3 cancels the prompt.
void postToCommandLine(const std::wstring& text);
