// Shared inside zeldll.so: the stores, the per-document records and the shipped defaults.
#pragma once

#include "arx/acdocman.h"
#include "arx/acedinpt.h"
#include "companions/zeldll/store.h"

#include <map>
#include <memory>
#include <string>

namespace zel::zeldll {

// The common store at the path of the moment (ZELCAD_SETTINGS may change between calls); a
// store that cannot be used is told on the command line once per path.
settings::Store& commonStore();
// The shipped default drafting tables (resources/settings/defaults.txt); a key absent there
// gives null.
const std::wstring* shippedDefault(const std::wstring& key);

// What zeldll keeps for one open document; dropped when the document closes.
struct DocRecord {
    std::map<std::wstring, std::wstring> settings;
    void* dragCommand = nullptr; // the command holding the drag switch
    void* filterCommand = nullptr;
    bool filterOn = false;
    int filterPoints = 0; // points given while the filter was on
    std::unique_ptr<AcEdInputPointMonitor> filter;
    // The entity each pick record holds highlighted (ids of this document's drawing only).
    std::map<void*, AcDbObjectId> held;
};
// Null document: the current one; null when there is none.
DocRecord* docRecord(AcApDocument* doc);

void copyOut(ACHAR* buffer, const std::wstring& value);

} // namespace zel::zeldll
