// The database's record of one object. An AcDbObjectId points at its slot; slots never move
// for the life of the database, so ids stay valid all session, even after the object's
// addition was undone (the slot is then dead: no object, no handle).
#pragma once

#include "arx/db.h"

#include <cstdint>
#include <memory>

namespace zel::db {

struct ObjectSlot {
    std::unique_ptr<AcDbObject> object;
    AcDbDatabase* database = nullptr;
    AcDbHandle handle;
    bool alive = false; // holds an object of the database
    bool erased = false;
    bool writer = false; // open for write
    bool isNew = false;  // added and not closed since
    bool highlighted = false;
    int32_t readers = 0;       // opens for read not closed yet
    uint64_t recordedStep = 0; // the journal step whose snapshot already holds this object

    bool isOpen() const { return writer || readers > 0; }
};

} // namespace zel::db
