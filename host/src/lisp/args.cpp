// Argument checks of the built-in functions.
#include "lisp/args.h"

#include "lisp/printer.h"

namespace zel::lisp::arg {

void badType(std::wstring_view predicate, const Value& v) {
    throwError(ErrorKind::BadArgumentType, std::wstring(predicate) + L": " + toText(v));
}

void badValue(const Value& v) {
    throwError(ErrorKind::BadArgumentValue, toText(v));
}

int32_t integer(const Value& v) {
    if (!v.isInt()) badType(L"fixnump", v);
    return v.intValue();
}

double number(const Value& v) {
    if (!v.isNumber()) badType(L"numberp", v);
    return v.number();
}

const std::wstring& string(const Value& v) {
    if (!v.isString()) badType(L"stringp", v);
    return v.stringValue();
}

Symbol* symbol(const Value& v) {
    if (!v.isSymbol()) badType(L"symbolp", v);
    return v.symbolValue();
}

const Value& list(const Value& v) {
    if (!v.isList()) badType(L"listp", v);
    return v;
}

const NameObj& ename(const Value& v) {
    if (v.kind() != Kind::Ename) badType(L"lentityp", v);
    return v.as<NameObj>();
}

const NameObj& pickset(const Value& v) {
    if (v.kind() != Kind::PickSet) badType(L"lselsetp", v);
    return v.as<NameObj>();
}

bool isPoint(const Value& v) {
    size_t n = 0;
    const Value* at = &v;
    for (; at->isCons() && n < 4; at = &at->cdr(), ++n)
        if (!at->car().isNumber()) return false;
    return at->isNil() && (n == 2 || n == 3);
}

Point point(const Value& v) {
    if (!isPoint(v)) badType(L"point", v);
    Point p;
    p.x = v.car().number();
    p.y = v.cdr().car().number();
    p.is3d = v.cdr().cdr().isCons();
    if (p.is3d) p.z = v.cdr().cdr().car().number();
    return p;
}

Value pointValue(const Point& p) {
    if (p.is3d) return makeList({Value::real(p.x), Value::real(p.y), Value::real(p.z)});
    return makeList({Value::real(p.x), Value::real(p.y)});
}

} // namespace zel::lisp::arg
