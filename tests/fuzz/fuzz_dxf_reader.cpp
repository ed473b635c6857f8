// Fuzz target of the DXF reader: any bytes either read into a drawing or give one message;
// a drawing that was read is written and reads back without complaint.
#include "dxf/dxf.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    zel::dxf::ReadResult first = zel::dxf::readDxfBuffer(bytes);
    if (!first.database) {
        if (first.error.empty()) {
            std::fputs("a failed read must say why\n", stderr);
            std::abort();
        }
        return 0;
    }
    std::string written = zel::dxf::writeDxfBuffer(*first.database);
    zel::dxf::ReadResult second = zel::dxf::readDxfBuffer(written);
    if (!second.database) {
        std::fprintf(stderr, "our own output does not read back: %s\n", second.error.c_str());
        std::abort();
    }
    return 0;
}
