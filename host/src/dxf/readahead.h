// Reading records on a second thread: while the database is built from one batch of records,
// the next batches are read and decoded. Records travel in batches that go back and forth, so
// their memory (texts, group lists) is reused and only a few batches are ever held.
#pragma once

#include "dxf/records.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace zel::dxf {

class ReadAhead {
public:
    // read: reads the next record; false at the end of the records or on damage. Runs on the
    // reading thread only, which starts at once. It stops after a record of type "EOF".
    explicit ReadAhead(std::function<bool(Record&)> read);
    ~ReadAhead(); // stops the reading thread and waits for it
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next record, swapped into `record` (whose memory goes back to the reading thread).
    // False when `read` returned false; what read() left behind (its error) may be looked at
    // from then on. An exception thrown by read() is thrown here, in its order.
    bool next(Record& record);

private:
    struct Batch {
        std::vector<Record> records;
        size_t count = 0;
        bool last = false; // the records end after this batch
        std::exception_ptr failure;
    };
    void produce();
    void fill(Batch& batch);
    std::unique_ptr<Batch> takeFree();
    void stop();

    std::function<bool(Record&)> mRead;
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::deque<std::unique_ptr<Batch>> mFull; // read, waiting for the caller
    std::deque<std::unique_ptr<Batch>> mFree; // handed back, waiting to be filled
    std::atomic<bool> mStopping{false};
    std::unique_ptr<Batch> mCurrent; // the batch the caller takes records from
    size_t mNext = 0;
    bool mEnded = false;
    std::thread mThread;
};

} // namespace zel::dxf
