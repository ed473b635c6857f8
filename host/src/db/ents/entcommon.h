// Helpers shared by the complex entity kinds: group values, plane (OCS) frames, and the
// transformation of planar geometry.
#pragma once

#include "arx/db.h"
#include "db/schema.h"

#include <string>

namespace zel::db::ents {

inline ZelGroupValue realGroup(int16_t code, double v) {
    ZelGroupValue g;
    g.code = code;
    g.real = v;
    return g;
}
inline ZelGroupValue intGroup(int16_t code, int64_t v) {
    ZelGroupValue g;
    g.code = code;
    g.integer = v;
    return g;
}
inline ZelGroupValue textGroup(int16_t code, std::wstring v) {
    ZelGroupValue g;
    g.code = code;
    g.text = std::move(v);
    return g;
}
inline ZelGroupValue pointGroup(int16_t code, const AcGePoint3d& p) {
    ZelGroupValue g;
    g.code = code;
    g.point = p;
    return g;
}
// A point of which only x and y are written.
inline ZelGroupValue point2Group(int16_t code, const AcGePoint2d& p) {
    ZelGroupValue g;
    g.code = code;
    g.point = AcGePoint3d(p.x, p.y, 0);
    g.flat = true;
    return g;
}
inline ZelGroupValue vectorGroup(int16_t code, const AcGeVector3d& v) {
    return pointGroup(code, AcGePoint3d(v.x, v.y, v.z));
}
inline ZelGroupValue handleGroup(int16_t code, AcDbHandle h) {
    return intGroup(code, int64_t(h.value()));
}
inline AcGeVector3d asVector(const ZelGroupValue& g) {
    return {g.point.x, g.point.y, g.point.z};
}

// The subclass list of an entity kind: "AcDbEntity" then the given ones.
std::vector<SubclassSchema> entitySubclasses(std::vector<SubclassSchema> own);

// The frame of a plane given by its normal: plane coordinates to world and back.
AcGePoint3d planeToWorld(const AcGeVector3d& normal, const AcGePoint3d& p);
AcGePoint3d worldToPlane(const AcGeVector3d& normal, const AcGePoint3d& p);
AcGeVector3d planeToWorld(const AcGeVector3d& normal, const AcGeVector3d& v);

// A plane given as its normal and elevation (the object coordinate system of planar
// entities): points and vectors of the plane in world coordinates.
struct PlaneFrame {
    AcGeVector3d normal;
    double elevation = 0;
    AcGePoint3d point(const AcGePoint2d& p) const {
        return planeToWorld(normal, AcGePoint3d(p.x, p.y, elevation));
    }
    AcGeVector3d vector(const AcGeVector2d& v) const {
        return planeToWorld(normal, AcGeVector3d(v.x, v.y, 0));
    }
};
AcGeVector3d worldToPlane(const AcGeVector3d& normal, const AcGeVector3d& v);

// How a transformation acts on planar geometry (arcs, texts, hatches).
struct PlanarTransform {
    AcGeVector3d normal;   // the new normal
    bool mirrored = false; // orientation reversed in the plane: bulges and sweeps flip
    double scale = 1;      // the uniform scale in the plane
    bool uniform = true;   // false: circles would become ellipses
};
// The effect of xform on a plane with the given normal.
PlanarTransform planarTransform(const AcGeMatrix3d& xform, const AcGeVector3d& normal);

// The angle of a direction of the plane, measured in the plane's frame.
double angleInPlane(const AcGeVector3d& normal, const AcGeVector3d& direction);
// The direction of an angle of the plane, in world coordinates.
AcGeVector3d directionInPlane(const AcGeVector3d& normal, double angle);

// A copy of a text the caller frees with delete[] (the C-style API's string results).
ACHAR* copyText(const std::wstring& text);

// Text of the name of the database record of an id ("" when it is not a symbol record).
std::wstring recordName(AcDbObjectId id);
// The record of a table by name in a database (null when db is null or there is none).
AcDbObjectId textStyleByName(const AcDbDatabase* db, const std::wstring& name);
AcDbObjectId dimStyleByName(const AcDbDatabase* db, const std::wstring& name);
AcDbObjectId blockByName(const AcDbDatabase* db, const std::wstring& name);

} // namespace zel::db::ents
