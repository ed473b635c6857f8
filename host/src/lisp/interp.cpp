// The interpreter: construction, calls from the host, error reporting, evaluation limits.
#include "lisp/interp.h"

#include "core/format.h"
#include "core/text.h"
#include "lisp/builtins.h"
#include "lisp/external.h"
#include "lisp/host_bridge.h"
#include "lisp/printer.h"
#include "lisp/reader.h"
#include "lisp/resbuf_conv.h"

#include <cmath>
#include <numbers>

namespace zel::lisp {

namespace {

// Depth and stack an *error* handler may use beyond the limits, so that it can run after a
// stack overflow.
constexpr size_t kHandlerDepth = 500;
constexpr size_t kHandlerStackShare = 4; // a quarter of the budget again

// How often (in evaluations) the host is asked whether the user cancelled.
constexpr uint64_t kCancelPollSteps = 1024;

uintptr_t stackAddress() {
    return reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
}

struct DepthRestore {
    size_t& depth;
    ~DepthRestore() { --depth; }
};

} // namespace

// One call from the host. The outermost call, or one made on another stack (a fiber), sets
// the base from which stack use is counted; steps count per outermost call.
class EntryScope {
public:
    explicit EntryScope(Interpreter& in) : mIn(in), mSavedBase(in.mStackBase) {
        uintptr_t here = stackAddress();
        bool newStack = in.mEntries == 0 || here > in.mStackBase ||
                        in.mStackBase - here > in.mOptions.stackBudget;
        if (newStack) in.mStackBase = here;
        if (in.mEntries == 0) in.mSteps = 0;
        ++in.mEntries;
    }
    ~EntryScope() {
        --mIn.mEntries;
        mIn.mStackBase = mSavedBase;
    }
    EntryScope(const EntryScope&) = delete;
    EntryScope& operator=(const EntryScope&) = delete;

private:
    Interpreter& mIn;
    uintptr_t mSavedBase;
};

Interpreter::Interpreter(InterpreterOptions options)
    : mOptions(options), mOutput([](std::wstring_view s) { core::writeOutput(s); }),
      mHost(std::make_shared<HostBridge>()), mExternals(std::make_unique<ExternalRegistry>(*this)) {
    mDepthLimit = mOptions.maxDepth;
    mStackLimit = mOptions.stackBudget;
    registerControlForms(*this);
    registerFunctionBuiltins(*this);
    registerMathBuiltins(*this);
    registerListBuiltins(*this);
    registerPredicateBuiltins(*this);
    registerStringBuiltins(*this);
    registerOutputBuiltins(*this);
    registerGeometryBuiltins(*this);
    registerFileBuiltins(*this);
    registerHostBuiltins(*this);
    registerCalBuiltin(*this);
    mSymbols.intern(L"PI")->value = Value::real(std::numbers::pi);
    mSymbols.intern(L"PAUSE")->value = Value::string(L"\\");
}

Interpreter::~Interpreter() = default;

void Interpreter::setOutput(std::function<void(std::wstring_view)> out) {
    if (out)
        mOutput = std::move(out);
    else
        mOutput = [](std::wstring_view s) { core::writeOutput(s); };
}

void Interpreter::setHostBridge(std::shared_ptr<const HostBridge> bridge) {
    mHost = bridge ? std::move(bridge) : std::make_shared<HostBridge>();
}

void Interpreter::write(std::wstring_view text) {
    try {
        mOutput(text);
    } catch (...) {
        // A failing output must not turn into a LISP error in the middle of printing one.
    }
}

void Interpreter::setValue(Symbol* sym, Value v) {
    if (sym->isProtected) throwError(ErrorKind::Protected, sym->name.empty() ? L"\"\"" : sym->name);
    sym->value = std::move(v);
}

void Interpreter::defineSubr(std::wstring_view name, SubrFn fn, int minArgs, int maxArgs) {
    auto obj = std::make_shared<SubrObj>();
    obj->name = core::toUpper(name);
    obj->fn = fn;
    obj->minArgs = minArgs;
    obj->maxArgs = maxArgs;
    mSymbols.intern(name)->value = Value::object(Kind::Subr, std::move(obj));
}

void Interpreter::defineSpecial(std::wstring_view name, SpecialFn fn) {
    auto obj = std::make_shared<SubrObj>();
    obj->name = core::toUpper(name);
    obj->special = fn;
    mSymbols.intern(name)->value = Value::object(Kind::Subr, std::move(obj));
}

Interpreter::Bindings::~Bindings() {
    for (auto it = mSaved.rbegin(); it != mSaved.rend(); ++it)
        it->first->value = std::move(it->second);
}

void Interpreter::Bindings::bind(Symbol* sym, Value v) {
    for (const auto& [bound, old] : mSaved)
        if (bound == sym) return; // the first binding of a name wins
    if (sym->isProtected) throwError(ErrorKind::Protected, sym->name);
    mSaved.emplace_back(sym, std::move(sym->value));
    sym->value = std::move(v);
}

// ---- Evaluation ----------------------------------------------------------------------------

void Interpreter::enter() {
    if (mDepth > mDepthLimit) throwError(ErrorKind::StackOverflow);
    uintptr_t here = stackAddress();
    if (mStackBase > here && mStackBase - here > mStackLimit) throwError(ErrorKind::StackOverflow);
    step();
}

void Interpreter::step() {
    ++mSteps;
    if (mOptions.stepLimit && mSteps > mOptions.stepLimit) throwError(ErrorKind::StepLimit);
    if (mSteps % kCancelPollSteps == 0 && mHost->cancelRequested && mHost->cancelRequested())
        throwError(ErrorKind::Cancelled);
}

Value Interpreter::eval(const Value& expr) {
    switch (expr.kind()) {
    case Kind::Sym:
        return expr.symbolValue()->value; // an unbound symbol is nil
    case Kind::Cons:
        return evalForm(expr);
    case Kind::Nil:
    case Kind::Int:
    case Kind::Real:
    case Kind::Str:
    case Kind::Ename:
    case Kind::PickSet:
    case Kind::File:
    case Kind::Subr:
    case Kind::USubr:
    case Kind::ExSubr:
        break;
    }
    return expr;
}

Value Interpreter::evalForm(const Value& form) {
    ++mDepth;
    DepthRestore restore{mDepth};
    enter();
    const Value& head = form.car();
    Value fn;
    if (head.isSymbol()) {
        fn = head.symbolValue()->value;
        if (fn.isNil()) throwError(ErrorKind::NoFunction, head.symbolValue()->name);
    } else if (head.isCons()) {
        fn = eval(head);
    } else {
        throwError(ErrorKind::BadFunction, toText(head));
    }
    if (fn.kind() == Kind::Subr && fn.as<SubrObj>().special)
        return fn.as<SubrObj>().special(*this, form);
    if (!fn.isFunction()) fn = toFunction(fn);
    std::vector<Value> args;
    for (const Value& a : ListRange(form.cdr()))
        args.push_back(eval(a));
    return apply(fn, args);
}

Value Interpreter::evalBody(const Value& body) {
    Value result;
    for (const Value& expr : ListRange(body))
        result = eval(expr);
    return result;
}

Value Interpreter::toFunction(const Value& f) {
    if (f.isFunction()) return f;
    if (f.isSymbol()) {
        const Value& v = f.symbolValue()->value;
        if (v.isNil()) throwError(ErrorKind::NoFunction, f.symbolValue()->name);
        if (v.isSymbol()) throwError(ErrorKind::BadFunction, toText(v));
        return toFunction(v);
    }
    if (f.isCons()) {
        const Value& head = f.car();
        Symbol* lambda = mSymbols.find(L"LAMBDA");
        if (head.isSymbol() && head.symbolValue() == lambda && f.cdr().isCons())
            return makeUserFunction(L"", f.cdr().car(), f.cdr().cdr());
        if (head.isList()) return makeUserFunction(L"", head, f.cdr()); // (args body...)
    }
    throwError(ErrorKind::BadFunction, toText(f));
}

Value Interpreter::makeUserFunction(std::wstring name, const Value& paramList, const Value& body) {
    if (!paramList.isList()) throwError(ErrorKind::BadArgumentType, L"listp: " + toText(paramList));
    auto fn = std::make_shared<UserFnObj>();
    fn->name = std::move(name);
    fn->body = body;
    Symbol* slash = mSymbols.intern(L"/");
    bool locals = false;
    for (const Value& p : ListRange(paramList)) {
        if (!p.isSymbol() || p.symbolValue() == mSymbols.t())
            throwError(ErrorKind::BadArgumentType, L"symbolp: " + toText(p));
        if (p.symbolValue() == slash && !locals) {
            locals = true;
            continue;
        }
        (locals ? fn->locals : fn->params).push_back(p.symbolValue());
    }
    return Value::object(Kind::USubr, std::move(fn));
}

Value Interpreter::apply(const Value& fnIn, std::span<const Value> args) {
    Value fn = toFunction(fnIn);
    switch (fn.kind()) {
    case Kind::Subr: {
        const SubrObj& s = fn.as<SubrObj>();
        if (s.special) { // (apply 'and ...): the special form gets the arguments quoted
            std::vector<Value> items{fn};
            for (const Value& a : args)
                items.push_back(makeList({symbol(L"QUOTE"), a}));
            return s.special(*this, makeList(std::move(items)));
        }
        if (static_cast<int>(args.size()) < s.minArgs)
            throwError(ErrorKind::TooFewArguments, s.name);
        if (s.maxArgs >= 0 && static_cast<int>(args.size()) > s.maxArgs)
            throwError(ErrorKind::TooManyArguments, s.name);
        return s.fn(*this, args);
    }
    case Kind::USubr:
        return applyUser(fn, args);
    case Kind::ExSubr:
        return callExternal(fn, args);
    case Kind::Nil:
    case Kind::Int:
    case Kind::Real:
    case Kind::Str:
    case Kind::Sym:
    case Kind::Cons:
    case Kind::Ename:
    case Kind::PickSet:
    case Kind::File:
        break;
    }
    throwError(ErrorKind::BadFunction, toText(fn));
}

Value Interpreter::applyUser(const Value& fn, std::span<const Value> args) {
    const UserFnObj& f = fn.as<UserFnObj>();
    if (args.size() != f.params.size()) {
        ErrorKind kind = args.size() < f.params.size() ? ErrorKind::TooFewArguments
                                                       : ErrorKind::TooManyArguments;
        throwError(kind, f.name.empty() ? std::wstring(L"-lambda-") : f.name);
    }
    ++mDepth;
    DepthRestore restore{mDepth};
    enter();
    Bindings bindings;
    for (size_t i = 0; i < args.size(); ++i)
        bindings.bind(f.params[i], args[i]);
    for (Symbol* local : f.locals)
        bindings.bind(local, Value());
    try {
        return evalBody(f.body);
    } catch (LispError& e) {
        // *error* runs here, while the bindings of every active call are still in place.
        if (!e.reported()) report(e);
        throw;
    }
}

// ---- Errors --------------------------------------------------------------------------------

void Interpreter::report(LispError& e) {
    e.markReported();
    Symbol* handlerSym = mSymbols.find(L"*ERROR*");
    Value handler = handlerSym ? handlerSym->value : Value();
    bool callable = handler.isFunction() || handler.isCons();
    if (mInErrorHandler || !callable) {
        write(L"\n" + errorLine(e.message()));
        return;
    }
    struct HandlerScope {
        Interpreter& in;
        size_t depth, stack;
        HandlerScope(Interpreter& i) : in(i), depth(i.mDepthLimit), stack(i.mStackLimit) {
            in.mInErrorHandler = true;
            in.mDepthLimit += kHandlerDepth;
            in.mStackLimit += in.mOptions.stackBudget / kHandlerStackShare;
        }
        ~HandlerScope() {
            in.mInErrorHandler = false;
            in.mDepthLimit = depth;
            in.mStackLimit = stack;
        }
    } scope(*this);
    try {
        Value message = Value::string(e.message());
        apply(handler, std::span<const Value>(&message, 1));
    } catch (LispError& inner) {
        if (!inner.reported()) {
            inner.markReported();
            write(L"\n" + errorLine(inner.message()));
        }
    }
}

EvalResult Interpreter::boundary(const std::function<Value()>& body) {
    EntryScope entry(*this);
    EvalResult r;
    try {
        try {
            r.value = body();
            r.printed = toText(r.value);
            r.ok = true;
        } catch (const std::bad_alloc&) {
            throw LispError(ErrorKind::OutOfMemory, errorText(ErrorKind::OutOfMemory));
        } catch (const LispError&) {
            throw;
        } catch (const std::exception& e) { // a host callback failed: it must not escape
            throw LispError(ErrorKind::HostRejected, errorText(ErrorKind::HostRejected) + L": " +
                                                         core::utf8ToWide(e.what()));
        }
    } catch (LispError& e) {
        if (!e.reported()) report(e);
        r.ok = false;
        r.value = Value();
        r.error = e.kind();
        r.message = e.message();
    }
    return r;
}

EvalResult Interpreter::evalText(std::wstring_view text) {
    return boundary([&] {
        Reader reader(mSymbols, text);
        Value last;
        while (std::optional<Value> expr = reader.next())
            last = eval(*expr);
        return last;
    });
}

bool Interpreter::hasFunction(std::wstring_view name) const {
    Symbol* sym = mSymbols.find(name);
    if (!sym) return false;
    return sym->value.isFunction() || sym->value.isCons();
}

} // namespace zel::lisp
