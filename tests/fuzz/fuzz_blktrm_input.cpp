// Fuzz target of the block-trim engine's input file: any bytes give an answer with one
// group per target, or the too-many-cuts failure.
#include "draftedit/engines/blktrm.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace draftedit::engines;
    const BlockTrimInput input =
        parseBlockTrim(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::optional<std::string> answer = blockTrimAnswer(input);
    if (!answer) return 0;
    // Groups end with an empty line: "\n\n" pairs, the first after the leading empty line.
    size_t groups = 0;
    for (size_t i = 1; i < answer->size(); ++i)
        if ((*answer)[i] == '\n' && (*answer)[i - 1] == '\n') ++groups;
    if (answer->front() != '\n' || groups != input.targets.size()) {
        std::fputs("a block-trim answer has one group per target\n", stderr);
        std::abort();
    }
    return 0;
}
