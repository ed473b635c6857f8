// Block definitions as host commands make, find, import and purge them.
#pragma once

#include "arx/db.h"
#include "db/database_impl.h"

#include <functional>

#include <string>
#include <vector>

namespace zel::commands {

// The records of a table that are not erased, in table order.
std::vector<AcDbObjectId> liveRecords(AcDbDatabase& db, db::DatabaseImpl::Table table);
// Every unerased entity of every block definition (model and paper space included).
void forEachEntityOf(AcDbDatabase& db, const std::function<void(const AcDbEntity&)>& fn);
// The record of a block of that name (erased ones not counted); the null id when none.
AcDbObjectId findBlock(AcDbDatabase& db, const std::wstring& name);
// A new, empty block definition, or the existing one emptied (its entities erased).
AcDbObjectId defineBlock(AcDbDatabase& db, const std::wstring& name, const AcGePoint3d& base);
// A copy of the entity appended to the block definition (the copy keeps every property);
// false when the block cannot take it.
bool appendCopyToBlock(AcDbObjectId recordId, const AcDbEntity& source);
// Whether any block reference anywhere in the drawing (nested ones included) names it.
bool blockIsReferenced(AcDbDatabase& db, const std::wstring& name);
// Copies the model space of another drawing into the block `name` of db (redefined when it
// exists), with the layers, linetypes, text styles and nested blocks it needs that db lacks.
// False when nothing could be copied.
bool importDrawingAsBlock(AcDbDatabase& db, AcDbDatabase& source, const std::wstring& name);

} // namespace zel::commands
