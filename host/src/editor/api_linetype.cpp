// acdbLoadLineTypeFile: linetypes from a linetype file found as acedFindFile finds it.
#include "arx/db.h"
#include "arx/dbmain.h"
#include "arx/dbsymtb.h"
#include "arx/ed.h"
#include "core/text.h"
#include "core/wildcard.h"
#include "db/linfile.h"

namespace {

bool drawingHas(AcDbDatabase& db, const std::wstring& name) {
    AcDbLinetypeTable* table = nullptr;
    if (db.getLinetypeTable(table, AcDb::kForRead) != Acad::eOk) return false;
    bool has = table->has(name.c_str());
    table->close();
    return has;
}

} // namespace

Acad::ErrorStatus acdbLoadLineTypeFile(const ACHAR* ltname, const ACHAR* fname, AcDbDatabase* pDb) {
    if (!ltname || !*ltname || !fname || !*fname || !pDb) return Acad::eInvalidInput;
    ACHAR found[4096];
    if (acedFindFile(fname, found, 4096) != RTNORM) return Acad::eFileNotFound;
    zel::db::LinFile file = zel::db::readLinFile(zel::core::wideToUtf8(found), pDb);
    if (!file.opened) return Acad::eFileNotFound;
    std::wstring pattern = zel::core::toUpper(ltname);
    bool matched = false, loaded = false;
    for (const zel::db::LinDefinition& def : file.definitions) {
        if (!zel::core::wildcardMatch(zel::core::toUpper(def.name), pattern)) continue;
        matched = true;
        if (drawingHas(*pDb, def.name)) continue;
        loaded = zel::db::storeLinetype(*pDb, def) || loaded;
    }
    if (!matched) return Acad::eUndefinedLineType;
    return loaded ? Acad::eOk : Acad::eDuplicateRecordName;
}
