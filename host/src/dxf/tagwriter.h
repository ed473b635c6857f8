// The lowest layer of DXF writing: ASCII tags appended to one large buffer. Group codes are
// right-aligned in three columns as most programs write them, reals in the shortest form that
// reads back to the same double, text as UTF-8 with control characters in caret form.
#pragma once

#include "arx/db.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zel::dxf {

class TagWriter {
public:
    explicit TagWriter(std::string& out) : mOut(out) {}

    void code(int code);
    // Text already encoded for the file (ASCII names, version strings).
    void raw(int code, std::string_view bytes);
    // Text of the drawing: UTF-8, control characters as "^J", a caret that would read as one
    // of them as "^ ".
    void text(int code, std::wstring_view text);
    void real(int code, double value);
    void integer(int code, int64_t value);
    void handle(int code, uint64_t handle);
    // x, y (and z) at codes c, c+10, c+20.
    void point(int xCode, const AcGePoint3d& p, bool withZ = true);
    // Any group, by the value type of its code.
    void group(const ZelGroupValue& value);

    std::string& buffer() { return mOut; }

private:
    std::string& mOut;
};

// Shortest text that reads back to the same double, always with a decimal point ("1.0").
void appendReal(std::string& out, double value);

} // namespace zel::dxf
