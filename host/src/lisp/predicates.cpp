// Predicates and identity: null not atom listp numberp boundp zerop minusp eq equal type
// vl-symbolp vl-consp.
#include "lisp/args.h"
#include "lisp/builtins.h"
#include "lisp/interp.h"

namespace zel::lisp {

namespace {

using Args = std::span<const Value>;

Value nullFn(Interpreter& in, Args a) {
    return in.boolean(a[0].isNil());
}
Value atomFn(Interpreter& in, Args a) {
    return in.boolean(!a[0].isCons());
}
Value listpFn(Interpreter& in, Args a) {
    return in.boolean(a[0].isList());
}
Value numberpFn(Interpreter& in, Args a) {
    return in.boolean(a[0].isNumber());
}
Value symbolpFn(Interpreter& in, Args a) {
    return in.boolean(a[0].isSymbol() || a[0].isNil());
}
Value conspFn(Interpreter& in, Args a) {
    return in.boolean(a[0].isCons());
}

Value boundpFn(Interpreter& in, Args a) {
    if (a[0].isNil()) return Value();
    return in.boolean(!arg::symbol(a[0])->value.isNil());
}

Value zeropFn(Interpreter& in, Args a) {
    return in.boolean(arg::number(a[0]) == 0);
}
Value minuspFn(Interpreter& in, Args a) {
    return in.boolean(arg::number(a[0]) < 0);
}

Value eqFn(Interpreter& in, Args a) {
    return in.boolean(a[0].identical(a[1]));
}

Value equalFn(Interpreter& in, Args a) {
    double fuzz = a.size() > 2 ? arg::number(a[2]) : 0.0;
    return in.boolean(equalValues(a[0], a[1], fuzz));
}

const wchar_t* typeName(Kind k) {
    switch (k) {
    case Kind::Nil:
        return nullptr;
    case Kind::Int:
        return L"INT";
    case Kind::Real:
        return L"REAL";
    case Kind::Str:
        return L"STR";
    case Kind::Sym:
        return L"SYM";
    case Kind::Cons:
        return L"LIST";
    case Kind::Ename:
        return L"ENAME";
    case Kind::PickSet:
        return L"PICKSET";
    case Kind::File:
        return L"FILE";
    case Kind::Subr:
        return L"SUBR";
    case Kind::USubr:
        return L"USUBR";
    case Kind::ExSubr:
        return L"EXRXSUBR";
    }
    return nullptr;
}

Value typeFn(Interpreter& in, Args a) {
    const wchar_t* name = typeName(a[0].kind());
    return name ? in.symbol(name) : Value();
}

} // namespace

void registerPredicateBuiltins(Interpreter& in) {
    in.defineSubr(L"NULL", nullFn, 1, 1);
    in.defineSubr(L"NOT", nullFn, 1, 1);
    in.defineSubr(L"ATOM", atomFn, 1, 1);
    in.defineSubr(L"LISTP", listpFn, 1, 1);
    in.defineSubr(L"NUMBERP", numberpFn, 1, 1);
    in.defineSubr(L"VL-SYMBOLP", symbolpFn, 1, 1);
    in.defineSubr(L"VL-CONSP", conspFn, 1, 1);
    in.defineSubr(L"BOUNDP", boundpFn, 1, 1);
    in.defineSubr(L"ZEROP", zeropFn, 1, 1);
    in.defineSubr(L"MINUSP", minuspFn, 1, 1);
    in.defineSubr(L"EQ", eqFn, 2, 2);
    in.defineSubr(L"EQUAL", equalFn, 2, 3);
    in.defineSubr(L"TYPE", typeFn, 1, 1);
}

} // namespace zel::lisp
