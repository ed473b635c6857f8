// Values of the LISP: nil, integers (32-bit), reals, strings, symbols, conses, entity names,
// selection sets, files and functions.
//
// A Value is a small handle: numbers and symbols are held in it, everything else is a shared,
// immutable object. Lists cannot form cycles (there is no destructive list operation), so
// reference counting frees everything; a long or deep list is freed iteratively, never by
// recursion. Symbols belong to their interpreter's symbol table and outlive every value that
// names them. Values never leave the interpreter that made them.
#pragma once

#include "arx/ads.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace zel::lisp {

class Interpreter;
struct Symbol;

enum class Kind : uint8_t {
    Nil,
    Int,
    Real,
    Str,
    Sym,
    Cons,
    Ename,
    PickSet,
    File,
    Subr,   // built-in function or special form
    USubr,  // function defined in LISP (defun, lambda)
    ExSubr, // external function registered by the host or a module
};

struct Object {
    virtual ~Object() = default;
};

class Value {
public:
    Value() = default; // nil
    static Value integer(int32_t v);
    static Value real(double v);
    static Value string(std::wstring text);
    static Value symbol(Symbol* sym);
    static Value cons(Value car, Value cdr);
    static Value object(Kind kind, std::shared_ptr<const Object> obj);

    Kind kind() const { return mKind; }
    bool isNil() const { return mKind == Kind::Nil; }
    bool isInt() const { return mKind == Kind::Int; }
    bool isReal() const { return mKind == Kind::Real; }
    bool isNumber() const { return isInt() || isReal(); }
    bool isString() const { return mKind == Kind::Str; }
    bool isSymbol() const { return mKind == Kind::Sym; }
    bool isCons() const { return mKind == Kind::Cons; }
    bool isList() const { return isNil() || isCons(); }
    bool isFunction() const;

    int32_t intValue() const;
    double realValue() const;
    double number() const; // an integer or a real as a double
    const std::wstring& stringValue() const;
    Symbol* symbolValue() const;
    const Value& car() const;
    const Value& cdr() const;
    template <class T> const T& as() const { return static_cast<const T&>(*mObj); }
    bool holdsObject() const { return mObj != nullptr; }
    long useCount() const { return mObj.use_count(); }

    // eq: the same symbol, the same object, or equal numbers of the same type.
    bool identical(const Value& other) const;

private:
    Kind mKind = Kind::Nil;
    union Immediate {
        int32_t i;
        double r;
        Symbol* s;
    } mImm{};
    std::shared_ptr<const Object> mObj;
};

struct Symbol {
    std::wstring name; // upper case, as printed
    Value value;       // nil when unbound
    bool isProtected = false;
};

struct Cons final : Object {
    Cons(Value a, Value d) : car(std::move(a)), cdr(std::move(d)) {}
    ~Cons() override; // frees long and deep lists without recursion
    Value car;
    Value cdr;
};

struct StringObj final : Object {
    explicit StringObj(std::wstring t) : text(std::move(t)) {}
    std::wstring text;
};

// An entity name or a selection set. A selection set may carry the host's release function,
// called when LISP drops the last reference to it.
struct NameObj final : Object {
    NameObj(const ads_name n, std::function<void(const ads_name)> onRelease);
    ~NameObj() override;
    ads_name name;
    std::function<void(const ads_name)> release;
};

// An open file of open/read-line/write-line. Closed by close or when LISP drops it.
struct FileObj final : Object {
    FileObj(std::FILE* f, std::wstring path, wchar_t mode);
    ~FileObj() override;
    void close() const;
    mutable std::FILE* file;
    std::wstring path;
    wchar_t mode; // 'r', 'w' or 'a'
};

using SubrFn = Value (*)(Interpreter&, std::span<const Value> args);
using SpecialFn = Value (*)(Interpreter&, const Value& form); // gets the unevaluated form

struct SubrObj final : Object {
    std::wstring name;
    SubrFn fn = nullptr;
    SpecialFn special = nullptr;
    int minArgs = 0;
    int maxArgs = -1; // -1: any number
};

struct UserFnObj final : Object {
    std::wstring name; // empty for a lambda
    std::vector<Symbol*> params;
    std::vector<Symbol*> locals;
    Value body; // list of expressions
};

struct ExternalObj final : Object {
    explicit ExternalObj(std::wstring n) : name(std::move(n)) {}
    std::wstring name; // as registered (the registry is looked up at each call)
};

// equal: the same structure with equal atoms; numbers (integer or real) within fuzz.
bool equalValues(const Value& a, const Value& b, double fuzz = 0.0);

// ---- Lists -------------------------------------------------------------------------------

Value makeList(std::initializer_list<Value> items);
// The items followed by tail (nil for a proper list).
Value makeList(std::vector<Value> items, Value tail = {});
// The elements up to the first non-cons cdr.
std::vector<Value> listItems(const Value& list);
size_t listLength(const Value& list);
bool isProperList(const Value& list);

// Iterates the elements of a list: for (const Value& v : ListRange(list)).
class ListRange {
public:
    explicit ListRange(const Value& list) : mList(&list) {}
    class iterator {
    public:
        explicit iterator(const Value* p) : mAt(p) {}
        const Value& operator*() const { return mAt->car(); }
        iterator& operator++() {
            mAt = &mAt->cdr();
            return *this;
        }
        bool operator!=(const iterator& o) const { return (mAt->isCons() || o.mAt->isCons()); }

    private:
        const Value* mAt;
    };
    iterator begin() const { return iterator(mList); }
    iterator end() const { return iterator(&mEnd); }

private:
    const Value* mList;
    Value mEnd;
};

} // namespace zel::lisp
