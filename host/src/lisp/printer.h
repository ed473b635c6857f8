// Values as text, as the LISP prints them: prin1 style (strings in double quotes with
// escapes, as read back) and princ style (strings as they are).
//
// Reals show six significant digits with a decimal point (1.0 2.4 0.333333 1.0e+15); lists in
// parentheses with dotted tails; entity names "<Entity name: 7ff…>", selection sets
// "<Selection set: 1>", files #<file "name">, functions #<SUBR CAR>, #<USUBR FOO>,
// #<EXRXSUBR NAME>. Printing never recurses, so any list prints.
#pragma once

#include "lisp/value.h"

#include <string>

namespace zel::lisp {

enum class PrintStyle { Prin1, Princ };

std::wstring toText(const Value& v, PrintStyle style = PrintStyle::Prin1);

} // namespace zel::lisp
