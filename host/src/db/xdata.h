// Extended data merging shared by setXData and entity data lists.
#pragma once

#include "arx/db.h"

#include <vector>

namespace zel::db {

// The xdata of an object after a list of application groups is applied to `current` (each
// application's data replaced; one given without values removed). Applications must be in
// db's APPID table (eRegappIdNotFound); eInvalidInput for a malformed list,
// eXdataSizeExceeded past 16 KB.
Acad::ErrorStatus mergeXData(const std::vector<AcDbXDataGroup>& current, const resbuf* list,
                             AcDbDatabase* db, std::vector<AcDbXDataGroup>& result);

} // namespace zel::db
