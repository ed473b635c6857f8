// ZEL_ARRAY: the input steps and the six variant procedures. Each procedure asks, in order,
// only for what is still missing (the objects, the counts, then the distances, points and
// angles of its variant) and sends the host's classic ARRAY command filled in completely.
#include "arx/dlg.h"
#include "arx/ed.h"
#include "common/services/hoststate.h"
#include "common/support/zelsupport.h"
#include "draftedit/commands/array_object.h"
#include "draftedit/commands/array_tolerance.h"

#include <cmath>
#include <cwchar>
#include <string>

namespace draftedit::arraycmd {

namespace {

constexpr const ACHAR* kDrawError = L"ZelDrawｴﾗｰ:作図できません.";
constexpr const ACHAR* kSamePoint = L"\n間隔が 0 になる点です. 点を指示し直してください.";
constexpr const ACHAR* kZeroFill = L"\n全体の複写角に 0 は使えません.";
constexpr const ACHAR* kZeroBetween = L"\n図形間の角度に 0 は使えません.";
constexpr const ACHAR* kNotAnAngle = L"\n角度を数値で入力するか点を指示してください.";
constexpr double kFullCircle = 360.0;
// Degrees shown in a field after a measurement: decimal units, this many places at most.
constexpr int kDecimalUnits = 2;
constexpr int kAnglePlaces = 8;
constexpr int kCountPrompts[kEntryCount] = {11, 12, 13, 14, 0, 0};

// A token list for acedCmdS, built node by node.
class Tokens {
public:
    Tokens() = default;
    ~Tokens() { acutRelRb(mHead); }
    Tokens(const Tokens&) = delete;
    Tokens& operator=(const Tokens&) = delete;

    Tokens& text(const ACHAR* s) { return add(acutBuildList(RTSTR, s, 0)); }
    Tokens& count(int n) { return add(acutBuildList(RTSHORT, n, 0)); }
    Tokens& real(double v) { return add(acutBuildList(RTREAL, v, 0)); }
    Tokens& point(const ads_point p) { return add(acutBuildList(RTPOINT, p, 0)); }
    Tokens& set(const ads_name ss) { return add(acutBuildList(RTPICKS, ss, 0)); }
    // Null when a node could not be made.
    const resbuf* list() const { return mFailed ? nullptr : mHead; }

private:
    Tokens& add(resbuf* rb) {
        if (!rb) {
            mFailed = true;
            return *this;
        }
        (mTail ? mTail->rbnext : mHead) = rb;
        mTail = rb;
        return *this;
    }
    resbuf* mHead = nullptr;
    resbuf* mTail = nullptr;
    bool mFailed = false;
};

// Cancel for Esc (and a failed input call), Go otherwise: the caller looks at the answer.
Step stepOf(int rc, bool changed) {
    if (changed) return Step::Changed;
    return rc == RTCAN || rc == RTERROR ? Step::Cancel : Step::Go;
}

// A number of degrees typed at a point prompt.
bool typedDegrees(double& degrees) {
    ACHAR buf[133] = L"";
    if (acedGetInput(buf) != RTNORM) return false;
    ACHAR* end = nullptr;
    double v = std::wcstod(buf, &end);
    if (end == buf) return false;
    while (*end == L' ' || *end == L'\t')
        ++end;
    if (*end != L'\0' || !std::isfinite(v)) return false;
    degrees = v;
    return true;
}

std::wstring degreesText(double degrees) {
    ACHAR buf[64] = L"";
    RealToText(degrees, kDecimalUnits, kAnglePlaces, buf, 64);
    return buf;
}

int storedCount(const ArrayEntry& e) {
    return e.value >= 1 && e.value <= kMaxCount ? int(e.value) : 0;
}

} // namespace

// ---- input steps --------------------------------------------------------------------------

template <class Input> int CFuncARY::await(Input input) {
    mWait = 1;
    int rc = input();
    mChanged = mWait == 2;
    mWait = 0;
    return rc;
}

Step CFuncARY::select() {
    if (mHaveSet) return Step::Go;
    ZelSetFreezeSnapLock(1);
    int rc = await([&] { return acedSSGet(nullptr, nullptr, nullptr, nullptr, mSet); });
    ZelSetFreezeSnapLock(0);
    if (rc == RTNORM) {
        mHaveSet = true;
        HighlightSet(mSet, true);
    }
    if (mChanged) return Step::Changed;
    return mHaveSet ? Step::Go : Step::Cancel;
}

Step CFuncARY::count(Entry e, int prompt, int& n) {
    n = storedCount(mEntries[e]);
    while (n < 1) {
        int got = 0;
        acedInitGet(RSG_NOZERO | RSG_NONEG, nullptr);
        int rc = await([&] { return acedGetInt(promptLine(prompt).c_str(), &got); });
        Step s = stepOf(rc, mChanged);
        if (s != Step::Go) return s;
        if (rc != RTNORM) continue; // Enter: the count is still wanted
        if (got > kMaxCount) {
            acutPrintf(L"%s", kCountTooLarge);
            continue;
        }
        n = got;
        setEntry(e, std::to_wstring(got), got);
    }
    return Step::Go;
}

Step CFuncARY::distance(int prompt, double& d) {
    for (;;) {
        acedInitGet(RSG_NOZERO, nullptr);
        int rc = await([&] { return acedGetDist(nullptr, promptLine(prompt).c_str(), &d); });
        Step s = stepOf(rc, mChanged);
        if (s != Step::Go || rc == RTNORM) return s;
    }
}

Step CFuncARY::point(int prompt, const ads_real* base, ads_point out) {
    for (;;) {
        int rc = await([&] { return acedGetPoint(base, promptLine(prompt).c_str(), out); });
        Step s = stepOf(rc, mChanged);
        if (s != Step::Go || rc == RTNORM) return s;
    }
}

bool CFuncARY::acceptAngle(bool fill, double degrees) {
    if (std::fabs(degrees) > arraytol::kEntryMinimum) return true;
    acutPrintf(L"%s", fill ? kZeroFill : kZeroBetween);
    return false;
}

// A typed number of degrees, or the angle from base to a point; Enter gives the full circle
// for the angle to fill and asks again otherwise.
Step CFuncARY::typedAngle(int prompt, const ads_real* base, bool fill, double& degrees) {
    for (;;) {
        ads_point p = {0, 0, 0};
        acedInitGet(RSG_OTHER, nullptr);
        int rc = await([&] { return acedGetPoint(base, promptLine(prompt).c_str(), p); });
        Step s = stepOf(rc, mChanged);
        if (s != Step::Go) return s;
        if (rc == RTNONE && !fill) continue;
        if (rc == RTNONE) degrees = kFullCircle;
        if (rc == RTNORM) degrees = acutAngle(base, p) * kDegreesPerRadian;
        if (rc == RTKWORD && !typedDegrees(degrees)) {
            acutPrintf(L"%s", kNotAnAngle);
            continue;
        }
        if (acceptAngle(fill, degrees)) return Step::Go;
    }
}

// Button 7: the angle between two points given now (or typed all the same).
Step CFuncARY::measuredAngle(int prompt, bool fill, double& degrees) {
    acedSetStatusBarProgressMeter(promptText(15), 0, 0);
    ads_point first = {0, 0, 0};
    Step s = point(prompt, nullptr, first);
    if (s == Step::Go) s = typedAngle(prompt, first, fill, degrees);
    acedRestoreStatusBar();
    if (s != Step::Go) return s;
    mMeasure = 0;
    showPage();
    return s;
}

Step CFuncARY::inclination(double& degrees) {
    if (!mMeasure && mEntries[kInclination].value != 0) {
        degrees = mEntries[kInclination].value;
        return Step::Go;
    }
    if (mMeasure) acedSetStatusBarProgressMeter(promptText(15), 0, 0);
    double radians = 0;
    int rc = RTNONE;
    Step s = Step::Go;
    while (s == Step::Go && rc != RTNORM) {
        rc = await([&] { return acedGetAngle(nullptr, promptLine(6).c_str(), &radians); });
        s = stepOf(rc, mChanged);
    }
    if (mMeasure) acedRestoreStatusBar();
    if (s != Step::Go) return s;
    degrees = radians * kDegreesPerRadian;
    if (!mMeasure) return s;
    mMeasure = 0;
    if (acceptableEntry(kInclination, degrees))
        setEntry(kInclination, degreesText(degrees), degrees);
    showPage();
    return s;
}

Step CFuncARY::fillAngle(const ads_point centre, double& degrees) {
    if (mMeasure && variant() == 3) return measuredAngle(9, true, degrees);
    return typedAngle(9, centre, true, degrees);
}

Step CFuncARY::betweenAngle(const ads_point centre, double& degrees) {
    if (!mMeasure && mEntries[kBetween].value != 0) {
        degrees = mEntries[kBetween].value;
        return Step::Go;
    }
    bool measuring = mMeasure != 0;
    Step s = measuring ? measuredAngle(10, false, degrees) : typedAngle(10, centre, false, degrees);
    if (s == Step::Go && measuring && acceptableEntry(kBetween, degrees))
        setEntry(kBetween, degreesText(degrees), degrees);
    return s;
}

// Variant 1: a base point and a point at the spacings; a direction with more than one item
// needs a spacing that is not zero.
Step CFuncARY::spacingPoints(int rows, int columns, double& dy, double& dx) {
    ads_point base = {0, 0, 0}, other = {0, 0, 0};
    Step s = point(4, nullptr, base);
    while (s == Step::Go) {
        s = point(5, base, other);
        if (s != Step::Go) break;
        dy = other[Y] - base[Y];
        dx = other[X] - base[X];
        bool flat = (rows != 1 && std::fabs(dy) < arraytol::kPointDifference) ||
                    (columns != 1 && std::fabs(dx) < arraytol::kPointDifference);
        if (!flat) return Step::Go;
        acutPrintf(L"%s", kSamePoint);
    }
    return s;
}

// ---- the variants -------------------------------------------------------------------------

int CFuncARY::rectangularByDistances() {
    int rows = 0, columns = 0;
    double dy = 0, dx = 0;
    Step s = select();
    if (s == Step::Go) s = count(kRows, kCountPrompts[kRows], rows);
    if (s == Step::Go) s = count(kColumns, kCountPrompts[kColumns], columns);
    if (s == Step::Go && rows != 1) s = distance(2, dy);
    if (s == Step::Go && columns != 1) s = distance(3, dx);
    if (s != Step::Go) return resultOf(s);
    return sendRectangular(rows, columns, dy, dx);
}

int CFuncARY::rectangularByPoints() {
    int rows = 0, columns = 0;
    double dy = 0, dx = 0;
    Step s = select();
    if (s == Step::Go) s = count(kRows, kCountPrompts[kRows], rows);
    if (s == Step::Go) s = count(kColumns, kCountPrompts[kColumns], columns);
    if (s == Step::Go && (rows != 1 || columns != 1)) s = spacingPoints(rows, columns, dy, dx);
    if (s != Step::Go) return resultOf(s);
    return sendRectangular(rows, columns, dy, dx);
}

// Variant 2: one row of copies along the inclined x axis of a turned UCS, which is turned back
// whatever the array did.
int CFuncARY::diagonal() {
    int n = 0;
    double angle = 0, spacing = 0;
    Step s = select();
    if (s == Step::Go) s = count(kDiagonalCount, kCountPrompts[kDiagonalCount], n);
    if (s == Step::Go) s = inclination(angle);
    if (s == Step::Go && n != 1) s = distance(7, spacing);
    if (s != Step::Go) return resultOf(s);
    Tokens turn;
    turn.text(L"UCS").text(L"Z").real(angle);
    if (!turn.list() || acedCmdS(turn.list()) != RTNORM) {
        AfxMessageBox(kDrawError, MB_OK);
        return 0;
    }
    int made = sendRectangular(1, n, 0, spacing);
    Tokens back;
    back.text(L"UCS").text(L"P");
    if (back.list()) acedCmdS(back.list());
    return made;
}

int CFuncARY::polarCountAndFill() {
    int n = 0;
    ads_point centre = {0, 0, 0};
    double fill = 0;
    Step s = select();
    if (s == Step::Go) s = count(kPolarCount, kCountPrompts[kPolarCount], n);
    if (s == Step::Go) s = point(8, nullptr, centre);
    if (s == Step::Go) s = fillAngle(centre, fill);
    if (s != Step::Go) return resultOf(s);
    return sendPolar(centre, n, fill, 0);
}

// Variant 4: no count; the host counts the items from the angle to fill and the (absolute)
// angle between them.
int CFuncARY::polarFillAndBetween() {
    ads_point centre = {0, 0, 0};
    double fill = 0, between = 0;
    Step s = select();
    if (s == Step::Go) s = point(8, nullptr, centre);
    if (s == Step::Go) s = fillAngle(centre, fill);
    if (s == Step::Go) s = betweenAngle(centre, between);
    if (s != Step::Go) return resultOf(s);
    return sendPolar(centre, 0, fill, std::fabs(between));
}

// Variant 5: a fill angle of 0 makes the host take the angle between items.
int CFuncARY::polarCountAndBetween() {
    int n = 0;
    ads_point centre = {0, 0, 0};
    double between = 0;
    Step s = select();
    if (s == Step::Go) s = count(kPolarCount, kCountPrompts[kPolarCount], n);
    if (s == Step::Go) s = point(8, nullptr, centre);
    if (s == Step::Go) s = betweenAngle(centre, between);
    if (s != Step::Go) return resultOf(s);
    return sendPolar(centre, n, 0, between);
}

// ---- the host command ---------------------------------------------------------------------

int CFuncARY::sendRectangular(int rows, int columns, double dy, double dx) {
    Tokens t;
    t.text(L"ARRAY").set(mSet).text(L"").text(L"R").count(rows).count(columns);
    if (rows != 1) t.real(dy);
    if (columns != 1) t.real(dx);
    return sendArray(t.list());
}

// count 0 sends an empty count; the angle between items goes with an empty count or a fill
// angle of 0.
int CFuncARY::sendPolar(const ads_point centre, int n, double fill, double between) {
    Tokens t;
    t.text(L"ARRAY").set(mSet).text(L"").text(L"P").text(L"NON").point(centre);
    if (n > 0) t.count(n);
    if (n <= 0) t.text(L"");
    t.real(fill);
    if (n <= 0 || fill == 0) t.real(between);
    t.text(mRotate ? L"y" : L"n");
    return sendArray(t.list());
}

int CFuncARY::sendArray(const resbuf* tokens) {
    if (tokens && acedCmdS(tokens) == RTNORM) return 1;
    AfxMessageBox(kDrawError, MB_OK);
    return 0;
}

} // namespace draftedit::arraycmd
