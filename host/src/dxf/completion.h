// A drawing read from a file, completed with what a file of release 2013 must have and older
// files (or small programs) leave out: the nine tables, the standard records (layer 0, the
// linetypes ByBlock/ByLayer/Continuous, text and dimension style Standard, application ACAD,
// viewport *Active), model and paper space with their BLOCK/ENDBLK, the dictionary of named
// objects with ACAD_GROUP and ACAD_LAYOUT, and a LAYOUT object for each space.
#pragma once

#include "arx/db.h"

#include <string>
#include <vector>

namespace zel::dxf {

// Adds what is missing; each addition that repairs the file (rather than upgrading an old
// release) is reported in warnings.
void completeDrawing(AcDbDatabase& db, std::vector<std::string>& warnings);

} // namespace zel::dxf
