// The LISP interpreter of one document: symbols, evaluation, error handling, output, the
// host bridge and the external functions registered for the document.
//
// Scoping is dynamic, as in the reference LISP: the arguments and /locals of a function bind
// their symbols for the duration of the call, and *error* runs where the error happened,
// before those bindings are undone. Evaluation depth and native stack use are bounded, so a
// runaway recursion ends in a LISP error, not a crash.
#pragma once

#include "arx/ads.h"
#include "lisp/error.h"
#include "lisp/symbols.h"
#include "lisp/value.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace zel::lisp {

struct HostBridge;
class ExternalRegistry;

struct InterpreterOptions {
    // Nested evaluations allowed (function calls and nested forms both count).
    size_t maxDepth = 20000;
    // Native stack evaluation may use, in bytes, counted from where the host called in. A host
    // that runs LISP on a smaller stack (a fiber) lowers this.
    size_t stackBudget = size_t{2} << 20;
    // Evaluations allowed per call from the host; 0 for no limit.
    uint64_t stepLimit = 0;
};

// What a call from the host produced.
struct EvalResult {
    bool ok = false;
    Value value;
    std::wstring printed; // the value as prin1 shows it ("" for the value of (princ))
    ErrorKind error = ErrorKind::None;
    std::wstring message; // the error text (already shown or given to *error*)
};

class Interpreter {
public:
    explicit Interpreter(InterpreterOptions options = {});
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    // ---- Calls from the host ---------------------------------------------------------------

    // Reads and evaluates every expression of the text; the result is that of the last one.
    // An error is shown (or given to *error*) and ends the evaluation.
    EvalResult evalText(std::wstring_view text);

    // acedInvoke: args starts with the function name (RTSTR); the other nodes are its
    // arguments. The result is the function's value as a resbuf list (null for nil); the
    // caller frees it. RTNORM, or RTERROR when the function is unknown or failed.
    int invoke(const resbuf* args, resbuf** result);

    // acedGetSym / acedPutSym: a symbol's value as a resbuf list (null for nil), and a new
    // value from a resbuf list (a single value, or a list given as RTLB ... RTLE).
    int getSym(std::wstring_view name, resbuf** value);
    int putSym(std::wstring_view name, const resbuf* value);

    // True when the symbol holds a function (a C: command defined in LISP, for the editor).
    bool hasFunction(std::wstring_view name) const;

    // Where princ, print, prompt and error messages go (default: core::writeOutput).
    void setOutput(std::function<void(std::wstring_view)> out);
    void setHostBridge(std::shared_ptr<const HostBridge> bridge);
    const HostBridge& host() const { return *mHost; }
    ExternalRegistry& externals() { return *mExternals; }

    // ---- Used by the built-in functions ------------------------------------------------------

    SymbolTable& symbols() { return mSymbols; }
    Value symbol(std::wstring_view name) { return Value::symbol(mSymbols.intern(name)); }
    Value t() const { return Value::symbol(mSymbols.t()); }
    Value boolean(bool b) const { return b ? t() : Value(); }

    Value eval(const Value& expr);
    Value apply(const Value& fn, std::span<const Value> args);
    // A symbol's function, a function, or a lambda expression as a function value.
    Value toFunction(const Value& f);
    Value makeUserFunction(std::wstring name, const Value& paramList, const Value& body);
    Value evalBody(const Value& body); // evaluates a list of expressions, returns the last

    // An entity name or selection set value. The same selection set always gives the same
    // LISP object, so the host's release function runs once, when LISP drops the last one.
    Value makeName(Kind kind, const ads_name name);

    // One step of a loop: counts toward the step limit and lets the host cancel.
    void step();

    void write(std::wstring_view text);
    void setValue(Symbol* sym, Value v); // fails on protected symbols

    void defineSubr(std::wstring_view name, SubrFn fn, int minArgs, int maxArgs);
    void defineSpecial(std::wstring_view name, SpecialFn fn);

    // Dynamic bindings, undone in reverse order by the destructor (also while unwinding).
    class Bindings {
    public:
        Bindings() = default;
        ~Bindings();
        Bindings(const Bindings&) = delete;
        Bindings& operator=(const Bindings&) = delete;
        void bind(Symbol* sym, Value v);

    private:
        std::vector<std::pair<Symbol*, Value>> mSaved;
    };

private:
    friend class EntryScope;
    Value evalForm(const Value& form);
    Value applyUser(const Value& fn, std::span<const Value> args);
    Value callExternal(const Value& fn, std::span<const Value> args);
    void enter(); // one evaluation deeper: checks depth, stack and steps
    void report(LispError& e);
    EvalResult boundary(const std::function<Value()>& body);

    InterpreterOptions mOptions;
    SymbolTable mSymbols;
    std::function<void(std::wstring_view)> mOutput;
    std::shared_ptr<const HostBridge> mHost;
    std::unique_ptr<ExternalRegistry> mExternals;

    size_t mDepth = 0;
    size_t mDepthLimit = 0;
    size_t mEntries = 0;
    uintptr_t mStackBase = 0;
    size_t mStackLimit = 0;
    uint64_t mSteps = 0;
    bool mInErrorHandler = false;
    std::map<std::pair<int64_t, int64_t>, std::weak_ptr<const NameObj>> mPickSets;
};

} // namespace zel::lisp
