// Conversions between result buffers of the C-style API and group values, and between
// entity names (ads_name) and object ids.
#pragma once

#include "arx/db.h"

#include "core/resbuf.h"

#include <string>

namespace zel::db {

// The entity name of an object: [0] its slot, [1] the tag of its database.
void nameOf(AcDbObjectId id, ads_name name);
// The object of an entity name; null for a garbage or stale name (never dereferenced unless
// the database that owns the tag holds the slot).
AcDbObjectId idOfName(const ads_name name);

// One resbuf as a group value: handles of names and hex texts become numbers, binary chunks
// hex text. False (with why) for a type the code cannot have or a bad name.
bool groupFromRb(const resbuf& rb, ZelGroupValue& out, std::wstring& why);
// Appends a group value as a resbuf; object references become entity names when the object
// exists in db (otherwise the group is left out). False when memory runs out.
bool appendGroupRb(core::RbBuilder& list, const ZelGroupValue& v, AcDbDatabase* db);

// Hex text of bytes and back (binary chunks 310, 1004 are kept as hex text).
std::wstring bytesToHex(const unsigned char* data, size_t size);
std::string hexToBytes(std::wstring_view hex);

} // namespace zel::db
