// AcDbDatabase: objects, tables, dictionaries, and typed header variables.
#include "db/access.h"
#include "db/database_impl.h"

#include "core/text.h"
#include "core/units.h"

#include <cmath>

namespace zel::db {
void reportOpenObjects(const AcDbDatabase& db);
void installUnitsProvider();
} // namespace zel::db

using zel::db::DatabaseImpl;

AcDbDatabase::AcDbDatabase(bool buildDefaultDrawing, bool)
    : mImpl(std::make_unique<DatabaseImpl>(*this)) {
    if (buildDefaultDrawing)
        zel::db::buildDefaultDrawing(*this);
    else
        zel::db::buildEmptyContainers(*this);
    zel::db::installUnitsProvider();
}

AcDbDatabase::~AcDbDatabase() {
    zel::db::reportOpenObjects(*this);
    if (zel::db::workingDatabase() == this) zel::db::setWorkingDatabase(nullptr);
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObjectId& id, AcDbObject* object) {
    id = AcDbObjectId();
    if (!object) return Acad::eNullObjectId;
    if (object->slot()) return Acad::eAlreadyInDb;
    id = AcDbObjectId(mImpl->add(std::unique_ptr<AcDbObject>(object)));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObject* object) {
    AcDbObjectId id;
    return addAcDbObject(id, object);
}

Acad::ErrorStatus AcDbDatabase::getAcDbObjectId(AcDbObjectId& id, bool, const AcDbHandle& handle,
                                                uint32_t) const {
    id = mImpl->idOf(handle);
    return id.isNull() ? Acad::eKeyNotFound : Acad::eOk;
}

AcDbHandle AcDbDatabase::handseed() const {
    return AcDbHandle(mImpl->handseed());
}

AcDbObjectId AcDbDatabase::blockTableId() const {
    return mImpl->tableId(DatabaseImpl::kBlock);
}
AcDbObjectId AcDbDatabase::layerTableId() const {
    return mImpl->tableId(DatabaseImpl::kLayer);
}
AcDbObjectId AcDbDatabase::linetypeTableId() const {
    return mImpl->tableId(DatabaseImpl::kLinetype);
}
AcDbObjectId AcDbDatabase::textStyleTableId() const {
    return mImpl->tableId(DatabaseImpl::kStyle);
}
AcDbObjectId AcDbDatabase::dimStyleTableId() const {
    return mImpl->tableId(DatabaseImpl::kDimStyle);
}
AcDbObjectId AcDbDatabase::regAppTableId() const {
    return mImpl->tableId(DatabaseImpl::kAppId);
}
AcDbObjectId AcDbDatabase::UCSTableId() const {
    return mImpl->tableId(DatabaseImpl::kUcs);
}
AcDbObjectId AcDbDatabase::viewTableId() const {
    return mImpl->tableId(DatabaseImpl::kView);
}
AcDbObjectId AcDbDatabase::viewportTableId() const {
    return mImpl->tableId(DatabaseImpl::kVport);
}

Acad::ErrorStatus AcDbDatabase::getBlockTable(AcDbBlockTable*& t, AcDb::OpenMode m) {
    return acdbOpenObject(t, blockTableId(), m);
}
Acad::ErrorStatus AcDbDatabase::getLayerTable(AcDbLayerTable*& t, AcDb::OpenMode m) {
    return acdbOpenObject(t, layerTableId(), m);
}
Acad::ErrorStatus AcDbDatabase::getLinetypeTable(AcDbLinetypeTable*& t, AcDb::OpenMode m) {
    return acdbOpenObject(t, linetypeTableId(), m);
}
Acad::ErrorStatus AcDbDatabase::getTextStyleTable(AcDbTextStyleTable*& t, AcDb::OpenMode m) {
    return acdbOpenObject(t, textStyleTableId(), m);
}
Acad::ErrorStatus AcDbDatabase::getDimStyleTable(AcDbDimStyleTable*& t, AcDb::OpenMode m) {
    return acdbOpenObject(t, dimStyleTableId(), m);
}
Acad::ErrorStatus AcDbDatabase::getRegAppTable(AcDbRegAppTable*& t, AcDb::OpenMode m) {
    return acdbOpenObject(t, regAppTableId(), m);
}
Acad::ErrorStatus AcDbDatabase::getUCSTable(AcDbUCSTable*& t, AcDb::OpenMode m) {
    return acdbOpenObject(t, UCSTableId(), m);
}
Acad::ErrorStatus AcDbDatabase::getViewTable(AcDbViewTable*& t, AcDb::OpenMode m) {
    return acdbOpenObject(t, viewTableId(), m);
}
Acad::ErrorStatus AcDbDatabase::getViewportTable(AcDbViewportTable*& t, AcDb::OpenMode m) {
    return acdbOpenObject(t, viewportTableId(), m);
}

AcDbObjectId AcDbDatabase::namedObjectsDictionaryId() const {
    return mImpl->namedObjects();
}

AcDbObjectId AcDbDatabase::groupDictionaryId() const {
    auto* nod = zel::db::peekAs<AcDbDictionary>(namedObjectsDictionaryId());
    AcDbObjectId id;
    if (nod) nod->getAt(L"ACAD_GROUP", id);
    return id;
}

Acad::ErrorStatus AcDbDatabase::getNamedObjectsDictionary(AcDbDictionary*& d, AcDb::OpenMode m) {
    return acdbOpenObject(d, namedObjectsDictionaryId(), m);
}

Acad::ErrorStatus AcDbDatabase::getGroupDictionary(AcDbDictionary*& d, AcDb::OpenMode m) {
    return acdbOpenObject(d, groupDictionaryId(), m);
}

namespace {

AcDbObjectId recordId(AcDbObjectId tableId, const wchar_t* name) {
    auto* table = zel::db::peekAs<AcDbSymbolTable>(tableId);
    AcDbObjectId id;
    if (table) table->getAt(name, id);
    return id;
}

ZelGroupValue headerValue(std::wstring_view name) {
    ZelGroupValue v;
    v.code = zel::db::headerVariableCode(name);
    return v;
}

} // namespace

AcDbObjectId AcDbDatabase::modelSpaceId() const {
    return recordId(blockTableId(), ACDB_MODEL_SPACE);
}
AcDbObjectId AcDbDatabase::paperSpaceId() const {
    return recordId(blockTableId(), ACDB_PAPER_SPACE);
}
AcDbObjectId AcDbDatabase::currentSpaceId() const {
    return modelSpaceId();
}
AcDbObjectId AcDbDatabase::byLayerLinetype() const {
    return recordId(linetypeTableId(), L"ByLayer");
}
AcDbObjectId AcDbDatabase::byBlockLinetype() const {
    return recordId(linetypeTableId(), L"ByBlock");
}
AcDbObjectId AcDbDatabase::continuousLinetype() const {
    return recordId(linetypeTableId(), L"Continuous");
}
AcDbObjectId AcDbDatabase::layerZero() const {
    return recordId(layerTableId(), L"0");
}

// ---- header variables -------------------------------------------------------------------

namespace {

Acad::ErrorStatus setText(DatabaseImpl& impl, std::wstring_view name, std::wstring text) {
    ZelGroupValue v = headerValue(name);
    v.text = std::move(text);
    impl.setHeader(name, {v});
    return Acad::eOk;
}

Acad::ErrorStatus setInt(DatabaseImpl& impl, std::wstring_view name, int64_t value) {
    ZelGroupValue v = headerValue(name);
    v.integer = value;
    impl.setHeader(name, {v});
    return Acad::eOk;
}

Acad::ErrorStatus setReal(DatabaseImpl& impl, std::wstring_view name, double value) {
    if (!std::isfinite(value)) return Acad::eInvalidInput;
    ZelGroupValue v = headerValue(name);
    v.real = value;
    impl.setHeader(name, {v});
    return Acad::eOk;
}

Acad::ErrorStatus setRecord(DatabaseImpl& impl, std::wstring_view name, AcDbObjectId tableId,
                            AcDbObjectId recordId) {
    auto* rec = zel::db::peekAs<AcDbSymbolTableRecord>(recordId);
    if (!rec || recordId.isErased() || rec->ownerId() != tableId) return Acad::eInvalidInput;
    return setText(impl, name, rec->name());
}

Acad::ErrorStatus setRanged(DatabaseImpl& impl, std::wstring_view name, int64_t value, int64_t lo,
                            int64_t hi) {
    if (value < lo || value > hi) return Acad::eOutOfRange;
    return setInt(impl, name, value);
}

} // namespace

AcDbObjectId AcDbDatabase::clayer() const {
    AcDbObjectId id = recordId(layerTableId(), mImpl->header().text(L"$CLAYER", L"0").c_str());
    return id.isNull() ? layerZero() : id;
}
Acad::ErrorStatus AcDbDatabase::setClayer(AcDbObjectId id) {
    return setRecord(*mImpl, L"$CLAYER", layerTableId(), id);
}
AcDbObjectId AcDbDatabase::celtype() const {
    AcDbObjectId id =
        recordId(linetypeTableId(), mImpl->header().text(L"$CELTYPE", L"ByLayer").c_str());
    return id.isNull() ? byLayerLinetype() : id;
}
Acad::ErrorStatus AcDbDatabase::setCeltype(AcDbObjectId id) {
    return setRecord(*mImpl, L"$CELTYPE", linetypeTableId(), id);
}
AcCmColor AcDbDatabase::cecolor() const {
    int64_t c = mImpl->header().integer(L"$CECOLOR", 256);
    return AcCmColor(int16_t(c >= 0 && c <= 256 ? c : 256));
}
Acad::ErrorStatus AcDbDatabase::setCecolor(const AcCmColor& c) {
    return setRanged(*mImpl, L"$CECOLOR", c.colorIndex(), 0, 256);
}
AcDb::LineWeight AcDbDatabase::celweight() const {
    return AcDb::LineWeight(mImpl->header().integer(L"$CELWEIGHT", -1));
}
Acad::ErrorStatus AcDbDatabase::setCelweight(AcDb::LineWeight w) {
    return setRanged(*mImpl, L"$CELWEIGHT", w, -3, 211);
}
double AcDbDatabase::celtscale() const {
    return mImpl->header().real(L"$CELTSCALE", 1.0);
}
Acad::ErrorStatus AcDbDatabase::setCeltscale(double s) {
    return s > 0 ? setReal(*mImpl, L"$CELTSCALE", s) : Acad::eOutOfRange;
}
double AcDbDatabase::ltscale() const {
    return mImpl->header().real(L"$LTSCALE", 1.0);
}
Acad::ErrorStatus AcDbDatabase::setLtscale(double s) {
    return s > 0 ? setReal(*mImpl, L"$LTSCALE", s) : Acad::eOutOfRange;
}
double AcDbDatabase::textsize() const {
    return mImpl->header().real(L"$TEXTSIZE", 2.5);
}
Acad::ErrorStatus AcDbDatabase::setTextsize(double s) {
    return s > 0 ? setReal(*mImpl, L"$TEXTSIZE", s) : Acad::eOutOfRange;
}
AcDbObjectId AcDbDatabase::textstyle() const {
    return recordId(textStyleTableId(), mImpl->header().text(L"$TEXTSTYLE", L"Standard").c_str());
}
Acad::ErrorStatus AcDbDatabase::setTextstyle(AcDbObjectId id) {
    return setRecord(*mImpl, L"$TEXTSTYLE", textStyleTableId(), id);
}
AcDbObjectId AcDbDatabase::dimstyle() const {
    return recordId(dimStyleTableId(), mImpl->header().text(L"$DIMSTYLE", L"Standard").c_str());
}
Acad::ErrorStatus AcDbDatabase::setDimstyle(AcDbObjectId id) {
    return setRecord(*mImpl, L"$DIMSTYLE", dimStyleTableId(), id);
}

#define ZEL_HEADER_INT(GET, SET, NAME, DFLT, LO, HI)                                               \
    int16_t AcDbDatabase::GET() const {                                                            \
        return int16_t(mImpl->header().integer(NAME, DFLT));                                       \
    }                                                                                              \
    Acad::ErrorStatus AcDbDatabase::SET(int16_t v) {                                               \
        return setRanged(*mImpl, NAME, v, LO, HI);                                                 \
    }

ZEL_HEADER_INT(lunits, setLunits, L"$LUNITS", 2, 1, 5)
ZEL_HEADER_INT(luprec, setLuprec, L"$LUPREC", 4, 0, 8)
ZEL_HEADER_INT(aunits, setAunits, L"$AUNITS", 0, 0, 4)
ZEL_HEADER_INT(auprec, setAuprec, L"$AUPREC", 0, 0, 8)
ZEL_HEADER_INT(dimzin, setDimzin, L"$DIMZIN", 0, 0, 15)
ZEL_HEADER_INT(insunits, setInsunits, L"$INSUNITS", 4, 0, 24)
ZEL_HEADER_INT(pdmode, setPdmode, L"$PDMODE", 0, 0, 100)
ZEL_HEADER_INT(plinetype, setPlinetype, L"$PLINETYPE", 2, 0, 2)

#define ZEL_HEADER_REAL(GET, SET, NAME, DFLT)                                                      \
    double AcDbDatabase::GET() const {                                                             \
        return mImpl->header().real(NAME, DFLT);                                                   \
    }                                                                                              \
    Acad::ErrorStatus AcDbDatabase::SET(double v) {                                                \
        return setReal(*mImpl, NAME, v);                                                           \
    }

ZEL_HEADER_REAL(pdsize, setPdsize, L"$PDSIZE", 0)
ZEL_HEADER_REAL(plinewid, setPlinewid, L"$PLINEWID", 0)

#define ZEL_HEADER_DISTANCE(GET, SET, NAME, DFLT)                                                  \
    double AcDbDatabase::GET() const {                                                             \
        return mImpl->header().real(NAME, DFLT);                                                   \
    }                                                                                              \
    Acad::ErrorStatus AcDbDatabase::SET(double v) {                                                \
        return v >= 0 ? setReal(*mImpl, NAME, v) : Acad::eOutOfRange;                              \
    }

ZEL_HEADER_DISTANCE(filletrad, setFilletrad, L"$FILLETRAD", 0)
ZEL_HEADER_DISTANCE(chamfera, setChamfera, L"$CHAMFERA", 0)
ZEL_HEADER_DISTANCE(chamferb, setChamferb, L"$CHAMFERB", 0)

bool AcDbDatabase::mirrtext() const {
    return mImpl->header().integer(L"$MIRRTEXT", 0) != 0;
}
Acad::ErrorStatus AcDbDatabase::setMirrtext(bool m) {
    return setInt(*mImpl, L"$MIRRTEXT", m);
}
// $ANGBASE is kept in the file's unit (radians) as other programs write it.
double AcDbDatabase::angbase() const {
    return mImpl->header().real(L"$ANGBASE", 0);
}
Acad::ErrorStatus AcDbDatabase::setAngbase(double a) {
    return setReal(*mImpl, L"$ANGBASE", a);
}
bool AcDbDatabase::angdir() const {
    return mImpl->header().integer(L"$ANGDIR", 0) != 0;
}
Acad::ErrorStatus AcDbDatabase::setAngdir(bool cw) {
    return setInt(*mImpl, L"$ANGDIR", cw);
}
AcGePoint3d AcDbDatabase::insbase() const {
    return mImpl->header().point(L"$INSBASE", {});
}
Acad::ErrorStatus AcDbDatabase::setInsbase(const AcGePoint3d& p) {
    ZelGroupValue v = headerValue(L"$INSBASE");
    v.point = p;
    mImpl->setHeader(L"$INSBASE", {v});
    return Acad::eOk;
}
AcGePoint3d AcDbDatabase::extmin() const {
    return mImpl->header().point(L"$EXTMIN", {});
}
AcGePoint3d AcDbDatabase::extmax() const {
    return mImpl->header().point(L"$EXTMAX", {});
}
AcGePoint2d AcDbDatabase::limmin() const {
    return mImpl->header().point(L"$LIMMIN", {}).convert2d();
}
AcGePoint2d AcDbDatabase::limmax() const {
    return mImpl->header().point(L"$LIMMAX", AcGePoint3d(420, 297, 0)).convert2d();
}

const ACHAR* AcDbDatabase::dwgCodePageName() const {
    const auto* v = mImpl->header().find(L"$DWGCODEPAGE");
    return v && !v->empty() ? v->front().text.c_str() : L"ANSI_932";
}

int16_t AcDbDatabase::dwgCodePage() const {
    std::wstring name = dwgCodePageName();
    size_t under = name.find(L'_');
    if (under == std::wstring::npos) return 0;
    auto n = zel::core::parseInt(name.substr(under + 1));
    return n ? int16_t(*n) : 0;
}

const ACHAR* AcDbDatabase::acadver() const {
    const auto* v = mImpl->header().find(L"$ACADVER");
    return v && !v->empty() ? v->front().text.c_str() : L"AC1027";
}

// ---- working database ---------------------------------------------------------------------

namespace {
AcDbDatabase* gWorking = nullptr;
AcDbHostApplicationServices gServices;
} // namespace

namespace zel::db {

AcDbDatabase* workingDatabase() {
    return gWorking;
}
void setWorkingDatabase(AcDbDatabase* db) {
    gWorking = db;
}

// rtos/angtos with -1 take the unit modes of the working drawing.
void installUnitsProvider() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    core::setUnitSettingsProvider([] {
        core::UnitSettings s;
        AcDbDatabase* db = workingDatabase();
        if (!db) return s;
        s.lunits = db->lunits();
        s.luprec = db->luprec();
        s.aunits = db->aunits();
        s.auprec = db->auprec();
        s.dimzin = db->dimzin();
        s.unitmode = int(db->impl().header().integer(L"$UNITMODE", 0));
        return s;
    });
}

} // namespace zel::db

AcDbDatabase* AcDbHostApplicationServices::workingDatabase() const {
    return zel::db::workingDatabase();
}
void AcDbHostApplicationServices::setWorkingDatabase(AcDbDatabase* db) {
    zel::db::setWorkingDatabase(db);
}
AcDbHostApplicationServices* acdbHostApplicationServices() {
    return &gServices;
}
