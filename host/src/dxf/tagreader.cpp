#include "dxf/tagreader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

namespace zel::dxf {
namespace {

using core::GroupType;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string quoted(std::string_view s) {
    constexpr size_t kShown = 40; // enough to recognise the text in a message
    std::string out = "'";
    for (char c : s.substr(0, kShown)) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) {
            out += '?';
        } else {
            out += c;
        }
    }
    if (s.size() > kShown) out += "...";
    return out + "'";
}

const char* typeName(GroupType type) {
    switch (type) {
    case GroupType::Real:
    case GroupType::PointX:
        return "a real number";
    case GroupType::Int16:
    case GroupType::Int32:
    case GroupType::Int64:
        return "an integer";
    case GroupType::Bool:
        return "0 or 1";
    case GroupType::Handle:
        return "a hexadecimal handle";
    case GroupType::Binary:
        return "hexadecimal binary data";
    case GroupType::String:
        return "text";
    }
    return "a value";
}

template <class T> T loadLittleEndian(const char* p) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, p, sizeof(T));
    uint64_t v = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        v |= uint64_t(bytes[i]) << (8 * i);
    if constexpr (std::is_floating_point_v<T>) {
        double d;
        std::memcpy(&d, &v, sizeof(d));
        return d;
    } else {
        using U = std::make_unsigned_t<T>;
        return static_cast<T>(static_cast<U>(v));
    }
}

size_t binaryWidth(GroupType type) {
    switch (type) {
    case GroupType::Real:
    case GroupType::PointX:
    case GroupType::Int64:
        return 8;
    case GroupType::Int32:
        return 4;
    case GroupType::Int16:
        return 2;
    case GroupType::Bool:
        return 1;
    case GroupType::String:
    case GroupType::Handle:
    case GroupType::Binary:
        return 0; // variable
    }
    return 0;
}

} // namespace

bool parseDouble(std::string_view text, double& value) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool parseInteger(std::string_view text, int64_t& value) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc() && end == text.data() + text.size()) return true;
    // Some programs write integers as reals ("1.0"); accept those that are whole numbers.
    double d = 0;
    if (!parseDouble(text, d) || !std::isfinite(d) || d != std::trunc(d)) return false;
    if (std::fabs(d) >= 9.2e18) return false; // beyond int64
    value = static_cast<int64_t>(d);
    return true;
}

bool parseHex(std::string_view text, uint64_t& value) {
    text = trim(text);
    if (text.empty() || text.size() > 16) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return ec == std::errc() && end == text.data() + text.size();
}

TagReader::TagReader(std::string_view data) : mData(data) {
    if (mData.substr(0, kBinarySentinel.size()) == kBinarySentinel) {
        mBinary = true;
        mPos = kBinarySentinel.size();
        // Files of release 13 and later use two-byte group codes; the first tag is 0 SECTION
        // (00 00) or a 999 comment (E7 03). Release 12 files use one byte (255 escapes).
        auto b0 = mData.size() > mPos ? static_cast<unsigned char>(mData[mPos]) : 0;
        auto b1 = mData.size() > mPos + 1 ? static_cast<unsigned char>(mData[mPos + 1]) : 0xff;
        mTwoByteCodes = (b0 == 0 && b1 == 0) || (b0 == 0xe7 && b1 == 0x03);
        return;
    }
    if (mData.substr(0, 3) == "\xEF\xBB\xBF") mPos = 3; // UTF-8 byte order mark
}

std::string TagReader::describe(uint64_t where) const {
    if (mBinary) return "byte offset " + std::to_string(where);
    return "line " + std::to_string(where);
}

size_t TagReader::offsetOf(std::string_view text) const {
    auto begin = reinterpret_cast<uintptr_t>(mData.data());
    auto at = reinterpret_cast<uintptr_t>(text.data());
    if (at < begin || at > begin + mData.size()) return mPos;
    return std::min(size_t(at - begin), mPos);
}

bool TagReader::fail(uint64_t where, const std::string& message) {
    mError = describe(where) + ": " + message;
    mPos = mData.size();
    return false;
}

bool TagReader::next(Tag& tag) {
    if (!mError.empty()) return false;
    return mBinary ? nextBinary(tag) : nextAscii(tag);
}

bool TagReader::readLine(std::string_view& line) {
    if (mPos >= mData.size()) return false;
    const char* start = mData.data() + mPos;
    size_t left = mData.size() - mPos;
    auto* nl = static_cast<const char*>(std::memchr(start, '\n', left));
    size_t len = nl ? size_t(nl - start) : left;
    mPos += nl ? len + 1 : len;
    ++mLine;
    line = std::string_view(start, len);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
}

bool TagReader::nextAscii(Tag& tag) {
    uint64_t codeLine = mLine;
    std::string_view line;
    if (!readLine(line)) return false;
    std::string_view codeText = trim(line);
    if (codeText.empty() && mData.find_first_not_of(" \t\r\n", mPos) == std::string::npos)
        return false; // blank lines at the very end
    int64_t code = -1;
    auto [end, ec] = std::from_chars(codeText.data(), codeText.data() + codeText.size(), code);
    if (codeText.empty() || ec != std::errc() || end != codeText.data() + codeText.size() ||
        code < 0 || code > kMaxGroupCode)
        return fail(codeLine, "expected a group code (an integer from 0 to " +
                                  std::to_string(kMaxGroupCode) + "), found " + quoted(line));
    std::string_view value;
    if (!readLine(value))
        return fail(codeLine, "the file ends after group code " + std::to_string(code) +
                                  "; expected its value on the next line");
    tag.code = static_cast<int16_t>(code);
    tag.type = core::groupType(tag.code);
    tag.where = codeLine;
    tag.rawBytes = false;
    return parseAsciiValue(tag, value);
}

bool TagReader::parseAsciiValue(Tag& tag, std::string_view value) {
    bool ok = true;
    switch (tag.type) {
    case GroupType::String:
    case GroupType::Handle:
    case GroupType::Binary:
        tag.text = value;
        return true;
    case GroupType::Real:
    case GroupType::PointX:
        ok = parseDouble(value, tag.real);
        break;
    case GroupType::Int16:
    case GroupType::Int32:
    case GroupType::Int64:
    case GroupType::Bool:
        ok = parseInteger(value, tag.integer);
        break;
    }
    if (ok) return true;
    return fail(tag.where + 1, "expected " + std::string(typeName(tag.type)) +
                                   " as the value of group code " + std::to_string(tag.code) +
                                   ", found " + quoted(value));
}

bool TagReader::binaryCode(int& code) {
    size_t left = mData.size() - mPos;
    const char* p = mData.data() + mPos;
    if (mTwoByteCodes) {
        if (left < 2) return fail(mPos, "the file ends inside a group code (expected 2 bytes)");
        code = loadLittleEndian<uint16_t>(p);
        mPos += 2;
    } else if (static_cast<unsigned char>(p[0]) == 0xff) {
        if (left < 3) return fail(mPos, "the file ends inside an extended group code");
        code = loadLittleEndian<uint16_t>(p + 1);
        mPos += 3;
    } else {
        code = static_cast<unsigned char>(p[0]);
        mPos += 1;
    }
    return true;
}

bool TagReader::nextBinary(Tag& tag) {
    if (mPos >= mData.size()) return false;
    uint64_t start = mPos;
    int code = 0;
    if (!binaryCode(code)) return false;
    if (code > kMaxGroupCode)
        return fail(start, "expected a group code from 0 to " + std::to_string(kMaxGroupCode) +
                               ", found " + std::to_string(code));
    tag.code = static_cast<int16_t>(code);
    tag.type = core::groupType(code);
    tag.where = start;
    tag.rawBytes = false;
    return binaryValue(tag);
}

bool TagReader::binaryValue(Tag& tag) {
    const char* p = mData.data() + mPos;
    size_t left = mData.size() - mPos;
    std::string what = " of group code " + std::to_string(tag.code);
    if (tag.type == GroupType::Binary) {
        size_t len = left ? static_cast<unsigned char>(p[0]) : 0;
        if (left < 1 + len)
            return fail(mPos, "the file ends inside the binary chunk" + what + " (expected " +
                                  std::to_string(len) + " bytes)");
        tag.text = std::string_view(p + 1, len);
        tag.rawBytes = true;
        mPos += 1 + len;
        return true;
    }
    size_t width = binaryWidth(tag.type);
    if (width == 0) {
        auto* zero = static_cast<const char*>(std::memchr(p, 0, left));
        if (!zero) return fail(mPos, "the file ends inside the text" + what + " (no zero byte)");
        tag.text = std::string_view(p, size_t(zero - p));
        mPos += tag.text.size() + 1;
        return true;
    }
    if (left < width)
        return fail(mPos, "the file ends inside the value" + what + " (expected " +
                              std::to_string(width) + " bytes)");
    switch (tag.type) {
    case GroupType::Real:
    case GroupType::PointX:
        tag.real = loadLittleEndian<double>(p);
        break;
    case GroupType::Int64:
        tag.integer = loadLittleEndian<int64_t>(p);
        break;
    case GroupType::Int32:
        tag.integer = loadLittleEndian<int32_t>(p);
        break;
    case GroupType::Int16:
        tag.integer = loadLittleEndian<int16_t>(p);
        break;
    case GroupType::Bool:
        tag.integer = static_cast<unsigned char>(p[0]);
        break;
    case GroupType::String:
    case GroupType::Handle:
    case GroupType::Binary:
        break;
    }
    mPos += width;
    return true;
}

} // namespace zel::dxf
