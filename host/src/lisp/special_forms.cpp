// Special forms: their arguments are not evaluated before the call.
// quote function setq defun defun-q lambda if cond progn while repeat foreach and or
#include "lisp/args.h"
#include "lisp/builtins.h"
#include "lisp/interp.h"

namespace zel::lisp {

namespace {

// The arguments of a form, checked for count.
std::vector<Value> formArgs(const Value& form, size_t min, size_t max) {
    std::vector<Value> args = listItems(form.cdr());
    const Value& head = form.car();
    std::wstring name = head.isSymbol()             ? head.symbolValue()->name
                        : head.kind() == Kind::Subr ? head.as<SubrObj>().name
                                                    : std::wstring();
    if (args.size() < min) throwError(ErrorKind::TooFewArguments, name);
    if (args.size() > max) throwError(ErrorKind::TooManyArguments, name);
    return args;
}

constexpr size_t kAny = static_cast<size_t>(-1);

Value quoteForm(Interpreter&, const Value& form) {
    return formArgs(form, 1, 1)[0];
}

Value setqForm(Interpreter& in, const Value& form) {
    std::vector<Value> args = formArgs(form, 2, kAny);
    if (args.size() % 2 != 0) throwError(ErrorKind::TooFewArguments, L"SETQ");
    Value last;
    for (size_t i = 0; i < args.size(); i += 2) {
        Symbol* sym = arg::symbol(args[i]);
        last = in.eval(args[i + 1]);
        in.setValue(sym, last);
    }
    return last;
}

Value defunForm(Interpreter& in, const Value& form) {
    std::vector<Value> args = formArgs(form, 2, kAny);
    Symbol* sym = arg::symbol(args[0]);
    Value body = form.cdr().cdr().cdr();
    in.setValue(sym, in.makeUserFunction(sym->name, args[1], body));
    return args[0];
}

// defun-q keeps the function as a list ((args) body ...), as older programs expect.
Value defunQForm(Interpreter& in, const Value& form) {
    std::vector<Value> args = formArgs(form, 2, kAny);
    Symbol* sym = arg::symbol(args[0]);
    arg::list(args[1]);
    in.makeUserFunction(sym->name, args[1], Value()); // checks the argument list
    in.setValue(sym, form.cdr().cdr());
    return args[0];
}

Value lambdaForm(Interpreter& in, const Value& form) {
    std::vector<Value> args = formArgs(form, 1, kAny);
    return in.makeUserFunction(L"", args[0], form.cdr().cdr());
}

Value ifForm(Interpreter& in, const Value& form) {
    std::vector<Value> args = formArgs(form, 2, 3);
    if (!in.eval(args[0]).isNil()) return in.eval(args[1]);
    return args.size() == 3 ? in.eval(args[2]) : Value();
}

Value condForm(Interpreter& in, const Value& form) {
    for (const Value& clause : ListRange(form.cdr())) {
        if (!clause.isCons()) arg::badType(L"listp", clause);
        Value test = in.eval(clause.car());
        if (test.isNil()) continue;
        return clause.cdr().isNil() ? test : in.evalBody(clause.cdr());
    }
    return Value();
}

Value prognForm(Interpreter& in, const Value& form) {
    return in.evalBody(form.cdr());
}

Value whileForm(Interpreter& in, const Value& form) {
    std::vector<Value> args = formArgs(form, 1, kAny);
    Value last;
    while (!in.eval(args[0]).isNil()) {
        in.step();
        last = in.evalBody(form.cdr().cdr());
    }
    return last;
}

Value repeatForm(Interpreter& in, const Value& form) {
    std::vector<Value> args = formArgs(form, 1, kAny);
    int32_t n = arg::integer(in.eval(args[0]));
    Value last;
    for (int32_t i = 0; i < n; ++i) {
        in.step();
        last = in.evalBody(form.cdr().cdr());
    }
    return last;
}

Value foreachForm(Interpreter& in, const Value& form) {
    std::vector<Value> args = formArgs(form, 2, kAny);
    Symbol* var = arg::symbol(args[0]);
    Value list = in.eval(args[1]);
    arg::list(list);
    Value body = form.cdr().cdr().cdr();
    Value last;
    Interpreter::Bindings bindings;
    bindings.bind(var, Value());
    for (const Value& item : ListRange(list)) {
        in.step();
        var->value = item;
        last = in.evalBody(body);
    }
    return last;
}

Value andForm(Interpreter& in, const Value& form) {
    for (const Value& expr : ListRange(form.cdr()))
        if (in.eval(expr).isNil()) return Value();
    return in.t();
}

Value orForm(Interpreter& in, const Value& form) {
    for (const Value& expr : ListRange(form.cdr()))
        if (!in.eval(expr).isNil()) return in.t();
    return Value();
}

} // namespace

void registerControlForms(Interpreter& in) {
    in.defineSpecial(L"QUOTE", quoteForm);
    in.defineSpecial(L"FUNCTION", quoteForm);
    in.defineSpecial(L"SETQ", setqForm);
    in.defineSpecial(L"DEFUN", defunForm);
    in.defineSpecial(L"DEFUN-Q", defunQForm);
    in.defineSpecial(L"LAMBDA", lambdaForm);
    in.defineSpecial(L"IF", ifForm);
    in.defineSpecial(L"COND", condForm);
    in.defineSpecial(L"PROGN", prognForm);
    in.defineSpecial(L"WHILE", whileForm);
    in.defineSpecial(L"REPEAT", repeatForm);
    in.defineSpecial(L"FOREACH", foreachForm);
    in.defineSpecial(L"AND", andForm);
    in.defineSpecial(L"OR", orForm);
}

} // namespace zel::lisp
