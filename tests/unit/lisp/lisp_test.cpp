// Names of error kinds for the test tables.
#include "lisp_test.h"

namespace zel::lisp::test {

const char* kindName(ErrorKind k) {
    switch (k) {
    case ErrorKind::None:
        return "None";
    case ErrorKind::BadArgumentType:
        return "BadArgumentType";
    case ErrorKind::BadArgumentValue:
        return "BadArgumentValue";
    case ErrorKind::TooFewArguments:
        return "TooFew";
    case ErrorKind::TooManyArguments:
        return "TooMany";
    case ErrorKind::NoFunction:
        return "NoFunction";
    case ErrorKind::BadFunction:
        return "BadFunction";
    case ErrorKind::DivideByZero:
        return "DivideByZero";
    case ErrorKind::Undefined:
        return "Undefined";
    case ErrorKind::Syntax:
        return "Syntax";
    case ErrorKind::Incomplete:
        return "Incomplete";
    case ErrorKind::StackOverflow:
        return "StackOverflow";
    case ErrorKind::StepLimit:
        return "StepLimit";
    case ErrorKind::Cancelled:
        return "Cancelled";
    case ErrorKind::Quit:
        return "Quit";
    case ErrorKind::NotAvailable:
        return "NotAvailable";
    case ErrorKind::HostRejected:
        return "HostRejected";
    case ErrorKind::External:
        return "External";
    case ErrorKind::Protected:
        return "Protected";
    case ErrorKind::File:
        return "File";
    case ErrorKind::OutOfMemory:
        return "OutOfMemory";
    }
    return "?";
}

} // namespace zel::lisp::test
