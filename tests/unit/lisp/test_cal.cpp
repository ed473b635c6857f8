// CAL: values and types of numeric expressions, errors with their position, the LISP
// function, and random integer expressions checked against 64-bit arithmetic.
#include "lisp/cal.h"
#include "lisp/printer.h"
#include "lisp_test.h"

#include <cmath>
#include <random>

using namespace zel::lisp;
using namespace zel::lisp::test;

namespace {

// "3" for an integer, "3.0" style for a real (as LISP prints them).
std::wstring calText(std::wstring_view expr, const CalVariables& vars = {}) {
    CalResult r = evaluateCal(expr, vars);
    if (!r.ok) return L"!";
    return toText(r.value.isInteger ? Value::integer(r.value.integer) : Value::real(r.value.real));
}

} // namespace

TEST(Cal, IntegersStayIntegersAndRealsSpread) {
    struct Row {
        const wchar_t* expr;
        const wchar_t* value;
    } rows[] = {
        {L"12/5", L"2.4"},
        {L"12/4", L"3"},
        {L"12.0/5.0", L"2.4"},
        {L"7/2", L"3.5"},
        {L"-7/2", L"-3.5"},
        {L"6/-3", L"-2"},
        {L"1+2*3", L"7"},
        {L"(1+2)*3", L"9"},
        {L"10-2-3", L"5"},
        {L"100/10/5", L"2"},
        {L"2*-3", L"-6"},
        {L"2^3", L"8"},
        {L"2^3^2", L"512"},
        {L"-2^2", L"-4"},
        {L"(-2)^2", L"4"},
        {L"2^-1", L"0.5"},
        {L"2^0.5", L"1.41421"},
        {L"2.0^3", L"8.0"},
        {L"1e3", L"1000.0"},
        {L".5", L"0.5"},
        {L" 1 + 1 ", L"2"},
        {L"--3", L"3"},
        {L"+4", L"4"},
        {L"1+2.0", L"3.0"},
        {L"2147483647+1", L"2.14748e+09"},
        {L"65536*65536", L"4.29497e+09"},
        {L"2^31", L"2.14748e+09"},
        {L"2^30", L"1073741824"},
        {L"(-2)^31", L"-2147483648"},
        {L"-2147483647-1", L"-2147483648"},
        {L"1^1000000000", L"1"},
        {L"0^0", L"1"},
        {L"((((1))))", L"1"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(calText(r.expr), std::wstring(r.value)) << narrow(r.expr);
}

TEST(Cal, FunctionsTakeAndGiveDegrees) {
    struct Row {
        const wchar_t* expr;
        double value;
        bool integer;
    } rows[] = {
        {L"sin(30)", 0.5, false},      {L"cos(60)", 0.5, false},
        {L"tang(45)", 1.0, false},     {L"TAN(45)", 1.0, false},
        {L"asin(1)", 90.0, false},     {L"acos(0)", 90.0, false},
        {L"atan(1)", 45.0, false},     {L"sqrt(16)", 4.0, false},
        {L"sqr(5)", 25, true},         {L"sqr(1.5)", 2.25, false},
        {L"abs(-3)", 3, true},         {L"abs(-3.5)", 3.5, false},
        {L"round(2.5)", 3, true},      {L"round(-2.5)", -3, true},
        {L"round(2.4)", 2, true},      {L"trunc(2.7)", 2, true},
        {L"trunc(-2.7)", -2, true},    {L"ln(1)", 0.0, false},
        {L"log(1000)", 3.0, false},    {L"exp(0)", 1.0, false},
        {L"exp10(2)", 100.0, false},   {L"r2d(pi)", 180.0, false},
        {L"d2r(180)", M_PI, false},    {L"pi", M_PI, false},
        {L"2*pi", 2 * M_PI, false},    {L"sin(asin(0.5))", 0.5, false},
        {L"round(1e12)", 1e12, false}, {L"sqrt(sqr(3)+sqr(4))", 5.0, false},
    };
    for (const Row& r : rows) {
        CalResult res = evaluateCal(r.expr);
        ASSERT_TRUE(res.ok) << narrow(r.expr) << " " << narrow(res.error);
        EXPECT_EQ(res.value.isInteger, r.integer) << narrow(r.expr);
        EXPECT_NEAR(res.value.value(), r.value, 1e-12 * std::max(1.0, std::fabs(r.value)))
            << narrow(r.expr);
    }
}

TEST(Cal, ErrorsSayWhereTheyAre) {
    struct Row {
        const wchar_t* expr;
        size_t offset;
    } rows[] = {
        {L"", 0},         {L"1+", 2},        {L"(1", 2},    {L"1 2", 2},     {L"1/0", 2},
        {L"1/(2-2)", 2},  {L"sqrt(-1)", 0},  {L"ln(0)", 0}, {L"asin(2)", 0}, {L"foo(1)", 0},
        {L"x+1", 0},      {L"1+*2", 2},      {L")", 0},     {L"1..2", 0},    {L"2^", 2},
        {L"(-8)^0.5", 8}, {L"exp(1000)", 0}, {L"1e400", 0}, {L"sin(1", 5},
    };
    for (const Row& r : rows) {
        CalResult res = evaluateCal(r.expr);
        EXPECT_FALSE(res.ok) << narrow(r.expr);
        EXPECT_EQ(res.errorOffset, r.offset) << narrow(r.expr) << " " << narrow(res.error);
        EXPECT_FALSE(res.error.empty());
    }
    std::wstring deep(500, L'(');
    EXPECT_FALSE(evaluateCal(deep + L"1" + std::wstring(500, L')')).ok);
    std::wstring signs(500, L'-');
    EXPECT_FALSE(evaluateCal(signs + L"1").ok);
}

TEST(Cal, VariablesComeFromTheCaller) {
    CalVariables vars = [](std::wstring_view name) -> std::optional<CalNumber> {
        if (name == L"w") return CalNumber::ofInt(12);
        if (name == L"h") return CalNumber::ofReal(2.5);
        return std::nullopt;
    };
    EXPECT_EQ(calText(L"w*2", vars), L"24");
    EXPECT_EQ(calText(L"W/h", vars), L"4.8");
    EXPECT_EQ(calText(L"w/5", vars), L"2.4");
    EXPECT_EQ(calText(L"q", vars), L"!");
}

TEST(Cal, LispFunctionCal) {
    Lisp lisp;
    runTable(lisp, {
                       {L"(cal \"12/5\")", L"2.4"},
                       {L"(cal \"12/4\")", L"3"},
                       {L"(c:cal \"1+1\")", L"2"},
                       {L"(setq w 10 h 4.0 s \"x\")", L"\"x\""},
                       {L"(cal \"w*h\")", L"40.0"},
                       {L"(cal \"w+1\")", L"11"},
                       {L"(cal \"s+1\")", L"nil"},
                       {L"(cal \"1+\")", L"nil"},
                       {L"(cal 5)", L"!BadArgumentType"},
                   });
    // The only output is the error of (cal 5): a bad expression is the caller's to report.
    EXPECT_EQ(lisp.out, L"\n; エラー: 引数のタイプが違います: stringp: 5");
}

namespace {

// A random expression of + - * over small integers and its value in 64 bits. With operands
// up to 60 and three levels, every partial result stays below 2^53, so it is exact as a
// double too; many pass 32 bits and must turn into reals.
std::wstring randomExpr(std::mt19937& rng, int depth, int64_t& value) {
    if (depth == 0 || rng() % 3 == 0) {
        value = static_cast<int64_t>(rng() % 121) - 60;
        std::wstring s = std::to_wstring(value);
        return value < 0 ? L"(" + s + L")" : s;
    }
    int64_t a = 0, b = 0;
    std::wstring l = randomExpr(rng, depth - 1, a);
    std::wstring r = randomExpr(rng, depth - 1, b);
    switch (rng() % 3) {
    case 0:
        value = a + b;
        return L"(" + l + L"+" + r + L")";
    case 1:
        value = a - b;
        return L"(" + l + L" - " + r + L")";
    default:
        value = a * b;
        return l + L"*" + r;
    }
}

} // namespace

TEST(Cal, RandomIntegerExpressionsMatchExactArithmetic) {
    std::mt19937 rng(424242);
    for (int i = 0; i < 3000; ++i) {
        int64_t expected = 0;
        std::wstring expr = randomExpr(rng, 3, expected);
        CalResult r = evaluateCal(expr);
        ASSERT_TRUE(r.ok) << narrow(expr);
        bool fits = expected >= INT32_MIN && expected <= INT32_MAX;
        if (fits) {
            ASSERT_TRUE(r.value.isInteger) << narrow(expr);
            ASSERT_EQ(r.value.integer, expected) << narrow(expr);
        } else {
            ASSERT_EQ(r.value.value(), static_cast<double>(expected)) << narrow(expr);
        }
    }
}
