// Files: open close read-line write-line read-char write-char findfile.
//
// Files are written as UTF-8; a line read that is not valid UTF-8 is taken as CP932, as the
// host reads every text file.
#include "core/text.h"
#include "lisp/args.h"
#include "lisp/builtins.h"
#include "lisp/host_bridge.h"
#include "lisp/interp.h"

namespace zel::lisp {

namespace {

using Args = std::span<const Value>;

const FileObj& openFile(const Value& v, bool forWriting) {
    if (v.kind() != Kind::File) arg::badType(L"filep", v);
    const FileObj& f = v.as<FileObj>();
    bool writable = f.mode != L'r';
    if (!f.file || writable != forWriting)
        arg::badType(forWriting ? L"output file" : L"input file", v);
    return f;
}

Value openFn(Interpreter&, Args a) {
    const std::wstring& path = arg::string(a[0]);
    std::wstring mode = core::toLower(arg::string(a[1]));
    if (mode != L"r" && mode != L"w" && mode != L"a") arg::badValue(a[1]);
    const char* cmode = mode == L"r" ? "rb" : (mode == L"w" ? "wb" : "ab");
    std::FILE* f = std::fopen(core::wideToUtf8(path).c_str(), cmode);
    if (!f) return Value(); // the reference LISP answers nil
    return Value::object(Kind::File, std::make_shared<FileObj>(f, path, mode[0]));
}

Value closeFn(Interpreter&, Args a) {
    if (a[0].kind() != Kind::File) arg::badType(L"filep", a[0]);
    const FileObj& f = a[0].as<FileObj>();
    if (!f.file) arg::badType(L"open file", a[0]);
    f.close();
    return Value();
}

Value readLineFn(Interpreter&, Args a) {
    if (a.empty()) throwError(ErrorKind::NotAvailable, L"READ-LINE");
    const FileObj& f = openFile(a[0], false);
    std::string bytes;
    int c = 0;
    while ((c = std::fgetc(f.file)) != EOF && c != '\n')
        bytes += static_cast<char>(c);
    if (c == EOF && bytes.empty()) return Value();
    if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
    return Value::string(core::decodeTextFile(bytes));
}

Value readCharFn(Interpreter&, Args a) {
    if (a.empty()) throwError(ErrorKind::NotAvailable, L"READ-CHAR");
    const FileObj& f = openFile(a[0], false);
    // One UTF-8 character (a lone byte that is not UTF-8 counts as itself).
    int c = std::fgetc(f.file);
    if (c == EOF) return Value();
    std::string bytes(1, static_cast<char>(c));
    int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 0;
    for (int i = 0; i < extra; ++i) {
        int n = std::fgetc(f.file);
        if (n == EOF) break;
        bytes += static_cast<char>(n);
    }
    std::wstring w = core::isValidUtf8(bytes) ? core::utf8ToWide(bytes)
                                              : std::wstring(1, static_cast<wchar_t>(c));
    return Value::integer(w.empty() ? 0 : static_cast<int32_t>(w[0]));
}

void writeText(Interpreter& in, Args a, size_t fileArg, const std::wstring& text) {
    if (a.size() <= fileArg || a[fileArg].isNil()) {
        in.write(text);
        return;
    }
    const FileObj& f = openFile(a[fileArg], true);
    std::string bytes = core::wideToUtf8(text);
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.file) != bytes.size())
        throwError(ErrorKind::File, f.path);
}

Value writeLineFn(Interpreter& in, Args a) {
    const std::wstring& s = arg::string(a[0]);
    writeText(in, a, 1, a.size() > 1 ? s + L"\n" : L"\n" + s);
    return a[0];
}

Value writeCharFn(Interpreter& in, Args a) {
    int32_t code = arg::integer(a[0]);
    if (code < 0 || code > 0x10FFFF) arg::badValue(a[0]);
    writeText(in, a, 1, std::wstring(1, static_cast<wchar_t>(code)));
    return a[0];
}

Value findfileFn(Interpreter& in, Args a) {
    const std::wstring& name = arg::string(a[0]);
    if (!in.host().findfile) throwError(ErrorKind::NotAvailable, L"FINDFILE");
    std::optional<std::wstring> path = in.host().findfile(name);
    return path ? Value::string(*path) : Value();
}

} // namespace

void registerFileBuiltins(Interpreter& in) {
    in.defineSubr(L"OPEN", openFn, 2, 2);
    in.defineSubr(L"CLOSE", closeFn, 1, 1);
    in.defineSubr(L"READ-LINE", readLineFn, 0, 1);
    in.defineSubr(L"READ-CHAR", readCharFn, 0, 1);
    in.defineSubr(L"WRITE-LINE", writeLineFn, 1, 2);
    in.defineSubr(L"WRITE-CHAR", writeCharFn, 1, 2);
    in.defineSubr(L"FINDFILE", findfileFn, 1, 1);
}

} // namespace zel::lisp
