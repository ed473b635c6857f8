#include "dxf/readahead.h"

#include <cassert>

namespace zel::dxf {
namespace {

// Records per batch, and batches in circulation: enough to keep both threads busy, few enough
// that the records held at once are a small part of a large file.
constexpr size_t kBatchRecords = 1024;
constexpr size_t kBatches = 3;

} // namespace

ReadAhead::ReadAhead(std::function<bool(Record&)> read) : mRead(std::move(read)) {
    for (size_t i = 0; i < kBatches; ++i)
        mFree.push_back(std::make_unique<Batch>());
    mThread = std::thread([this] { produce(); });
}

ReadAhead::~ReadAhead() {
    stop();
}

void ReadAhead::stop() {
    {
        std::lock_guard lock(mMutex);
        mStopping = true;
    }
    mChanged.notify_all();
    if (mThread.joinable()) mThread.join();
}

std::unique_ptr<ReadAhead::Batch> ReadAhead::takeFree() {
    std::unique_lock lock(mMutex);
    mChanged.wait(lock, [this] { return mStopping || !mFree.empty(); });
    if (mStopping) return nullptr;
    std::unique_ptr<Batch> batch = std::move(mFree.front());
    mFree.pop_front();
    return batch;
}

// Reads records into the batch until it is full or the records end.
void ReadAhead::fill(Batch& batch) {
    batch.count = 0;
    batch.last = false;
    batch.failure = nullptr;
    try {
        while (batch.count < kBatchRecords && !mStopping) {
            if (batch.records.size() == batch.count) batch.records.emplace_back();
            Record& r = batch.records[batch.count];
            if (!mRead(r)) {
                batch.last = true;
                return;
            }
            ++batch.count;
            if (r.type == "EOF") { // what follows the end of the file is not read
                batch.last = true;
                return;
            }
        }
    } catch (...) {
        batch.failure = std::current_exception();
        batch.last = true;
    }
}

void ReadAhead::produce() {
    while (true) {
        std::unique_ptr<Batch> batch = takeFree();
        if (!batch) return;
        fill(*batch);
        bool last = batch->last;
        {
            std::lock_guard lock(mMutex);
            mFull.push_back(std::move(batch));
        }
        mChanged.notify_all();
        if (last) return;
    }
}

bool ReadAhead::next(Record& record) {
    while (!mEnded) {
        if (mCurrent && mNext < mCurrent->count) {
            std::swap(record, mCurrent->records[mNext++]);
            return true;
        }
        if (mCurrent && mCurrent->last) {
            mEnded = true;
            if (mCurrent->failure) std::rethrow_exception(mCurrent->failure);
            return false;
        }
        std::unique_lock lock(mMutex);
        if (mCurrent) {
            mFree.push_back(std::move(mCurrent));
            mChanged.notify_all();
        }
        mChanged.wait(lock, [this] { return !mFull.empty(); });
        mCurrent = std::move(mFull.front());
        mFull.pop_front();
        mNext = 0;
        assert(mCurrent && "a read batch is handed over");
    }
    return false;
}

} // namespace zel::dxf
