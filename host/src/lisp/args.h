// Checking the arguments of built-in functions: each accessor returns the argument in the
// wanted form or fails with "bad argument type: <predicate>: <value>" as the reference LISP
// names it (numberp, fixnump, stringp, symbolp, listp, lentityp, lselsetp, point).
#pragma once

#include "lisp/error.h"
#include "lisp/value.h"

#include <string>
#include <string_view>

namespace zel::lisp::arg {

[[noreturn]] void badType(std::wstring_view predicate, const Value& v);
[[noreturn]] void badValue(const Value& v);

int32_t integer(const Value& v);            // fixnump
double number(const Value& v);              // numberp
const std::wstring& string(const Value& v); // stringp
Symbol* symbol(const Value& v);             // symbolp (nil is not a symbol here)
const Value& list(const Value& v);          // listp
const NameObj& ename(const Value& v);       // lentityp
const NameObj& pickset(const Value& v);     // lselsetp

struct Point {
    double x = 0, y = 0, z = 0;
    bool is3d = false;
};
// A list of two or three numbers.
Point point(const Value& v);
bool isPoint(const Value& v);
Value pointValue(const Point& p);

} // namespace zel::lisp::arg
