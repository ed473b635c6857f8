// Test helper: two databases compared object by object (by handle): kind, owner, every group
// the object writes (fields, repeated groups, unknown groups, xdata), block contents in order,
// table records in order, header variables and kept sections.
#pragma once

#include "db/database_impl.h"
#include "db/schema.h"

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace zel::dxf::test {

// Angles are kept in radians and written in degrees, so a value read back may differ from
// the first in its last bits; reals agree to this relative difference.
inline constexpr double kRoundTripRelative = 1e-12;

inline bool sameReal(double a, double b) {
    if (a == b || (std::isnan(a) && std::isnan(b))) return true;
    return std::fabs(a - b) <= kRoundTripRelative * std::max(std::fabs(a), std::fabs(b));
}

inline bool sameGroup(const ZelGroupValue& a, const ZelGroupValue& b) {
    return a.code == b.code && sameReal(a.real, b.real) && sameReal(a.point.x, b.point.x) &&
           sameReal(a.point.y, b.point.y) && sameReal(a.point.z, b.point.z) &&
           a.integer == b.integer && a.text == b.text && a.flat == b.flat;
}

inline std::string show(const ZelGroupValue& v) {
    std::ostringstream s;
    s.precision(17);
    s << v.code << "=[" << v.real << " (" << v.point.x << "," << v.point.y << "," << v.point.z
      << ") " << v.integer << " '";
    for (wchar_t c : v.text) s << (c > 0 && c < 0x80 ? char(c) : '?');
    s << "']";
    return s.str();
}

inline std::vector<ZelGroupValue> groupsOf(const AcDbObject& o) {
    std::vector<ZelGroupValue> out;
    db::writeGroups(o, [&](const ZelGroupValue& v) { out.push_back(v); }, db::kDxfStyle);
    return out;
}

inline std::string hexOf(AcDbHandle h) {
    std::wstring w = h.text();
    return std::string(w.begin(), w.end());
}

// Differences, one a line; empty when the databases hold the same drawing.
class DatabaseDiff {
public:
    DatabaseDiff(const AcDbDatabase& a, const AcDbDatabase& b) : mA(a), mB(b) {}

    std::vector<std::string> run() {
        objects();
        header();
        sections();
        return mDiffs;
    }

private:
    void note(const std::string& s) {
        if (mDiffs.size() < kShown) mDiffs.push_back(s);
    }

    void objects() {
        size_t countA = 0, countB = 0;
        mA.impl().forEachSlot([&](db::ObjectSlot& s) {
            if (!s.alive) return;
            ++countA;
            db::ObjectSlot* other = mB.impl().findHandle(s.handle);
            if (!other || !other->alive) {
                note("object " + hexOf(s.handle) + " " + std::string(s.object->dxfName()) +
                     " is missing");
                return;
            }
            object(*s.object, *other->object, hexOf(s.handle));
        });
        mB.impl().forEachSlot([&](db::ObjectSlot& s) { countB += s.alive ? 1 : 0; });
        if (countA != countB)
            note(std::to_string(countA) + " objects, then " + std::to_string(countB));
    }

    void object(const AcDbObject& a, const AcDbObject& b, const std::string& handle) {
        std::string where = "object " + handle + " " + std::string(a.dxfName());
        if (a.dxfName() != b.dxfName()) note(where + " became " + std::string(b.dxfName()));
        if (a.isErased() != b.isErased()) note(where + ": erased flag differs");
        std::vector<ZelGroupValue> ga = groupsOf(a), gb = groupsOf(b);
        size_t n = std::min(ga.size(), gb.size());
        for (size_t i = 0; i < n; ++i) {
            if (sameGroup(ga[i], gb[i])) continue;
            note(where + " group " + std::to_string(i) + ": " + show(ga[i]) + " became " +
                 show(gb[i]));
            return;
        }
        if (ga.size() != gb.size())
            note(where + ": " + std::to_string(ga.size()) + " groups, then " +
                 std::to_string(gb.size()));
        lists(a, b, where);
    }

    static std::vector<uint64_t> handles(const std::vector<AcDbObjectId>& ids) {
        std::vector<uint64_t> out;
        for (AcDbObjectId id : ids) out.push_back(id.handle().value());
        return out;
    }

    void lists(const AcDbObject& a, const AcDbObject& b, const std::string& where) {
        if (auto* ba = AcDbBlockTableRecord::cast(&a)) {
            auto* bb = AcDbBlockTableRecord::cast(&b);
            if (!bb || handles(ba->entityIds()) != handles(bb->entityIds()))
                note(where + ": the block's entities differ");
        }
        if (auto* ta = AcDbSymbolTable::cast(&a)) {
            auto* tb = AcDbSymbolTable::cast(&b);
            if (!tb || handles(ta->recordIds()) != handles(tb->recordIds()))
                note(where + ": the table's records differ");
        }
        if (auto* ea = AcDbEntity::cast(&a)) {
            auto* eb = AcDbEntity::cast(&b);
            if (!eb || handles(ea->subEntityIds()) != handles(eb->subEntityIds()))
                note(where + ": the sub-entities differ");
        }
    }

    void header() {
        const auto& vb = mB.impl().header();
        for (const auto& e : mA.impl().header().entries()) {
            if (e.name == L"$HANDSEED" || e.name == L"$ACADVER" || e.name == L"$DWGCODEPAGE")
                continue;
            std::string name(e.name.begin(), e.name.end());
            const std::vector<ZelGroupValue>* other = vb.find(e.name);
            if (!other || other->size() != e.values.size()) {
                note("header " + name + " differs");
                continue;
            }
            for (size_t i = 0; i < e.values.size(); ++i)
                if (!sameGroup(e.values[i], (*other)[i])) note("header " + name + " differs");
        }
    }

    void sections() {
        const auto& sa = mA.impl().rawSections();
        const auto& sb = mB.impl().rawSections();
        if (sa.size() != sb.size()) {
            note("kept sections: " + std::to_string(sa.size()) + ", then " +
                 std::to_string(sb.size()));
            return;
        }
        for (size_t i = 0; i < sa.size(); ++i) {
            bool same = sa[i].name == sb[i].name && sa[i].groups.size() == sb[i].groups.size();
            for (size_t k = 0; same && k < sa[i].groups.size(); ++k)
                same = sameGroup(sa[i].groups[k], sb[i].groups[k]);
            if (!same) note("kept section " + std::to_string(i) + " differs");
        }
    }

    static constexpr size_t kShown = 20;
    const AcDbDatabase& mA;
    const AcDbDatabase& mB;
    std::vector<std::string> mDiffs;
};

inline std::vector<std::string> differences(const AcDbDatabase& a, const AcDbDatabase& b) {
    return DatabaseDiff(a, b).run();
}

} // namespace zel::dxf::test
