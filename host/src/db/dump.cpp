#include "db/dump.h"

#include "core/groupcodes.h"
#include "core/text.h"
#include "core/tolerance.h"
#include "db/schema.h"

#include <cmath>
#include <cstdio>
#include <set>

namespace zel::db {
namespace {

std::string number(double v) {
    double r = std::round(v / tol::kDumpRounding) * tol::kDumpRounding;
    if (r == 0 || !std::isfinite(r)) r = std::isfinite(v) ? 0.0 : v; // no "-0"
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.9f", r);
    std::string s(buf);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

std::string quoted(const std::wstring& text) {
    std::string s = "\"";
    for (char c : core::wideToUtf8(text)) {
        if (c == '"' || c == '\\') s += '\\';
        if (c == '\n') {
            s += "\\n";
            continue;
        }
        s += c;
    }
    return s + "\"";
}

std::string hex(uint64_t v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(v));
    return buf;
}

// Groups that carry identity or structure only (handle, owner, markers, reactors).
bool isIdentity(int code) {
    static const std::set<int> codes = {5, 105, 330, 100, 102, 360};
    return codes.count(code) != 0;
}

// Groups shown in the fixed columns of an entity line.
bool isEntityColumn(int code) { return code == 8 || code == 62 || code == 6 || code == 370; }

bool isHandleReference(int code) {
    return core::groupType(code) == core::GroupType::Handle && code != 5 && code != 105;
}

class Dumper {
public:
    Dumper(const AcDbDatabase& db, const DumpOptions& options) : mDb(db), mOptions(options) {}

    std::string run() {
        dumpTables();
        dumpBlocks();
        dumpDictionary(mDb.namedObjectsDictionaryId(), 0);
        return mOut;
    }

private:
    void line(const std::string& s) { mOut += s + "\n"; }

    std::string handleText(AcDbObjectId id) const {
        return mOptions.withHandles ? hex(id.handle().value()) : "-";
    }

    // Groups of an object; an entity's common properties are left to its fixed columns.
    std::string groups(const AcDbObject& object, bool isEntity = false) const {
        std::string s;
        std::string xdata;
        bool inXData = false;
        writeGroups(object, [&](const ZelGroupValue& v) {
            if (v.code == 1001) inXData = true;
            if (!inXData && isIdentity(v.code)) return;
            if (!inXData && isEntity && isEntityColumn(v.code)) return;
            if (!mOptions.withHandles && isHandleReference(v.code)) return;
            std::string& out = inXData ? xdata : s;
            out += ' ';
            out += dumpGroup(v); // appended, not concatenated: GCC 12 warns falsely at -O3
        }, kDxfStyle);
        if (!xdata.empty()) s += " | xdata" + xdata;
        return s;
    }

    void dumpTables() {
        const AcDbObjectId tables[] = {
            mDb.viewportTableId(), mDb.linetypeTableId(), mDb.layerTableId(),
            mDb.textStyleTableId(), mDb.viewTableId(),    mDb.UCSTableId(),
            mDb.regAppTableId(),   mDb.dimStyleTableId(), mDb.blockTableId()};
        for (AcDbObjectId tableId : tables) dumpTable(tableId);
    }

    void dumpTable(AcDbObjectId tableId) {
        AcDbObjectPointer<AcDbSymbolTable> table(tableId, AcDb::kForRead);
        if (!table) return;
        line("TABLE " + std::string(table->tableName()));
        AcDbSymbolTableIterator* raw = nullptr;
        if (table->newIterator(raw) != Acad::eOk) return;
        std::unique_ptr<AcDbSymbolTableIterator> it(raw);
        for (; !it->done(); it->step()) {
            AcDbObjectId id;
            it->getRecordId(id);
            AcDbObjectPointer<AcDbObject> record(id, AcDb::kForRead);
            if (!record) continue;
            line("  " + handleText(id) + " " + std::string(record->dxfName()) + groups(*record.object()));
        }
    }

    void dumpBlocks() {
        AcDbObjectPointer<AcDbBlockTable> table(mDb.blockTableId(), AcDb::kForRead);
        if (!table) return;
        AcDbBlockTableIterator* raw = nullptr;
        if (table->newIterator(raw) != Acad::eOk) return;
        std::unique_ptr<AcDbBlockTableIterator> it(raw);
        for (; !it->done(); it->step()) {
            AcDbObjectId id;
            it->getRecordId(id);
            AcDbObjectPointer<AcDbBlockTableRecord> block(id, AcDb::kForRead);
            if (!block) continue;
            const ACHAR* name = nullptr;
            block->getName(name);
            line("BLOCK " + quoted(name ? name : L""));
            AcDbBlockTableRecordIterator* rawEnts = nullptr;
            if (block->newIterator(rawEnts) != Acad::eOk) continue;
            std::unique_ptr<AcDbBlockTableRecordIterator> ents(rawEnts);
            for (; !ents->done(); ents->step()) {
                AcDbObjectId entId;
                ents->getEntityId(entId);
                dumpEntity(entId, 1);
            }
        }
    }

    void dumpEntity(AcDbObjectId id, int depth) {
        AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
        if (!ent) return;
        std::string s(depth * 2, ' ');
        s += handleText(id) + " " + std::string(ent->dxfName());
        s += " layer=" + quoted(ent->layer());
        s += " color=" + std::to_string(ent->colorIndex());
        s += " ltype=" + quoted(ent->linetype());
        s += " lw=" + std::to_string(static_cast<int>(ent->lineWeight()));
        line(s + groups(*ent.object(), true));
        for (AcDbObjectId sub : ent->subEntityIds()) dumpEntity(sub, depth + 1);
    }

    void dumpDictionary(AcDbObjectId id, int depth) {
        AcDbObjectPointer<AcDbObject> object(id, AcDb::kForRead);
        if (!object || depth > 16) return;
        std::string pad(depth * 2, ' ');
        line(pad + "OBJECT " + handleText(id) + " " + std::string(object->dxfName()) +
             groups(*object.object()));
        const AcDbDictionary* dict = AcDbDictionary::cast(object.object());
        if (!dict) return;
        for (const auto& entry : dict->entries()) {
            line(pad + "  ENTRY " + quoted(entry.name));
            AcDbObjectId entryId;
            if (mDb.getAcDbObjectId(entryId, false, entry.handle) == Acad::eOk)
                dumpDictionary(entryId, depth + 2);
        }
    }

    const AcDbDatabase& mDb;
    DumpOptions mOptions;
    std::string mOut;
};

} // namespace

std::string dumpGroup(const ZelGroupValue& v) {
    std::string s = std::to_string(v.code) + "=";
    switch (core::groupType(v.code)) {
    case core::GroupType::PointX:
        return s + "(" + number(v.point.x) + "," + number(v.point.y) + "," + number(v.point.z) +
               ")";
    case core::GroupType::Real:
        return s + number(v.real);
    case core::GroupType::Int16:
    case core::GroupType::Int32:
    case core::GroupType::Int64:
    case core::GroupType::Bool:
        return s + std::to_string(v.integer);
    case core::GroupType::Handle:
        return s + (v.text.empty() ? hex(static_cast<uint64_t>(v.integer))
                                   : core::wideToUtf8(v.text));
    case core::GroupType::Binary:
    case core::GroupType::String:
        return s + quoted(v.text);
    }
    return s;
}

std::string canonicalDump(const AcDbDatabase& db, const DumpOptions& options) {
    return Dumper(db, options).run();
}

} // namespace zel::db
