#include "dxf/completion.h"

#include "core/text.h"
#include "db/access.h"
#include "db/blocks.h"
#include "db/database_impl.h"
#include "db/schema.h"
#include "dxf/tablekinds.h"

#include <cassert>

namespace zel::dxf {
namespace {

using db::Access;
using db::ObjectSlot;

std::wstring wide(std::string_view s) { return std::wstring(s.begin(), s.end()); }

std::string narrow(std::wstring_view s) {
    std::string out;
    for (wchar_t c : s) out += c > 0 && c < 0x80 ? char(c) : '?';
    return out;
}

ZelGroupValue group(int16_t code, std::wstring text = {}) {
    ZelGroupValue v;
    v.code = code;
    v.text = std::move(text);
    return v;
}

ZelGroupValue intGroup(int16_t code, int64_t value) {
    ZelGroupValue v = group(code);
    v.integer = value;
    return v;
}

ZelGroupValue pointGroup(int16_t code, double x, double y, double z, bool flat = false) {
    ZelGroupValue v = group(code);
    v.point = AcGePoint3d(x, y, z);
    v.flat = flat;
    return v;
}

class Completion {
public:
    Completion(AcDbDatabase& db) : mDb(db), mImpl(db.impl()) {}

    // Returns what was added, one name each.
    std::vector<std::string> run() {
        for (const TableKind& kind : kTableKinds) ensureTable(kind);
        standardRecords();
        for (AcDbObjectId id : table(db::DatabaseImpl::kBlock).recordIds())
            if (auto* record = db::peekAs<AcDbBlockTableRecord>(id)) blockEnds(*record);
        AcDbDictionary& root = rootDictionary();
        subDictionary(root, L"ACAD_GROUP");
        layouts(subDictionary(root, L"ACAD_LAYOUT"));
        classes();
        return mAdded;
    }

private:
    ObjectSlot* addNew(std::unique_ptr<AcDbObject> object, AcDbHandle owner,
                       const std::wstring& what) {
        object->setOwnerHandle(owner);
        ObjectSlot* slot = mImpl.add(std::move(object));
        slot->object->close();
        mAdded.push_back(narrow(what));
        return slot;
    }

    AcDbSymbolTable& table(db::DatabaseImpl::Table t) {
        auto* table = db::peekAs<AcDbSymbolTable>(mImpl.tableId(t));
        assert(table && "the tables are made first");
        return *table;
    }

    void ensureTable(const TableKind& kind) {
        if (db::peekAs<AcDbSymbolTable>(mImpl.tableId(kind.table))) return;
        ObjectSlot* slot = addNew(db::createSymbolTable(kind.name), AcDbHandle(),
                                  L"table " + wide(kind.name));
        mImpl.setTableId(kind.table, AcDbObjectId(slot));
    }

    void ensureRecord(db::DatabaseImpl::Table t, const char* type, const wchar_t* name) {
        AcDbSymbolTable& tbl = table(t);
        if (tbl.has(name)) return;
        const db::ObjectSchema* schema = db::SchemaRegistry::instance().find(type);
        assert(schema && "every table has a record kind");
        std::unique_ptr<AcDbObject> object = schema->create();
        static_cast<AcDbSymbolTableRecord&>(*object).setName(name);
        ObjectSlot* slot =
            addNew(std::move(object), tbl.getAcDbHandle(), wide(type) + L" " + name);
        Access::records(tbl).push_back(AcDbObjectId(slot));
    }

    // Records every drawing has; the styles and the viewport only when the file has none of
    // their kind (the header names the current ones).
    void standardRecords() {
        using T = db::DatabaseImpl;
        if (table(T::kVport).recordIds().empty()) ensureRecord(T::kVport, "VPORT", L"*Active");
        ensureRecord(T::kLinetype, "LTYPE", L"ByBlock");
        ensureRecord(T::kLinetype, "LTYPE", L"ByLayer");
        ensureRecord(T::kLinetype, "LTYPE", L"Continuous");
        ensureRecord(T::kLayer, "LAYER", L"0");
        if (table(T::kStyle).recordIds().empty()) ensureRecord(T::kStyle, "STYLE", L"Standard");
        ensureRecord(T::kAppId, "APPID", L"ACAD");
        if (table(T::kDimStyle).recordIds().empty())
            ensureRecord(T::kDimStyle, "DIMSTYLE", L"Standard");
        ensureRecord(T::kBlock, "BLOCK_RECORD", ACDB_MODEL_SPACE);
        ensureRecord(T::kBlock, "BLOCK_RECORD", ACDB_PAPER_SPACE);
    }

    void blockEnds(AcDbBlockTableRecord& record) {
        if (!record.blockBeginId().isNull() && !record.blockEndId().isNull()) return;
        Access::blockBegin(record) = AcDbHandle();
        Access::blockEnd(record) = AcDbHandle();
        db::createBlockEnds(record);
        mAdded.push_back("BLOCK and ENDBLK of " + narrow(record.name()));
    }

    AcDbDictionary& rootDictionary() {
        if (auto* root = db::peekAs<AcDbDictionary>(mImpl.namedObjects())) return *root;
        ObjectSlot* slot =
            addNew(std::make_unique<AcDbDictionary>(), AcDbHandle(), L"the named-objects dictionary");
        mImpl.setNamedObjects(AcDbObjectId(slot));
        return static_cast<AcDbDictionary&>(*slot->object);
    }

    AcDbDictionary& subDictionary(AcDbDictionary& parent, const wchar_t* name) {
        auto& entries = Access::entries(parent);
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (it->name != name) continue;
            if (auto* d = db::peekAs<AcDbDictionary>(mImpl.idOf(it->handle))) return *d;
            entries.erase(it); // names a missing object
            break;
        }
        ObjectSlot* slot = addNew(std::make_unique<AcDbDictionary>(), parent.getAcDbHandle(),
                                  std::wstring(L"dictionary ") + name);
        entries.push_back({name, slot->handle});
        return static_cast<AcDbDictionary&>(*slot->object);
    }

    // The CLASSES section a file of release 2000 and later has (empty when nothing needs one).
    void classes() {
        auto& sections = mImpl.sectionsForRestore();
        for (const db::RawSection& s : sections)
            if (s.name == L"CLASSES") return;
        sections.insert(sections.begin(), db::RawSection{L"CLASSES", {}});
    }
    void layouts(AcDbDictionary& layoutDict);
    void link(AcDbObjectId recordId, ObjectSlot& layout);
    ObjectSlot* spaceNaming(const std::vector<AcDbObjectId>& spaces, AcDbHandle layout);
    ObjectSlot* newLayout(AcDbDictionary& layoutDict, const std::wstring& name, int tabOrder,
                          const AcDbBlockTableRecord& record);

    AcDbDatabase& mDb;
    db::DatabaseImpl& mImpl;
    std::vector<std::string> mAdded;
};

// A LAYOUT object with the plot settings of a plain sheet: the host does not model layouts;
// it keeps them so that the file is whole.
ObjectSlot* Completion::newLayout(AcDbDictionary& layoutDict, const std::wstring& name,
                                  int tabOrder, const AcDbBlockTableRecord& record) {
    auto layout = std::make_unique<AcDbRawObject>("LAYOUT");
    auto& g = layout->unknownGroups();
    auto add = [&](ZelGroupValue v) { g.push_back({-1, std::move(v)}); };
    add(group(100, L"AcDbPlotSettings"));
    add(group(1));
    add(group(2, L"none_device"));
    add(group(4));
    add(group(6));
    add(intGroup(70, tabOrder == 0 ? 1712 : 688));
    add(intGroup(72, 1));
    add(group(100, L"AcDbLayout"));
    add(group(1, name));
    add(intGroup(70, 1));
    add(intGroup(71, tabOrder));
    add(pointGroup(10, 0, 0, 0, true));
    add(pointGroup(11, 420, 297, 0, true));
    add(pointGroup(12, 0, 0, 0));
    add(pointGroup(14, 0, 0, 0));
    add(pointGroup(15, 0, 0, 0));
    ZelGroupValue owner = group(330);
    owner.integer = int64_t(record.getAcDbHandle().value());
    add(owner);
    ObjectSlot* slot = addNew(std::move(layout), layoutDict.getAcDbHandle(), L"LAYOUT " + name);
    Access::entries(layoutDict).push_back({name, slot->handle});
    return slot;
}

// The name (1) and block record (330) groups of a LAYOUT kept raw, in its AcDbLayout part.
struct LayoutLinks {
    std::wstring name;
    ZelGroupValue* blockRecord = nullptr;
};

LayoutLinks layoutLinks(AcDbObject& layout) {
    LayoutLinks links;
    bool inLayout = false;
    for (auto& u : layout.unknownGroups()) {
        ZelGroupValue& v = u.value;
        if (v.code == 100) inLayout = v.text == L"AcDbLayout";
        if (!inLayout) continue;
        if (v.code == 1 && links.name.empty()) links.name = v.text;
        if (v.code == 330 && !links.blockRecord) links.blockRecord = &v;
    }
    return links;
}

bool hasLayout(const db::DatabaseImpl& impl, const AcDbBlockTableRecord& record) {
    const AcDbObject* current = db::peek(impl.idOf(record.layoutHandle()));
    return current && current->dxfName() == "LAYOUT";
}

// The space whose block record names this layout as its own.
ObjectSlot* Completion::spaceNaming(const std::vector<AcDbObjectId>& spaces, AcDbHandle layout) {
    for (AcDbObjectId id : spaces) {
        auto* record = db::peekAs<AcDbBlockTableRecord>(id);
        if (record && record->layoutHandle() == layout)
            return mImpl.findHandle(record->getAcDbHandle());
    }
    return nullptr;
}

void Completion::link(AcDbObjectId recordId, ObjectSlot& layout) {
    AcDbObjectPointer<AcDbBlockTableRecord> record(recordId, AcDb::kForWrite);
    record->setLayoutHandle(layout.handle);
}

// Layouts of the file whose block record is missing (files of small programs name handles
// that are not there) go to the space of their name; spaces without a layout get one.
void Completion::layouts(AcDbDictionary& layoutDict) {
    std::vector<AcDbObjectId> spaces;
    for (AcDbObjectId id : table(db::DatabaseImpl::kBlock).recordIds()) {
        auto* record = db::peekAs<AcDbBlockTableRecord>(id);
        if (record && record->isLayout()) spaces.push_back(id);
    }
    for (const AcDbDictionary::Entry& e : layoutDict.entries()) {
        ObjectSlot* slot = mImpl.findHandle(e.handle);
        if (!slot || !AcDbRawObject::cast(slot->object.get()) ||
            slot->object->dxfName() != "LAYOUT")
            continue;
        LayoutLinks links = layoutLinks(*slot->object);
        if (!links.blockRecord) continue;
        AcDbObjectId target = mImpl.idOf(AcDbHandle(uint64_t(links.blockRecord->integer)));
        if (auto* record = db::peekAs<AcDbBlockTableRecord>(target)) {
            if (!hasLayout(mImpl, *record)) link(target, *slot);
            continue;
        }
        if (ObjectSlot* owner = spaceNaming(spaces, slot->handle)) {
            links.blockRecord->integer = int64_t(owner->handle.value());
            continue;
        }
        bool model = core::equalsNoCase(links.name, L"Model");
        for (AcDbObjectId id : spaces) {
            auto* record = db::peekAs<AcDbBlockTableRecord>(id);
            if ((id == mDb.modelSpaceId()) != model || hasLayout(mImpl, *record)) continue;
            links.blockRecord->integer = int64_t(record->getAcDbHandle().value());
            link(id, *slot);
            break;
        }
    }
    int paperCount = 0;
    for (AcDbObjectId id : spaces) {
        auto* record = db::peekAs<AcDbBlockTableRecord>(id);
        bool model = id == mDb.modelSpaceId();
        if (!model) ++paperCount;
        if (hasLayout(mImpl, *record)) continue;
        std::wstring name = model ? L"Model" : L"Layout" + std::to_wstring(paperCount);
        while (layoutDict.has(name.c_str())) name += L"+";
        link(id, *newLayout(layoutDict, name, model ? 0 : paperCount, *record));
    }
}

} // namespace

void completeDrawing(AcDbDatabase& db, std::vector<std::string>& warnings) {
    std::wstring version = db.impl().header().text(L"$ACADVER", L"AC1009");
    std::vector<std::string> added = Completion(db).run();
    // Files of release 2000 and later should have had every part; older ones never do.
    if (added.empty() || version < L"AC1015") return;
    std::string list;
    for (const std::string& a : added) list += (list.empty() ? "" : ", ") + a;
    warnings.push_back("the drawing lacked parts a file must have; added: " + list);
}

} // namespace zel::dxf
