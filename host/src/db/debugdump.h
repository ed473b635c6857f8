// An exact listing of everything a database holds, for tests of the undo journal: every
// slot in the order of creation (dead ones too), with handle, erased flag, kind, all groups
// (reals to 17 digits), block entity lists, header variables, handle seed and raw sections.
// Two databases list the same only when they hold the same state and ids.
#pragma once

#include "arx/db.h"

#include <string>

namespace zel::db {

std::string debugDump(const AcDbDatabase& db);

} // namespace zel::db
