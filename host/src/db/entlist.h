// Internals of the entity data lists shared by entget/entmod and entmake.
#pragma once

#include "arx/db.h"

#include <string>
#include <vector>

namespace zel::db {

// A data list split into its parts.
struct DataList {
    AcDbObjectId name; // -1
    bool hasName = false;
    std::wstring type;                 // 0
    std::vector<ZelGroupValue> groups; // the others, without owner, handle and 102 groups
    const resbuf* xdata = nullptr;     // the groups after -3 (the 1001 ones)
    bool hasXData = false;
    std::wstring error;
};

// Splits a resbuf list; error is set for a group that cannot be read.
DataList parseDataList(const resbuf* list);

// The groups of an object as its data list shows them (owner, handle, 102 groups, markers,
// fields), in that order, without xdata.
std::vector<ZelGroupValue> dataListGroups(const AcDbObject& object);

// Reads the groups into a copy of the object made for them (state replaced where given, the
// repeated groups of a subclass replaced when the list has any); null with why when refused.
std::unique_ptr<AcDbObject> applyDataList(const AcDbObject& object,
                                          const std::vector<ZelGroupValue>& groups,
                                          std::wstring& why);

// Entity checks after a list was applied: the linetype must exist; a new layer is allowed
// (made by commitEntityNames).
bool checkEntityNames(const AcDbObject& object, AcDbDatabase& db, std::wstring& why);
void commitEntityNames(const AcDbObject& object, AcDbDatabase& db);

// True when a wildcard pattern ("*" any text, "?" one character, "," between alternatives)
// matches the text, without regard to case.
bool wildcardMatch(std::wstring_view pattern, std::wstring_view text);

} // namespace zel::db
