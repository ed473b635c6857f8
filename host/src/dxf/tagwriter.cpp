#include "dxf/tagwriter.h"

#include "core/groupcodes.h"
#include "dxf/groups.h"
#include "dxf/textcodec.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace zel::dxf {

void appendReal(std::string& out, double value) {
    char buf[40];
    auto [end, ec] = std::to_chars(buf, buf + sizeof(buf), value);
    if (ec != std::errc()) { // cannot happen with 40 characters; keep the file readable
        out += "0.0";
        return;
    }
    std::string_view s(buf, size_t(end - buf));
    if (!std::isfinite(value) || s.find('.') != std::string_view::npos) {
        out += s;
        return;
    }
    size_t e = s.find('e');
    out += s.substr(0, e);
    out += ".0";
    if (e != std::string_view::npos) out += s.substr(e);
}

void TagWriter::code(int code) {
    char buf[12];
    auto [end, ec] = std::to_chars(buf, buf + sizeof(buf), code);
    size_t len = size_t(end - buf);
    for (size_t i = len; i < 3; ++i) mOut += ' ';
    mOut.append(buf, len);
    mOut += '\n';
}

void TagWriter::raw(int c, std::string_view bytes) {
    code(c);
    mOut += bytes;
    mOut += '\n';
}

void TagWriter::text(int c, std::wstring_view text) {
    code(c);
    appendDxfText(mOut, text);
    mOut += '\n';
}

void TagWriter::real(int c, double value) {
    code(c);
    appendReal(mOut, value);
    mOut += '\n';
}

void TagWriter::integer(int c, int64_t value) {
    code(c);
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof(buf), value);
    mOut.append(buf, size_t(end - buf));
    mOut += '\n';
}

void TagWriter::handle(int c, uint64_t handle) {
    code(c);
    char buf[20];
    auto [end, ec] = std::to_chars(buf, buf + sizeof(buf), handle, 16);
    for (char* p = buf; p != end; ++p)
        if (*p >= 'a' && *p <= 'f') *p = char(*p - 'a' + 'A');
    mOut.append(buf, size_t(end - buf));
    mOut += '\n';
}

void TagWriter::point(int xCode, const AcGePoint3d& p, bool withZ) {
    real(xCode, p.x);
    real(xCode + 10, p.y);
    if (withZ) real(xCode + 20, p.z);
}

void TagWriter::group(const ZelGroupValue& v) {
    using core::GroupType;
    switch (core::groupType(v.code)) {
    case GroupType::String:
        text(v.code, v.text);
        return;
    case GroupType::Binary:
        text(v.code, v.text);
        return;
    case GroupType::Handle:
        // A handle kept as text (not hexadecimal in the source file) goes back as it was.
        if (!v.text.empty()) {
            text(v.code, v.text);
        } else {
            handle(v.code, static_cast<uint64_t>(v.integer));
        }
        return;
    case GroupType::Real:
        real(v.code, v.real);
        return;
    case GroupType::PointX: {
        int dims = pointDimensions(v);
        real(v.code, v.point.x);
        if (dims >= 2) real(v.code + 10, v.point.y);
        if (dims >= 3) real(v.code + 20, v.point.z);
        return;
    }
    case GroupType::Int16:
    case GroupType::Int32:
    case GroupType::Int64:
    case GroupType::Bool:
        integer(v.code, v.integer);
        return;
    }
}

} // namespace zel::dxf
