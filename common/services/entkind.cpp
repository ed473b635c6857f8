#include "common/services/entkind.h"

#include "arx/dbdim.h"
#include "arx/dbents_simple.h"
#include "arx/dbpoly.h"
#include "arx/dbspline.h"
#include "arx/dbtext.h"

namespace {

bool isDimension(const AcDbEntity* e) {
    return dynamic_cast<const AcDbDimension*>(e) != nullptr;
}

} // namespace

unsigned EntityKind(const AcDbEntity* e) {
    if (!e) return 0;
    if (dynamic_cast<const AcDbLine*>(e)) return kKindLine;
    if (dynamic_cast<const AcDbArc*>(e)) return kKindArc;
    if (dynamic_cast<const AcDbCircle*>(e)) return kKindCircle;
    if (dynamic_cast<const AcDbRay*>(e)) return kKindRay;
    if (dynamic_cast<const AcDbXline*>(e)) return kKindXline;
    if (dynamic_cast<const AcDbText*>(e)) return kKindText;
    if (dynamic_cast<const AcDbPolyline*>(e) || dynamic_cast<const AcDb2dPolyline*>(e))
        return kKindPolyline;
    if (dynamic_cast<const AcDbSpline*>(e)) return kKindSpline;
    if (dynamic_cast<const AcDbEllipse*>(e)) return kKindEllipse;
    if (dynamic_cast<const AcDbLeader*>(e)) return kKindLeader;
    if (dynamic_cast<const AcDbMText*>(e)) return kKindMText;
    return 0;
}

bool KindAccepted(const AcDbEntity* e, unsigned mask, bool strict) {
    if (strict && !(mask & (kKindNested | kKindDimension | kKindDimension2))) return false;
    if (isDimension(e)) return (mask & (kKindDimension | kKindDimension2)) != 0;
    unsigned kind = EntityKind(e);
    if (kind == 0) return false;
    if (strict && (mask & kKindNested)) return true;
    if (mask & kind) return true;
    if (kind != kKindEllipse || !(mask & kKindEllipticalArc)) return false;
    auto* ellipse = static_cast<const AcDbEllipse*>(e);
    return !ellipse->isClosed();
}
