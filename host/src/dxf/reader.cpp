// readDxf: bytes -> tags -> records -> objects of a new database, then the drawing completed
// to what a file of release 2013 needs.
#include "dxf/builder.h"
#include "dxf/completion.h"
#include "dxf/dxf.h"
#include "dxf/filebytes.h"

#include <new>

namespace zel::dxf {
namespace {

// Beyond this many, repairs are counted, not listed (a damaged file may need thousands).
constexpr size_t kWarningsShown = 50;

// The fewest bytes an object takes in a file (a short LINE of an ASCII file), for making room
// in the handle map before reading: more room than objects costs a few bytes each.
constexpr size_t kSmallestObjectBytes = 128;

// From this size on, records are read on a second thread while the drawing is built; below
// it, starting the thread costs more than it saves.
constexpr size_t kReadAheadBytes = size_t(1) << 20;

struct FileInfo {
    std::string version = "AC1009";
    std::string codePage;
    uint64_t handseed = 0; // 0: the header has none
};

// Reads the header values that decide how the rest is read: version and code page (text
// decoding) and the handle seed. Stops at the end of the HEADER section.
FileInfo scanHeader(std::string_view bytes) {
    FileInfo info;
    TagReader tags(bytes);
    Tag t;
    std::string_view variable;
    bool inHeader = false;
    while (tags.next(t)) {
        if (t.code == 0 && (inHeader || t.text != "SECTION")) break;
        if (t.code == 2 && !inHeader) {
            if (t.text != "HEADER") break;
            inHeader = true;
        } else if (t.code == 9) {
            variable = t.text;
        } else if (variable == "$ACADVER" && t.code == 1) {
            info.version = std::string(t.text);
        } else if (variable == "$DWGCODEPAGE" && t.code == 3) {
            info.codePage = std::string(t.text);
        } else if (variable == "$HANDSEED" && t.code == 5) {
            parseHex(t.text, info.handseed);
        }
    }
    return info;
}

// The largest handle of the file (for files whose header gives no handle seed).
uint64_t largestHandle(std::string_view bytes) {
    TagReader tags(bytes);
    Tag t;
    uint64_t largest = 0;
    while (tags.next(t)) {
        uint64_t h = 0;
        if ((t.code == 5 || t.code == 105) && parseHex(t.text, h) && h > largest) largest = h;
        if (t.code == 0 && t.text == "EOF") break;
    }
    return largest;
}

ReadResult read(std::string_view bytes, PassedBytes* passed) {
    ReadResult result;
    FileInfo info = scanHeader(bytes);
    TagReader tags(bytes);
    RecordReader records(tags, TextDecoder::forFile(info.version, info.codePage));
    records.setPassedBytes(passed);
    auto db = std::make_unique<AcDbDatabase>(false, true);
    DatabaseBuilder builder(*db, records);
    db->impl().reserveObjects(bytes.size() / kSmallestObjectBytes);
    uint64_t seed = info.handseed ? info.handseed : largestHandle(bytes) + 1;
    if (seed > db->impl().handseed()) db->impl().setHandseed(seed);
    FileParser parser(records, builder);
    if (bytes.size() >= kReadAheadBytes) records.startReadingAhead();
    bool parsed = parser.run();
    records.stopReadingAhead();
    if (!parsed) {
        result.error = parser.error();
        return result; // the partly built database goes with the scope
    }
    builder.finish();
    std::vector<std::string>& warnings = builder.warnings();
    if (records.decoder().hadErrors())
        warnings.push_back("some texts are not valid in the file's encoding; the characters "
                           "that could not be read were replaced by U+FFFD");
    completeDrawing(*db, warnings);
    if (warnings.size() > kWarningsShown) {
        size_t more = warnings.size() - kWarningsShown;
        warnings.resize(kWarningsShown);
        warnings.push_back("... and " + std::to_string(more) + " more repairs of the same kinds");
    }
    result.warnings = std::move(warnings);
    result.database = std::move(db);
    return result;
}

// Memory runs out, or the file holds what the host cannot take: a message, not a crash.
ReadResult readGuarded(std::string_view bytes, PassedBytes* passed) {
    try {
        return read(bytes, passed);
    } catch (const std::bad_alloc&) {
        ReadResult r;
        r.error = "not enough memory to read the drawing";
        return r;
    } catch (const std::exception& e) {
        ReadResult r;
        r.error = std::string("cannot read the drawing: ") + e.what();
        return r;
    }
}

} // namespace

ReadResult readDxfBuffer(std::string_view bytes) {
    return readGuarded(bytes, nullptr);
}

ReadResult readDxfBuffer(std::string_view bytes, PassedBytes& passed) {
    return readGuarded(bytes, &passed);
}

// The bytes the reader has passed are given back as it goes: at the end of reading, the
// drawing is in memory and the file only as far as the reader still needs it.
ReadResult readDxf(const std::string& path) {
    FileBytes file;
    ReadResult result;
    if (!file.read(path, result.error)) {
        result.error = path + ": " + result.error;
        return result;
    }
    result = readGuarded(file.bytes(), &file);
    if (!result.error.empty()) result.error = path + ": " + result.error;
    return result;
}

} // namespace zel::dxf
