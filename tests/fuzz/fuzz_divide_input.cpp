// Fuzz target of the divide engine's input file: any bytes give an answer with one group
// per element, or the too-many-cuts failure.
#include "draftedit/engines/divide.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace draftedit::engines;
    const auto elements = parseDivide(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::optional<std::string> answer = divideAnswer(elements);
    if (!answer) return 0;
    // Groups end with an empty line: "\n\n" pairs, plus the leading empty line.
    size_t groups = 0;
    for (size_t i = 1; i < answer->size(); ++i)
        if ((*answer)[i] == '\n' && (*answer)[i - 1] == '\n') ++groups;
    if (answer->front() != '\n' || groups != elements.size()) {
        std::fputs("a divide answer has one group per element\n", stderr);
        std::abort();
    }
    return 0;
}
