// Named objects: dictionaries, xrecords, groups, and the raw objects and entities that keep
// every kind the host does not model. Included by db.h.
#pragma once

class AcDbDictionaryIterator;

// DICTIONARY: entries name -> object in insertion order. Entries refer to objects by handle
// (a file names objects before they are read); the ids are looked up when asked for.
class AcDbDictionary : public AcDbObject {
public:
    ZEL_DECLARE_KIND(AcDbDictionary)
    AcDbDictionary() = default;

    struct Entry {
        std::wstring name;
        AcDbHandle handle;
        bool operator==(const Entry&) const = default;
    };

    uint32_t numEntries() const { return uint32_t(mEntries.size()); }
    bool has(const ACHAR* name) const;
    bool has(AcDbObjectId id) const;
    Acad::ErrorStatus getAt(const ACHAR* name, AcDbObjectId& id) const;
    Acad::ErrorStatus getAt(const ACHAR* name, AcDbObject*& object, AcDb::OpenMode mode) const;
    Acad::ErrorStatus nameAt(AcDbObjectId id, std::wstring& name) const;
    // Adds the object to the database when it is not yet there, owned by this dictionary;
    // an existing entry of that name is replaced (and its object erased when owned).
    Acad::ErrorStatus setAt(const ACHAR* name, AcDbObject* object, AcDbObjectId& id);
    Acad::ErrorStatus remove(const ACHAR* name);
    Acad::ErrorStatus remove(const ACHAR* name, AcDbObjectId& id);
    Acad::ErrorStatus remove(AcDbObjectId id);
    Acad::ErrorStatus setName(const ACHAR* oldName, const ACHAR* newName);
    AcDbDictionaryIterator* newIterator() const;

    bool isTreatElementsAsHard() const { return mHardOwner; }
    void setTreatElementsAsHard(bool hard);
    int16_t mergeStyle() const { return mMergeStyle; }
    void setMergeStyle(int16_t style);
    const std::vector<Entry>& entries() const { return mEntries; }

private:
    friend struct zel::db::Access;
    std::vector<Entry> mEntries;
    bool mHardOwner = false; // 280
    int16_t mMergeStyle = 1; // 281: duplicate record cloning
};

class AcDbDictionaryIterator {
public:
    const ACHAR* name() const;
    AcDbObjectId objectId() const;
    Acad::ErrorStatus getObject(AcDbObject*& object, AcDb::OpenMode mode) const;
    bool done() const { return mIndex >= mEntries.size(); }
    bool next();

private:
    friend class AcDbDictionary;
    AcDbDictionaryIterator(const AcDbDictionary& dict);
    AcDbDatabase* mDatabase = nullptr;
    std::vector<AcDbDictionary::Entry> mEntries;
    size_t mIndex = 0;
};

// XRECORD: any groups, in order.
class AcDbXrecord : public AcDbObject {
public:
    ZEL_DECLARE_KIND(AcDbXrecord)
    AcDbXrecord() = default;
    // The data as a resbuf list (entity names for object references); the caller frees it.
    Acad::ErrorStatus rbChain(resbuf** list, AcDbDatabase* db = nullptr) const;
    Acad::ErrorStatus setFromRbChain(const resbuf* list, AcDbDatabase* db = nullptr);
    const std::vector<ZelGroupValue>& data() const { return mData; }
    void setData(std::vector<ZelGroupValue> data);
    int16_t mergeStyle() const { return mMergeStyle; }
    void setMergeStyle(int16_t style);

private:
    friend struct zel::db::Access;
    int16_t mMergeStyle = 1; // 280
    bool mMergeRead = false; // reading: the 280 of the flag was seen (later 280s are data)
    std::vector<ZelGroupValue> mData;
};

// GROUP: a named (or unnamed) set of entities in the ACAD_GROUP dictionary.
class AcDbGroup : public AcDbObject {
public:
    ZEL_DECLARE_KIND(AcDbGroup)
    AcDbGroup() = default;
    explicit AcDbGroup(const ACHAR* description, bool selectable = true);
    const ACHAR* description() const { return mDescription.c_str(); }
    Acad::ErrorStatus setDescription(const ACHAR* text);
    bool isSelectable() const { return mSelectable; }
    Acad::ErrorStatus setSelectable(bool selectable);
    bool isAnonymous() const { return mUnnamed; }
    Acad::ErrorStatus setAnonymous();
    Acad::ErrorStatus append(AcDbObjectId id);
    Acad::ErrorStatus remove(AcDbObjectId id);
    Acad::ErrorStatus clear();
    bool has(const AcDbEntity* entity) const;
    bool has(AcDbObjectId id) const;
    uint32_t numEntities() const { return uint32_t(mEntities.size()); }
    uint32_t allEntityIds(AcDbObjectIdArray& ids) const;
    const std::vector<AcDbHandle>& entityHandles() const { return mEntities; }

private:
    friend struct zel::db::Access;
    std::wstring mDescription;
    bool mUnnamed = false;
    bool mSelectable = true;
    std::vector<AcDbHandle> mEntities;
};

// An object of a kind the host does not model: its DXF type name and every group, in order.
class AcDbRawObject : public AcDbObject {
public:
    ZEL_DECLARE_KIND(AcDbRawObject)
    AcDbRawObject() = default;
    explicit AcDbRawObject(std::string dxfName) : mDxfName(std::move(dxfName)) {}
    std::string_view dxfName() const override { return mDxfName; }

private:
    std::string mDxfName;
};

// An entity of a kind the host does not model: the common properties are read as such (so it
// can be listed, selected and moved between layers); every other group is kept in order.
class AcDbRawEntity : public AcDbEntity {
public:
    ZEL_DECLARE_KIND(AcDbRawEntity)
    AcDbRawEntity() = default;
    explicit AcDbRawEntity(std::string dxfName) : mDxfName(std::move(dxfName)) {}
    std::string_view dxfName() const override { return mDxfName; }
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

private:
    std::string mDxfName;
};
