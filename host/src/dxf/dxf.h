// Reading and writing drawings as DXF files: ASCII or binary from R12 to 2018 in, ASCII 2013
// (AC1027, UTF-8) out. Everything the host does not model is kept and written back.
#pragma once

#include "arx/db.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zel::dxf {

struct ReadResult {
    // The drawing, or null when the file could not be read (then error says why).
    std::unique_ptr<AcDbDatabase> database;
    // One message: "line 120: expected 0/ENDSEC, found 0/EOF" (with the file name first when
    // read from a file). Empty on success.
    std::string error;
    // What was repaired on the way: duplicate or missing handles given fresh ones, texts that
    // could not be decoded, objects whose owner was missing.
    std::vector<std::string> warnings;
    bool ok() const { return database != nullptr; }
};

ReadResult readDxf(const std::string& path);
ReadResult readDxfBuffer(std::string_view bytes);

// The drawing as a DXF 2013 file.
std::string writeDxfBuffer(const AcDbDatabase& db);

struct SaveResult {
    bool ok = false;
    std::string error; // names the file and the cause; the previous file is untouched
};

// Saves atomically: a failed save leaves the previous file as it was.
SaveResult writeDxf(const AcDbDatabase& db, const std::string& path);

} // namespace zel::dxf
