// zelcad dump DRAWING / zelcad convert IN OUT
#include "cli.h"

#include "db/dump.h"
#include "dxf/dxf.h"

namespace zel::app {
namespace {

// Reads a drawing; prints the reader's message and returns null when it cannot.
std::unique_ptr<AcDbDatabase> openDrawing(const std::string& path, FILE* err) {
    dxf::ReadResult result = dxf::readDxf(path);
    for (const auto& warning : result.warnings) std::fprintf(err, "zelcad: %s\n", warning.c_str());
    if (!result.ok()) {
        std::fprintf(err, "zelcad: %s\n", result.error.c_str());
        return nullptr;
    }
    return std::move(result.database);
}

} // namespace

int cmdDump(const std::vector<std::string>& args, FILE* out, FILE* err) {
    if (args.size() != 1) {
        std::fputs("usage: zelcad dump DRAWING\n", err);
        return kExitUsage;
    }
    auto db = openDrawing(args[0], err);
    if (!db) return kExitFailed;
    std::string text = db::canonicalDump(*db);
    std::fwrite(text.data(), 1, text.size(), out);
    return kExitOk;
}

int cmdConvert(const std::vector<std::string>& args, FILE* out, FILE* err) {
    if (args.size() != 2) {
        std::fputs("usage: zelcad convert IN OUT\n", err);
        return kExitUsage;
    }
    auto db = openDrawing(args[0], err);
    if (!db) return kExitFailed;
    dxf::SaveResult saved = dxf::writeDxf(*db, args[1]);
    if (!saved.ok) {
        std::fprintf(err, "zelcad: %s\n", saved.error.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace zel::app
