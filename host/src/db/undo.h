// The undo journal of a database. Every change made while a step is open is recorded: objects
// added, the state of an object before its first change in the step, erase and unerase, the
// handle seed, header variables, symbol-table and block-record lists, raw sections. Undoing a
// step plays its records backwards and restores the database exactly (ids, handles, data,
// xdata, draw order, erased flags). Changes made with no step open are not recorded (reading
// a file, building a new drawing); grouping and marks are the editor's business.
#pragma once

#include "db/header.h"

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace zel::db {

struct ObjectSlot;
class DatabaseImpl;

struct RawSection {
    std::wstring name; // "CLASSES", "THUMBNAILIMAGE", "ACDSDATA" ...
    std::vector<ZelGroupValue> groups;
    bool operator==(const RawSection&) const = default;
};

class UndoJournal {
public:
    explicit UndoJournal(DatabaseImpl& db) : mDb(db) {}

    // Steps. A begin inside an open step only counts the depth; the outermost end closes it.
    void beginStep(std::wstring name);
    void endStep();
    bool stepOpen() const { return mDepth > 0; }
    // Undoes the last closed step (closing an open one first). Fails with eWasOpenForWrite or
    // eWasOpenForRead while objects are open, eNotApplicable when there is nothing to undo.
    Acad::ErrorStatus undoStep();
    size_t stepCount() const { return mSteps.size(); }
    const std::wstring& stepName(size_t index) const { return mSteps[index].name; }
    void clear();

    // Records (ignored when no step is open).
    void objectAdded(ObjectSlot* slot);
    void beforeChange(ObjectSlot* slot); // the object's state before its first change
    void erasedChanged(ObjectSlot* slot, bool previous);
    void listAppended(ObjectSlot* owner);
    void listReplaced(ObjectSlot* owner, std::vector<AcDbObjectId> previous);
    void headerChanged(std::wstring_view name, long index,
                       std::optional<std::vector<ZelGroupValue>> previous);
    void sectionsChanged(std::vector<RawSection> previous);
    bool recording() const { return mDepth > 0; }

private:
    struct Added {
        ObjectSlot* slot;
    };
    struct Snapshot {
        ObjectSlot* slot;
        std::unique_ptr<AcDbObject> state;
    };
    struct Erased {
        ObjectSlot* slot;
        bool previous;
    };
    struct ListAppend {
        ObjectSlot* owner;
    };
    struct ListReplace {
        ObjectSlot* owner;
        std::vector<AcDbObjectId> previous;
    };
    struct Header {
        std::wstring name;
        long index;
        std::optional<std::vector<ZelGroupValue>> previous;
    };
    struct Sections {
        std::vector<RawSection> previous;
    };
    using Record = std::variant<Added, Snapshot, Erased, ListAppend, ListReplace, Header, Sections>;
    struct Step {
        std::wstring name;
        uint64_t serial = 0;
        uint64_t handseed = 0;
        std::vector<Record> records;
    };

    void undo(Added& r);
    void undo(Snapshot& r);
    void undo(Erased& r);
    void undo(ListAppend& r);
    void undo(ListReplace& r);
    void undo(Header& r);
    void undo(Sections& r);

    DatabaseImpl& mDb;
    std::vector<Step> mSteps;
    int mDepth = 0;
    uint64_t mSerial = 0;
};

} // namespace zel::db
