// Functions on functions and evaluation: apply mapcar eval set read exit quit ver.
#include "lisp/args.h"
#include "lisp/builtins.h"
#include "lisp/interp.h"
#include "lisp/reader.h"

namespace zel::lisp {

namespace {

Value applyFn(Interpreter& in, std::span<const Value> a) {
    std::vector<Value> items = listItems(arg::list(a[1]));
    return in.apply(a[0], items);
}

Value mapcarFn(Interpreter& in, std::span<const Value> a) {
    Value fn = in.toFunction(a[0]);
    std::vector<const Value*> rests;
    for (size_t i = 1; i < a.size(); ++i)
        rests.push_back(&arg::list(a[i]));
    std::vector<Value> results;
    for (;;) {
        std::vector<Value> args;
        for (const Value*& rest : rests) {
            if (!rest->isCons()) return makeList(std::move(results));
            args.push_back(rest->car());
            rest = &rest->cdr();
        }
        results.push_back(in.apply(fn, args));
    }
}

Value evalFn(Interpreter& in, std::span<const Value> a) {
    return in.eval(a[0]);
}

Value setFn(Interpreter& in, std::span<const Value> a) {
    in.setValue(arg::symbol(a[0]), a[1]);
    return a[1];
}

Value readFn(Interpreter& in, std::span<const Value> a) {
    if (a.empty()) return Value();
    Reader reader(in.symbols(), arg::string(a[0]));
    std::optional<Value> v = reader.next();
    return v ? *v : Value();
}

Value exitFn(Interpreter&, std::span<const Value>) {
    throwError(ErrorKind::Quit);
}

Value verFn(Interpreter&, std::span<const Value>) {
    return Value::string(L"zelcad LISP 1.0 (ja)");
}

} // namespace

void registerFunctionBuiltins(Interpreter& in) {
    in.defineSubr(L"APPLY", applyFn, 2, 2);
    in.defineSubr(L"MAPCAR", mapcarFn, 2, -1);
    in.defineSubr(L"EVAL", evalFn, 1, 1);
    in.defineSubr(L"SET", setFn, 2, 2);
    in.defineSubr(L"READ", readFn, 0, 1);
    in.defineSubr(L"EXIT", exitFn, 0, 0);
    in.defineSubr(L"QUIT", exitFn, 0, 0);
    in.defineSubr(L"VER", verFn, 0, 0);
}

} // namespace zel::lisp
