// Test helper: binary DXF data built tag by tag, in the release 12 (one-byte codes) or the
// release 13+ (two-byte codes) layout.
#pragma once

#include "core/groupcodes.h"
#include "dxf/tagreader.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace zel::dxf::test {

class BinaryBuilder {
public:
    explicit BinaryBuilder(bool twoByteCodes) : mTwoByte(twoByteCodes) {
        mData.assign(kBinarySentinel);
    }
    BinaryBuilder& code(int c) {
        if (mTwoByte) {
            put<uint16_t>(uint16_t(c));
        } else if (c >= 255) {
            mData += char(0xff);
            put<uint16_t>(uint16_t(c));
        } else {
            mData += char(c);
        }
        return *this;
    }
    BinaryBuilder& text(int c, std::string_view s) {
        code(c);
        mData += s;
        mData += '\0';
        return *this;
    }
    BinaryBuilder& real(int c, double v) {
        code(c);
        return put<double>(v);
    }
    BinaryBuilder& integer(int c, int64_t v) {
        code(c);
        switch (core::groupType(c)) {
        case core::GroupType::Int16:
            return put<int16_t>(int16_t(v));
        case core::GroupType::Int32:
            return put<int32_t>(int32_t(v));
        case core::GroupType::Bool:
            mData += char(v);
            return *this;
        case core::GroupType::Int64:
        case core::GroupType::String:
        case core::GroupType::Real:
        case core::GroupType::PointX:
        case core::GroupType::Handle:
        case core::GroupType::Binary:
            break;
        }
        return put<int64_t>(v);
    }
    BinaryBuilder& chunk(int c, std::string_view bytes) {
        code(c);
        mData += char(bytes.size());
        mData += bytes;
        return *this;
    }
    const std::string& data() const { return mData; }

private:
    template <class T> BinaryBuilder& put(T v) {
        char buf[sizeof(T)];
        std::memcpy(buf, &v, sizeof(T)); // the test machine is little-endian like the format
        mData.append(buf, sizeof(T));
        return *this;
    }
    bool mTwoByte;
    std::string mData;
};

} // namespace zel::dxf::test
