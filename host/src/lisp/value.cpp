// LISP values: construction, access, and freeing of lists without recursion.
#include "lisp/value.h"

#include "core/tolerance.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace zel::lisp {

namespace {

// Values whose last reference is being dropped while another such value is being freed.
// Freeing them one after another from this list keeps the native stack flat however long or
// deep the list is.
struct PendingRelease {
    std::vector<Value> values;
    bool draining = false;
};

PendingRelease& pending() {
    thread_local PendingRelease p;
    return p;
}

void releaseLater(Value&& v) {
    if (!v.holdsObject() || v.useCount() > 1) return; // only a reference goes away
    PendingRelease& p = pending();
    p.values.push_back(std::move(v));
    if (p.draining) return;
    p.draining = true;
    while (!p.values.empty()) {
        Value last = std::move(p.values.back());
        p.values.pop_back();
        // `last` is destroyed here; a cons among its parts comes back through releaseLater.
    }
    p.draining = false;
}

} // namespace

Cons::~Cons() {
    releaseLater(std::move(car));
    releaseLater(std::move(cdr));
}

NameObj::NameObj(const ads_name n, std::function<void(const ads_name)> onRelease)
    : release(std::move(onRelease)) {
    ads_name_set(n, name);
}

NameObj::~NameObj() {
    if (release) release(name);
}

FileObj::FileObj(std::FILE* f, std::wstring p, wchar_t m) : file(f), path(std::move(p)), mode(m) {}

FileObj::~FileObj() {
    close();
}

void FileObj::close() const {
    if (file) std::fclose(file);
    file = nullptr;
}

Value Value::integer(int32_t v) {
    Value x;
    x.mKind = Kind::Int;
    x.mImm.i = v;
    return x;
}

Value Value::real(double v) {
    Value x;
    x.mKind = Kind::Real;
    x.mImm.r = v;
    return x;
}

Value Value::string(std::wstring text) {
    return object(Kind::Str, std::make_shared<StringObj>(std::move(text)));
}

Value Value::symbol(Symbol* sym) {
    assert(sym && "a symbol value needs a symbol");
    Value x;
    x.mKind = Kind::Sym;
    x.mImm.s = sym;
    return x;
}

Value Value::cons(Value car, Value cdr) {
    return object(Kind::Cons, std::make_shared<Cons>(std::move(car), std::move(cdr)));
}

Value Value::object(Kind kind, std::shared_ptr<const Object> obj) {
    assert(obj && "an object value needs an object");
    Value x;
    x.mKind = kind;
    x.mObj = std::move(obj);
    return x;
}

bool Value::isFunction() const {
    return mKind == Kind::Subr || mKind == Kind::USubr || mKind == Kind::ExSubr;
}

int32_t Value::intValue() const {
    assert(isInt() && "not an integer");
    return mImm.i;
}

double Value::realValue() const {
    assert(isReal() && "not a real");
    return mImm.r;
}

double Value::number() const {
    assert(isNumber() && "not a number");
    return isInt() ? static_cast<double>(mImm.i) : mImm.r;
}

const std::wstring& Value::stringValue() const {
    assert(isString() && "not a string");
    return as<StringObj>().text;
}

Symbol* Value::symbolValue() const {
    assert(isSymbol() && "not a symbol");
    return mImm.s;
}

const Value& Value::car() const {
    assert(isCons() && "car of a non-cons");
    return as<Cons>().car;
}

const Value& Value::cdr() const {
    assert(isCons() && "cdr of a non-cons");
    return as<Cons>().cdr;
}

bool Value::identical(const Value& other) const {
    if (mKind != other.mKind) return false;
    switch (mKind) {
    case Kind::Nil:
        return true;
    case Kind::Int:
        return mImm.i == other.mImm.i;
    case Kind::Real:
        return mImm.r == other.mImm.r;
    case Kind::Sym:
        return mImm.s == other.mImm.s;
    case Kind::Ename:
    case Kind::PickSet:
        return ads_name_equal(as<NameObj>().name, other.as<NameObj>().name);
    case Kind::Str:
    case Kind::Cons:
    case Kind::File:
    case Kind::Subr:
    case Kind::USubr:
    case Kind::ExSubr:
        return mObj == other.mObj;
    }
    return false;
}

bool equalValues(const Value& a, const Value& b, double fuzz) {
    std::vector<std::pair<const Value*, const Value*>> work{{&a, &b}};
    while (!work.empty()) {
        auto [x, y] = work.back();
        work.pop_back();
        if (x->isNumber() && y->isNumber()) {
            double a = x->number(), b = y->number();
            double slack =
                fuzz > 0 ? tol::kLispFuzzRelative * std::max(std::fabs(a), std::fabs(b)) : 0.0;
            if (std::fabs(a - b) > fuzz + slack) return false;
        } else if (x->isString() && y->isString()) {
            if (x->stringValue() != y->stringValue()) return false;
        } else if (x->isCons() && y->isCons()) {
            work.emplace_back(&x->cdr(), &y->cdr());
            work.emplace_back(&x->car(), &y->car());
        } else if (!x->identical(*y)) {
            return false;
        }
    }
    return true;
}

Value makeList(std::initializer_list<Value> items) {
    return makeList(std::vector<Value>(items));
}

Value makeList(std::vector<Value> items, Value tail) {
    Value list = std::move(tail);
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        list = Value::cons(std::move(*it), std::move(list));
    return list;
}

std::vector<Value> listItems(const Value& list) {
    std::vector<Value> items;
    for (const Value& v : ListRange(list))
        items.push_back(v);
    return items;
}

size_t listLength(const Value& list) {
    size_t n = 0;
    for (const Value* p = &list; p->isCons(); p = &p->cdr())
        ++n;
    return n;
}

bool isProperList(const Value& list) {
    const Value* p = &list;
    while (p->isCons())
        p = &p->cdr();
    return p->isNil();
}

} // namespace zel::lisp
