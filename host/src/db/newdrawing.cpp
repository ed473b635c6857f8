// The contents of a new drawing: tables with their standard records, model and paper space,
// the named-objects dictionary (groups, layouts) and the header variables. Metric defaults.
#include "db/access.h"
#include "db/blocks.h"
#include "db/database_impl.h"

namespace zel::db {

namespace {

template <class T>
AcDbObjectId addClosed(AcDbDatabase& db, std::unique_ptr<T> object, AcDbHandle owner = {}) {
    object->setOwnerHandle(owner);
    ObjectSlot* s = db.impl().add(std::move(object));
    s->object->close();
    return AcDbObjectId(s);
}

// Adds a record to a table (the table need not be open); returns the record.
template <class R> R* addRecord(AcDbDatabase& db, DatabaseImpl::Table table, const wchar_t* name) {
    auto* t = peekAs<AcDbSymbolTable>(db.impl().tableId(table));
    auto record = std::make_unique<R>();
    Access::setName(*record, name);
    R* raw = record.get();
    AcDbObjectId id = addClosed(db, std::move(record), t->getAcDbHandle());
    Access::records(*t).push_back(id);
    if (auto* btr = AcDbBlockTableRecord::cast(raw)) createBlockEnds(*btr);
    return raw;
}

ZelGroupValue g(int16_t code) {
    ZelGroupValue v;
    v.code = code;
    return v;
}
ZelGroupValue gText(int16_t code, const wchar_t* text) {
    ZelGroupValue v = g(code);
    v.text = text;
    return v;
}
ZelGroupValue gInt(int16_t code, int64_t value) {
    ZelGroupValue v = g(code);
    v.integer = value;
    return v;
}
ZelGroupValue gReal(int16_t code, double value) {
    ZelGroupValue v = g(code);
    v.real = value;
    return v;
}
ZelGroupValue gPoint(int16_t code, double x, double y, double z = 0, bool flat = false) {
    ZelGroupValue v = g(code);
    v.point = AcGePoint3d(x, y, z);
    v.flat = flat;
    return v;
}

// A LAYOUT object with the groups other programs need to accept it.
AcDbObjectId addLayout(AcDbDatabase& db, AcDbObjectId dictId, const wchar_t* name, int tab,
                       AcDbBlockTableRecord& block) {
    auto layout = std::make_unique<AcDbRawObject>("LAYOUT");
    auto& u = layout->unknownGroups();
    auto add = [&](ZelGroupValue v) { u.push_back({-1, std::move(v)}); };
    add(gText(100, L"AcDbPlotSettings"));
    add(gText(1, L""));
    add(gText(4, L"ISO_A3_(420.00_x_297.00_MM)"));
    add(gText(6, L""));
    for (int16_t code : {40, 41, 42, 43, 44, 45, 46, 47, 48, 49})
        add(gReal(code, 0));
    add(gReal(140, 0));
    add(gReal(141, 0));
    add(gReal(142, 1));
    add(gReal(143, 1));
    add(gInt(70, tab == 0 ? 1712 : 688));
    add(gInt(72, 1));
    add(gInt(73, 0));
    add(gInt(74, 5));
    add(gText(7, L""));
    add(gInt(75, 16));
    add(gInt(76, 0));
    add(gInt(77, 2));
    add(gInt(78, 300));
    add(gReal(147, 1));
    add(gReal(148, 0));
    add(gReal(149, 0));
    add(gText(100, L"AcDbLayout"));
    add(gText(1, name));
    add(gInt(70, 1));
    add(gInt(71, tab));
    add(gPoint(10, 0, 0, 0, true));
    add(gPoint(11, 420, 297, 0, true));
    add(gPoint(12, 0, 0, 0));
    add(gPoint(14, 0, 0, 0));
    add(gPoint(15, 420, 297, 0));
    add(gReal(146, 0));
    add(gPoint(13, 0, 0, 0));
    add(gPoint(16, 1, 0, 0));
    add(gPoint(17, 0, 1, 0));
    add(gInt(76, 0));
    add(gInt(330, int64_t(block.getAcDbHandle().value())));
    layout->reactorHandles().push_back(peek(dictId)->getAcDbHandle());
    AcDbObjectId id = addClosed(db, std::move(layout), peek(dictId)->getAcDbHandle());
    Access::layoutHandle(block) = id.handle();
    Access::entries(*peekAs<AcDbDictionary>(dictId)).push_back({name, id.handle()});
    return id;
}

AcDbObjectId addDictionary(AcDbDatabase& db, AcDbObjectId parent, const wchar_t* name) {
    auto* nod = peekAs<AcDbDictionary>(parent);
    AcDbObjectId id = addClosed(db, std::make_unique<AcDbDictionary>(), nod->getAcDbHandle());
    Access::entries(*nod).push_back({name, id.handle()});
    return id;
}

void addHeader(AcDbDatabase& db) {
    DatabaseImpl& impl = db.impl();
    auto set = [&](const wchar_t* name, ZelGroupValue v) { impl.setHeader(name, {v}); };
    set(L"$ACADVER", gText(1, L"AC1027"));
    set(L"$DWGCODEPAGE", gText(3, L"ANSI_932"));
    set(L"$INSBASE", gPoint(10, 0, 0, 0));
    set(L"$EXTMIN", gPoint(10, 1e20, 1e20, 1e20));
    set(L"$EXTMAX", gPoint(10, -1e20, -1e20, -1e20));
    set(L"$LIMMIN", gPoint(10, 0, 0, 0, true));
    set(L"$LIMMAX", gPoint(10, 420, 297, 0, true));
    set(L"$ORTHOMODE", gInt(70, 0));
    set(L"$LTSCALE", gReal(40, 1));
    set(L"$TEXTSIZE", gReal(40, 2.5));
    set(L"$TEXTSTYLE", gText(7, L"Standard"));
    set(L"$CLAYER", gText(8, L"0"));
    set(L"$CELTYPE", gText(6, L"ByLayer"));
    set(L"$CECOLOR", gInt(62, 256));
    set(L"$CELTSCALE", gReal(40, 1));
    set(L"$CELWEIGHT", gInt(370, -1));
    set(L"$DIMSTYLE", gText(2, L"Standard"));
    set(L"$DIMZIN", gInt(70, 8));
    set(L"$LUNITS", gInt(70, 2));
    set(L"$LUPREC", gInt(70, 4));
    set(L"$AUNITS", gInt(70, 0));
    set(L"$AUPREC", gInt(70, 0));
    set(L"$ANGBASE", gReal(50, 0));
    set(L"$ANGDIR", gInt(70, 0));
    set(L"$PDMODE", gInt(70, 0));
    set(L"$PDSIZE", gReal(40, 0));
    set(L"$PLINEWID", gReal(40, 0));
    set(L"$FILLETRAD", gReal(40, 0));
    set(L"$CHAMFERA", gReal(40, 0));
    set(L"$CHAMFERB", gReal(40, 0));
    set(L"$MIRRTEXT", gInt(70, 0));
    set(L"$PLINETYPE", gInt(70, 2));
    set(L"$INSUNITS", gInt(70, 4));
    set(L"$MEASUREMENT", gInt(70, 1));
}

void addStandardRecords(AcDbDatabase& db) {
    auto* vport = addRecord<AcDbViewportTableRecord>(db, DatabaseImpl::kVport, L"*Active");
    Access::viewport(*vport, AcGePoint3d(210, 148.5, 0), 297, 420.0 / 297.0);
    addRecord<AcDbLinetypeTableRecord>(db, DatabaseImpl::kLinetype, L"ByBlock");
    addRecord<AcDbLinetypeTableRecord>(db, DatabaseImpl::kLinetype, L"ByLayer");
    auto* cont = addRecord<AcDbLinetypeTableRecord>(db, DatabaseImpl::kLinetype, L"Continuous");
    Access::setComments(*cont, L"Solid line");
    addRecord<AcDbLayerTableRecord>(db, DatabaseImpl::kLayer, L"0");
    addRecord<AcDbTextStyleTableRecord>(db, DatabaseImpl::kStyle, L"Standard");
    addRecord<AcDbRegAppTableRecord>(db, DatabaseImpl::kAppId, L"ACAD");
    auto* dim = addRecord<AcDbDimStyleTableRecord>(db, DatabaseImpl::kDimStyle, L"Standard");
    // ISO-style metric dimension variables; the others answer their defaults.
    auto& vars = Access::dimVars(*dim);
    vars = {gReal(41, 2.5),  gReal(42, 0.625), gReal(43, 3.75),   gReal(44, 1.25),
            gReal(140, 2.5), gReal(141, 2.5),  gReal(147, 0.625), gInt(77, 1),
            gInt(78, 8),     gInt(271, 2),     gInt(278, 46)};
}

void addContainers(AcDbDatabase& db) {
    DatabaseImpl& impl = db.impl();
    impl.setTableId(DatabaseImpl::kVport, addClosed(db, std::make_unique<AcDbViewportTable>()));
    impl.setTableId(DatabaseImpl::kLinetype, addClosed(db, std::make_unique<AcDbLinetypeTable>()));
    impl.setTableId(DatabaseImpl::kLayer, addClosed(db, std::make_unique<AcDbLayerTable>()));
    impl.setTableId(DatabaseImpl::kStyle, addClosed(db, std::make_unique<AcDbTextStyleTable>()));
    impl.setTableId(DatabaseImpl::kView, addClosed(db, std::make_unique<AcDbViewTable>()));
    impl.setTableId(DatabaseImpl::kUcs, addClosed(db, std::make_unique<AcDbUCSTable>()));
    impl.setTableId(DatabaseImpl::kAppId, addClosed(db, std::make_unique<AcDbRegAppTable>()));
    impl.setTableId(DatabaseImpl::kDimStyle, addClosed(db, std::make_unique<AcDbDimStyleTable>()));
    impl.setTableId(DatabaseImpl::kBlock, addClosed(db, std::make_unique<AcDbBlockTable>()));
    impl.setNamedObjects(addClosed(db, std::make_unique<AcDbDictionary>()));
}

} // namespace

void buildEmptyContainers(AcDbDatabase& db) {
    addContainers(db);
}

void buildDefaultDrawing(AcDbDatabase& db) {
    addContainers(db);
    addStandardRecords(db);
    auto* model = addRecord<AcDbBlockTableRecord>(db, DatabaseImpl::kBlock, ACDB_MODEL_SPACE);
    auto* paper = addRecord<AcDbBlockTableRecord>(db, DatabaseImpl::kBlock, ACDB_PAPER_SPACE);
    AcDbObjectId nod = db.namedObjectsDictionaryId();
    addDictionary(db, nod, L"ACAD_GROUP");
    AcDbObjectId layouts = addDictionary(db, nod, L"ACAD_LAYOUT");
    addLayout(db, layouts, L"Model", 0, *model);
    addLayout(db, layouts, L"Layout1", 1, *paper);
    addHeader(db);
}

} // namespace zel::db
