// Fuzz target of CAL: any text gives a number or one error inside the text.
#include "core/text.h"
#include "lisp/cal.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text =
        zel::core::utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    zel::lisp::CalResult r = zel::lisp::evaluateCal(text);
    if (!r.ok && (r.error.empty() || r.errorOffset > text.size())) {
        std::fputs("a CAL error must say why and where\n", stderr);
        std::abort();
    }
    return 0;
}
