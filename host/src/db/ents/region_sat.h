// The modeler data of a REGION: ACIS save-file text (version 7.0) describing a planar sheet
// body, and the character transform drawing files apply to its lines.
#pragma once

#include "arx/db.h"
#include "arx/dbregion.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zel::db::sat {

// A planar region as the modeler data describes it.
struct Planar {
    AcGeVector3d normal;
    double elevation = 0;
    std::vector<ZelRegionLoop> loops;
};

// The save-file lines (header, records, end marker) of a sheet body with one planar face per
// outer loop and its holes, in world coordinates.
std::vector<std::string> write(const Planar& region);

// The planar face(s) of save-file text: bodies of planar faces bounded by lines and arcs of
// circles and ellipses, all in one plane. nullopt for anything else (other surfaces or
// curves, transforms, damaged text); `why` then says what was not understood.
std::optional<Planar> read(std::string_view text, std::string* why = nullptr);

// Drawing files hold each save-file line transformed character by character: every
// character c other than a space becomes 159 - c (so the transform is its own inverse), and
// the caret that results is written as caret-space, as text groups escape carets.
std::wstring encodeLine(std::string_view line);
std::string decodeLine(std::wstring_view fileText);

// The lines as file groups: group 1 per line, continued in group 3 past 255 characters.
std::vector<ZelGroupValue> fileGroups(const std::vector<std::string>& lines);
// The save-file text of file groups (1 starts a line, 3 continues it).
std::string textOfGroups(const std::vector<ZelGroupValue>& groups);

} // namespace zel::db::sat
