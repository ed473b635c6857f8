// The command object of ZEL_ARRAY, shared by the frame of the command (array.cpp: module
// storage, dialog bar, the run) and its six variant procedures (array_variants.cpp).
#pragma once

#include "arx/ads.h"
#include "common/drag/drag.h"

#include <cstddef>
#include <string>

namespace draftedit::arraycmd {

// The entries of the dialog bar, by index.
enum Entry : int {
    kRows = 0,
    kColumns = 1,
    kDiagonalCount = 2,
    kPolarCount = 3,
    kInclination = 4,
    kBetween = 5,
};
inline constexpr int kEntryCount = 6;
// Characters an entry's text holds (the terminator included).
inline constexpr size_t kEntryTextSize = 40;
// Counts cross to the host as 16-bit integers: a larger count would wrap round.
inline constexpr int kMaxCount = 32767;
// An angle in radians times this is the angle in degrees.
inline constexpr double kDegreesPerRadian = 57.29577951308232;
inline constexpr const ACHAR* kCountTooLarge = L"\n複写数は 32767 以下で入力してください.";

struct ArrayEntry {
    std::wstring text;
    double value = 0;
};

// What survives between runs (module storage, as it is at module load).
struct ArrayMemory {
    ArrayEntry entries[kEntryCount] = {{L"", -1}, {L"", -1}, {L"", -1},
                                       {L"", -1}, {L"", -1}, {L"", -1}};
    int rotate = 1;
    int keep = 0;
};
ArrayMemory& arrayMemory();

bool isCount(Entry e);
// The value a field may give to the entry: exactly 0 (empty), above the entry minimum, or for
// the angle between items any value whose size is above it; counts up to kMaxCount.
bool acceptableEntry(Entry e, double value);
// The entry that field 5 to 8 edits in a variant.
Entry entryOfField(int variant, int key);

// How an input step ended.
enum class Step { Go, Cancel, Changed };
// A procedure's result: 2 a dialog change ended its input, 1 an array made, 0 cancel or failure.
int resultOf(Step s);

// Prompt texts by index.
const ACHAR* promptText(int index);
std::wstring promptLine(int index);

class CFuncARY : public CDrag {
public:
    static CDrag* s_instance;

    CFuncARY();
    ~CFuncARY() override;

    void run();
    // The dialog bar's callbacks.
    void onText(int key, const ACHAR* text);
    void onTile(int key);

private:
    // ---- the frame (array.cpp) ----
    int variant() const { return mType * 3 + mStyle; }
    void start();
    void finish(bool made);
    void showPage();
    void showFields();
    void showEntry(Entry e);
    void setEntry(Entry e, const std::wstring& text, double value);
    void clearEntry(Entry e);
    void endPendingInput();
    int runVariant();

    // ---- the input steps and procedures (array_variants.cpp) ----
    // Runs an input call with the wait state set; mChanged tells whether a dialog change ended
    // it.
    template <class Input> int await(Input input);
    Step select();
    Step count(Entry e, int prompt, int& n);
    Step distance(int prompt, double& d);
    Step point(int prompt, const ads_real* base, ads_point out);
    Step typedAngle(int prompt, const ads_real* base, bool fill, double& degrees);
    Step measuredAngle(int prompt, bool fill, double& degrees);
    Step inclination(double& degrees);
    Step fillAngle(const ads_point centre, double& degrees);
    Step betweenAngle(const ads_point centre, double& degrees);
    Step spacingPoints(int rows, int columns, double& dy, double& dx);
    bool acceptAngle(bool fill, double degrees);

    int rectangularByDistances();
    int rectangularByPoints();
    int diagonal();
    int polarCountAndFill();
    int polarFillAndBetween();
    int polarCountAndBetween();

    int sendRectangular(int rows, int columns, double dy, double dx);
    int sendPolar(const ads_point centre, int n, double fill, double between);
    int sendArray(const resbuf* tokens);

    int mType = 0;  // 0 rectangular, 1 polar
    int mStyle = 0; // 0, 1, 2
    ArrayEntry mEntries[kEntryCount];
    int mRotate = 1;
    int mMeasure = 0;
    int mKeep = 0;
    ads_name mSet = {0, 0};
    bool mHaveSet = false;
    int mWait = 0; // 1 waiting for input, 2 a dialog entry ended it
    bool mChanged = false;
    int mEcho = 1;
};

} // namespace draftedit::arraycmd
