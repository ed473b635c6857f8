// The interpreter's C-style entry points (acedInvoke, acedGetSym, acedPutSym), calls of
// external functions, and entity-name values.
#include "core/text.h"
#include "lisp/external.h"
#include "lisp/host_bridge.h"
#include "lisp/interp.h"
#include "lisp/printer.h"
#include "lisp/resbuf_conv.h"

namespace zel::lisp {

namespace {

bool isCallable(const Value& v) {
    return v.isFunction() || v.isCons();
}

} // namespace

int Interpreter::invoke(const resbuf* args, resbuf** result) {
    if (result) *result = nullptr;
    if (!args || args->restype != RTSTR || !args->resval.rstring) return RTERROR;
    Symbol* sym = mSymbols.find(args->resval.rstring);
    if (!sym || !isCallable(sym->value)) return RTERROR; // unknown: the caller reports it
    core::RbPtr out;
    EvalResult r = boundary([&] {
        std::vector<Value> items = listItems(resbufListToValue(*this, args->rbnext));
        Value v = apply(Value::symbol(sym), items);
        if (!v.isNil()) out = valueToResbuf(v, PointForm::Compact);
        return v;
    });
    if (!r.ok) return RTERROR;
    if (result) *result = out.release();
    return RTNORM;
}

int Interpreter::getSym(std::wstring_view name, resbuf** value) {
    if (value) *value = nullptr;
    if (name.empty() || !value) return RTERROR;
    Symbol* sym = mSymbols.find(name);
    if (!sym || sym->value.isNil()) return RTNORM;
    try {
        *value = valueToResbuf(sym->value, PointForm::Compact).release();
    } catch (const LispError&) {
        return RTERROR; // a value without a resbuf form (a function, a file)
    }
    return RTNORM;
}

int Interpreter::putSym(std::wstring_view name, const resbuf* value) {
    if (name.empty()) return RTERROR;
    Symbol* sym = mSymbols.intern(name);
    if (sym->isProtected) return RTERROR;
    Value list = resbufListToValue(*this, value);
    sym->value = listLength(list) == 1 ? list.car() : list;
    return RTNORM;
}

Value Interpreter::callExternal(const Value& fn, std::span<const Value> args) {
    const std::wstring& name = fn.as<ExternalObj>().name;
    const ExternalFunction* f = mExternals->find(name);
    if (!f) throwError(ErrorKind::NoFunction, name);
    ExternalFunction function = *f; // the registry may change during the call
    core::RbPtr argList = valuesToResbuf(args, PointForm::Compact);
    ExternalCall call{name, argList.get(), {}};
    mExternals->push(&call);
    int rc = RSERR;
    try {
        rc = function(call);
    } catch (const LispError&) {
        mExternals->pop();
        throw;
    } catch (...) { // a C++ exception must not cross the module boundary as itself
        mExternals->pop();
        throwError(ErrorKind::External, name);
    }
    mExternals->pop();
    if (rc != RSRSLT && rc != RTNORM) throwError(ErrorKind::External, name);
    switch (call.result.form()) {
    case ExternalReturn::Form::Nothing:
        return Value();
    case ExternalReturn::Form::Void:
        return Value::symbol(mSymbols.empty());
    case ExternalReturn::Form::List:
        return resbufListToValue(*this, call.result.data());
    case ExternalReturn::Form::Value: {
        const resbuf* rb = call.result.data();
        return resbufToValue(*this, rb);
    }
    }
    return Value();
}

Value Interpreter::makeName(Kind kind, const ads_name name) {
    if (kind != Kind::PickSet)
        return Value::object(Kind::Ename, std::make_shared<NameObj>(name, nullptr));
    auto key = std::make_pair(name[0], name[1]);
    auto it = mPickSets.find(key);
    if (it != mPickSets.end()) {
        if (auto live = it->second.lock()) return Value::object(Kind::PickSet, std::move(live));
    }
    if (mPickSets.size() > 64) std::erase_if(mPickSets, [](auto& e) { return e.second.expired(); });
    std::function<void(const ads_name)> release;
    if (mHost->ssRelease) release = [host = mHost](const ads_name n) { host->ssRelease(n); };
    auto obj = std::make_shared<const NameObj>(name, std::move(release));
    mPickSets[key] = obj;
    return Value::object(Kind::PickSet, std::move(obj));
}

} // namespace zel::lisp
