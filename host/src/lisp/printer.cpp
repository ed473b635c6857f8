// The LISP printer (see printer.h).
#include "lisp/printer.h"

#include "core/resbuf.h"
#include "core/text.h"

#include <charconv>

namespace zel::lisp {

namespace {

std::wstring hexText(int64_t v) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, static_cast<uint64_t>(v), 16);
    return core::asciiToWide(std::string_view(buf, static_cast<size_t>(r.ptr - buf)));
}

std::wstring functionText(const Value& v) {
    switch (v.kind()) {
    case Kind::Subr:
        return L"#<SUBR " + v.as<SubrObj>().name + L">";
    case Kind::USubr: {
        const std::wstring& name = v.as<UserFnObj>().name;
        return L"#<USUBR " + (name.empty() ? std::wstring(L"-lambda-") : name) + L">";
    }
    case Kind::ExSubr:
        return L"#<EXRXSUBR " + v.as<ExternalObj>().name + L">";
    default:
        return L"";
    }
}

std::wstring atomText(const Value& v, PrintStyle style) {
    switch (v.kind()) {
    case Kind::Nil:
        return L"nil";
    case Kind::Int:
        return core::toWString(v.intValue());
    case Kind::Real:
        return core::lispReal(v.realValue());
    case Kind::Str:
        return style == PrintStyle::Prin1 ? core::lispString(v.stringValue()) : v.stringValue();
    case Kind::Sym:
        return v.symbolValue()->name;
    case Kind::Ename:
        return L"<Entity name: " + hexText(v.as<NameObj>().name[0]) + L">";
    case Kind::PickSet:
        return L"<Selection set: " + hexText(v.as<NameObj>().name[0]) + L">";
    case Kind::File:
        return L"#<file " + core::lispString(v.as<FileObj>().path) + L">";
    case Kind::Subr:
    case Kind::USubr:
    case Kind::ExSubr:
        return functionText(v);
    case Kind::Cons:
        break;
    }
    return L"";
}

} // namespace

std::wstring toText(const Value& v, PrintStyle style) {
    if (!v.isCons()) return atomText(v, style);
    struct Open {
        const Value* rest; // the part of the list still to print
        bool first;
    };
    std::vector<Open> stack;
    std::wstring out = L"(";
    stack.push_back({&v, true});
    while (!stack.empty()) {
        Open& top = stack.back();
        const Value& rest = *top.rest;
        if (rest.isNil()) {
            out += L')';
            stack.pop_back();
            continue;
        }
        if (!rest.isCons()) {
            out += L" . " + atomText(rest, style) + L")";
            stack.pop_back();
            continue;
        }
        if (!top.first) out += L' ';
        top.first = false;
        top.rest = &rest.cdr();
        const Value& item = rest.car();
        if (item.isCons()) {
            out += L'(';
            stack.push_back({&item, true}); // `top` is not used after this
        } else {
            out += atomText(item, style);
        }
    }
    return out;
}

} // namespace zel::lisp
