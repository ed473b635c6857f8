// Output: princ prin1 print prompt terpri, to the interpreter's output or to a file.
#include "core/text.h"
#include "lisp/args.h"
#include "lisp/builtins.h"
#include "lisp/interp.h"
#include "lisp/printer.h"

namespace zel::lisp {

namespace {

using Args = std::span<const Value>;

// To the file given as argument i, or to the output.
void emit(Interpreter& in, Args a, size_t i, const std::wstring& text) {
    if (a.size() <= i || a[i].isNil()) {
        in.write(text);
        return;
    }
    if (a[i].kind() != Kind::File) arg::badType(L"filep", a[i]);
    const FileObj& f = a[i].as<FileObj>();
    if (!f.file || f.mode == L'r') arg::badType(L"output file", a[i]);
    std::string bytes = core::wideToUtf8(text);
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.file) != bytes.size())
        throwError(ErrorKind::File, f.path);
}

Value printWith(Interpreter& in, Args a, PrintStyle style, const wchar_t* before,
                const wchar_t* after) {
    if (a.empty()) return Value::symbol(in.symbols().empty());
    emit(in, a, 1, before + toText(a[0], style) + after);
    return a[0];
}

Value princFn(Interpreter& in, Args a) {
    return printWith(in, a, PrintStyle::Princ, L"", L"");
}
Value prin1Fn(Interpreter& in, Args a) {
    return printWith(in, a, PrintStyle::Prin1, L"", L"");
}
Value printFn(Interpreter& in, Args a) {
    return printWith(in, a, PrintStyle::Prin1, L"\n", L" ");
}

Value promptFn(Interpreter& in, Args a) {
    in.write(arg::string(a[0]));
    return Value();
}

Value terpriFn(Interpreter& in, Args) {
    in.write(L"\n");
    return Value();
}

} // namespace

void registerOutputBuiltins(Interpreter& in) {
    in.defineSubr(L"PRINC", princFn, 0, 2);
    in.defineSubr(L"PRIN1", prin1Fn, 0, 2);
    in.defineSubr(L"PRINT", printFn, 0, 2);
    in.defineSubr(L"PROMPT", promptFn, 1, 1);
    in.defineSubr(L"TERPRI", terpriFn, 0, 0);
}

} // namespace zel::lisp
