// The LISP function CAL (also C:CAL): (cal "expression") gives the number, or nil when the
// expression cannot be evaluated. It prints nothing: its callers (the modules, through
// acedInvoke) report a bad expression in their own words; a CAL command of the host shows
// evaluateCal's reason. Variables in the expression are LISP symbols holding numbers.
#include "lisp/args.h"
#include "lisp/builtins.h"
#include "lisp/cal.h"
#include "lisp/interp.h"

namespace zel::lisp {

namespace {

Value calFn(Interpreter& in, std::span<const Value> a) {
    const std::wstring& text = arg::string(a[0]);
    CalVariables vars = [&in](std::wstring_view name) -> std::optional<CalNumber> {
        Symbol* sym = in.symbols().find(name);
        if (!sym || !sym->value.isNumber()) return std::nullopt;
        const Value& v = sym->value;
        return v.isInt() ? CalNumber::ofInt(v.intValue()) : CalNumber::ofReal(v.realValue());
    };
    CalResult r = evaluateCal(text, vars);
    if (!r.ok) return Value();
    return r.value.isInteger ? Value::integer(r.value.integer) : Value::real(r.value.real);
}

} // namespace

void registerCalBuiltin(Interpreter& in) {
    in.defineSubr(L"CAL", calFn, 1, 1);
    in.defineSubr(L"C:CAL", calFn, 1, 1);
}

} // namespace zel::lisp
