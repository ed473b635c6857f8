// Host helpers for block records: their BLOCK/ENDBLK objects and entity lists, for the file
// reader and the host's own code (no open/close needed; changes are journaled).
#pragma once

#include "arx/db.h"

#include <memory>
#include <string_view>

namespace zel::db {

// Creates the BLOCK and ENDBLK objects of a record just added to a database.
void createBlockEnds(AcDbBlockTableRecord& record);
// Makes begin and end (objects of the record's database) the record's BLOCK and ENDBLK; the
// BLOCK's data read from a file (base point, flags, description, path) goes to the record.
void attachBlockEnds(AcDbBlockTableRecord& record, AcDbObjectId begin, AcDbObjectId end);
// Adds an entity at the end of a block (it becomes the entity's owner); journaled.
void appendToBlock(AcDbBlockTableRecord& record, AcDbObjectId entity);
// Adds a new entity to the database with the handle it asks for and appends it to the
// block; the entity is left closed.
AcDbObjectId addEntityToBlock(AcDbBlockTableRecord& record, std::unique_ptr<AcDbEntity> entity,
                              AcDbHandle wanted = {});

// A table object of the kind named as in a TABLE header ("LAYER", "BLOCK_RECORD" ...), or null.
std::unique_ptr<AcDbSymbolTable> createSymbolTable(std::string_view tableName);

} // namespace zel::db
