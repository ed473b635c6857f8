// Distances and angles as text (see units.h), and the API functions on them.
#include "core/units.h"

#include "arx/ads.h"
#include "core/text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <numeric>

namespace zel::core {

namespace {

constexpr int kMaxFractionPrecision = 8; // 1/256 of an inch
constexpr int kMaxAnglePrecision = 8;    // four decimals of seconds
constexpr double kTwoPi = 2 * M_PI;

struct ProviderState {
    std::mutex mutex;
    std::function<UnitSettings()> provider;
};

ProviderState& providerState() {
    static ProviderState state;
    return state;
}

// Significant digits and decimal exponent of a positive finite value as its shortest
// round-trip text reads: 17.5 -> {"175", 1}.
struct Digits {
    std::string digits;
    int exponent = 0;
};

Digits shortestDigits(double mag) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, mag, std::chars_format::scientific);
    std::string s(buf, r.ptr);
    size_t e = s.find('e');
    Digits d;
    for (size_t i = 0; i < e; ++i) {
        if (s[i] != '.') d.digits += s[i];
    }
    d.exponent = std::atoi(s.c_str() + e + 1);
    return d;
}

// The first `keep` digits rounded half away from zero by the digit after them; a carry out
// of the first digit lengthens the result ("995", 2 -> "100").
std::string roundDigits(const std::string& digits, size_t keep) {
    if (keep >= digits.size()) return digits + std::string(keep - digits.size(), '0');
    std::string n = digits.substr(0, keep);
    if (digits[keep] < '5') return n;
    size_t i = n.size();
    while (i > 0 && n[i - 1] == '9')
        n[--i] = '0';
    if (i == 0)
        n.insert(n.begin(), '1');
    else
        ++n[i - 1];
    return n;
}

bool allZeroDigits(std::string_view s) {
    for (char c : s) {
        if (c >= '1' && c <= '9') return false;
    }
    return true;
}

// DIMZIN bits 4 and 8 on a decimal text without sign.
std::string suppressZeros(std::string s, int dimzin) {
    if ((dimzin & 8) && s.find('.') != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if ((dimzin & 4) && s.size() > 1 && s[0] == '0' && s[1] == '.') s.erase(0, 1);
    return s;
}

std::string signFor(double value, std::string_view text) {
    return value < 0 && !allZeroDigits(text) ? "-" : "";
}

double integerPart(std::string_view decimalText) {
    double v = 0;
    for (char c : decimalText) {
        if (c == '.') break;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::string scientific(double value, int prec, int dimzin) {
    double mag = std::fabs(value);
    Digits d = mag == 0 ? Digits{"0", 0} : shortestDigits(mag);
    std::string m = roundDigits(d.digits, static_cast<size_t>(prec) + 1);
    if (m.size() > static_cast<size_t>(prec) + 1) { // 9.99 -> 10.0: one more in the exponent
        m.pop_back();
        ++d.exponent;
    }
    std::string mantissa = m.substr(0, 1);
    if (prec > 0) {
        mantissa += '.';
        mantissa += m.substr(1);
    }
    mantissa = suppressZeros(mantissa, dimzin & 8);
    int e = allZeroDigits(m) ? 0 : d.exponent;
    std::string exp = std::to_string(std::abs(e));
    if (exp.size() < 2) exp.insert(0, 1, '0');
    return signFor(value, m) + mantissa + "E" + (e < 0 ? "-" : "+") + exp;
}

std::string decimal(double value, int prec, int dimzin) {
    std::string s = roundedDecimal(value, prec);
    return signFor(value, s) + suppressZeros(s, dimzin);
}

// Which of feet and inches show, from DIMZIN 0-3.
struct FeetInchesShown {
    bool feet, inches;
};

FeetInchesShown feetInchesShown(int dimzin, bool zeroFeet, bool zeroInches) {
    FeetInchesShown shown{true, true};
    switch (dimzin & 3) {
    case 0:
        shown = {!zeroFeet, !zeroInches};
        break;
    case 1:
        break;
    case 2:
        shown.inches = !zeroInches;
        break;
    case 3:
        shown.feet = !zeroFeet;
        break;
    }
    if (!shown.feet && !shown.inches) shown.inches = true; // the value is zero
    return shown;
}

std::string joinFeetInches(const std::string& feet, const std::string& inches,
                           FeetInchesShown shown, int unitmode) {
    std::string s;
    if (shown.feet) s += feet + "'";
    if (shown.feet && shown.inches && unitmode == 0) s += "-";
    if (shown.inches) s += inches + "\"";
    return s;
}

std::string engineering(double value, int prec, int dimzin, int unitmode) {
    double mag = std::fabs(value);
    double inches = std::fmod(mag, 12.0);
    double feet = std::round((mag - inches) / 12.0);
    std::string inchText = roundedDecimal(inches, prec);
    if (integerPart(inchText) >= 12) {
        feet += 1;
        inchText = roundedDecimal(0, prec);
    }
    std::string feetText = roundedDecimal(feet, 0);
    auto shown = feetInchesShown(dimzin, feet == 0, allZeroDigits(inchText));
    std::string s = joinFeetInches(feetText, suppressZeros(inchText, dimzin), shown, unitmode);
    return signFor(value, feetText + inchText) + s;
}

// Whole units and a reduced fraction of a value counted in 1/den steps.
struct Fraction {
    double whole = 0;
    long num = 0, den = 1;
};

Fraction fraction(double steps, long den) {
    Fraction f;
    double rem = std::fmod(steps, static_cast<double>(den));
    f.whole = (steps - rem) / static_cast<double>(den);
    f.num = static_cast<long>(rem);
    long g = f.num == 0 ? den : std::gcd(f.num, den);
    f.num /= g;
    f.den = den / g;
    return f;
}

// "17 1/2", "17-1/2", "17", "1/2" (with the whole 0 kept when keepZero: "0 1/2").
std::string fractionText(const Fraction& f, int unitmode, bool keepZero) {
    std::string whole = roundedDecimal(f.whole, 0);
    if (f.num == 0) return whole;
    std::string frac = std::to_string(f.num) + "/" + std::to_string(f.den);
    if (f.whole == 0 && !keepZero) return frac;
    return whole + (unitmode ? "-" : " ") + frac;
}

std::string architectural(double value, int prec, int dimzin, int unitmode) {
    long den = 1L << std::min(prec, kMaxFractionPrecision);
    double steps = std::round(std::fabs(value) * static_cast<double>(den));
    double perFoot = 12.0 * static_cast<double>(den);
    double rem = std::fmod(steps, perFoot);
    double feet = (steps - rem) / perFoot;
    auto shown = feetInchesShown(dimzin, feet == 0, rem == 0);
    std::string inches = fractionText(fraction(rem, den), unitmode, shown.feet);
    std::string s = joinFeetInches(roundedDecimal(feet, 0), inches, shown, unitmode);
    return (value < 0 && steps != 0 ? "-" : "") + s;
}

std::string fractional(double value, int prec, int unitmode) {
    long den = 1L << std::min(prec, kMaxFractionPrecision);
    double steps = std::round(std::fabs(value) * static_cast<double>(den));
    std::string s = fractionText(fraction(steps, den), unitmode, false);
    return (value < 0 && steps != 0 ? "-" : "") + s;
}

// ---- Angles ----

double normalizeAngle(double a) {
    a = std::fmod(a, kTwoPi);
    if (a < 0) a += kTwoPi;
    return a >= kTwoPi ? 0.0 : a;
}

// A decimal angle in a unit whose full circle is `full`, 360 itself shown as 0.
std::string decimalAngle(double v, double full, int prec, int dimzin) {
    std::string s = roundedDecimal(v, prec);
    if (integerPart(s) >= full) s = roundedDecimal(0, prec);
    return suppressZeros(s, dimzin);
}

// Degrees/minutes/seconds counted in whole steps of the precision's smallest unit.
struct DmsSteps {
    int64_t perDegree;
    int secondDecimals;
};

DmsSteps dmsSteps(int prec) {
    if (prec == 0) return {1, 0};
    if (prec <= 2) return {60, 0};
    if (prec <= 4) return {3600, 0};
    int k = prec - 4;
    int64_t scale = 1;
    for (int i = 0; i < k; ++i)
        scale *= 10;
    return {3600 * scale, k};
}

std::string dmsText(int64_t n, int prec) {
    DmsSteps st = dmsSteps(prec);
    std::string s = std::to_string(n / st.perDegree) + "d";
    int64_t r = n % st.perDegree;
    if (prec == 0) return s;
    if (prec <= 2) return s + std::to_string(r) + "'";
    int64_t perSecond = st.perDegree / 3600;
    int64_t perMinute = perSecond * 60;
    s += std::to_string(r / perMinute) + "'";
    int64_t sec = r % perMinute;
    s += std::to_string(sec / perSecond);
    if (st.secondDecimals > 0) {
        std::string frac = std::to_string(sec % perSecond);
        s += '.';
        s.append(static_cast<size_t>(st.secondDecimals) - frac.size(), '0');
        s += frac;
    }
    return s + "\"";
}

// Steps of the precision in [0, full circle).
int64_t dmsRound(double degrees, int prec) {
    int64_t perDegree = dmsSteps(prec).perDegree;
    int64_t n = std::llround(degrees * static_cast<double>(perDegree));
    return n >= 360 * perDegree ? n - 360 * perDegree : n;
}

std::string surveyor(double degrees, int prec, int unitmode) {
    int64_t n = dmsRound(degrees, prec);
    int64_t q = 90 * dmsSteps(prec).perDegree;
    if (n == 0) return "E";
    if (n == q) return "N";
    if (n == 2 * q) return "W";
    if (n == 3 * q) return "S";
    const char* ns = n < 2 * q ? "N" : "S";
    const char* ew = (n < q || n > 3 * q) ? "E" : "W";
    int64_t bearing = n < q ? q - n : n < 2 * q ? n - q : n < 3 * q ? 3 * q - n : n - 3 * q;
    std::string sep = unitmode ? "" : " ";
    return ns + sep + dmsText(bearing, prec) + sep + ew;
}

bool validPrecision(int prec) {
    return prec >= 0 && prec <= kMaxUnitPrecision;
}

UnitSettings settingsOrDefault() {
    try {
        return currentUnitSettings();
    } catch (...) {
        return UnitSettings{}; // a failing provider must not unwind into the caller's C code
    }
}

int copyOut(const std::optional<std::wstring>& text, ACHAR* str, size_t len) {
    if (!text || !str || text->size() + 1 > len) return RTERROR;
    std::wmemcpy(str, text->c_str(), text->size() + 1);
    return RTNORM;
}

} // namespace

void setUnitSettingsProvider(std::function<UnitSettings()> provider) {
    ProviderState& s = providerState();
    std::lock_guard lock(s.mutex);
    s.provider = std::move(provider);
}

UnitSettings currentUnitSettings() {
    std::function<UnitSettings()> provider;
    {
        ProviderState& s = providerState();
        std::lock_guard lock(s.mutex);
        provider = s.provider;
    }
    return provider ? provider() : UnitSettings{};
}

std::string roundedDecimal(double value, int decimals) {
    double mag = std::fabs(value);
    std::string n = "0";
    if (mag != 0) {
        Digits d = shortestDigits(mag);
        long keep = static_cast<long>(d.exponent) + 1 + decimals;
        if (keep > 0)
            n = roundDigits(d.digits, static_cast<size_t>(keep));
        else if (keep == 0 && d.digits[0] >= '5')
            n.assign(1, '1');
    }
    if (n.size() < static_cast<size_t>(decimals) + 1)
        n.insert(0, static_cast<size_t>(decimals) + 1 - n.size(), '0');
    if (decimals > 0) n.insert(n.size() - static_cast<size_t>(decimals), 1, '.');
    return n;
}

std::optional<std::wstring> formatDistance(double value, int lunits, int luprec, int dimzin,
                                           int unitmode) {
    if (!std::isfinite(value) || !validPrecision(luprec)) return std::nullopt;
    std::string s;
    switch (lunits) {
    case 1:
        s = scientific(value, luprec, dimzin);
        break;
    case 2:
        s = decimal(value, luprec, dimzin);
        break;
    case 3:
        s = engineering(value, luprec, dimzin, unitmode);
        break;
    case 4:
        s = architectural(value, luprec, dimzin, unitmode);
        break;
    case 5:
        s = fractional(value, luprec, unitmode);
        break;
    default:
        return std::nullopt;
    }
    return asciiToWide(s);
}

std::optional<std::wstring> formatAngle(double radians, int aunits, int auprec, int dimzin,
                                        int unitmode) {
    if (!std::isfinite(radians) || !validPrecision(auprec)) return std::nullopt;
    double a = normalizeAngle(radians);
    double degrees = a * 180.0 / M_PI;
    int dmsPrec = std::min(auprec, kMaxAnglePrecision);
    std::string s;
    switch (aunits) {
    case 0:
        s = decimalAngle(degrees, 360, auprec, dimzin);
        break;
    case 1:
        s = dmsText(dmsRound(degrees, dmsPrec), dmsPrec);
        break;
    case 2:
        s = decimalAngle(a * 200.0 / M_PI, 400, auprec, dimzin) + "g";
        break;
    case 3:
        s = suppressZeros(roundedDecimal(a, auprec), dimzin) + "r";
        break;
    case 4:
        s = surveyor(degrees, dmsPrec, unitmode);
        break;
    default:
        return std::nullopt;
    }
    return asciiToWide(s);
}

} // namespace zel::core

ads_real acutAngle(const ads_point pt1, const ads_point pt2) {
    double a = std::atan2(pt2[Y] - pt1[Y], pt2[X] - pt1[X]);
    return a < 0 ? a + zel::core::kTwoPi : a;
}

ads_real acutDistance(const ads_point pt1, const ads_point pt2) {
    return std::sqrt((pt2[X] - pt1[X]) * (pt2[X] - pt1[X]) + (pt2[Y] - pt1[Y]) * (pt2[Y] - pt1[Y]) +
                     (pt2[Z] - pt1[Z]) * (pt2[Z] - pt1[Z]));
}

void acutPolar(const ads_point pt, ads_real angle, ads_real dist, ads_point result) {
    double z = pt[Z]; // pt and result may be the same array
    double x = pt[X] + dist * std::cos(angle);
    double y = pt[Y] + dist * std::sin(angle);
    result[X] = x;
    result[Y] = y;
    result[Z] = z;
}

int acdbRToS(ads_real val, int unit, int prec, ACHAR* str, size_t len) {
    zel::core::UnitSettings s = zel::core::settingsOrDefault();
    if (unit == -1) unit = s.lunits;
    if (prec == -1) prec = s.luprec;
    try {
        return zel::core::copyOut(zel::core::formatDistance(val, unit, prec, s.dimzin, s.unitmode),
                                  str, len);
    } catch (...) {
        return RTERROR;
    }
}

int acdbAngToS(ads_real val, int unit, int prec, ACHAR* str, size_t len) {
    zel::core::UnitSettings s = zel::core::settingsOrDefault();
    if (unit == -1) unit = s.aunits;
    if (prec == -1) prec = s.auprec;
    try {
        return zel::core::copyOut(zel::core::formatAngle(val, unit, prec, s.dimzin, s.unitmode),
                                  str, len);
    } catch (...) {
        return RTERROR;
    }
}

int acdbDisToF(const ACHAR* str, int unit, ads_real* v) {
    if (!str || !v) return RTERROR;
    if (unit == -1) unit = zel::core::settingsOrDefault().lunits;
    try {
        auto value = zel::core::parseDistance(str, unit);
        if (!value) return RTERROR;
        *v = *value;
        return RTNORM;
    } catch (...) {
        return RTERROR;
    }
}

int acdbAngToF(const ACHAR* str, int unit, ads_real* v) {
    if (!str || !v) return RTERROR;
    if (unit == -1) unit = zel::core::settingsOrDefault().aunits;
    try {
        auto value = zel::core::parseAngle(str, unit);
        if (!value) return RTERROR;
        *v = *value;
        return RTNORM;
    } catch (...) {
        return RTERROR;
    }
}
