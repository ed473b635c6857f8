// BLOCK, INSERT and PURGE: block definitions made from the drawing or from drawing files,
// placed with their scale, rotation and attributes, and removed when nothing refers to them.
#include "commands/ask.h"
#include "commands/blocks.h"
#include "commands/entities.h"
#include "commands/hostcmds.h"
#include "commands/selecting.h"
#include "core/text.h"
#include "core/wildcard.h"
#include "db/database_impl.h"
#include "dxf/dxf.h"

#include <filesystem>
#include <set>

namespace zel::commands {

namespace {

namespace fs = std::filesystem;

// ---- BLOCK ------------------------------------------------------------------------------

// The entities moved into the definition: copies appended to it, the originals erased.
void moveIntoBlock(AcDbObjectId recordId, const editor::EntityIds& ids) {
    for (AcDbObjectId id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) continue;
        if (appendCopyToBlock(recordId, *ent)) ent->erase();
        ent->close();
    }
}

void blockCommand(Engine& e) {
    Ask ask(e.editor());
    std::wstring name = core::trim(ask.string(L"ブロック名を入力:").text);
    if (name.empty()) return;
    if (!AcDbSymbolTableRecord::isValidName(name) || name[0] == L'*') {
        e.editor().print(L"\nブロック名が無効です。");
        return;
    }
    if (!findBlock(e.database(), name).isNull()) {
        Answer again =
            ask.keyword(L"ブロック " + inQuotes(name) +
                            L" は既に存在します。再定義しますか? [はい(Y)/いいえ(N)] <N>:",
                        L"Yes No");
        if (!again.keyword(L"Yes")) return;
        if (blockIsReferenced(e.database(), name))
            e.editor().print(L"\nブロックを再定義しました。");
    }
    AcGePoint3d base = ask.point(L"挿入基点を指定:", {}, RSG_NONULL).point;
    editor::EntityIds ids = selectForCommand(e);
    if (ids.empty()) return;
    AcDbObjectId record = defineBlock(e.database(), name, base);
    if (record.isNull()) {
        e.editor().print(L"\nブロックを作成できません。");
        return;
    }
    moveIntoBlock(record, ids);
}

// ---- INSERT -----------------------------------------------------------------------------

// A typed name that is a drawing file: the block it becomes is named after the file.
bool looksLikePath(const std::wstring& text) {
    return text.find_first_of(L"/\\") != std::wstring::npos ||
           core::toLower(fs::path(text).extension().wstring()) == L".dxf";
}

// The block to insert, imported from a file when the name is a path; null when told why not.
AcDbObjectId blockToInsert(Engine& e, const std::wstring& typed) {
    if (!looksLikePath(typed)) {
        AcDbObjectId id = findBlock(e.database(), typed);
        if (id.isNull())
            e.editor().print(L"\nブロック " + inQuotes(typed) + L" が見つかりません。");
        return id;
    }
    fs::path path(typed);
    if (path.extension().empty()) path += ".dxf";
    dxf::ReadResult read = dxf::readDxf(path.string());
    if (!read.ok()) {
        e.editor().print(L"\n" + path.wstring() + L" を読めません: " +
                         core::utf8ToWide(read.error));
        return {};
    }
    std::wstring name = path.stem().wstring();
    if (!importDrawingAsBlock(e.database(), *read.database, name)) {
        e.editor().print(L"\n" + path.wstring() + L" をブロックにできません。");
        return {};
    }
    return findBlock(e.database(), name);
}

struct Placement {
    std::optional<double> sx, sy, sz, rotation;
};

// Options typed before the point preset the scale and rotation; returns the point.
AcGePoint3d askInsertionPoint(Ask& ask, Placement& p) {
    int nonZero = RSG_NONULL | RSG_NOZERO;
    for (;;) {
        Answer a = ask.point(L"挿入位置を指定 または [尺度(S)/X/Y/Z/回転(R)]:", {}, RSG_NONULL,
                             L"Scale X Y Z Rotate");
        if (a.ok()) return a.point;
        if (a.keyword(L"Scale"))
            p.sx = p.sy = p.sz = ask.real(L"XYZ 方向の尺度を指定:", nonZero).real;
        if (a.keyword(L"X")) p.sx = ask.real(L"X 方向の尺度を指定:", nonZero).real;
        if (a.keyword(L"Y")) p.sy = ask.real(L"Y 方向の尺度を指定:", nonZero).real;
        if (a.keyword(L"Z")) p.sz = ask.real(L"Z 方向の尺度を指定:", nonZero).real;
        if (a.keyword(L"Rotate")) p.rotation = ask.angle(L"回転角度を指定:", {}, RSG_NONULL).real;
    }
}

// The values not preset, asked after the point.
void askRemaining(Ask& ask, Placement& p, const AcGePoint3d& at) {
    if (!p.sx) {
        Answer x = ask.real(L"X 方向の尺度を指定 <1>:", RSG_NOZERO);
        p.sx = x.none() ? 1.0 : x.real;
    }
    if (!p.sy) {
        Answer y = ask.real(L"Y 方向の尺度を指定 <X 方向の尺度を使用>:", RSG_NOZERO);
        p.sy = y.none() ? *p.sx : y.real;
    }
    if (!p.sz) p.sz = *p.sx;
    if (!p.rotation) {
        Answer r = ask.angle(L"回転角度を指定 <0>:", at);
        p.rotation = r.none() ? 0.0 : r.real;
    }
}

// The attributes of the definitions in the block, with the values the user gives.
void addAttributes(Ask& ask, AcDbObjectId refId, AcDbObjectId blockId) {
    const auto* block = db::peekAs<AcDbBlockTableRecord>(blockId);
    if (!block) return;
    std::vector<AcDbObjectId> ids = block->entityIds();
    for (AcDbObjectId id : ids) {
        const auto* def = db::peekAs<AcDbAttributeDefinition>(id);
        if (!def || id.isErased() || def->isConstant()) continue;
        std::wstring prompt = *def->promptConst() ? def->promptConst() : def->tagConst();
        std::wstring dflt = def->textStringConst();
        Answer v = ask.string(prompt + L" <" + dflt + L">:", true);
        AcDbBlockReference* ref = nullptr;
        if (acdbOpenObject(ref, refId, AcDb::kForWrite) != Acad::eOk) return;
        auto attr = std::make_unique<AcDbAttribute>();
        attr->setAttributeFromBlock(def, ref->blockTransform());
        attr->setTextString(v.text.empty() ? dflt.c_str() : v.text.c_str());
        if (ref->appendAttribute(attr.get()) == Acad::eOk) attr.release()->close();
        ref->close();
    }
}

void insertCommand(Engine& e) {
    Ask ask(e.editor());
    std::wstring typed = core::trim(ask.string(L"ブロック名を入力:", true).text);
    if (typed.empty()) return;
    AcDbObjectId blockId = blockToInsert(e, typed);
    if (blockId.isNull()) return;
    Placement p;
    AcGePoint3d at = askInsertionPoint(ask, p);
    askRemaining(ask, p, at);
    auto ref = std::make_unique<AcDbBlockReference>(at, blockId);
    if (ref->setScaleFactors(AcGeScale3d(*p.sx, *p.sy, *p.sz)) != Acad::eOk) {
        e.editor().print(L"\n尺度に 0 は使えません。");
        return;
    }
    ref->setRotation(*p.rotation);
    AcDbObjectId refId = appendEntity(e.database(), std::move(ref));
    if (refId.isNull()) return e.editor().print(L"\nブロックを挿入できません。");
    addAttributes(ask, refId, blockId);
}

// ---- PURGE ------------------------------------------------------------------------------

bool matches(const std::wstring& name, const std::wstring& pattern) {
    return core::wildcardMatch(core::toUpper(name), core::toUpper(pattern));
}

// Blocks matching the pattern that nothing refers to (the spaces and anonymous blocks of
// dimensions stay: the drawing owns them).
std::vector<std::wstring> purgeableBlocks(AcDbDatabase& db, const std::wstring& pattern) {
    AcDbBlockTable* table = nullptr;
    if (db.getBlockTable(table, AcDb::kForRead) != Acad::eOk) return {};
    std::vector<AcDbObjectId> ids = table->recordIds();
    table->close();
    std::vector<std::wstring> names;
    for (AcDbObjectId id : ids) {
        const auto* r = db::peekAs<AcDbBlockTableRecord>(id);
        if (!r || id.isErased() || r->isLayout() || r->name().starts_with(L"*")) continue;
        if (matches(r->name(), pattern) && !blockIsReferenced(db, r->name()))
            names.push_back(r->name());
    }
    return names;
}

// Names of a table that the drawing uses: by its entities (in every block), by its layers
// (linetypes), as the current value, and the names every drawing keeps.
std::set<std::wstring> usedNames(AcDbDatabase& db, db::DatabaseImpl::Table kind) {
    using T = db::DatabaseImpl::Table;
    std::set<std::wstring> used;
    auto use = [&](const std::wstring& n) { used.insert(core::toUpper(n)); };
    auto recordName = [](AcDbObjectId id) {
        const auto* r = db::peekAs<AcDbSymbolTableRecord>(id);
        return r ? r->name() : std::wstring();
    };
    for (const wchar_t* kept :
         {L"0", L"DEFPOINTS", L"CONTINUOUS", L"BYLAYER", L"BYBLOCK", L"STANDARD"})
        use(kept);
    use(recordName(kind == T::kLayer      ? db.clayer()
                   : kind == T::kLinetype ? db.celtype()
                                          : db.textstyle()));
    forEachEntityOf(db, [&](const AcDbEntity& ent) {
        if (kind == T::kLayer) use(ent.layer());
        if (kind == T::kLinetype) use(ent.linetype());
        if (kind != T::kStyle) return;
        if (const auto* t = AcDbText::cast(&ent)) use(t->textStyleName());
        if (const auto* m = AcDbMText::cast(&ent)) use(m->textStyleName());
    });
    if (kind == T::kLinetype)
        for (AcDbObjectId id : liveRecords(db, T::kLayer))
            if (const auto* l = db::peekAs<AcDbLayerTableRecord>(id)) use(l->linetypeName());
    return used;
}

template <db::DatabaseImpl::Table Kind>
std::vector<std::wstring> purgeableRecords(AcDbDatabase& db, const std::wstring& pattern) {
    std::set<std::wstring> used = usedNames(db, Kind);
    std::vector<std::wstring> names;
    for (AcDbObjectId id : liveRecords(db, Kind)) {
        const auto* r = db::peekAs<AcDbSymbolTableRecord>(id);
        if (r && matches(r->name(), pattern) && !used.count(core::toUpper(r->name())))
            names.push_back(r->name());
    }
    return names;
}

template <db::DatabaseImpl::Table Kind>
bool eraseRecord(AcDbDatabase& db, const std::wstring& name) {
    for (AcDbObjectId id : liveRecords(db, Kind)) {
        const auto* r = db::peekAs<AcDbSymbolTableRecord>(id);
        if (!r || core::toUpper(r->name()) != core::toUpper(name)) continue;
        AcDbObject* record = nullptr;
        if (acdbOpenObject(record, id, AcDb::kForWrite) != Acad::eOk) return false;
        Acad::ErrorStatus es = record->erase();
        record->close();
        return es == Acad::eOk;
    }
    return false;
}

struct PurgeKind {
    const wchar_t* keyword;
    const wchar_t* label;
    std::vector<std::wstring> (*purgeable)(AcDbDatabase&, const std::wstring& pattern);
    bool (*erase)(AcDbDatabase&, const std::wstring& name);
};

using Table = db::DatabaseImpl::Table;
const PurgeKind kPurgeKinds[] = {
    {L"Blocks", L"ブロック", purgeableBlocks, eraseRecord<Table::kBlock>},
    {L"LAyers", L"画層", purgeableRecords<Table::kLayer>, eraseRecord<Table::kLayer>},
    {L"LTypes", L"線種", purgeableRecords<Table::kLinetype>, eraseRecord<Table::kLinetype>},
    {L"STyles", L"文字スタイル", purgeableRecords<Table::kStyle>, eraseRecord<Table::kStyle>},
};

void purgeKind(Engine& e, Ask& ask, const PurgeKind& kind) {
    Answer pattern = ask.string(L"名前削除する名前を入力 <*>:");
    std::wstring names = pattern.text.empty() ? L"*" : pattern.text;
    Answer verify = ask.keyword(L"各名前を確認しますか? [はい(Y)/いいえ(N)] <Y>:", L"Yes No");
    bool asking = !verify.keyword(L"No");
    int purged = 0;
    // Purging one block can free the blocks it referred to: repeat until nothing changes.
    for (bool more = true; more;) {
        more = false;
        for (const std::wstring& name : kind.purgeable(e.database(), names)) {
            if (asking) {
                Answer one = ask.keyword(std::wstring(kind.label) + L" " + inQuotes(name) +
                                             L" を名前削除しますか? [はい(Y)/いいえ(N)] <N>:",
                                         L"Yes No");
                if (!one.keyword(L"Yes")) continue;
            }
            if (!kind.erase(e.database(), name)) continue;
            e.editor().print(L"\n" + std::wstring(kind.label) + L" " + inQuotes(name) +
                             L" を名前削除中。");
            ++purged;
            more = !asking; // asked once per name is enough
        }
    }
    if (purged == 0) {
        e.editor().print(L"\n名前削除する未参照の" + std::wstring(kind.label) + L"はありません。");
        return;
    }
    e.editor().print(L"\n" + std::to_wstring(purged) + L" 個の" + kind.label +
                     L"を名前削除しました。");
}

void purgeCommand(Engine& e) {
    Ask ask(e.editor());
    Answer kind = ask.keyword(L"名前削除する未使用オブジェクトのタイプを入力 "
                              L"[ブロック(B)/画層(LA)/線種(LT)/文字スタイル(ST)]:",
                              L"Blocks LAyers LTypes STyles", RSG_NONULL);
    for (const PurgeKind& k : kPurgeKinds)
        if (kind.keyword(k.keyword)) return purgeKind(e, ask, k);
}

} // namespace

void registerBlockCommands(Engine& e) {
    addHostCommand(e, L"BLOCK", blockCommand);
    addHostCommand(e, L"-BLOCK", blockCommand);
    addHostCommand(e, L"INSERT", insertCommand);
    addHostCommand(e, L"-INSERT", insertCommand);
    addHostCommand(e, L"PURGE", purgeCommand);
    addHostCommand(e, L"-PURGE", purgeCommand);
}

} // namespace zel::commands
