// CAL, the numeric expression calculator (see cal.h): a recursive-descent parser that
// evaluates as it reads.
#include "lisp/cal.h"

#include "core/text.h"
#include "lisp/reader.h"

#include <cmath>
#include <cwctype>
#include <limits>
#include <numbers>

namespace zel::lisp {

namespace {

struct CalFailure {
    std::wstring what;
    size_t at;
};

bool fitsInt(double v) {
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

CalNumber fromExact(int64_t v) {
    if (fitsInt(static_cast<double>(v))) return CalNumber::ofInt(static_cast<int32_t>(v));
    return CalNumber::ofReal(static_cast<double>(v));
}

double toRadians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}
double toDegrees(double radians) {
    return radians * 180.0 / std::numbers::pi;
}

class CalParser {
public:
    CalParser(std::wstring_view text, const CalVariables& vars) : mText(text), mVars(vars) {}

    CalNumber parse() {
        CalNumber v = expression();
        skipBlanks();
        if (mAt < mText.size()) fail(L"余分な文字があります");
        return v;
    }

private:
    [[noreturn]] void fail(const std::wstring& what) const { throw CalFailure{what, mAt}; }

    void skipBlanks() {
        while (mAt < mText.size() && std::iswspace(static_cast<wint_t>(mText[mAt])))
            ++mAt;
    }

    bool accept(wchar_t c) {
        skipBlanks();
        if (mAt < mText.size() && mText[mAt] == c) {
            ++mAt;
            return true;
        }
        return false;
    }

    struct Nest {
        CalParser& p;
        explicit Nest(CalParser& parser) : p(parser) {
            if (++p.mDepth > kMaxCalDepth) p.fail(L"式の入れ子が深すぎます");
        }
        ~Nest() { --p.mDepth; }
    };

    CalNumber expression() {
        CalNumber v = term();
        for (;;) {
            if (accept(L'+'))
                v = add(v, term(), 1);
            else if (accept(L'-'))
                v = add(v, term(), -1);
            else
                return v;
        }
    }

    CalNumber term() {
        CalNumber v = unary();
        for (;;) {
            if (accept(L'*')) {
                v = multiply(v, unary());
            } else if (accept(L'/')) {
                size_t at = mAt;
                v = divide(v, unary(), at);
            } else {
                return v;
            }
        }
    }

    CalNumber unary() {
        Nest nest(*this);
        if (accept(L'-')) {
            CalNumber v = unary();
            return v.isInteger ? fromExact(-int64_t{v.integer}) : CalNumber::ofReal(-v.real);
        }
        if (accept(L'+')) return unary();
        return power();
    }

    CalNumber power() {
        CalNumber base = primary();
        if (!accept(L'^')) return base;
        CalNumber exponent = unary(); // right-associative
        return raise(base, exponent);
    }

    CalNumber primary() {
        skipBlanks();
        if (mAt >= mText.size()) fail(L"式が途中で終わっています");
        wchar_t c = mText[mAt];
        if (c == L'(') {
            Nest nest(*this);
            ++mAt;
            CalNumber v = expression();
            if (!accept(L')')) fail(L") がありません");
            return v;
        }
        if ((c >= L'0' && c <= L'9') || c == L'.') return number();
        if (std::iswalpha(static_cast<wint_t>(c)) || c == L'_') return name();
        fail(L"数値がありません");
    }

    CalNumber number() {
        size_t start = mAt;
        while (mAt < mText.size() &&
               ((mText[mAt] >= L'0' && mText[mAt] <= L'9') || mText[mAt] == L'.'))
            ++mAt;
        if (mAt < mText.size() && (mText[mAt] == L'e' || mText[mAt] == L'E')) {
            size_t e = mAt + 1;
            if (e < mText.size() && (mText[e] == L'+' || mText[e] == L'-')) ++e;
            if (e < mText.size() && mText[e] >= L'0' && mText[e] <= L'9') {
                mAt = e;
                while (mAt < mText.size() && mText[mAt] >= L'0' && mText[mAt] <= L'9')
                    ++mAt;
            }
        }
        std::optional<Value> v = parseNumberToken(mText.substr(start, mAt - start));
        if (!v) {
            mAt = start;
            fail(L"数値が正しくありません");
        }
        return v->isInt() ? CalNumber::ofInt(v->intValue()) : CalNumber::ofReal(v->realValue());
    }

    CalNumber name() {
        size_t start = mAt;
        while (mAt < mText.size() &&
               (std::iswalnum(static_cast<wint_t>(mText[mAt])) || mText[mAt] == L'_'))
            ++mAt;
        std::wstring id = core::toLower(mText.substr(start, mAt - start));
        if (id == L"pi") return CalNumber::ofReal(std::numbers::pi);
        skipBlanks();
        if (mAt < mText.size() && mText[mAt] == L'(') {
            Nest nest(*this);
            ++mAt;
            CalNumber arg = expression();
            if (!accept(L')')) fail(L") がありません");
            return function(id, arg, start);
        }
        std::optional<CalNumber> v = mVars ? mVars(id) : std::nullopt;
        if (!v) {
            mAt = start;
            fail(L"数値の変数ではありません: " + std::wstring(mText.substr(start, id.size())));
        }
        return *v;
    }

    CalNumber checked(double v, size_t start) {
        if (!std::isfinite(v)) {
            mAt = start;
            fail(L"関数の引数が範囲外です");
        }
        return CalNumber::ofReal(v);
    }

    CalNumber function(const std::wstring& id, CalNumber a, size_t start) {
        double x = a.value();
        auto domain = [&](bool ok) {
            if (!ok) {
                mAt = start;
                fail(L"関数の引数が範囲外です: " + id);
            }
        };
        if (id == L"sin") return checked(std::sin(toRadians(x)), start);
        if (id == L"cos") return checked(std::cos(toRadians(x)), start);
        if (id == L"tang" || id == L"tan") return checked(std::tan(toRadians(x)), start);
        if (id == L"asin" || id == L"acos") {
            domain(x >= -1 && x <= 1);
            return checked(toDegrees(id == L"asin" ? std::asin(x) : std::acos(x)), start);
        }
        if (id == L"atan") return checked(toDegrees(std::atan(x)), start);
        if (id == L"ln" || id == L"log") {
            domain(x > 0);
            return checked(id == L"ln" ? std::log(x) : std::log10(x), start);
        }
        if (id == L"exp") return checked(std::exp(x), start);
        if (id == L"exp10") return checked(std::pow(10.0, x), start);
        if (id == L"sqr") return multiply(a, a);
        if (id == L"sqrt") {
            domain(x >= 0);
            return checked(std::sqrt(x), start);
        }
        if (id == L"abs")
            return a.isInteger ? fromExact(std::abs(int64_t{a.integer}))
                               : CalNumber::ofReal(std::fabs(x));
        if (id == L"round" || id == L"trunc") {
            double r = id == L"round" ? std::round(x) : std::trunc(x);
            return fitsInt(r) ? CalNumber::ofInt(static_cast<int32_t>(r)) : checked(r, start);
        }
        if (id == L"r2d") return checked(toDegrees(x), start);
        if (id == L"d2r") return checked(toRadians(x), start);
        mAt = start;
        fail(L"関数がありません: " + id);
    }

    CalNumber add(CalNumber a, CalNumber b, int sign) {
        if (a.isInteger && b.isInteger)
            return fromExact(int64_t{a.integer} + sign * int64_t{b.integer});
        return checked(a.value() + sign * b.value(), mAt);
    }

    CalNumber multiply(CalNumber a, CalNumber b) {
        if (a.isInteger && b.isInteger) return fromExact(int64_t{a.integer} * int64_t{b.integer});
        return checked(a.value() * b.value(), mAt);
    }

    CalNumber divide(CalNumber a, CalNumber b, size_t at) {
        if (b.value() == 0) {
            mAt = at;
            fail(L"0 で割ろうとしました");
        }
        if (a.isInteger && b.isInteger && int64_t{a.integer} % b.integer == 0)
            return fromExact(int64_t{a.integer} / b.integer);
        return checked(a.value() / b.value(), at);
    }

    CalNumber raise(CalNumber b, CalNumber e) {
        if (b.isInteger && e.isInteger && e.integer >= 0) {
            double exact = std::pow(static_cast<double>(b.integer), e.integer);
            if (fitsInt(exact)) { // every partial power fits too: square and multiply
                int64_t r = 1, base = b.integer;
                for (int32_t n = e.integer; n > 0; n >>= 1) {
                    if (n & 1) r *= base;
                    if (n > 1) base *= base;
                }
                return fromExact(r);
            }
        }
        if (b.value() == 0 && e.value() < 0) fail(L"0 で割ろうとしました");
        if (b.value() < 0 && e.value() != std::floor(e.value())) fail(L"関数の引数が範囲外です");
        return checked(std::pow(b.value(), e.value()), mAt);
    }

    std::wstring_view mText;
    const CalVariables& mVars;
    size_t mAt = 0;
    int mDepth = 0;
};

} // namespace

CalResult evaluateCal(std::wstring_view expression, const CalVariables& variables) {
    CalResult r;
    CalParser parser(expression, variables);
    try {
        r.value = parser.parse();
        r.ok = true;
    } catch (const CalFailure& f) {
        r.errorOffset = f.at;
        r.error = f.what + L" (" + core::toWString(static_cast<int64_t>(f.at + 1)) + L" 文字目)";
    }
    return r;
}

} // namespace zel::lisp
