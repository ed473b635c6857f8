// CAL: evaluates a numeric expression typed at its prompt and shows the value as LISP prints
// it; variables are the active document's LISP symbols. A bad expression is told with its
// reason and the command ends.
#include "app/session.h"
#include "commands/ask.h"
#include "lisp/cal.h"
#include "lisp/printer.h"

namespace zel::app {

namespace {

std::optional<lisp::CalNumber> symbolValue(lisp::Interpreter& in, std::wstring_view name) {
    lisp::Symbol* sym = in.symbols().find(name);
    if (!sym || !sym->value.isNumber()) return std::nullopt;
    const lisp::Value& v = sym->value;
    return v.isInt() ? lisp::CalNumber::ofInt(v.intValue())
                     : lisp::CalNumber::ofReal(v.realValue());
}

void cal(Session& s) {
    commands::Ask ask(s.editor());
    commands::Answer a = ask.string(L">> 式:", true);
    if (a.text.empty()) return;
    lisp::Interpreter& in = s.lisp();
    lisp::CalResult r =
        lisp::evaluateCal(a.text, [&in](std::wstring_view name) { return symbolValue(in, name); });
    if (!r.ok) return s.editor().print(L"\n" + r.error);
    lisp::Value v =
        r.value.isInteger ? lisp::Value::integer(r.value.integer) : lisp::Value::real(r.value.real);
    s.editor().print(L"\n" + lisp::toText(v));
}

} // namespace

void registerCalCommand(Session& s) {
    editor::CommandDef def;
    def.group = L"ACAD";
    def.global = L"CAL";
    def.builtin = true;
    def.flags = editor::kCmdNoUndo | editor::kCmdTransparent;
    def.run = [&s] { cal(s); };
    s.editor().commands().add(std::move(def));
}

} // namespace zel::app
