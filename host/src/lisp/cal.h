// CAL: the numeric expression calculator.
//
// Operators + - * / ^ (power, right-associative, above unary minus: -2^2 is -4), parentheses,
// numbers 12 1.5 .5 1e3. Integers stay integers through + - * and ^ with a non-negative
// exponent; a result beyond 32 bits, or any real operand, gives a real. Division of integers
// gives an integer when it is exact and a real otherwise: 12/4 is 3, 12/5 is 2.4, as the
// reference calculator answers.
//
// Functions (names without case): sin cos tang (also tan) take degrees; asin acos atan give
// degrees; ln log (base 10) exp exp10 sqr (square) sqrt abs round trunc r2d d2r; the
// constant pi. Any other name is a variable, looked up through the caller (the LISP's
// symbols).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zel::lisp {

struct CalNumber {
    bool isInteger = true;
    int32_t integer = 0;
    double real = 0;

    static CalNumber ofInt(int32_t v) { return {true, v, static_cast<double>(v)}; }
    static CalNumber ofReal(double v) { return {false, 0, v}; }
    double value() const { return isInteger ? integer : real; }
};

struct CalResult {
    bool ok = false;
    CalNumber value;
    std::wstring error; // what is wrong, with the position
    size_t errorOffset = 0;
};

// The value of a variable name; nullopt when it is not a number.
using CalVariables = std::function<std::optional<CalNumber>(std::wstring_view name)>;

// Nesting of parentheses and unary signs the calculator accepts.
inline constexpr int kMaxCalDepth = 200;

CalResult evaluateCal(std::wstring_view expression, const CalVariables& variables = {});

} // namespace zel::lisp
