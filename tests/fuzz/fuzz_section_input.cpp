// Fuzz target of the section-property and centroid engines' input files: any bytes give
// fourteen and three output lines.
#include "draftedit/engines/section.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const auto segments = draftedit::engines::parseSegments(content);
    const std::string props = draftedit::engines::formatSectionProperties(
        draftedit::engines::computeSectionProperties(segments));
    const std::string centroid =
        draftedit::engines::formatCentroid(draftedit::engines::computeCentroid(segments));
    if (std::count(props.begin(), props.end(), '\n') != 14 ||
        std::count(centroid.begin(), centroid.end(), '\n') != 3) {
        std::fputs("the engines write fourteen and three lines\n", stderr);
        std::abort();
    }
    return 0;
}
