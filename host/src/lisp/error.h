// Errors of LISP evaluation: what went wrong (a kind the host can test) and the text shown
// after "; エラー: " (the text a LISP *error* handler receives).
//
// Errors are C++ exceptions inside the interpreter only; every entry point from the host
// (evalText, invoke, getSym, putSym) catches them and answers with a result code.
#pragma once

#include <stdexcept>
#include <string>

namespace zel::lisp {

enum class ErrorKind {
    None,
    BadArgumentType,  // an argument of the wrong type
    BadArgumentValue, // right type, value out of range
    TooFewArguments,
    TooManyArguments,
    NoFunction,   // the symbol in function position has no function
    BadFunction,  // the value in function position is not a function
    DivideByZero, // integer or real division by zero
    Undefined,    // a function undefined for its argument (log of 0, sqrt of -1)
    Syntax,       // malformed text given to the reader
    Incomplete,   // the text ends inside a list or a string
    StackOverflow,
    StepLimit,    // the evaluation ran longer than the interpreter allows
    Cancelled,    // the user cancelled (Esc at a prompt, a cancelled command)
    Quit,         // (exit) or (quit)
    NotAvailable, // a host function that the host has not wired
    HostRejected, // the host refused a request (a system variable value, an entity list)
    External,     // an external function returned an error
    Protected,    // assignment to a protected symbol
    File,         // a file could not be used
    OutOfMemory,
};

class LispError : public std::runtime_error {
public:
    LispError(ErrorKind kind, std::wstring message);
    ErrorKind kind() const { return mKind; }
    const std::wstring& message() const { return mMessage; }

    // Set once the error has been shown (or given to *error*), so that outer frames only
    // unwind.
    bool reported() const { return mReported; }
    void markReported() { mReported = true; }

private:
    ErrorKind mKind;
    std::wstring mMessage;
    bool mReported = false;
};

// The fixed texts (without details) of each kind.
std::wstring errorText(ErrorKind kind);

// The line the interpreter prints for an error nobody handled: "; エラー: " + message.
std::wstring errorLine(const std::wstring& message);

[[noreturn]] void throwError(ErrorKind kind, const std::wstring& detail = {});

} // namespace zel::lisp
