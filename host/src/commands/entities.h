// Small helpers host commands share to make and change entities.
#pragma once

#include "arx/db.h"

#include <memory>
#include <string_view>

namespace zel::commands {

// Appends an entity to the current space with the database's current properties; the null id
// when the database refused it.
AcDbObjectId appendEntity(AcDbDatabase& db, std::unique_ptr<AcDbEntity> entity);
// A copy of the source moved by m, appended to the current space with the source's
// properties; the null id when the source cannot be read or the copy was refused.
AcDbObjectId appendCopy(AcDbDatabase& db, AcDbObjectId source, const AcGeMatrix3d& m);
// Moves an entity by m; false when it cannot be opened for writing.
bool transformEntity(AcDbObjectId id, const AcGeMatrix3d& m);
// Erases (or unerases) an entity; false when it cannot be opened.
bool eraseEntity(AcDbObjectId id, bool erasing = true);
// The point on the XY plane (the host draws in two dimensions).
inline AcGePoint2d flat(const AcGePoint3d& p) {
    return AcGePoint2d(p.x, p.y);
}

} // namespace zel::commands
