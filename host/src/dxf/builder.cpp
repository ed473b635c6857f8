#include "dxf/builder.h"

#include "core/text.h"
#include "db/access.h"
#include "db/schema.h"
#include "dxf/tablekinds.h"

#include <cassert>

namespace zel::dxf {
namespace {

using db::Access;
using db::ObjectSlot;

std::wstring wide(std::string_view s) {
    return std::wstring(s.begin(), s.end());
}

std::string narrow(std::wstring_view s) {
    std::string out;
    for (wchar_t c : s)
        out += c > 0 && c < 0x80 ? char(c) : '?';
    return out;
}

std::string hex(AcDbHandle h) {
    return narrow(h.text());
}

ZelGroupValue typeGroup(const std::string& type) {
    ZelGroupValue v;
    v.code = 0;
    v.text = wide(type);
    return v;
}

// The handle a record asks for with an explicit group that is empty or zero.
bool hasEmptyHandle(const Record& r) {
    int16_t code = r.type == "DIMSTYLE" ? 105 : 5;
    for (const ZelGroupValue& g : r.groups) {
        if (g.code == 100) return false; // handles come before the first subclass marker
        if (g.code == code && g.integer == 0) return true;
    }
    return false;
}

} // namespace

DatabaseBuilder::DatabaseBuilder(AcDbDatabase& db, RecordReader& records)
    : mDb(db), mImpl(db.impl()), mRecords(records) {
    // The file brings its own tables and dictionaries, with their handles: the containers
    // of an empty database are removed so that no handle of the file is taken.
    std::vector<ObjectSlot*> prebuilt;
    mImpl.forEachSlot([&](ObjectSlot& s) {
        if (s.alive) prebuilt.push_back(&s);
    });
    for (ObjectSlot* s : prebuilt)
        mImpl.kill(s);
    for (int t = 0; t < db::DatabaseImpl::kTableCount; ++t)
        mImpl.setTableId(db::DatabaseImpl::Table(t), AcDbObjectId());
    mImpl.setNamedObjects(AcDbObjectId());
    mImpl.setHandseed(1);
}

bool DatabaseBuilder::take(Role role, const std::string& section, Record& r) {
    switch (role) {
    case Role::Header:
        return header(r);
    case Role::SectionStart:
    case Role::Kept:
    case Role::SectionEnd:
        return keptRecord(role, section, r);
    case Role::TableStart:
        return tableStart(r);
    case Role::TableRecord:
        return tableRecord(r);
    case Role::TableEnd:
        return tableEnd();
    case Role::BlockStart:
        return blockStart(r);
    case Role::BlockEnd:
        return blockEnd(r);
    case Role::Entity:
        return entity(section, r);
    case Role::SubEntity:
        return subEntity(section, r);
    case Role::Object:
        return object(r);
    }
    return true;
}

bool DatabaseBuilder::header(const Record& r) {
    db::HeaderVars& vars = mImpl.headerForRestore();
    std::wstring name;
    std::vector<ZelGroupValue> values;
    auto flush = [&] {
        if (!name.empty()) vars.set(name, std::move(values));
        values.clear();
    };
    for (size_t i = 1; i < r.groups.size(); ++i) { // the first group is 2 HEADER
        const ZelGroupValue& g = r.groups[i];
        if (g.code == 9) {
            flush();
            name = g.text;
            continue;
        }
        if (name.empty()) {
            warn(mRecords.describe(r.wheres[i]) + ": a value before the first variable name of "
                                                  "the HEADER section was left out");
            continue;
        }
        values.push_back(g);
    }
    flush();
    // Handles given to objects without one start above every handle of the file.
    uint64_t seed = uint64_t(vars.integer(L"$HANDSEED", 1));
    if (seed > mImpl.handseed()) mImpl.setHandseed(seed);
    return true;
}

bool DatabaseBuilder::keptRecord(Role role, const std::string& section, const Record& r) {
    auto& sections = mImpl.sectionsForRestore();
    if (role == Role::SectionStart) {
        sections.push_back(db::RawSection{wide(section), {}});
        return true;
    }
    if (role == Role::SectionEnd || sections.empty()) return true;
    auto& groups = sections.back().groups;
    groups.push_back(typeGroup(r.type));
    groups.insert(groups.end(), r.groups.begin(), r.groups.end());
    return true;
}

// ---- objects -----------------------------------------------------------------------------

std::unique_ptr<AcDbObject>
DatabaseBuilder::create(const std::string& type, bool entity,
                        const std::vector<ZelGroupValue>* groups) const {
    const db::ObjectSchema* schema = db::SchemaRegistry::instance().find(type);
    // Kinds that share a DXF type (DIMENSION, POLYLINE ...) are told apart by the groups.
    if (schema && groups) schema = &schema->forGroups(*groups);
    if (schema && schema->isEntity == entity && schema->create) return schema->create();
    if (entity) return std::make_unique<AcDbRawEntity>(type);
    return std::make_unique<AcDbRawObject>(type);
}

AcDbHandle DatabaseBuilder::read(AcDbObject& object, const Record& r, size_t first) const {
    db::GroupReader reader(object);
    for (size_t i = first; i < r.groups.size(); ++i)
        reader.take(r.groups[i]);
    reader.finish();
    return reader.handle();
}

ObjectSlot* DatabaseBuilder::place(std::unique_ptr<AcDbObject> object, AcDbHandle wanted,
                                   AcDbHandle owner, const Record& r) {
    if (!owner.isNull()) object->setOwnerHandle(owner);
    // The file gives every property of an entity (absent groups have their DXF defaults):
    // copies of it keep them instead of taking the drawing's current ones.
    if (auto* e = AcDbEntity::cast(object.get())) db::Access::markPropertiesSet(*e);
    size_t before = mImpl.handleWarnings().size();
    ObjectSlot* slot = mImpl.add(std::move(object), wanted);
    slot->object->close();
    noteHandle(r, slot, before);
    return slot;
}

void DatabaseBuilder::noteHandle(const Record& r, ObjectSlot* slot, size_t warningsBefore) {
    const auto& handleWarnings = mImpl.handleWarnings();
    if (handleWarnings.size() > warningsBefore) {
        const db::HandleWarning& w = handleWarnings.back();
        warn(where(r) + ": the handle " + hex(w.wanted) + " of " + r.type +
             " is already taken; the object got " + hex(w.given));
    } else if (hasEmptyHandle(r)) {
        warn(where(r) + ": " + r.type + " has an empty handle; it got " + hex(slot->handle));
    }
}

bool DatabaseBuilder::object(const Record& r) {
    auto obj = create(r.type, false, &r.groups);
    AcDbHandle wanted = read(*obj, r, 0);
    bool first = mFirstObject;
    mFirstObject = false;
    ObjectSlot* slot = place(std::move(obj), wanted, AcDbHandle(), r);
    // The first object of the section is the dictionary of named objects.
    if (first && AcDbDictionary::cast(slot->object.get()))
        mImpl.setNamedObjects(AcDbObjectId(slot));
    return true;
}

} // namespace zel::dxf
