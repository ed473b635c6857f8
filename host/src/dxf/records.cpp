#include "dxf/records.h"

#include "dxf/readahead.h"

namespace zel::dxf {
namespace {

using core::GroupType;

std::wstring hexOf(std::string_view bytes) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

// Index of the first unused tag with the given code after `from`, stopping at the next x of
// the same point code (whose own y that would be); -1 if none.
long findLater(std::span<const Tag> tags, const std::vector<bool>& used, size_t from, int code,
               int xCode) {
    for (size_t k = from; k < tags.size(); ++k) {
        if (tags[k].code == xCode) return -1;
        if (tags[k].code == code && !used[k]) return long(k);
    }
    return -1;
}

std::string_view recordType(const Tag& tag) {
    std::string_view type = tag.text;
    while (!type.empty() && (type.back() == ' ' || type.back() == '\t'))
        type.remove_suffix(1);
    while (!type.empty() && (type.front() == ' ' || type.front() == '\t'))
        type.remove_prefix(1);
    return type;
}

} // namespace

void RecordReader::retypeAsText(Record& record, const Tag& tag) const {
    for (size_t i = 0; i < record.groups.size(); ++i) {
        if (record.groups[i].code != tag.code || record.wheres[i] != tag.where) continue;
        record.groups[i].integer = 0;
        mDecoder.decode(tag.text, record.groups[i].text);
    }
}

namespace {

// Fills `v` (whatever it held before; its text keeps its memory) from one tag.
void fillFromTag(ZelGroupValue& v, const Tag& tag, const TextDecoder& decoder) {
    v.code = tag.code;
    v.real = 0;
    v.point = AcGePoint3d();
    v.integer = 0;
    v.flat = false;
    v.text.clear();
    switch (tag.type) {
    case GroupType::String:
        decoder.decode(tag.text, v.text);
        break;
    case GroupType::Binary:
        if (tag.rawBytes) {
            v.text = hexOf(tag.text);
        } else {
            decoder.decode(tag.text, v.text);
        }
        break;
    case GroupType::Handle: {
        uint64_t h = 0;
        if (parseHex(tag.text, h)) {
            v.integer = static_cast<int64_t>(h);
        } else {
            decoder.decode(tag.text, v.text); // not a handle: kept as the text it was
        }
        break;
    }
    case GroupType::Real:
        v.real = tag.real;
        break;
    case GroupType::PointX:
        v.point.x = tag.real;
        break;
    case GroupType::Int16:
    case GroupType::Int32:
    case GroupType::Int64:
    case GroupType::Bool:
        v.integer = tag.integer;
        break;
    }
}

} // namespace

ZelGroupValue groupFromTag(const Tag& tag, const TextDecoder& decoder) {
    ZelGroupValue v;
    fillFromTag(v, tag, decoder);
    return v;
}

namespace {

// The groups of the record being assembled, written over those of the record before so that
// their texts reuse their memory (a file of similar records reads without a malloc per text).
// Texts of groups left over at the end wait in `spare` for a longer record.
class GroupSlots {
public:
    GroupSlots(std::vector<ZelGroupValue>& groups, std::vector<uint64_t>& wheres,
               std::vector<std::wstring>* spare)
        : mGroups(groups), mWheres(wheres), mSpare(spare) {
        mWheres.clear();
    }
    ZelGroupValue& next(uint64_t where) {
        mWheres.push_back(where);
        if (mCount == mGroups.size()) {
            mGroups.emplace_back();
            if (mSpare && !mSpare->empty()) {
                mGroups.back().text = std::move(mSpare->back());
                mSpare->pop_back();
            }
        }
        return mGroups[mCount++];
    }
    void finish() {
        for (size_t i = mCount; mSpare && i < mGroups.size(); ++i)
            if (mGroups[i].text.capacity() > kShortText)
                mSpare->push_back(std::move(mGroups[i].text));
        mGroups.resize(mCount);
    }

private:
    // Texts this short live inside the string; keeping them spares nothing.
    static constexpr size_t kShortText = 3;
    std::vector<ZelGroupValue>& mGroups;
    std::vector<uint64_t>& mWheres;
    std::vector<std::wstring>* mSpare;
    size_t mCount = 0;
};

} // namespace

void assembleGroups(std::span<const Tag> tags, const TextDecoder& decoder,
                    std::vector<ZelGroupValue>& groups, std::vector<uint64_t>& wheres,
                    std::vector<std::wstring>* spareTexts) {
    GroupSlots slots(groups, wheres, spareTexts);
    std::vector<bool> used;
    for (size_t i = 0; i < tags.size(); ++i) {
        if (!used.empty() && used[i]) continue;
        const Tag& t = tags[i];
        ZelGroupValue& p = slots.next(t.where);
        fillFromTag(p, t, decoder);
        if (t.type != GroupType::PointX) continue;
        int yCode = t.code + 10;
        int zCode = t.code + 20;
        if (i + 1 < tags.size() && tags[i + 1].code == yCode && (used.empty() || !used[i + 1])) {
            p.point.y = tags[i + 1].real;
            p.flat = true;
            ++i;
            if (i + 1 < tags.size() && tags[i + 1].code == zCode) {
                p.point.z = tags[i + 1].real;
                p.flat = false;
                ++i;
            }
            continue;
        }
        // Coordinates out of order: look for y and z later in the record.
        if (used.empty()) used.assign(tags.size(), false);
        long y = findLater(tags, used, i + 1, yCode, t.code);
        p.flat = true;
        if (y < 0) {
            p.integer = kPointXOnly;
            continue;
        }
        used[size_t(y)] = true;
        p.point.y = tags[size_t(y)].real;
        long z = findLater(tags, used, i + 1, zCode, t.code);
        if (z >= 0) {
            used[size_t(z)] = true;
            p.point.z = tags[size_t(z)].real;
            p.flat = false;
        }
    }
    slots.finish();
}

RecordReader::RecordReader(TagReader& tags, const TextDecoder& decoder)
    : mTags(tags), mDecoder(decoder) {}

RecordReader::~RecordReader() = default;

bool RecordReader::fail(uint64_t where, const std::string& message) {
    if (mError.empty()) mError = mTags.describe(where) + ": " + message;
    return false;
}

bool RecordReader::failRead(uint64_t where, const std::string& message) {
    if (mReadError.empty()) mReadError = mTags.describe(where) + ": " + message;
    return false;
}

void RecordReader::startReadingAhead() {
    if (mAhead) return;
    mAhead = std::make_unique<ReadAhead>([this](Record& r) { return readOne(r); });
}

void RecordReader::stopReadingAhead() {
    mAhead.reset();
}

bool RecordReader::next(Record& record) {
    if (!mError.empty()) return false;
    bool read = mAhead ? mAhead->next(record) : readOne(record);
    if (!read && !mReadError.empty()) mError = mReadError;
    return read;
}

bool RecordReader::readRecordTags() {
    mPending.clear();
    while (!mHaveLookahead || mLookahead.code == kCommentCode) {
        if (!mTags.next(mLookahead)) {
            mReadError = mTags.error();
            return false;
        }
        mHaveLookahead = true;
    }
    if (mLookahead.code != 0)
        return failRead(mLookahead.where, "expected group code 0 (the start of an object), found " +
                                              std::to_string(mLookahead.code));
    mPending.push_back(mLookahead);
    mHaveLookahead = false;
    if (recordType(mLookahead) == "EOF") return true; // whatever follows is not read
    Tag t;
    while (mTags.next(t)) {
        if (t.code == kCommentCode) continue;
        if (t.code == 0) {
            mLookahead = t;
            mHaveLookahead = true;
            return true;
        }
        mPending.push_back(t);
    }
    if (!mTags.error().empty()) {
        mReadError = mTags.error();
        return false;
    }
    return true; // the last record of the data
}

bool RecordReader::readOne(Record& record) {
    if (!mReadError.empty()) return false;
    if (!readRecordTags()) return false;
    const Tag& head = mPending.front();
    record.type.assign(recordType(head));
    record.where = head.where;
    assembleGroups(std::span<const Tag>(mPending).subspan(1), mDecoder, record.groups,
                   record.wheres, &mSpareTexts);
    // The 5 of a DIMSTYLE is the name of its arrow block (DIMBLK) in old files; its handle
    // is 105.
    if (record.type == "DIMSTYLE")
        for (size_t i = 1; i < mPending.size(); ++i)
            if (mPending[i].code == 5) retypeAsText(record, mPending[i]);
    if (mPassed) mPassed->passed(firstNeededByte());
    return true;
}

// The record is made of copies; only the 0 tag read ahead still points into the data.
size_t RecordReader::firstNeededByte() const {
    return mHaveLookahead ? mTags.offsetOf(mLookahead.text) : mTags.offset();
}

} // namespace zel::dxf
