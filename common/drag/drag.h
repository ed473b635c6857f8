// CDrag: the base of every command object. It owns what commands share: the dialog bar of the
// command (loaded at the start, reset at the end), the drawing aids OSMODE and DRAGMODE it
// freezes and gives back, the drag of a point with its sampling rules and preview vectors, and
// small input services (object-snap strings, the pick box, the last point, numbers typed into
// the bar evaluated with CAL).
#pragma once

#include "arx/acdocman.h"
#include "arx/ads.h"
#include "arx/ge.h"

#include <memory>
#include <string>
#include <vector>

class CDragModeReactor;

// Option bits given at initialisation.
enum CDragOption : unsigned {
    kDragMarker = 0x1,         // a marker point entity and a selection set holding it
    kDragFreezeOsmode = 0x4,   // OSMODE 0 while the command runs
    kDragFreezeDragmode = 0x8, // DRAGMODE 2 while the command runs
    kDragLoadDialog = 0x10,    // the command's page in the dialog bar
    kDragBarDefault = 0x20,    // the command-line bar's default page
    kDragBarCoord = 0x40,      // its coordinate page
    kDragBarText = 0x80,       // its text page
    kDragWindowCursor = 0x100, // a window-selection cursor (also set during a cursor-2 drag)
    kDragCorner = 0x200,       // tested by the corner commands
    kDragLightEnd = 0x800,     // the end only resets the drag mode of the bar
    kDragWatcher = 0x1000,     // a drag-mode watcher
    kDragUsePrompt = 0x2000,   // the bar's prompt line shows the prompts
};

class CDrag {
public:
    CDrag();
    virtual ~CDrag();
    CDrag(const CDrag&) = delete;
    CDrag& operator=(const CDrag&) = delete;

    // Accept (nonzero) or stop (0) the point a drag reports.
    virtual int sampleFilter(const AcGePoint3d& pt, AcGeMatrix3d& mat, int force);
    // Records the current sample as the accepted point (unless held).
    virtual void acceptSample(const AcGePoint3d& pt, AcGeMatrix3d& mat);
    // Transient graphics while an input-point monitor runs (none here).
    virtual void drawTransient(void* drawContext, const AcGePoint3d& cursor) {}

    // Called by the constructor of each command class with its instance slot.
    void init(CDrag** slot, unsigned options);

    void beginDrag(const AcGePoint3d* base, unsigned char option);
    void endDrag();
    // acedDragGen with this class's sampler; cursor type 2 is given as 1 and sets
    // kDragWindowCursor for the time of the call.
    int drag(const ads_name ss, const ACHAR* prompt, int cursor,
             int (*sampler)(ads_point, ads_matrix), ads_point result);
    // The body of every command class's sampler: the running object's filter and accept.
    static int sampleThrough(CDrag* running, ads_point pt, ads_matrix mat);

    // 1 when "IsAppInt" or "IsFrom" was set (both are reset).
    int resetInterruptFlags();
    void clearInterrupt();
    void erasePreview();

    // Object-snap modes of an OSMODE value ("NON" for 0 and values above 16383).
    static std::wstring osnapModes(int osmode);
    // The point snapped with the current OSMODE: RTNORM snapped, RTERROR tried and missed,
    // RTNONE no snap modes (out is the input point when not snapped).
    static int snapPoint(const ads_point in, ads_point out);
    // The corners of the pick box around p; p itself is left in display coordinates.
    static void pickBox(ads_point p, ads_point lower, ads_point upper);
    static void toDisplay(ads_point p);
    static void setLastPoint(const AcGePoint3d& p);
    // A number typed into the bar, evaluated by CAL: 1 with value and text set, 0 for a
    // wrong expression (told). When CAL cannot be called, 1 and value unchanged.
    static int evalNumber(const ACHAR* text, ACHAR* out, size_t outSize, double& value);
    // The text as CAL gets it: ".0" after every integer literal that is not 0.
    static std::wstring realLiterals(const std::wstring& text);

    unsigned options() const { return mOptions; }
    AcApDocument* document() const { return mDoc; }
    bool dragActive() const { return mDragActive != 0; }
    const AcGePoint3d& acceptedPoint() const { return mAccepted; }
    const AcGePoint3d& currentSample() const { return mCurrent; }
    int sampleCounter() const { return mCounter; }
    void setSampleCounter(int n) { mCounter = n; }
    void requestRestart() { mRestart = 1; }
    void setHold(bool on) { mHold = on ? 1 : 0; }
    void setButtonMode(bool on) { mButtonMode = on ? 1 : 0; }
    int threshold() const { return mThreshold; }
    const ads_name& markerSet() const { return mDragSet; }
    void setDialogName(const std::wstring& name) { mDialog = name; }

    AcGePoint3d workPoints[3];

protected:
    resbuf* mPreview = nullptr;
    resbuf* mPreview2 = nullptr;
    std::vector<int64_t> mPicked;

private:
    void startDrawingAids();
    void endDrawingAids();
    void makeMarker();
    void dropMarker();

    int mDragActive = 0;
    unsigned mOptions = 0;
    int mRestart = 0;
    ads_name mMarker = {0, 0};
    ads_name mDragSet = {0, 0};
    AcGePoint3d mCurrent, mPrevious, mAccepted;
    int mThreshold = 5;
    int mCounter = 5;
    int mButtonMode = 0;
    int mHavePrevious = 0;
    int mHold = 0;
    int mDragmodeWasAuto = 0;
    int mSavedOsmode = 0;
    int mDynSelMode = 1;
    AcGePoint3d mViewCentre;
    double mViewSize = 0;
    AcApDocument* mDoc = nullptr;
    CDrag** mSlot = nullptr;
    std::wstring mDialog;
    std::unique_ptr<CDragModeReactor> mWatcher;
    unsigned char mDragOption = 0;
    int mBaseGiven = 0;
    AcGePoint3d mBase;
};
