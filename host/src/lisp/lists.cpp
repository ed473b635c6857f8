// List functions: car cdr and their compositions up to four levels, cons list append
// reverse length nth member assoc subst last vl-position vl-remove acad_strlsort.
#include "lisp/args.h"
#include "lisp/builtins.h"
#include "lisp/interp.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zel::lisp {

namespace {

using Args = std::span<const Value>;

// car and cdr of nil are nil; of any other atom an error.
const Value& carOf(const Value& v) {
    if (v.isNil()) return v;
    if (!v.isCons()) arg::badType(L"consp", v);
    return v.car();
}

const Value& cdrOf(const Value& v) {
    if (v.isNil()) return v;
    if (!v.isCons()) arg::badType(L"consp", v);
    return v.cdr();
}

// The compositions: the letters between c and r, applied from the right.
constexpr std::array<const wchar_t*, 30> kPaths = {
    L"A",    L"D",    L"AA",   L"AD",   L"DA",   L"DD",   L"AAA",  L"AAD",  L"ADA",  L"ADD",
    L"DAA",  L"DAD",  L"DDA",  L"DDD",  L"AAAA", L"AAAD", L"AADA", L"AADD", L"ADAA", L"ADAD",
    L"ADDA", L"ADDD", L"DAAA", L"DAAD", L"DADA", L"DADD", L"DDAA", L"DDAD", L"DDDA", L"DDDD",
};

template <size_t I> Value cxrFn(Interpreter&, Args a) {
    std::wstring_view path = kPaths[I];
    const Value* v = &a[0];
    for (auto it = path.rbegin(); it != path.rend(); ++it)
        v = (*it == L'A') ? &carOf(*v) : &cdrOf(*v);
    return *v;
}

template <size_t... I> void defineCxr(Interpreter& in, std::index_sequence<I...>) {
    (in.defineSubr(std::wstring(L"C") + kPaths[I] + L"R", cxrFn<I>, 1, 1), ...);
}

Value consFn(Interpreter&, Args a) {
    return Value::cons(a[0], a[1]);
}

Value listFn(Interpreter&, Args a) {
    return makeList(std::vector<Value>(a.begin(), a.end()));
}

Value appendFn(Interpreter&, Args a) {
    if (a.empty()) return Value();
    for (const Value& v : a)
        arg::list(v);
    std::vector<Value> items;
    for (size_t i = 0; i + 1 < a.size(); ++i)
        for (const Value& v : ListRange(a[i]))
            items.push_back(v);
    return makeList(std::move(items), a.back()); // the last list is shared
}

Value reverseFn(Interpreter&, Args a) {
    Value out;
    for (const Value& v : ListRange(arg::list(a[0])))
        out = Value::cons(v, std::move(out));
    return out;
}

Value lengthFn(Interpreter&, Args a) {
    if (!isProperList(arg::list(a[0]))) arg::badType(L"listp", a[0]);
    return Value::integer(static_cast<int32_t>(listLength(a[0])));
}

Value nthFn(Interpreter&, Args a) {
    int32_t n = arg::integer(a[0]);
    const Value* v = &arg::list(a[1]);
    if (n < 0) return Value();
    for (; n > 0 && v->isCons(); --n)
        v = &v->cdr();
    return v->isCons() ? v->car() : Value();
}

Value memberFn(Interpreter&, Args a) {
    for (const Value* v = &arg::list(a[1]); v->isCons(); v = &v->cdr())
        if (equalValues(v->car(), a[0])) return *v;
    return Value();
}

Value assocFn(Interpreter&, Args a) {
    for (const Value& item : ListRange(arg::list(a[1])))
        if (item.isCons() && equalValues(item.car(), a[0])) return item;
    return Value();
}

// Top-level elements equal to old are replaced by new.
Value substFn(Interpreter&, Args a) {
    const Value& list = arg::list(a[2]);
    std::vector<Value> items;
    const Value* v = &list;
    for (; v->isCons(); v = &v->cdr())
        items.push_back(equalValues(v->car(), a[1]) ? a[0] : v->car());
    return makeList(std::move(items), *v);
}

Value lastFn(Interpreter&, Args a) {
    const Value* v = &arg::list(a[0]);
    if (v->isNil()) return Value();
    while (v->cdr().isCons())
        v = &v->cdr();
    return v->car();
}

Value positionFn(Interpreter&, Args a) {
    int32_t i = 0;
    for (const Value& v : ListRange(arg::list(a[1]))) {
        if (equalValues(v, a[0])) return Value::integer(i);
        ++i;
    }
    return Value();
}

Value removeFn(Interpreter&, Args a) {
    std::vector<Value> items;
    for (const Value& v : ListRange(arg::list(a[1])))
        if (!equalValues(v, a[0])) items.push_back(v);
    return makeList(std::move(items));
}

Value strlsortFn(Interpreter&, Args a) {
    std::vector<Value> items = listItems(arg::list(a[0]));
    for (const Value& v : items)
        arg::string(v);
    std::stable_sort(items.begin(), items.end(), [](const Value& x, const Value& y) {
        return x.stringValue() < y.stringValue();
    });
    return makeList(std::move(items));
}

} // namespace

void registerListBuiltins(Interpreter& in) {
    defineCxr(in, std::make_index_sequence<kPaths.size()>());
    in.defineSubr(L"CONS", consFn, 2, 2);
    in.defineSubr(L"LIST", listFn, 0, -1);
    in.defineSubr(L"APPEND", appendFn, 0, -1);
    in.defineSubr(L"REVERSE", reverseFn, 1, 1);
    in.defineSubr(L"LENGTH", lengthFn, 1, 1);
    in.defineSubr(L"NTH", nthFn, 2, 2);
    in.defineSubr(L"MEMBER", memberFn, 2, 2);
    in.defineSubr(L"ASSOC", assocFn, 2, 2);
    in.defineSubr(L"SUBST", substFn, 3, 3);
    in.defineSubr(L"LAST", lastFn, 1, 1);
    in.defineSubr(L"VL-POSITION", positionFn, 2, 2);
    in.defineSubr(L"VL-REMOVE", removeFn, 2, 2);
    in.defineSubr(L"ACAD_STRLSORT", strlsortFn, 1, 1);
}

} // namespace zel::lisp
