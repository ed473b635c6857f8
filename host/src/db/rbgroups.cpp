#include "db/rbgroups.h"

#include "db/database_impl.h"

#include <map>
#include <mutex>

namespace zel::db {

void nameOf(AcDbObjectId id, ads_name name) {
    AcDbDatabase* db = id.database();
    if (id.isNull() || !db) {
        name[0] = name[1] = 0;
        return;
    }
    name[0] = int64_t(reinterpret_cast<intptr_t>(id.slot()));
    name[1] = db->impl().nameTag();
}

AcDbObjectId idOfName(const ads_name name) {
    if (!name || name[0] == 0) return {};
    AcDbDatabase* db = databaseByNameTag(name[1]);
    if (!db) return {};
    const void* p = reinterpret_cast<const void*>(intptr_t(name[0]));
    if (!db->impl().ownsSlot(p)) return {};
    auto* slot = static_cast<ObjectSlot*>(const_cast<void*>(p));
    return slot->alive ? AcDbObjectId(slot) : AcDbObjectId();
}

std::wstring bytesToHex(const unsigned char* data, size_t size) {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring out;
    out.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

std::string hexToBytes(std::wstring_view hex) {
    auto nibble = [](wchar_t c) {
        if (c >= L'0' && c <= L'9') return c - L'0';
        if (c >= L'A' && c <= L'F') return c - L'A' + 10;
        if (c >= L'a' && c <= L'f') return c - L'a' + 10;
        return 0;
    };
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out += char(nibble(hex[i]) * 16 + nibble(hex[i + 1]));
    return out;
}

namespace {

bool isHexHandleCode(int code) {
    return code == 5 || code == 105 || (code >= 320 && code <= 329) || code == 1005;
}

} // namespace

bool groupFromRb(const resbuf& rb, ZelGroupValue& out, std::wstring& why) {
    out = ZelGroupValue();
    out.code = rb.restype;
    const ads_u_val& v = rb.resval;
    switch (core::rbKind(rb.restype)) {
    case core::RbKind::Invalid:
        why = L"group code " + std::to_wstring(rb.restype) + L" does not exist";
        return false;
    case core::RbKind::None:
        return true;
    case core::RbKind::Real:
        out.real = v.rreal;
        return true;
    case core::RbKind::Point:
        out.point = AcGePoint3d(v.rpoint[0], v.rpoint[1], v.rpoint[2]);
        return true;
    case core::RbKind::Short:
        out.integer = v.rint;
        return true;
    case core::RbKind::Long:
        out.integer = v.rlong;
        return true;
    case core::RbKind::Int64:
        out.integer = v.mnInt64;
        return true;
    case core::RbKind::String:
        out.text = v.rstring ? v.rstring : L"";
        if (!isHexHandleCode(rb.restype)) return true;
        out.integer = int64_t(AcDbHandle(out.text.c_str()).value());
        out.text.clear();
        return true;
    case core::RbKind::Name: {
        AcDbObjectId id = idOfName(v.rlname);
        if (id.isNull() && !ads_name_nil(v.rlname)) {
            why = L"group " + std::to_wstring(rb.restype) + L" names no object";
            return false;
        }
        out.integer = int64_t(id.handle().value());
        return true;
    }
    case core::RbKind::Binary:
        out.text = bytesToHex(reinterpret_cast<const unsigned char*>(v.rbinary.buf),
                              v.rbinary.buf ? size_t(std::max<short>(v.rbinary.clen, 0)) : 0);
        return true;
    }
    return false;
}

bool appendGroupRb(core::RbBuilder& list, const ZelGroupValue& g, AcDbDatabase* db) {
    const double* p = &g.point.x;
    ads_point pt = {p[0], p[1], p[2]};
    switch (core::rbKind(g.code)) {
    case core::RbKind::Invalid:
        return true; // not representable: left out
    case core::RbKind::None:
        list.addNone(g.code);
        break;
    case core::RbKind::Real:
        list.addReal(g.code, g.real);
        break;
    case core::RbKind::Point:
        list.addPoint(g.code, pt);
        break;
    case core::RbKind::Short:
        list.addShort(g.code, int(g.integer));
        break;
    case core::RbKind::Long:
        list.addLong(g.code, int32_t(g.integer));
        break;
    case core::RbKind::Int64:
        list.addInt64(g.code, g.integer);
        break;
    case core::RbKind::String:
        if (isHexHandleCode(g.code))
            list.addString(g.code, AcDbHandle(uint64_t(g.integer)).text());
        else
            list.addString(g.code, g.text);
        break;
    case core::RbKind::Name: {
        AcDbObjectId id = db ? db->impl().idOf(AcDbHandle(uint64_t(g.integer))) : AcDbObjectId();
        if (id.isNull()) return true; // a reference to nothing: left out
        ads_name name;
        nameOf(id, name);
        list.addName(g.code, name);
        break;
    }
    case core::RbKind::Binary: {
        std::string bytes = hexToBytes(g.text);
        list.addBinary(g.code, bytes.data(), bytes.size());
        break;
    }
    }
    return list.ok();
}

} // namespace zel::db
