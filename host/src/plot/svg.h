// Pictures of a drawing: model space as an SVG file, each entity with its colour, lineweight,
// linetype dashes and text alignment, block references and dimensions drawn through their
// blocks. For people to look at a result; not a print engine.
#pragma once

#include "arx/db.h"

#include <string>

namespace zel::plot {

// The SVG document of the model space of db.
std::string modelSpaceSvg(const AcDbDatabase& db);

// Writes it to path; an empty text on success, otherwise why it failed.
std::string writeSvg(const AcDbDatabase& db, const std::string& path);

} // namespace zel::plot
