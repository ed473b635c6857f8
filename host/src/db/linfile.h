// Linetype (.lin) files: each definition is "*NAME,description" followed by its pattern
// "A,dash,gap,...". Complex elements ("[\"GAS\",STANDARD,S=.1,X=-.1]" texts and
// "[BOX,ltypeshp.shx,S=.1]" shapes) are kept with the dash before them; where shapes cannot be
// drawn they are drawn as the dash.
#pragma once

#include "arx/db.h"
#include "arx/dbsymtb.h"

#include <string>
#include <vector>

namespace zel::db {

struct LinDefinition {
    std::wstring name, description;
    std::vector<ZelDashElement> elements;
    std::wstring shapeFile; // of shape elements, when there are any
};

struct LinFile {
    bool opened = false;
    std::vector<LinDefinition> definitions;
    std::vector<std::wstring> unreadable; // names whose pattern could not be read
};

// Text styles of text elements are found by name in db (a null handle without db or when the
// drawing has no such style).
LinFile readLinFile(const std::string& path, AcDbDatabase* db = nullptr);
// "A,12.7,-6.35,0": the elements after the alignment letter; false for text that is not a
// pattern.
bool parseLinPattern(const std::wstring& line, AcDbDatabase* db, std::vector<ZelDashElement>& out);
// Adds the linetype to the drawing, or gives the one of that name the definition's pattern.
bool storeLinetype(AcDbDatabase& db, const LinDefinition& def);

} // namespace zel::db
