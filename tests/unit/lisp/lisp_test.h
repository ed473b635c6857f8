// Helpers of the LISP tests: an interpreter whose output is captured, and evaluation to the
// printed result ("!Kind" when the evaluation fails).
#pragma once

#include "lisp/interp.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace zel::lisp::test {

inline std::string narrow(std::wstring_view w) {
    std::string s;
    for (wchar_t c : w)
        s += c < 0x80 ? static_cast<char>(c) : '?';
    return s;
}

const char* kindName(ErrorKind k);

struct Lisp {
    explicit Lisp(InterpreterOptions options = {}) : in(options) {
        in.setOutput([this](std::wstring_view s) { out += s; });
    }
    // The printed value, or "!" + the error kind.
    std::wstring eval(std::wstring_view text) {
        EvalResult r = in.evalText(text);
        if (r.ok) return r.printed;
        std::string k = kindName(r.error);
        return L"!" + std::wstring(k.begin(), k.end());
    }
    Interpreter in;
    std::wstring out;
};

// A table row: the text to evaluate and the printed result expected.
struct Case {
    const wchar_t* expr;
    const wchar_t* expected;
};

inline void runTable(Lisp& lisp, std::initializer_list<Case> cases) {
    for (const Case& c : cases)
        EXPECT_EQ(lisp.eval(c.expr), std::wstring(c.expected)) << narrow(c.expr);
}

} // namespace zel::lisp::test
