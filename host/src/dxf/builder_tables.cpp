// Reading TABLES and BLOCKS: tables and their records, block records with their BLOCK and
// ENDBLK, and the block records release 12 files leave out.
#include "core/text.h"
#include "db/access.h"
#include "db/blocks.h"
#include "dxf/builder.h"
#include "dxf/tablekinds.h"

#include <algorithm>
#include <cwchar>

namespace zel::dxf {
namespace {

using db::Access;
using db::ObjectSlot;

std::wstring wide(std::string_view s) {
    return std::wstring(s.begin(), s.end());
}

std::string narrowText(std::wstring_view s) {
    std::string out;
    for (wchar_t c : s)
        out += c >= 0x20 && c < 0x7f ? char(c) : '?';
    return out;
}

std::string nameOf(const Record& r) {
    for (const ZelGroupValue& g : r.groups) {
        if (g.code != 2) continue;
        std::string out;
        for (wchar_t c : g.text)
            out += c > 0 && c < 0x80 ? char(c) : '?';
        return out;
    }
    return {};
}

ZelGroupValue typeGroup(std::string_view type) {
    ZelGroupValue v;
    v.text = wide(type);
    return v;
}

// Release 12 names the two spaces "$MODEL_SPACE" and "$PAPER_SPACE".
std::wstring spaceName(const std::wstring& name) {
    std::wstring upper = core::toUpper(name);
    if (upper == L"$MODEL_SPACE" || upper == L"*MODEL_SPACE") return ACDB_MODEL_SPACE;
    if (upper == L"$PAPER_SPACE" || upper == L"*PAPER_SPACE") return ACDB_PAPER_SPACE;
    return name;
}

// A valid record name from a name another program wrote: characters names may not have
// become '_' (a leading '*' of system names stays).
std::wstring validName(const std::wstring& name) {
    std::wstring out = name.substr(0, 255);
    for (size_t i = 0; i < out.size(); ++i) {
        bool systemMark = i == 0 && out[i] == L'*' && out.size() > 1;
        if (!systemMark && (out[i] < 32 || std::wcschr(L"<>/\\\":;?*|,=`", out[i]))) out[i] = L'_';
    }
    return out.empty() ? L"_" : out;
}

} // namespace

// A name the record could not take (not valid) is kept by the record as an unknown group 2;
// it becomes a valid name, so that the record keeps one.
void DatabaseBuilder::repairName(AcDbSymbolTableRecord& record, const Record& r) {
    if (!record.name().empty()) return;
    auto& unknown = record.unknownGroups();
    auto bad = std::find_if(unknown.begin(), unknown.end(),
                            [](const AcDbObject::UnknownGroup& u) { return u.value.code == 2; });
    std::wstring wanted = bad != unknown.end() ? bad->value.text : std::wstring();
    if (bad != unknown.end()) unknown.erase(bad);
    std::wstring name = validName(wanted);
    record.setName(name.c_str());
    warn(where(r) + ": the name '" + narrowText(wanted) + "' of " + r.type +
         " is not valid; it was read as '" + narrowText(name) + "'");
}

bool DatabaseBuilder::tableStart(const Record& r) {
    mTableName = nameOf(r);
    const TableKind* kind = findTableKind(mTableName);
    if (!kind) {
        auto& sections = mImpl.sectionsForRestore();
        sections.push_back(db::RawSection{std::wstring(kKeptTablePrefix) + wide(mTableName), {}});
        mKeptTable = &sections.back();
        mKeptTable->groups.push_back(typeGroup("TABLE"));
        mKeptTable->groups.insert(mKeptTable->groups.end(), r.groups.begin(), r.groups.end());
        return true;
    }
    if (ObjectSlot* existing = mImpl.tableId(kind->table).slot()) {
        warn(where(r) + ": a second " + mTableName + " table; its records join the first");
        mTable = existing;
        return true;
    }
    std::unique_ptr<AcDbObject> table = db::createSymbolTable(kind->name);
    AcDbHandle wanted = read(*table, r, 1); // the 2 group (the name) is the table's kind
    mTable = place(std::move(table), wanted, AcDbHandle(), r);
    mImpl.setTableId(kind->table, AcDbObjectId(mTable));
    return true;
}

bool DatabaseBuilder::tableRecord(const Record& r) {
    if (mKeptTable) {
        mKeptTable->groups.push_back(typeGroup(r.type));
        mKeptTable->groups.insert(mKeptTable->groups.end(), r.groups.begin(), r.groups.end());
        return true;
    }
    if (r.type != mTableName)
        return mRecords.fail(r.where, "expected 0/" + mTableName + " in the " + mTableName +
                                          " table, found 0/" + r.type);
    auto object = create(r.type, false, &r.groups);
    if (!AcDbSymbolTableRecord::cast(object.get()))
        return mRecords.fail(r.where, "the " + mTableName + " table holds no records");
    AcDbHandle wanted = read(*object, r, 0);
    repairName(static_cast<AcDbSymbolTableRecord&>(*object), r);
    ObjectSlot* slot = place(std::move(object), wanted, mTable->handle, r);
    Access::records(*static_cast<AcDbSymbolTable*>(mTable->object.get()))
        .push_back(AcDbObjectId(slot));
    if (auto* block = AcDbBlockTableRecord::cast(slot->object.get()))
        mBlocksByName.emplace(core::toUpper(spaceName(block->name())), slot);
    return true;
}

bool DatabaseBuilder::tableEnd() {
    if (mKeptTable) mKeptTable->groups.push_back(typeGroup("ENDTAB"));
    mKeptTable = nullptr;
    mTable = nullptr;
    return true;
}

// ---- blocks ------------------------------------------------------------------------------

ObjectSlot* DatabaseBuilder::newBlockRecord(const std::wstring& name) {
    AcDbObjectId tableId = mImpl.tableId(db::DatabaseImpl::kBlock);
    if (tableId.isNull()) {
        ObjectSlot* table = mImpl.add(std::make_unique<AcDbBlockTable>());
        table->object->close();
        tableId = AcDbObjectId(table);
        mImpl.setTableId(db::DatabaseImpl::kBlock, tableId);
    }
    auto record = std::make_unique<AcDbBlockTableRecord>();
    record->setName(validName(name).c_str());
    record->setOwnerHandle(tableId.slot()->handle);
    ObjectSlot* slot = mImpl.add(std::move(record));
    slot->object->close();
    Access::records(*static_cast<AcDbSymbolTable*>(tableId.slot()->object.get()))
        .push_back(AcDbObjectId(slot));
    mBlocksByName.emplace(core::toUpper(name), slot);
    return slot;
}

ObjectSlot* DatabaseBuilder::spaceFor(bool paper) {
    ObjectSlot*& cached = mSpaces[paper ? 1 : 0];
    if (cached) return cached;
    std::wstring name = paper ? ACDB_PAPER_SPACE : ACDB_MODEL_SPACE;
    auto it = mBlocksByName.find(core::toUpper(name));
    cached = it != mBlocksByName.end() ? it->second : newBlockRecord(name);
    return cached;
}

DatabaseBuilder::Space DatabaseBuilder::spaceOf(const ObjectSlot* block) {
    if (block == mLastOwner) return mLastOwnerSpace;
    const std::wstring& name =
        static_cast<const AcDbBlockTableRecord*>(block->object.get())->name();
    mLastOwner = block;
    mLastOwnerSpace = core::equalsNoCase(name, ACDB_MODEL_SPACE)   ? Space::Model
                      : core::equalsNoCase(name, ACDB_PAPER_SPACE) ? Space::Paper
                                                                   : Space::None;
    return mLastOwnerSpace;
}

ObjectSlot* DatabaseBuilder::blockRecordFor(const AcDbBlockBegin& begin, const Record& r) {
    ObjectSlot* byOwner = mImpl.findHandle(begin.ownerHandle());
    ObjectSlot* found = nullptr;
    if (byOwner && AcDbBlockTableRecord::cast(byOwner->object.get())) {
        found = byOwner;
    } else {
        auto it = mBlocksByName.find(core::toUpper(spaceName(begin.fileData().name)));
        if (it != mBlocksByName.end()) found = it->second;
    }
    auto* record = found ? static_cast<AcDbBlockTableRecord*>(found->object.get()) : nullptr;
    if (record && Access::blockBegin(*record).isNull()) return found;
    std::wstring name = spaceName(begin.fileData().name);
    if (record) {
        warn(where(r) + ": a second block named " + nameOf(r) + "; it is kept as another one");
        return newBlockRecord(name); // the name keeps finding the first one
    }
    return newBlockRecord(name);
}

bool DatabaseBuilder::blockStart(const Record& r) {
    auto object = create("BLOCK", true);
    auto* begin = AcDbBlockBegin::cast(object.get());
    if (!begin) return mRecords.fail(r.where, "the host has no kind for BLOCK");
    AcDbHandle wanted = read(*begin, r, 0);
    const AcDbBlockBegin::Data& data = begin->fileData();
    if (data.name.empty()) return mRecords.fail(r.where, "expected 2/<block name> in 0/BLOCK");
    ObjectSlot* recordSlot = blockRecordFor(*begin, r);
    mBlockBegin = AcDbObjectId(place(std::move(object), wanted, recordSlot->handle, r));
    mBlock = recordSlot;
    return true;
}

bool DatabaseBuilder::blockEnd(const Record& r) {
    closeSequence();
    auto object = create("ENDBLK", true);
    if (!AcDbBlockEnd::cast(object.get()))
        return mRecords.fail(r.where, "the host has no kind for ENDBLK");
    AcDbHandle wanted = read(*object, r, 0);
    ObjectSlot* slot = place(std::move(object), wanted, mBlock->handle, r);
    auto* record = static_cast<AcDbBlockTableRecord*>(mBlock->object.get());
    db::attachBlockEnds(*record, mBlockBegin, AcDbObjectId(slot));
    mBlock = nullptr;
    return true;
}

} // namespace zel::dxf
