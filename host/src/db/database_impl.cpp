// Slots, handles, header changes and name tags of a database.
#include "db/database_impl.h"

#include <cassert>
#include <map>

namespace zel::db {

namespace {

// Live databases by the tag of their entity names. Tags are never reused, so a name of a
// closed drawing finds nothing.
std::map<int64_t, AcDbDatabase*>& databasesByTag() {
    static std::map<int64_t, AcDbDatabase*> byTag;
    return byTag;
}

int64_t nextTag() {
    static int64_t counter = 0;
    return 0x5A454C0000000000LL + ++counter; // "ZEL" in the high bytes: garbage rarely matches
}

} // namespace

AcDbDatabase* databaseByNameTag(int64_t tag) {
    auto& byTag = databasesByTag();
    auto it = byTag.find(tag);
    return it == byTag.end() ? nullptr : it->second;
}

DatabaseImpl::DatabaseImpl(AcDbDatabase& owner) : mOwner(owner), mJournal(*this), mTag(nextTag()) {
    databasesByTag()[mTag] = &owner;
}

DatabaseImpl::~DatabaseImpl() {
    touched(nullptr);
    databasesByTag().erase(mTag);
}

int DatabaseImpl::addWatcher(Watcher watcher) {
    mWatchers.emplace_back(mNextWatcher, std::move(watcher));
    return mNextWatcher++;
}

void DatabaseImpl::removeWatcher(int id) {
    std::erase_if(mWatchers, [id](const auto& w) { return w.first == id; });
}

void DatabaseImpl::touched(ObjectSlot* slot) const {
    for (const auto& w : mWatchers)
        w.second(slot);
}

ObjectSlot* DatabaseImpl::newSlot() {
    size_t index = mUsed % kChunk;
    if (index == 0) {
        mChunks.push_back(std::make_unique<ObjectSlot[]>(kChunk));
        mChunkByAddress[reinterpret_cast<uintptr_t>(mChunks.back().get())] = mChunks.size() - 1;
    }
    ++mUsed;
    return &mChunks.back()[index];
}

bool DatabaseImpl::ownsSlot(const void* p) const {
    auto address = reinterpret_cast<uintptr_t>(p);
    auto it = mChunkByAddress.upper_bound(address);
    if (it == mChunkByAddress.begin()) return false;
    --it;
    uintptr_t offset = address - it->first;
    if (offset % sizeof(ObjectSlot) != 0) return false;
    size_t index = offset / sizeof(ObjectSlot);
    if (index >= kChunk) return false;
    return it->second * kChunk + index < mUsed;
}

void DatabaseImpl::forEachSlot(const std::function<void(ObjectSlot&)>& fn) const {
    for (size_t i = 0; i < mUsed; ++i)
        fn(mChunks[i / kChunk][i % kChunk]);
}

size_t DatabaseImpl::ordinal(const ObjectSlot* slot) const {
    auto address = reinterpret_cast<uintptr_t>(slot);
    auto it = mChunkByAddress.upper_bound(address);
    assert(it != mChunkByAddress.begin() && "the slot belongs to this database");
    --it;
    return it->second * kChunk + (address - it->first) / sizeof(ObjectSlot);
}

ObjectSlot* DatabaseImpl::add(std::unique_ptr<AcDbObject> object, AcDbHandle wanted) {
    assert(object && !object->slot() && "an object is added to one database once");
    AcDbHandle given = wanted;
    if (wanted.isNull() || mByHandle.count(wanted.value())) {
        while (mByHandle.count(mHandseed))
            ++mHandseed;
        given = AcDbHandle(mHandseed++);
        if (!wanted.isNull()) mWarnings.push_back({wanted, given, std::string(object->dxfName())});
    } else if (wanted.value() >= mHandseed) {
        mHandseed = wanted.value() + 1;
    }
    ObjectSlot* s = newSlot();
    s->object = std::move(object);
    s->database = &mOwner;
    s->handle = given;
    s->alive = true;
    s->writer = true;
    s->isNew = true;
    s->object->attach(s);
    mByHandle[given.value()] = s;
    mJournal.objectAdded(s);
    return s;
}

ObjectSlot* DatabaseImpl::findHandle(AcDbHandle handle) const {
    auto it = mByHandle.find(handle.value());
    return it == mByHandle.end() ? nullptr : it->second;
}

void DatabaseImpl::setHandseed(uint64_t next) {
    mHandseed = next == 0 ? 1 : next;
}

void DatabaseImpl::kill(ObjectSlot* s) {
    mByHandle.erase(s->handle.value());
    s->object.reset();
    s->alive = false;
    s->writer = false;
    s->readers = 0;
    s->erased = false;
    s->handle = AcDbHandle();
}

void DatabaseImpl::setHeader(std::wstring_view name, std::vector<ZelGroupValue> values) {
    long index = mHeader.indexOf(name);
    std::optional<std::vector<ZelGroupValue>> previous;
    if (index >= 0) previous = mHeader.entries()[size_t(index)].values;
    mJournal.headerChanged(name, index, std::move(previous));
    mHeader.set(name, std::move(values));
}

void DatabaseImpl::eraseHeader(std::wstring_view name) {
    long index = mHeader.indexOf(name);
    if (index < 0) return;
    mJournal.headerChanged(name, index, mHeader.entries()[size_t(index)].values);
    mHeader.erase(name);
}

void DatabaseImpl::setRawSections(std::vector<RawSection> sections) {
    mJournal.sectionsChanged(mSections);
    mSections = std::move(sections);
}

void noteChange(AcDbObject& object) {
    ObjectSlot* s = object.slot();
    if (s && s->database) s->database->impl().journal().beforeChange(s);
}

} // namespace zel::db
