// Fuzz target of the LISP reader and evaluator: any text either reads or gives one error with
// its position; what was read prints, and the printed text reads back to the same print.
// The text is then evaluated under a step limit and must end in a value or a LISP error.
#include "core/text.h"
#include "lisp/interp.h"
#include "lisp/printer.h"
#include "lisp/reader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fputs(what, stderr);
    std::fputc('\n', stderr);
    std::abort();
}

void checkReader(std::wstring_view text) {
    zel::lisp::SymbolTable symbols;
    zel::lisp::Reader reader(symbols, text);
    try {
        while (std::optional<zel::lisp::Value> v = reader.next()) {
            std::wstring printed = zel::lisp::toText(*v);
            zel::lisp::Reader again(symbols, printed);
            std::optional<zel::lisp::Value> back = again.next();
            if (!back || zel::lisp::toText(*back) != printed)
                fail("printed value reads back differently");
        }
    } catch (const zel::lisp::LispError& e) {
        if (e.message().empty()) fail("a reader error must say why");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text =
        zel::core::utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    checkReader(text);
    zel::lisp::InterpreterOptions options;
    options.stepLimit = 100000;
    options.maxDepth = 2000;
    zel::lisp::Interpreter lisp(options);
    lisp.setOutput([](std::wstring_view) {});
    lisp.evalText(L"(setq open nil)"); // no files from fuzz input
    zel::lisp::EvalResult r = lisp.evalText(text);
    if (!r.ok && r.message.empty()) fail("a failed evaluation must say why");
    return 0;
}
