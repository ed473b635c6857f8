// Arithmetic and comparison.
//
// Integers are 32-bit and wrap around on overflow as in the reference LISP
// ((+ 2147483646 3) gives -2147483647); an operation with a real operand gives a real;
// integer division truncates toward zero.
#include "lisp/args.h"
#include "lisp/builtins.h"
#include "lisp/interp.h"
#include "lisp/printer.h"

#include <cmath>
#include <limits>
#include <numeric>

namespace zel::lisp {

namespace {

using Args = std::span<const Value>;

int32_t wrap(uint32_t v) {
    return static_cast<int32_t>(v); // modular since C++20
}
int32_t addWrap(int32_t a, int32_t b) {
    return wrap(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t subWrap(int32_t a, int32_t b) {
    return wrap(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
int32_t mulWrap(int32_t a, int32_t b) {
    return wrap(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
int32_t divTrunc(int32_t a, int32_t b) {
    if (b == -1) return subWrap(0, a); // INT_MIN / -1 wraps instead of trapping
    return a / b;
}

enum class Op { Add, Sub, Mul, Div };

// One step of a left fold; stays integer while both operands are integers.
Value combine(Op op, const Value& acc, const Value& x) {
    if (acc.isInt() && x.isInt()) {
        int32_t a = acc.intValue(), b = x.intValue();
        switch (op) {
        case Op::Add:
            return Value::integer(addWrap(a, b));
        case Op::Sub:
            return Value::integer(subWrap(a, b));
        case Op::Mul:
            return Value::integer(mulWrap(a, b));
        case Op::Div:
            if (b == 0) throwError(ErrorKind::DivideByZero);
            return Value::integer(divTrunc(a, b));
        }
    }
    double a = acc.number(), b = x.number();
    switch (op) {
    case Op::Add:
        return Value::real(a + b);
    case Op::Sub:
        return Value::real(a - b);
    case Op::Mul:
        return Value::real(a * b);
    case Op::Div:
        if (b == 0) throwError(ErrorKind::DivideByZero);
        return Value::real(a / b);
    }
    return Value();
}

Value fold(Op op, Args a, int32_t identity) {
    for (const Value& v : a)
        arg::number(v);
    if (a.empty()) return Value::integer(identity);
    if (a.size() == 1) {
        if (op == Op::Sub) return combine(op, Value::integer(0), a[0]);
        return a[0];
    }
    Value acc = a[0];
    for (size_t i = 1; i < a.size(); ++i)
        acc = combine(op, acc, a[i]);
    return acc;
}

Value plusFn(Interpreter&, Args a) {
    return fold(Op::Add, a, 0);
}
Value minusFn(Interpreter&, Args a) {
    return fold(Op::Sub, a, 0);
}
Value timesFn(Interpreter&, Args a) {
    return fold(Op::Mul, a, 1);
}
Value divideFn(Interpreter&, Args a) {
    return fold(Op::Div, a, 0);
}

Value incFn(Interpreter&, Args a) {
    arg::number(a[0]);
    return combine(Op::Add, a[0], Value::integer(1));
}
Value decFn(Interpreter&, Args a) {
    arg::number(a[0]);
    return combine(Op::Sub, a[0], Value::integer(1));
}

Value remFn(Interpreter&, Args a) {
    for (const Value& v : a)
        arg::number(v);
    if (a.empty()) return Value::integer(0);
    Value acc = a[0];
    for (size_t i = 1; i < a.size(); ++i) {
        if (acc.isInt() && a[i].isInt()) {
            int32_t x = acc.intValue(), y = a[i].intValue();
            if (y == 0) throwError(ErrorKind::DivideByZero);
            acc = Value::integer(y == -1 ? 0 : x % y);
        } else {
            if (a[i].number() == 0) throwError(ErrorKind::DivideByZero);
            acc = Value::real(std::fmod(acc.number(), a[i].number()));
        }
    }
    return acc;
}

Value absFn(Interpreter&, Args a) {
    arg::number(a[0]);
    if (a[0].isInt())
        return Value::integer(a[0].intValue() < 0 ? subWrap(0, a[0].intValue()) : a[0].intValue());
    return Value::real(std::fabs(a[0].realValue()));
}

Value extremum(Args a, bool wantMax) {
    bool anyReal = false;
    for (const Value& v : a) {
        arg::number(v);
        anyReal = anyReal || v.isReal();
    }
    if (a.empty()) return Value::integer(0);
    const Value* best = &a[0];
    for (const Value& v : a)
        if (wantMax ? v.number() > best->number() : v.number() < best->number()) best = &v;
    return anyReal ? Value::real(best->number()) : *best;
}

Value maxFn(Interpreter&, Args a) {
    return extremum(a, true);
}
Value minFn(Interpreter&, Args a) {
    return extremum(a, false);
}

[[noreturn]] void undefinedFor(const Value& v) {
    throwError(ErrorKind::Undefined, toText(v));
}

Value sqrtFn(Interpreter&, Args a) {
    double x = arg::number(a[0]);
    if (x < 0) undefinedFor(a[0]);
    return Value::real(std::sqrt(x));
}

int32_t intPower(int32_t base, int32_t exp) {
    if (exp < 0) {
        if (base == 0) throwError(ErrorKind::DivideByZero);
        if (base == 1) return 1;
        if (base == -1) return (exp % 2 == 0) ? 1 : -1;
        return 0; // |1/base^n| < 1 truncates to 0
    }
    int32_t result = 1;
    for (; exp > 0; exp >>= 1) {
        if (exp & 1) result = mulWrap(result, base);
        base = mulWrap(base, base);
    }
    return result;
}

Value exptFn(Interpreter&, Args a) {
    double b = arg::number(a[0]), e = arg::number(a[1]);
    if (a[0].isInt() && a[1].isInt())
        return Value::integer(intPower(a[0].intValue(), a[1].intValue()));
    if (b == 0 && e < 0) throwError(ErrorKind::DivideByZero);
    if (b < 0 && e != std::floor(e)) undefinedFor(a[0]);
    return Value::real(std::pow(b, e));
}

Value expFn(Interpreter&, Args a) {
    return Value::real(std::exp(arg::number(a[0])));
}

Value logFn(Interpreter&, Args a) {
    double x = arg::number(a[0]);
    if (x <= 0) undefinedFor(a[0]);
    return Value::real(std::log(x));
}

Value sinFn(Interpreter&, Args a) {
    return Value::real(std::sin(arg::number(a[0])));
}
Value cosFn(Interpreter&, Args a) {
    return Value::real(std::cos(arg::number(a[0])));
}

Value atanFn(Interpreter&, Args a) {
    double y = arg::number(a[0]);
    if (a.size() == 1) return Value::real(std::atan(y));
    double x = arg::number(a[1]);
    return Value::real(std::atan2(y, x));
}

Value fixFn(Interpreter&, Args a) {
    arg::number(a[0]);
    if (a[0].isInt()) return a[0];
    double t = std::trunc(a[0].realValue());
    if (t >= std::numeric_limits<int32_t>::min() && t <= std::numeric_limits<int32_t>::max())
        return Value::integer(static_cast<int32_t>(t));
    return Value::real(t); // beyond the integers: a truncated real
}

Value floatFn(Interpreter&, Args a) {
    return Value::real(arg::number(a[0]));
}

Value gcdFn(Interpreter&, Args a) {
    int64_t x = arg::integer(a[0]), y = arg::integer(a[1]);
    return Value::integer(static_cast<int32_t>(std::gcd(x, y)));
}

Value logandFn(Interpreter&, Args a) {
    int32_t acc = a.empty() ? 0 : -1;
    for (const Value& v : a)
        acc &= arg::integer(v);
    return Value::integer(acc);
}

Value logiorFn(Interpreter&, Args a) {
    int32_t acc = 0;
    for (const Value& v : a)
        acc |= arg::integer(v);
    return Value::integer(acc);
}

Value lshFn(Interpreter&, Args a) {
    auto v = static_cast<uint32_t>(a.empty() ? 0 : arg::integer(a[0]));
    int32_t n = a.size() > 1 ? arg::integer(a[1]) : 0;
    constexpr int32_t kBits = 32;
    if (n >= kBits || n <= -kBits) return Value::integer(0);
    return Value::integer(wrap(n >= 0 ? v << n : v >> -n));
}

Value notBitsFn(Interpreter&, Args a) {
    return Value::integer(~arg::integer(a[0]));
}

// ---- Comparison ----------------------------------------------------------------------------

// Negative, zero or positive. Numbers compare with numbers, strings with strings.
int compare(const Value& x, const Value& y) {
    if (x.isString() && y.isString()) return x.stringValue().compare(y.stringValue());
    double a = arg::number(x), b = arg::number(y);
    return a < b ? -1 : (a > b ? 1 : 0);
}

bool sameForEquals(const Value& x, const Value& y) {
    bool comparable = (x.isNumber() && y.isNumber()) || (x.isString() && y.isString());
    return comparable ? compare(x, y) == 0 : x.identical(y);
}

template <class Pred> Value chain(Interpreter& in, Args a, Pred pred) {
    for (size_t i = 0; i + 1 < a.size(); ++i)
        if (!pred(a[i], a[i + 1])) return Value();
    return in.t();
}

Value eqNumFn(Interpreter& in, Args a) {
    return chain(in, a, sameForEquals);
}
Value neNumFn(Interpreter& in, Args a) {
    return chain(in, a, [](const Value& x, const Value& y) { return !sameForEquals(x, y); });
}
Value ltFn(Interpreter& in, Args a) {
    return chain(in, a, [](const Value& x, const Value& y) { return compare(x, y) < 0; });
}
Value gtFn(Interpreter& in, Args a) {
    return chain(in, a, [](const Value& x, const Value& y) { return compare(x, y) > 0; });
}
Value leFn(Interpreter& in, Args a) {
    return chain(in, a, [](const Value& x, const Value& y) { return compare(x, y) <= 0; });
}
Value geFn(Interpreter& in, Args a) {
    return chain(in, a, [](const Value& x, const Value& y) { return compare(x, y) >= 0; });
}

} // namespace

void registerMathBuiltins(Interpreter& in) {
    in.defineSubr(L"+", plusFn, 0, -1);
    in.defineSubr(L"-", minusFn, 0, -1);
    in.defineSubr(L"*", timesFn, 0, -1);
    in.defineSubr(L"/", divideFn, 0, -1);
    in.defineSubr(L"1+", incFn, 1, 1);
    in.defineSubr(L"1-", decFn, 1, 1);
    in.defineSubr(L"REM", remFn, 0, -1);
    in.defineSubr(L"ABS", absFn, 1, 1);
    in.defineSubr(L"MAX", maxFn, 0, -1);
    in.defineSubr(L"MIN", minFn, 0, -1);
    in.defineSubr(L"SQRT", sqrtFn, 1, 1);
    in.defineSubr(L"EXPT", exptFn, 2, 2);
    in.defineSubr(L"EXP", expFn, 1, 1);
    in.defineSubr(L"LOG", logFn, 1, 1);
    in.defineSubr(L"SIN", sinFn, 1, 1);
    in.defineSubr(L"COS", cosFn, 1, 1);
    in.defineSubr(L"ATAN", atanFn, 1, 2);
    in.defineSubr(L"FIX", fixFn, 1, 1);
    in.defineSubr(L"FLOAT", floatFn, 1, 1);
    in.defineSubr(L"GCD", gcdFn, 2, 2);
    in.defineSubr(L"LOGAND", logandFn, 0, -1);
    in.defineSubr(L"LOGIOR", logiorFn, 0, -1);
    in.defineSubr(L"LSH", lshFn, 0, 2);
    in.defineSubr(L"~", notBitsFn, 1, 1);
    in.defineSubr(L"=", eqNumFn, 1, -1);
    in.defineSubr(L"/=", neNumFn, 1, -1);
    in.defineSubr(L"<", ltFn, 1, -1);
    in.defineSubr(L">", gtFn, 1, -1);
    in.defineSubr(L"<=", leFn, 1, -1);
    in.defineSubr(L">=", geFn, 1, -1);
}

} // namespace zel::lisp
