// Symbol tables and their records: LAYER, LTYPE, STYLE, DIMSTYLE, APPID, UCS, VIEW, VPORT and
// BLOCK_RECORD. Names compare without regard to case. Included by db.h.
#pragma once

class AcDbSymbolTable;
class AcDbBlockTableRecordIterator;

class AcDbSymbolTableRecord : public AcDbObject {
public:
    ZEL_DECLARE_MEMBERS(AcDbSymbolTableRecord)
    Acad::ErrorStatus getName(const ACHAR*& name) const;
    const ACHAR* getName() const { return mName.c_str(); }
    const std::wstring& name() const { return mName; }
    // Fails with eInvalidSymbolTableName for an empty name or one with <>/\":;?*|,=`.
    Acad::ErrorStatus setName(const ACHAR* name);
    int16_t flags() const { return mFlags; }
    Acad::ErrorStatus setFlags(int16_t flags);
    bool isDependent() const { return (mFlags & 16) != 0; }
    bool isResolved() const { return (mFlags & 32) != 0; }
    static bool isValidName(const std::wstring& name);

protected:
    friend struct zel::db::Access;
    std::wstring mName;
    int16_t mFlags = 0;
};

class AcDbLayerTableRecord : public AcDbSymbolTableRecord {
public:
    ZEL_DECLARE_KIND(AcDbLayerTableRecord)
    AcDbLayerTableRecord() = default;
    bool isFrozen() const { return (mFlags & 1) != 0; }
    Acad::ErrorStatus setIsFrozen(bool frozen);
    bool isLocked() const { return (mFlags & 4) != 0; }
    Acad::ErrorStatus setIsLocked(bool locked);
    bool isOff() const { return mColor < 0; }
    Acad::ErrorStatus setIsOff(bool off);
    bool isPlottable() const { return mPlot; }
    Acad::ErrorStatus setIsPlottable(bool plot);
    AcCmColor color() const { return AcCmColor(colorIndex()); }
    Acad::ErrorStatus setColor(const AcCmColor& c) { return setColorIndex(c.colorIndex()); }
    int16_t colorIndex() const { return int16_t(mColor < 0 ? -mColor : mColor); }
    Acad::ErrorStatus setColorIndex(int16_t index); // 1..255
    const ACHAR* linetypeName() const { return mLinetype.c_str(); }
    Acad::ErrorStatus setLinetypeName(const ACHAR* name);
    AcDbObjectId linetypeObjectId() const;
    Acad::ErrorStatus setLinetypeObjectId(AcDbObjectId id);
    AcDb::LineWeight lineWeight() const { return AcDb::LineWeight(mLineWeight); }
    Acad::ErrorStatus setLineWeight(AcDb::LineWeight w);

private:
    friend struct zel::db::Access;
    int16_t mColor = 7; // negative: the layer is off
    std::wstring mLinetype = L"CONTINUOUS";
    bool mPlot = true;
    int16_t mLineWeight = -3;
    AcDbHandle mPlotStyle;
    AcDbHandle mMaterial;
};

// One element of a linetype pattern: a dash (positive), a gap (negative) or a dot (0), with
// an optional shape or text drawn at it.
struct ZelDashElement {
    double length = 0;               // 49
    int16_t complexType = 0;         // 74: 0 none, bit 1 absolute rotation, 2 text, 4 shape
    int16_t shapeNumber = 0;         // 75 (text: 0)
    AcDbHandle style;                // 340
    double scale = 1;                // 46
    double rotation = 0;             // 50, radians
    double xOffset = 0, yOffset = 0; // 44, 45
    std::wstring text;               // 9
    bool hasScale = false, hasRotation = false, hasOffsets = false;
    bool operator==(const ZelDashElement&) const = default;
};

class AcDbLinetypeTableRecord : public AcDbSymbolTableRecord {
public:
    ZEL_DECLARE_KIND(AcDbLinetypeTableRecord)
    AcDbLinetypeTableRecord() = default;
    const ACHAR* comments() const { return mComments.c_str(); }
    Acad::ErrorStatus setComments(const ACHAR* text);
    double patternLength() const { return mPatternLength; }
    Acad::ErrorStatus setPatternLength(double length);
    int numDashes() const { return int(mDashes.size()); }
    Acad::ErrorStatus setNumDashes(int count);
    double dashLengthAt(int index) const;
    Acad::ErrorStatus setDashLengthAt(int index, double length);
    const std::vector<ZelDashElement>& dashes() const { return mDashes; }
    Acad::ErrorStatus setDashes(std::vector<ZelDashElement> dashes);

private:
    friend struct zel::db::Access;
    std::wstring mComments;
    int16_t mAlignment = 65; // 'A'
    double mPatternLength = 0;
    std::vector<ZelDashElement> mDashes;
};

class AcDbTextStyleTableRecord : public AcDbSymbolTableRecord {
public:
    ZEL_DECLARE_KIND(AcDbTextStyleTableRecord)
    AcDbTextStyleTableRecord() = default;
    const ACHAR* fileName() const { return mFont.c_str(); }
    Acad::ErrorStatus setFileName(const ACHAR* name);
    const ACHAR* bigFontFileName() const { return mBigFont.c_str(); }
    Acad::ErrorStatus setBigFontFileName(const ACHAR* name);
    double textSize() const { return mTextSize; }
    Acad::ErrorStatus setTextSize(double size);
    double xScale() const { return mXScale; }
    Acad::ErrorStatus setXScale(double scale);
    double obliquingAngle() const { return mOblique; }
    Acad::ErrorStatus setObliquingAngle(double angle);
    double priorSize() const { return mPriorSize; }
    Acad::ErrorStatus setPriorSize(double size);
    int16_t flagBits() const { return mGenFlags; } // 2 backwards, 4 upside down
    Acad::ErrorStatus setFlagBits(int16_t bits);
    bool isShapeFile() const { return (mFlags & 1) != 0; }
    bool isVertical() const { return (mFlags & 4) != 0; }

private:
    friend struct zel::db::Access;
    double mTextSize = 0;
    double mXScale = 1;
    double mOblique = 0;
    int16_t mGenFlags = 0;
    double mPriorSize = 2.5;
    std::wstring mFont = L"txt";
    std::wstring mBigFont;
};

// DIMSTYLE: the dimension variables kept as groups in file order, one per code; typed
// accessors for the ones the host uses. Unset variables answer the DXF default.
class AcDbDimStyleTableRecord : public AcDbSymbolTableRecord {
public:
    ZEL_DECLARE_KIND(AcDbDimStyleTableRecord)
    AcDbDimStyleTableRecord() = default;
    const ZelGroupValue* variable(int16_t code) const;
    Acad::ErrorStatus setVariable(const ZelGroupValue& value);
    void removeVariable(int16_t code);
    const std::vector<ZelGroupValue>& variables() const { return mVars; }
    double realVar(int16_t code, double dflt) const;
    int64_t intVar(int16_t code, int64_t dflt) const;
    std::wstring textVar(int16_t code, const wchar_t* dflt) const;

    double dimscale() const { return realVar(40, 1.0); }
    double dimasz() const { return realVar(41, 0.18); }
    double dimexo() const { return realVar(42, 0.0625); }
    double dimdli() const { return realVar(43, 0.38); }
    double dimexe() const { return realVar(44, 0.18); }
    double dimtxt() const { return realVar(140, 0.18); }
    double dimcen() const { return realVar(141, 0.09); }
    double dimgap() const { return realVar(147, 0.09); }
    double dimlfac() const { return realVar(144, 1.0); }
    int dimtad() const { return int(intVar(77, 0)); }
    int dimzin() const { return int(intVar(78, 0)); }
    int dimdec() const { return int(intVar(271, 4)); }
    int dimlunit() const { return int(intVar(277, 2)); }
    AcDbHandle dimtxstyHandle() const { return AcDbHandle(uint64_t(intVar(340, 0))); }

private:
    friend struct zel::db::Access;
    std::vector<ZelGroupValue> mVars;
};

class AcDbRegAppTableRecord : public AcDbSymbolTableRecord {
public:
    ZEL_DECLARE_KIND(AcDbRegAppTableRecord)
    AcDbRegAppTableRecord() = default;
};

class AcDbUCSTableRecord : public AcDbSymbolTableRecord {
public:
    ZEL_DECLARE_KIND(AcDbUCSTableRecord)
    AcDbUCSTableRecord() = default;
    AcGePoint3d origin() const { return mOrigin; }
    Acad::ErrorStatus setOrigin(const AcGePoint3d& p);
    AcGeVector3d xAxis() const { return mXAxis; }
    Acad::ErrorStatus setXAxis(const AcGeVector3d& v);
    AcGeVector3d yAxis() const { return mYAxis; }
    Acad::ErrorStatus setYAxis(const AcGeVector3d& v);

private:
    friend struct zel::db::Access;
    AcGePoint3d mOrigin;
    AcGeVector3d mXAxis{1, 0, 0};
    AcGeVector3d mYAxis{0, 1, 0};
};

class AcDbViewTableRecord : public AcDbSymbolTableRecord {
public:
    ZEL_DECLARE_KIND(AcDbViewTableRecord)
    AcDbViewTableRecord() = default;
    AcGePoint2d centerPoint() const { return mCenter.convert2d(); }
    Acad::ErrorStatus setCenterPoint(const AcGePoint2d& p);
    double height() const { return mHeight; }
    Acad::ErrorStatus setHeight(double h);
    double width() const { return mWidth; }
    Acad::ErrorStatus setWidth(double w);
    AcGeVector3d viewDirection() const { return mDirection; }
    AcGePoint3d target() const { return mTarget; }

private:
    friend struct zel::db::Access;
    double mHeight = 1;
    double mWidth = 1;
    AcGePoint3d mCenter;
    AcGeVector3d mDirection{0, 0, 1};
    AcGePoint3d mTarget;
};

class AcDbViewportTableRecord : public AcDbSymbolTableRecord {
public:
    ZEL_DECLARE_KIND(AcDbViewportTableRecord)
    AcDbViewportTableRecord() = default;
    AcGePoint2d lowerLeftCorner() const { return mLowerLeft.convert2d(); }
    AcGePoint2d upperRightCorner() const { return mUpperRight.convert2d(); }
    AcGePoint2d centerPoint() const { return mCenter.convert2d(); }
    Acad::ErrorStatus setCenterPoint(const AcGePoint2d& p);
    double height() const { return mHeight; }
    Acad::ErrorStatus setHeight(double h);
    double width() const { return mHeight * mAspect; }
    Acad::ErrorStatus setWidth(double w);

private:
    friend struct zel::db::Access;
    AcGePoint3d mLowerLeft;
    AcGePoint3d mUpperRight{1, 1, 0};
    AcGePoint3d mCenter;
    double mHeight = 1;
    double mAspect = 1;
};

// BLOCK_RECORD: a block's entities in draw order and its BLOCK data (base point, flags,
// description, xref path). The BLOCK and ENDBLK entities of the file are objects of their own
// (AcDbBlockBegin, AcDbBlockEnd), owned by the record, so their handles are kept.
// A copy of the record (undo snapshot) holds everything but the entity list, which the
// database journals by itself.
class AcDbBlockTableRecord : public AcDbSymbolTableRecord {
public:
    ZEL_DECLARE_KIND(AcDbBlockTableRecord)
    AcDbBlockTableRecord() = default;
    AcDbBlockTableRecord(const AcDbBlockTableRecord& other);
    AcDbBlockTableRecord& operator=(const AcDbBlockTableRecord& other);

    // Adds the entity to the database (fresh handle) at the end of the block; the entity
    // stays open for write and is owned by the database. The record must be open for write.
    Acad::ErrorStatus appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity);
    Acad::ErrorStatus appendAcDbEntity(AcDbEntity* entity);
    Acad::ErrorStatus newIterator(AcDbBlockTableRecordIterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;
    // Entities in draw order, erased ones included.
    const std::vector<AcDbObjectId>& entityIds() const { return mEntities; }
    // Reorders the entities (the same set in a new order); journaled.
    Acad::ErrorStatus setDrawOrder(const std::vector<AcDbObjectId>& ids);

    AcGePoint3d origin() const { return mOrigin; }
    Acad::ErrorStatus setOrigin(const AcGePoint3d& p);
    const ACHAR* comments() const { return mComments.c_str(); }
    Acad::ErrorStatus setComments(const ACHAR* text);
    const ACHAR* pathName() const { return mPathName.c_str(); }
    Acad::ErrorStatus setPathName(const ACHAR* path);
    // BLOCK flags (70 of the BLOCK entity): 1 anonymous, 2 has attribute definitions,
    // 4 external reference, 8 overlay, 16 dependent, 32 resolved, 64 referenced.
    int16_t blockFlags() const { return mBlockFlags; }
    Acad::ErrorStatus setBlockFlags(int16_t flags);
    bool isAnonymous() const;
    bool hasAttributeDefinitions() const { return (mBlockFlags & 2) != 0; }
    bool isFromExternalReference() const { return (mBlockFlags & 4) != 0; }
    bool isLayout() const;
    AcDbObjectId blockBeginId() const;
    AcDbObjectId blockEndId() const;
    AcDbHandle layoutHandle() const { return mLayout; }
    void setLayoutHandle(AcDbHandle h);

private:
    friend struct zel::db::Access;
    std::vector<AcDbObjectId> mEntities; // not part of the copied state
    AcDbHandle mLayout;                  // 340
    int16_t mInsertUnits = 0;            // 70 of the record
    int16_t mExplodable = 1;             // 280
    int16_t mScalable = 0;               // 281
    AcGePoint3d mOrigin;
    int16_t mBlockFlags = 0;
    std::wstring mComments;
    std::wstring mPathName;
    AcDbHandle mBegin, mEnd; // the BLOCK and ENDBLK objects
};

// The BLOCK entity of a block: its groups come from the record that owns it.
class AcDbBlockBegin : public AcDbEntity {
public:
    ZEL_DECLARE_KIND(AcDbBlockBegin)
    AcDbBlockBegin() = default;
    // BLOCK data as read from a file, before the record takes it (setBlockData).
    struct Data {
        std::wstring name;
        int16_t flags = 0;
        AcGePoint3d origin;
        std::wstring pathName;
        std::wstring comments;
    };
    const Data& fileData() const { return mData; }

private:
    friend struct zel::db::Access;
    Data mData;
};

class AcDbBlockEnd : public AcDbEntity {
public:
    ZEL_DECLARE_KIND(AcDbBlockEnd)
    AcDbBlockEnd() = default;
};

class AcDbBlockTableRecordIterator {
public:
    void start(bool atBeginning = true, bool skipDeleted = true);
    bool done() const;
    void step(bool forward = true, bool skipDeleted = true);
    Acad::ErrorStatus getEntityId(AcDbObjectId& id) const;
    Acad::ErrorStatus getEntity(AcDbEntity*& entity, AcDb::OpenMode mode,
                                bool openErased = false) const;
    Acad::ErrorStatus seek(AcDbObjectId id);

private:
    friend class AcDbBlockTableRecord;
    explicit AcDbBlockTableRecordIterator(std::vector<AcDbObjectId> ids) : mIds(std::move(ids)) {}
    void skip(bool forward, bool skipDeleted);
    std::vector<AcDbObjectId> mIds;
    long mIndex = 0;
};

class AcDbSymbolTableIterator {
public:
    virtual ~AcDbSymbolTableIterator() = default;
    void start(bool atBeginning = true, bool skipDeleted = true);
    bool done() const;
    void step(bool forward = true, bool skipDeleted = true);
    Acad::ErrorStatus getRecordId(AcDbObjectId& id) const;
    Acad::ErrorStatus getRecord(AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                                bool openErased = false) const;
    Acad::ErrorStatus seek(AcDbObjectId id);

protected:
    friend class AcDbSymbolTable;
    explicit AcDbSymbolTableIterator(std::vector<AcDbObjectId> ids) : mIds(std::move(ids)) {}
    void skip(bool forward, bool skipDeleted);
    std::vector<AcDbObjectId> mIds;
    long mIndex = 0;
};

// A table: its records in order. The table object itself is written as the TABLE header.
class AcDbSymbolTable : public AcDbObject {
public:
    ZEL_DECLARE_MEMBERS(AcDbSymbolTable)
    // The DXF name of the table ("LAYER") and of its records' kind.
    virtual const char* tableName() const = 0;
    bool has(const ACHAR* name) const;
    bool has(AcDbObjectId id) const;
    Acad::ErrorStatus getAt(const ACHAR* name, AcDbObjectId& id,
                            bool getErasedRecord = false) const;
    Acad::ErrorStatus getAt(const ACHAR* name, AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                            bool openErasedRecord = false) const;
    // Adds the record to the database and the table (the table must be open for write);
    // the record stays open for write. Fails with eDuplicateRecordName when the name is taken.
    Acad::ErrorStatus add(AcDbSymbolTableRecord* record);
    Acad::ErrorStatus add(AcDbObjectId& id, AcDbSymbolTableRecord* record);
    Acad::ErrorStatus newIterator(AcDbSymbolTableIterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;
    const std::vector<AcDbObjectId>& recordIds() const { return mRecords; }

protected:
    friend struct zel::db::Access;
    // Record kind this table accepts.
    virtual const AcRxClass* recordClass() const = 0;
    std::vector<AcDbObjectId> mRecords;
};

#define ZEL_SYMBOL_TABLE(TABLE, RECORD, ITERATOR, NAME)                                            \
    class ITERATOR : public AcDbSymbolTableIterator {                                              \
    public:                                                                                        \
        using AcDbSymbolTableIterator::getRecord;                                                  \
        Acad::ErrorStatus getRecord(RECORD*& record, AcDb::OpenMode mode,                          \
                                    bool openErased = false) const;                                \
                                                                                                   \
    private:                                                                                       \
        friend class TABLE;                                                                        \
        explicit ITERATOR(std::vector<AcDbObjectId> ids)                                           \
            : AcDbSymbolTableIterator(std::move(ids)) {}                                           \
    };                                                                                             \
    class TABLE : public AcDbSymbolTable {                                                         \
    public:                                                                                        \
        ZEL_DECLARE_KIND(TABLE)                                                                    \
        using AcDbSymbolTable::getAt;                                                              \
        using AcDbSymbolTable::newIterator;                                                        \
        const char* tableName() const override { return NAME; }                                    \
        Acad::ErrorStatus getAt(const ACHAR* name, RECORD*& record, AcDb::OpenMode mode,           \
                                bool openErasedRecord = false) const;                              \
        Acad::ErrorStatus newIterator(ITERATOR*& iterator, bool atBeginning = true,                \
                                      bool skipDeleted = true) const;                              \
                                                                                                   \
    protected:                                                                                     \
        const AcRxClass* recordClass() const override { return RECORD::desc(); }                   \
    };

ZEL_SYMBOL_TABLE(AcDbLayerTable, AcDbLayerTableRecord, AcDbLayerTableIterator, "LAYER")
ZEL_SYMBOL_TABLE(AcDbLinetypeTable, AcDbLinetypeTableRecord, AcDbLinetypeTableIterator, "LTYPE")
ZEL_SYMBOL_TABLE(AcDbTextStyleTable, AcDbTextStyleTableRecord, AcDbTextStyleTableIterator, "STYLE")
ZEL_SYMBOL_TABLE(AcDbDimStyleTable, AcDbDimStyleTableRecord, AcDbDimStyleTableIterator, "DIMSTYLE")
ZEL_SYMBOL_TABLE(AcDbRegAppTable, AcDbRegAppTableRecord, AcDbRegAppTableIterator, "APPID")
ZEL_SYMBOL_TABLE(AcDbUCSTable, AcDbUCSTableRecord, AcDbUCSTableIterator, "UCS")
ZEL_SYMBOL_TABLE(AcDbViewTable, AcDbViewTableRecord, AcDbViewTableIterator, "VIEW")
ZEL_SYMBOL_TABLE(AcDbViewportTable, AcDbViewportTableRecord, AcDbViewportTableIterator, "VPORT")
ZEL_SYMBOL_TABLE(AcDbBlockTable, AcDbBlockTableRecord, AcDbBlockTableIterator, "BLOCK_RECORD")

// Standard names.
#define ACDB_MODEL_SPACE L"*Model_Space"
#define ACDB_PAPER_SPACE L"*Paper_Space"
