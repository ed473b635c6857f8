// The command object of the move, copy and rotate commands: its state, the dialog bar's page
// (cpmvrt_bar.cpp) and the selection cycles that hand the work to the host (cpmvrt.cpp).
#pragma once

#include "arx/ads.h"
#include "arx/ge.h"
#include "common/drag/drag.h"

#include <string>

namespace draftedit::cpmvrt {

enum Mode : int { kMove = 0, kCopy = 1, kRotateMoving = 2, kRotateCopying = 3 };
enum Step : int { kBeforeSelection = 0, kSelecting = 1, kBasePoint = 2, kPlacing = 3 };
enum AngleOption : int { kNoAngle = 0, kReferenceAngle = 1, kNewAngle = 2 };

// Dialog bar keys of the page.
inline constexpr int kReferenceField = 5;
inline constexpr int kNewAngleField = 7;
inline constexpr const ACHAR* kDistanceLabel = L"距離･Ｘ:";
inline constexpr const ACHAR* kAngleLabel = L"角度･Ｘ:";

class CFuncCPMVRT : public CDrag {
public:
    static CDrag* s_instance;

    CFuncCPMVRT();
    ~CFuncCPMVRT() override;

    // The main procedure; always RTNORM.
    int run(int mode);

    // The dialog bar's callbacks, forwarded to the running object.
    static void textCallback(int key, const ACHAR* text);
    static void tileCallback(int key);

private:
    // ---- the dialog bar (cpmvrt_bar.cpp) ----
    void setUpDialog();
    void onText(int field, const ACHAR* text);
    void onTile(int tile);
    void onModeTile(int tile);
    void onRepeatTile();
    void onAngleTile(int tile);
    void enableReferenceTiles();
    void enableNewAngleField(bool on);
    // The text and value of the field of an angle option.
    std::wstring& fieldText(int option) { return option == kReferenceAngle ? mRefText : mNewText; }
    double& fieldValue(int option) { return option == kReferenceAngle ? mRefValue : mNewValue; }
    void storeAngle(int option, double degrees);

    // ---- the cycles (cpmvrt.cpp) ----
    bool rotating() const { return mMode == kRotateMoving || mMode == kRotateCopying; }
    void takePreselection();
    bool runCycle(bool first);
    bool selectObjects();
    void endAtSelection();
    bool basePoint(bool first, ads_point base);
    void placeFrom(AcGePoint3d base);
    resbuf* passList(const AcGePoint3d& base);
    void showPassPrompt();
    int runHostCommand(const resbuf* list, bool userCompletes);
    bool afterPass(int result, AcGePoint3d& base);
    void askAngle();
    bool copyInPlace();
    void closeCycle();
    void setHighlight(bool on);
    void freeSelection();

    int mMode = kMove;
    std::wstring mRefText, mNewText;
    double mRefValue = -1.0, mNewValue = -1.0;
    int mRepeat = 0;
    int mAngleOption = kNoAngle;
    int mPendingField = kNoAngle;
    int mFieldChanged = 0;
    int mStep = kBeforeSelection;
    ads_name mSelection = {0, 0};
    bool mHaveSelection = false;
    int mCopiesPending = 0;
    bool mHighlighted = false;
    bool mAngleLabel = false;
    AcGePoint3d mDragPoint;
};

} // namespace draftedit::cpmvrt
