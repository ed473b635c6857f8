// writeDxf: the database as an ASCII DXF file of release 2013 (AC1027) in UTF-8: HEADER,
// CLASSES, TABLES, BLOCKS, ENTITIES, OBJECTS, the other kept sections, EOF.
#include "db/database_impl.h"
#include "db/schema.h"
#include "dxf/atomicfile.h"
#include "dxf/dxf.h"
#include "dxf/tablekinds.h"
#include "dxf/tagwriter.h"
#include "dxf/textcodec.h"

#include <new>

namespace zel::dxf {
namespace {

using db::peek;

constexpr const char* kVersion = "AC1027";

// An estimate of the bytes of a file per object, to reserve the buffer once.
constexpr size_t kBytesPerObject = 400;

bool isKeptTable(const db::RawSection& s) { return s.name.starts_with(kKeptTablePrefix); }

class Writer {
public:
    Writer(const AcDbDatabase& db, std::string& out)
        : mDb(db), mImpl(db.impl()), mOut(out),
          mSink([this](const ZelGroupValue& v) {
              if (mTextFive && v.code == 5) {
                  mOut.text(5, v.text);
              } else {
                  mOut.group(v);
              }
          }) {}

    void write() {
        header();
        classes();
        tables();
        blocks();
        entities();
        objects();
        keptSections();
        mOut.raw(0, "EOF");
    }

private:
    void sectionStart(const char* name) {
        mOut.raw(0, "SECTION");
        mOut.raw(2, name);
    }
    void sectionEnd() { mOut.raw(0, "ENDSEC"); }

    void header();
    void classes();
    void tables();
    void table(const TableKind& kind);
    void blocks();
    void entities();
    void objects();
    void keptSections();
    void rawGroups(const std::vector<ZelGroupValue>& groups) {
        for (const ZelGroupValue& g : groups) mOut.group(g);
    }
    // Writes one object as "0 TYPE" and its groups, then its sub-entities.
    void object(const AcDbObject& object);
    void blockEntities(const AcDbBlockTableRecord& record);
    std::string codePage() const;

    const AcDbDatabase& mDb;
    const db::DatabaseImpl& mImpl;
    TagWriter mOut;
    bool mTextFive = false;
    db::GroupSink mSink;
};

std::string Writer::codePage() const {
    std::wstring name = mImpl.header().text(L"$DWGCODEPAGE", L"ANSI_1252");
    std::string narrow(name.begin(), name.end());
    auto cp = dxfCodePage(narrow);
    return cp ? std::string(core::codePageName(*cp)) : "ANSI_1252";
}

void Writer::header() {
    sectionStart("HEADER");
    mOut.raw(9, "$ACADVER");
    mOut.raw(1, kVersion);
    mOut.raw(9, "$DWGCODEPAGE");
    mOut.raw(3, codePage());
    for (const db::HeaderVars::Entry& e : mImpl.header().entries()) {
        if (e.name == L"$ACADVER" || e.name == L"$DWGCODEPAGE" || e.name == L"$HANDSEED")
            continue;
        mOut.text(9, e.name);
        rawGroups(e.values);
    }
    mOut.raw(9, "$HANDSEED");
    mOut.handle(5, mImpl.handseed());
    sectionEnd();
}

void Writer::classes() {
    sectionStart("CLASSES");
    for (const db::RawSection& s : mImpl.rawSections())
        if (s.name == L"CLASSES") rawGroups(s.groups);
    sectionEnd();
}

void Writer::tables() {
    sectionStart("TABLES");
    for (const TableKind& kind : kTableKinds) table(kind);
    for (const db::RawSection& s : mImpl.rawSections())
        if (isKeptTable(s)) rawGroups(s.groups);
    sectionEnd();
}

void Writer::table(const TableKind& kind) {
    auto* table = db::peekAs<AcDbSymbolTable>(mImpl.tableId(kind.table));
    if (!table) return;
    mOut.raw(0, "TABLE");
    mOut.raw(2, kind.name);
    db::writeGroups(*table, mSink, db::kDxfStyle);
    for (AcDbObjectId id : table->recordIds()) {
        const AcDbObject* record = peek(id);
        if (record && !id.isErased()) object(*record);
    }
    mOut.raw(0, "ENDTAB");
}

void Writer::object(const AcDbObject& o) {
    std::string_view type = o.dxfName();
    mOut.raw(0, type);
    mTextFive = type == "DIMSTYLE"; // its 5 is the DIMBLK name of old files
    db::writeGroups(o, mSink, db::kDxfStyle);
    mTextFive = false;
    const auto* entity = AcDbEntity::cast(&o);
    if (!entity) return;
    for (AcDbObjectId id : entity->subEntityIds()) {
        const AcDbObject* sub = peek(id);
        if (sub && !id.isErased()) object(*sub);
    }
}

void Writer::blockEntities(const AcDbBlockTableRecord& record) {
    for (AcDbObjectId id : record.entityIds()) {
        const AcDbObject* e = peek(id);
        if (e && !id.isErased()) object(*e);
    }
}

void Writer::blocks() {
    sectionStart("BLOCKS");
    auto* blocks = db::peekAs<AcDbBlockTable>(mImpl.tableId(db::DatabaseImpl::kBlock));
    AcDbObjectId model = mDb.modelSpaceId(), paper = mDb.paperSpaceId();
    for (AcDbObjectId id : blocks ? blocks->recordIds() : std::vector<AcDbObjectId>()) {
        auto* record = db::peekAs<AcDbBlockTableRecord>(id);
        if (!record || id.isErased()) continue;
        if (const AcDbObject* begin = peek(record->blockBeginId())) object(*begin);
        // The entities of model space and of the active layout go to the ENTITIES section.
        if (id != model && id != paper) blockEntities(*record);
        if (const AcDbObject* end = peek(record->blockEndId())) object(*end);
    }
    sectionEnd();
}

void Writer::entities() {
    sectionStart("ENTITIES");
    for (AcDbObjectId space : {mDb.modelSpaceId(), mDb.paperSpaceId()})
        if (auto* record = db::peekAs<AcDbBlockTableRecord>(space)) blockEntities(*record);
    sectionEnd();
}

void Writer::objects() {
    sectionStart("OBJECTS");
    AcDbObjectId root = mDb.namedObjectsDictionaryId();
    if (const AcDbObject* nod = peek(root)) object(*nod);
    mImpl.forEachSlot([&](db::ObjectSlot& s) {
        if (!s.alive || s.erased || AcDbObjectId(&s) == root) return;
        const AcDbObject* o = s.object.get();
        if (AcDbEntity::cast(o) || AcDbSymbolTable::cast(o) || AcDbSymbolTableRecord::cast(o))
            return;
        object(*o);
    });
    sectionEnd();
}

void Writer::keptSections() {
    for (const db::RawSection& s : mImpl.rawSections()) {
        if (s.name == L"CLASSES" || isKeptTable(s)) continue;
        mOut.raw(0, "SECTION");
        mOut.text(2, s.name);
        rawGroups(s.groups);
        sectionEnd();
    }
}

} // namespace

std::string writeDxfBuffer(const AcDbDatabase& db) {
    std::string out;
    out.reserve(db.impl().slotCount() * kBytesPerObject);
    Writer(db, out).write();
    return out;
}

SaveResult writeDxf(const AcDbDatabase& db, const std::string& path) {
    SaveResult result;
    std::string bytes;
    try {
        bytes = writeDxfBuffer(db);
    } catch (const std::bad_alloc&) {
        result.error = "cannot save '" + path + "': not enough memory (nothing was changed)";
        return result;
    }
    result.ok = writeFileAtomic(path, bytes, result.error);
    return result;
}

} // namespace zel::dxf
