// The middle layer of DXF reading: records. A record is a 0 tag (its type, "LINE",
// "SECTION", "ENDSEC") with the groups that follow it up to the next 0 tag. Groups are the
// values the object model takes: texts decoded, points assembled from their x/y/z tags.
#pragma once

#include "arx/db.h"
#include "dxf/groups.h"
#include "dxf/tagreader.h"
#include "dxf/textcodec.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace zel::dxf {

// Comments (999) may stand anywhere; they are not part of the drawing and are skipped.
inline constexpr int16_t kCommentCode = 999;

struct Record {
    std::string type;                  // value of the 0 tag
    uint64_t where = 0;                // position of the 0 tag
    std::vector<ZelGroupValue> groups; // groups after the 0 tag
    std::vector<uint64_t> wheres;      // position of each group
};

// Told how far reading has come: after each record, the offset of the first byte of the data
// that is still needed (no tag or record refers to the bytes before it any more), so that the
// memory of a large file can be given back while its drawing is built.
class PassedBytes {
public:
    virtual ~PassedBytes() = default;
    virtual void passed(size_t offset) = 0;
};

class ReadAhead;

class RecordReader {
public:
    RecordReader(TagReader& tags, const TextDecoder& decoder);
    ~RecordReader();

    // The next record. Returns false at the end of the data (error() empty) or on damage.
    bool next(Record& record);
    // From now on the records are read and decoded on a second thread, ahead of next() (for
    // large files: the caller builds objects meanwhile). The records, errors and positions
    // are the same as without.
    void startReadingAhead();
    // Stops reading ahead; afterwards decoder() and lastPosition() tell of everything read.
    void stopReadingAhead();
    const std::string& error() const { return mError; }
    // Sets the error with a position: "line 12: <message>"; always returns false.
    bool fail(uint64_t where, const std::string& message);
    std::string describe(uint64_t where) const { return mTags.describe(where); }
    uint64_t lastPosition() const { return mTags.lastPosition(); }
    void setDecoder(const TextDecoder& decoder) { mDecoder = decoder; }
    const TextDecoder& decoder() const { return mDecoder; }
    // Tells `passed` how far reading has come after each record (null: nobody).
    void setPassedBytes(PassedBytes* passed) { mPassed = passed; }

private:
    // Reading proper: the next record, or false with mReadError on damage. Runs on the
    // reading thread when reading ahead; it touches nothing next() and fail() touch.
    bool readOne(Record& record);
    bool failRead(uint64_t where, const std::string& message);
    bool readRecordTags();
    size_t firstNeededByte() const;
    void retypeAsText(Record& record, const Tag& tag) const;

    TagReader& mTags;
    TextDecoder mDecoder;
    std::vector<Tag> mPending;             // tags of the record being read
    std::vector<std::wstring> mSpareTexts; // memory of texts for the groups of later records
    Tag mLookahead;
    bool mHaveLookahead = false;
    PassedBytes* mPassed = nullptr;
    std::string mReadError; // damage found by reading
    std::string mError;     // the first error told: the reading's or a caller's (fail)
    std::unique_ptr<ReadAhead> mAhead;
};

// Converts tags to groups: texts decoded, a point made of an x tag and the y (and z) tags
// that follow it — or, in files of old programs that write all x first, that come later in
// the same record. An x without any y is kept as a one-coordinate point. The groups given are
// written over (their texts keep their memory); texts of groups left over are moved to
// `spareTexts` when given, and taken from there when the record is longer.
void assembleGroups(std::span<const Tag> tags, const TextDecoder& decoder,
                    std::vector<ZelGroupValue>& groups, std::vector<uint64_t>& wheres,
                    std::vector<std::wstring>* spareTexts = nullptr);

// One group from one tag (not a point).
ZelGroupValue groupFromTag(const Tag& tag, const TextDecoder& decoder);

} // namespace zel::dxf
