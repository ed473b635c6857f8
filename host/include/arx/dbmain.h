// The database of a drawing, opening objects, and the working database. Included by db.h.
#pragma once

class AcDbDatabase {
public:
    // A new drawing with the standard tables and records (layer "0", linetypes BYBLOCK,
    // BYLAYER and CONTINUOUS, text and dimension style "Standard", application "ACAD",
    // viewport "*Active", model and paper space) and the named-objects dictionary; or, when
    // buildDefaultDrawing is false, only the empty tables and dictionary (for a file reader).
    explicit AcDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
    ~AcDbDatabase();
    AcDbDatabase(const AcDbDatabase&) = delete;
    AcDbDatabase& operator=(const AcDbDatabase&) = delete;

    // Adds an object (the database takes ownership) with a fresh handle; it stays open for
    // write and its owner is not set.
    Acad::ErrorStatus addAcDbObject(AcDbObjectId& id, AcDbObject* object);
    Acad::ErrorStatus addAcDbObject(AcDbObject* object);
    // The object of a handle; eKeyNotFound when there is none (createIfNotFound is ignored).
    Acad::ErrorStatus getAcDbObjectId(AcDbObjectId& id, bool createIfNotFound,
                                      const AcDbHandle& handle, uint32_t reserved = 0) const;
    // The next handle to be given out ($HANDSEED).
    AcDbHandle handseed() const;

    AcDbObjectId blockTableId() const;
    AcDbObjectId layerTableId() const;
    AcDbObjectId linetypeTableId() const;
    AcDbObjectId textStyleTableId() const;
    AcDbObjectId dimStyleTableId() const;
    AcDbObjectId regAppTableId() const;
    AcDbObjectId UCSTableId() const;
    AcDbObjectId viewTableId() const;
    AcDbObjectId viewportTableId() const;
    Acad::ErrorStatus getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getLinetypeTable(AcDbLinetypeTable*& table,
                                       AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getTextStyleTable(AcDbTextStyleTable*& table,
                                        AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getDimStyleTable(AcDbDimStyleTable*& table,
                                       AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getRegAppTable(AcDbRegAppTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getUCSTable(AcDbUCSTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getViewTable(AcDbViewTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getViewportTable(AcDbViewportTable*& table,
                                       AcDb::OpenMode mode = AcDb::kForRead);
    template <class T> Acad::ErrorStatus getSymbolTable(T*& table, AcDb::OpenMode mode) {
        return openTable(table, mode);
    }

    AcDbObjectId namedObjectsDictionaryId() const;
    AcDbObjectId groupDictionaryId() const;
    Acad::ErrorStatus getNamedObjectsDictionary(AcDbDictionary*& dict,
                                                AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getGroupDictionary(AcDbDictionary*& dict,
                                         AcDb::OpenMode mode = AcDb::kForRead);

    AcDbObjectId modelSpaceId() const;
    AcDbObjectId paperSpaceId() const;
    AcDbObjectId currentSpaceId() const; // model space (the host has no layout editing)
    AcDbObjectId byLayerLinetype() const;
    AcDbObjectId byBlockLinetype() const;
    AcDbObjectId continuousLinetype() const;
    AcDbObjectId layerZero() const;

    // Header variables the host models. Setters are journaled like every change.
    AcDbObjectId clayer() const;
    Acad::ErrorStatus setClayer(AcDbObjectId layerId);
    AcDbObjectId celtype() const;
    Acad::ErrorStatus setCeltype(AcDbObjectId linetypeId);
    AcCmColor cecolor() const;
    Acad::ErrorStatus setCecolor(const AcCmColor& color);
    AcDb::LineWeight celweight() const;
    Acad::ErrorStatus setCelweight(AcDb::LineWeight weight);
    double celtscale() const;
    Acad::ErrorStatus setCeltscale(double scale);
    double ltscale() const;
    Acad::ErrorStatus setLtscale(double scale);
    double textsize() const;
    Acad::ErrorStatus setTextsize(double size);
    AcDbObjectId textstyle() const;
    Acad::ErrorStatus setTextstyle(AcDbObjectId styleId);
    AcDbObjectId dimstyle() const;
    Acad::ErrorStatus setDimstyle(AcDbObjectId styleId);
    int16_t lunits() const;
    Acad::ErrorStatus setLunits(int16_t mode);
    int16_t luprec() const;
    Acad::ErrorStatus setLuprec(int16_t prec);
    int16_t aunits() const;
    Acad::ErrorStatus setAunits(int16_t mode);
    int16_t auprec() const;
    Acad::ErrorStatus setAuprec(int16_t prec);
    int16_t dimzin() const;
    Acad::ErrorStatus setDimzin(int16_t bits);
    int16_t insunits() const;
    Acad::ErrorStatus setInsunits(int16_t units);
    int16_t pdmode() const;
    Acad::ErrorStatus setPdmode(int16_t mode);
    double pdsize() const;
    Acad::ErrorStatus setPdsize(double size);
    double filletrad() const;
    Acad::ErrorStatus setFilletrad(double radius);
    double chamfera() const;
    Acad::ErrorStatus setChamfera(double dist);
    double chamferb() const;
    Acad::ErrorStatus setChamferb(double dist);
    bool mirrtext() const;
    Acad::ErrorStatus setMirrtext(bool mirror);
    int16_t plinetype() const;
    Acad::ErrorStatus setPlinetype(int16_t type);
    double plinewid() const;
    Acad::ErrorStatus setPlinewid(double width);
    double angbase() const;
    Acad::ErrorStatus setAngbase(double angle);
    bool angdir() const;
    Acad::ErrorStatus setAngdir(bool clockwise);
    AcGePoint3d insbase() const;
    Acad::ErrorStatus setInsbase(const AcGePoint3d& p);
    AcGePoint3d extmin() const;
    AcGePoint3d extmax() const;
    AcGePoint2d limmin() const;
    AcGePoint2d limmax() const;
    int16_t dwgCodePage() const;          // 932 for ANSI_932 and so on; 0 when unknown
    const ACHAR* dwgCodePageName() const; // "ANSI_932"
    const ACHAR* acadver() const;         // "AC1027"

    // The host's side of the database: slots, handles, header store, raw sections, journal.
    zel::db::DatabaseImpl& impl() { return *mImpl; }
    const zel::db::DatabaseImpl& impl() const { return *mImpl; }

private:
    Acad::ErrorStatus openTable(AcDbBlockTable*& t, AcDb::OpenMode m) {
        return getBlockTable(t, m);
    }
    Acad::ErrorStatus openTable(AcDbLayerTable*& t, AcDb::OpenMode m) {
        return getLayerTable(t, m);
    }
    Acad::ErrorStatus openTable(AcDbLinetypeTable*& t, AcDb::OpenMode m) {
        return getLinetypeTable(t, m);
    }
    Acad::ErrorStatus openTable(AcDbTextStyleTable*& t, AcDb::OpenMode m) {
        return getTextStyleTable(t, m);
    }
    Acad::ErrorStatus openTable(AcDbDimStyleTable*& t, AcDb::OpenMode m) {
        return getDimStyleTable(t, m);
    }
    Acad::ErrorStatus openTable(AcDbRegAppTable*& t, AcDb::OpenMode m) {
        return getRegAppTable(t, m);
    }
    Acad::ErrorStatus openTable(AcDbUCSTable*& t, AcDb::OpenMode m) { return getUCSTable(t, m); }
    Acad::ErrorStatus openTable(AcDbViewTable*& t, AcDb::OpenMode m) { return getViewTable(t, m); }
    Acad::ErrorStatus openTable(AcDbViewportTable*& t, AcDb::OpenMode m) {
        return getViewportTable(t, m);
    }
    std::unique_ptr<zel::db::DatabaseImpl> mImpl;
};

// Opening objects. Reads may stack; a write open is exclusive (eWasOpenForWrite,
// eWasOpenForRead); erased objects open only with openErased. Every open is closed.
Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);
// Loads the linetype ltname ("*" or a pattern with wildcards: every one that matches) from a
// linetype file (found as given, then on the support path) into the drawing. eFileNotFound
// when there is no such file, eUndefinedLineType when it has no such linetype,
// eDuplicateRecordName when the drawing already has it (nothing then changes).
Acad::ErrorStatus acdbLoadLineTypeFile(const ACHAR* ltname, const ACHAR* fname, AcDbDatabase* pDb);

Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);
template <class T>
Acad::ErrorStatus acdbOpenObject(T*& object, AcDbObjectId id, AcDb::OpenMode mode = AcDb::kForRead,
                                 bool openErased = false) {
    object = nullptr;
    AcDbObject* base = nullptr;
    Acad::ErrorStatus es = acdbOpenAcDbObject(base, id, mode, openErased);
    if (es != Acad::eOk) return es;
    object = T::cast(base);
    if (object) return Acad::eOk;
    if (base) base->close(); // an open that succeeded always gives an object
    return Acad::eNotThatKindOfClass;
}

// An object opened for the life of the pointer.
template <class T> class AcDbObjectPointer {
public:
    AcDbObjectPointer() = default;
    AcDbObjectPointer(AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false) {
        mStatus = acdbOpenObject(mObject, id, mode, openErased);
    }
    ~AcDbObjectPointer() { release(); }
    AcDbObjectPointer(const AcDbObjectPointer&) = delete;
    AcDbObjectPointer& operator=(const AcDbObjectPointer&) = delete;
    Acad::ErrorStatus open(AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false) {
        release();
        mStatus = acdbOpenObject(mObject, id, mode, openErased);
        return mStatus;
    }
    Acad::ErrorStatus openStatus() const { return mStatus; }
    Acad::ErrorStatus close() {
        Acad::ErrorStatus es = mObject ? mObject->close() : Acad::eNullObjectId;
        mObject = nullptr;
        return es;
    }
    T* object() const { return mObject; }
    T* operator->() const { return mObject; }
    explicit operator bool() const { return mObject != nullptr; }

private:
    void release() {
        if (mObject) mObject->close();
        mObject = nullptr;
    }
    T* mObject = nullptr;
    Acad::ErrorStatus mStatus = Acad::eNullObjectId;
};
using AcDbEntityPointer = AcDbObjectPointer<AcDbEntity>;

// The host's services to the database: the working database (of the current document).
class AcDbHostApplicationServices {
public:
    AcDbDatabase* workingDatabase() const;
    void setWorkingDatabase(AcDbDatabase* db);
};
AcDbHostApplicationServices* acdbHostApplicationServices();

namespace zel::db {
AcDbDatabase* workingDatabase();
void setWorkingDatabase(AcDbDatabase* db);
// Objects of the database open now (for tests and the leak check).
int openObjectCount(const AcDbDatabase& db);
// What the database does when it is destroyed with objects still open: by default a report
// on stderr and, in debug builds, an abort (so a test that leaks fails).
void setOpenObjectLeakHandler(void (*handler)(const std::wstring& report));
} // namespace zel::db
