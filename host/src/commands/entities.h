// Small helpers host commands share to make and change entities.
#pragma once

#include "arx/db.h"

#include <memory>
#include <string_view>

namespace zel::commands {

// Appends an entity to the current space with the database's current properties; the null id
// when the database refused it.
AcDbObjectId appendEntity(AcDbDatabase& db, std::unique_ptr<AcDbEntity> entity);
// Erases (or unerases) an entity; false when it cannot be opened.
bool eraseEntity(AcDbObjectId id, bool erasing = true);
// The point on the XY plane (the host draws in two dimensions).
inline AcGePoint2d flat(const AcGePoint3d& p) {
    return AcGePoint2d(p.x, p.y);
}

} // namespace zel::commands
