// The groups of REGION: the AcDbModelerGeometry subclass holds the modeler format version
// (70) and the modeler data, one save-file line per 1 group continued in 3 groups. The data
// read is kept and written back unchanged; once the region's geometry changes, the data is
// made anew from its loops.
#include "arx/db.h"
#include "arx/dbregion.h"
#include "db/ents/entcommon.h"
#include "db/ents/kinds.h"
#include "db/ents/region_sat.h"

namespace zel::db {

template <> struct KindSchema<AcDbRegion> {
    static bool read(AcDbObject& o, const ZelGroupValue& v) {
        if (v.code != 1 && v.code != 3) return false;
        static_cast<AcDbRegion&>(o).mData.push_back(v);
        return true;
    }

    // Reads the planar faces of the data; a region whose data is not understood keeps the
    // data alone (and no loops).
    static void finish(AcDbObject& o) {
        auto& r = static_cast<AcDbRegion&>(o);
        if (r.mData.empty()) return;
        std::vector<ZelGroupValue> data = std::move(r.mData);
        r.mLoops.clear();
        r.mData.clear();
        std::optional<sat::Planar> p = sat::read(sat::textOfGroups(data));
        if (p && AcDbRegion::prepareLoops(p->loops)) {
            r.mNormal = p->normal.normal();
            r.mElevation = p->elevation;
            r.mLoops = std::move(p->loops);
        }
        r.mData = std::move(data);
    }

    static void clear(AcDbObject& o) {
        auto& r = static_cast<AcDbRegion&>(o);
        r.mData.clear();
        r.mLoops.clear();
    }

    static void write(const AcDbObject& o, const GroupSink& sink) {
        const auto& r = static_cast<const AcDbRegion&>(o);
        if (!r.mData.empty() || r.mLoops.empty()) {
            for (const ZelGroupValue& g : r.mData)
                sink(g);
            return;
        }
        for (const ZelGroupValue& g :
             sat::fileGroups(sat::write({r.mNormal, r.mElevation, r.mLoops})))
            sink(g);
    }

    static const ObjectSchema& get() {
        using R = AcDbRegion;
        static const ObjectSchema s{
            "REGION", true,
            ents::entitySubclasses(
                {{"AcDbModelerGeometry",
                  {{70, FieldKind::Int16, ZEL_FIELD(R, mModelerVersion), kAlways, 1}},
                  {read, write, finish, clear}}}),
            createKind<AcDbRegion>};
        return s;
    }
};

} // namespace zel::db

const zel::db::ObjectSchema& AcDbRegion::kindSchema() {
    return zel::db::KindSchema<AcDbRegion>::get();
}

namespace zel::db::ents {
const ObjectSchema& regionSchema() {
    return KindSchema<AcDbRegion>::get();
}
} // namespace zel::db::ents
