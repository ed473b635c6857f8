#include "db/debugdump.h"

#include "db/database_impl.h"
#include "db/schema.h"

#include "core/text.h"

#include <cstdio>

namespace zel::db {

namespace {

std::string real(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::string group(const ZelGroupValue& v) {
    std::string s = std::to_string(v.code) + "=";
    s += real(v.real) + "|" + std::to_string(v.integer) + "|" + core::wideToUtf8(v.text);
    s += "|(" + real(v.point.x) + "," + real(v.point.y) + "," + real(v.point.z) + ")";
    return s + (v.flat ? "f" : "");
}

std::string ids(const std::vector<AcDbObjectId>& list, const DatabaseImpl& impl) {
    std::string s;
    for (AcDbObjectId id : list)
        s += " #" + std::to_string(id.slot() ? impl.ordinal(id.slot()) : size_t(-1));
    return s;
}

} // namespace

std::string debugDump(const AcDbDatabase& db) {
    const DatabaseImpl& impl = db.impl();
    std::string out = "handseed " + std::to_string(impl.handseed()) + "\n";
    for (const auto& e : impl.header().entries()) {
        out.append("header ").append(core::wideToUtf8(e.name));
        for (const ZelGroupValue& v : e.values) out.append(" ").append(group(v));
        out += "\n";
    }
    for (const RawSection& s : impl.rawSections()) {
        out.append("section ").append(core::wideToUtf8(s.name));
        for (const ZelGroupValue& v : s.groups) out.append(" ").append(group(v));
        out += "\n";
    }
    impl.forEachSlot([&](ObjectSlot& s) {
        if (!s.alive) return; // an id that names nothing (its addition was undone)
        out.append("#").append(std::to_string(impl.ordinal(&s)));
        out.append(" ").append(s.object->dxfName()).append(" h");
        out.append(core::wideToUtf8(s.handle.text())).append(s.erased ? " erased" : "");
        writeGroups(
            *s.object, [&](const ZelGroupValue& v) { out.append(" ").append(group(v)); },
            kDxfStyle);
        if (auto* block = AcDbBlockTableRecord::cast(s.object.get()))
            out += " entities:" + ids(block->entityIds(), impl);
        if (auto* table = AcDbSymbolTable::cast(s.object.get()))
            out += " records:" + ids(table->recordIds(), impl);
        if (auto* e = AcDbEntity::cast(s.object.get()))
            out += " subs:" + ids(e->subEntityIds(), impl);
        out += "\n";
    });
    return out;
}

} // namespace zel::db
