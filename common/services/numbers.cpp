#include "common/services/numbers.h"

#include "arx/ed.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kLevelTolerance[] = {1.0, 0.1, 0.01, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7, 1e-8};

double toleranceOf(int level) {
    return kLevelTolerance[std::clamp(level, 0, 8)];
}

double zeroed(double value, int level) {
    return IsZero(value, level) ? 0.0 : value;
}

AcGePoint3d trans(const AcGePoint3d& p, short from, short to, int disp) {
    resbuf a{}, b{};
    a.restype = b.restype = RTSHORT;
    a.resval.rint = from;
    b.resval.rint = to;
    ads_point in = {p.x, p.y, p.z}, out = {0, 0, 0};
    acedTrans(in, &a, &b, disp, out);
    return AcGePoint3d(out[X], out[Y], out[Z]);
}

} // namespace

bool IsZero(double value, int level) {
    return std::fabs(value) < toleranceOf(level);
}
bool IsNonNegative(double value, int level) {
    return zeroed(value, level) >= 0;
}
bool IsPositive(double value, int level) {
    return zeroed(value, level) > 0;
}
bool IsNegative(double value, int level) {
    return zeroed(value, level) < 0;
}
bool IsNonPositive(double value, int level) {
    return zeroed(value, level) <= 0;
}
double SnapZero(double value) {
    return IsZero(value, 8) ? 0.0 : value;
}

double NormalizeAngle(double angle, int level) {
    double r = std::fmod(angle, kTwoPi);
    if (IsZero(r, level)) r = 0;
    if (r < 0) r += kTwoPi;
    return r;
}

AcGePoint3d ToLocal(const AcGePoint3d& base, double a, const AcGePoint3d& p) {
    double dx = p.x - base.x, dy = p.y - base.y;
    return AcGePoint3d(dx * std::cos(a) + dy * std::sin(a), dy * std::cos(a) - dx * std::sin(a), 0);
}

AcGePoint3d FromLocal(const AcGePoint3d& base, double a, const AcGePoint3d& q) {
    return AcGePoint3d(std::cos(a) * q.x - std::sin(a) * q.y + base.x,
                       std::cos(a) * q.y + std::sin(a) * q.x + base.y, 0);
}

AcGePoint3d UcsToWcs(const AcGePoint3d& p) {
    return trans(p, 1, 0, 0);
}
AcGePoint3d WcsToUcs(const AcGePoint3d& p) {
    return trans(p, 0, 1, 0);
}
AcGeVector3d UcsToWcsVector(const AcGeVector3d& v) {
    AcGePoint3d w = trans(AcGePoint3d(v.x, v.y, v.z), 1, 0, 1);
    return AcGeVector3d(w.x, w.y, w.z);
}

bool IsNumberText(const ACHAR* text) {
    bool sign = false, point = false, digits = false;
    for (const ACHAR* c = text; c && *c; ++c) {
        if (*c >= L'0' && *c <= L'9') {
            digits = true;
        } else if (*c == L'.') {
            if (point) return false;
            point = true;
        } else if (*c == L'+' || *c == L'-') {
            if (sign || digits || point) return false;
            sign = true;
        } else {
            return false;
        }
    }
    return true;
}
