// The top layer of DXF reading: records become objects of the database, each through the
// schema of its kind (unknown kinds as raw objects and entities), placed where the file puts
// them — table records in their tables, entities in their blocks, VERTEX/ATTRIB/SEQEND in
// the entity they belong to, objects with their handles.
#pragma once

#include "db/database_impl.h"
#include "dxf/filestructure.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace zel::dxf {

class DatabaseBuilder : public FileSink {
public:
    DatabaseBuilder(AcDbDatabase& db, RecordReader& records);

    bool take(Role role, const std::string& section, Record& record) override;
    void warn(const std::string& message) { mWarnings.push_back(message); }
    // After the last record: closes what the file left open.
    void finish();
    std::vector<std::string>& warnings() { return mWarnings; }

private:
    enum class Space { None, Model, Paper };

    bool header(const Record& r);
    bool keptRecord(Role role, const std::string& section, const Record& r);
    bool tableStart(const Record& r);
    bool tableRecord(const Record& r);
    bool tableEnd();
    bool blockStart(const Record& r);
    bool blockEnd(const Record& r);
    bool entity(const std::string& section, const Record& r);
    bool subEntity(const std::string& section, const Record& r);
    bool object(const Record& r);

    // A new object of the record's kind (a raw one for kinds the host does not model).
    // groups: all groups of the record, to choose among kinds sharing a DXF type.
    std::unique_ptr<AcDbObject> create(const std::string& type, bool entity,
                                       const std::vector<ZelGroupValue>* groups = nullptr) const;
    // Reads the record's groups (from `first` on) into the object; returns its handle.
    AcDbHandle read(AcDbObject& object, const Record& r, size_t first) const;
    // Adds the object with the handle it asks for (a fresh one when taken or missing, with a
    // warning) and the given owner (the file's when null), and closes it.
    db::ObjectSlot* place(std::unique_ptr<AcDbObject> object, AcDbHandle wanted, AcDbHandle owner,
                          const Record& r);
    db::ObjectSlot* spaceFor(bool paper);
    // Which space a block record is (its name compared once per change of block).
    Space spaceOf(const db::ObjectSlot* block);
    db::ObjectSlot* blockRecordFor(const AcDbBlockBegin& begin, const Record& r);
    db::ObjectSlot* newBlockRecord(const std::wstring& name);
    void repairName(AcDbSymbolTableRecord& record, const Record& r);
    void closeSequence();
    void noteHandle(const Record& r, db::ObjectSlot* slot, size_t warningsBefore);
    std::string where(const Record& r) const { return mRecords.describe(r.where); }

    AcDbDatabase& mDb;
    db::DatabaseImpl& mImpl;
    RecordReader& mRecords;
    std::vector<std::string> mWarnings;

    // The table being read: its slot, or the raw section a table the host does not know
    // goes to; and the blocks by upper-case name (release 12 files have no BLOCK_RECORD).
    db::ObjectSlot* mTable = nullptr;
    std::string mTableName;
    db::RawSection* mKeptTable = nullptr;
    std::map<std::wstring, db::ObjectSlot*> mBlocksByName;

    db::ObjectSlot* mBlock = nullptr; // the block whose entities are being read
    // Model and paper space, once looked up (entities of the ENTITIES section go there).
    std::array<db::ObjectSlot*, 2> mSpaces{};
    // The block the last entity went to, and which space it is (for the 67 flag).
    const db::ObjectSlot* mLastOwner = nullptr;
    Space mLastOwnerSpace = Space::None;
    AcDbObjectId mBlockBegin; // and its BLOCK
    // The entity whose VERTEX/ATTRIB sub-entities are being read, and those read so far.
    db::ObjectSlot* mParent = nullptr;
    std::vector<AcDbObjectId> mSubIds;
    std::string mParentWhere;
    bool mRawSequence = false; // the entity read last is a POLYLINE or INSERT kept raw
    bool mFirstObject = true;
};

} // namespace zel::dxf
