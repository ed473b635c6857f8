// A pending host command's own execution context: a thread that runs only while the host
// hands it control (resume) and gives control back when it waits for tokens (yield) or ends.
// Exactly one of the caller and the body runs at any time, so the body may use the editor and
// the database as the caller does.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace zel::commands {

class Fiber {
public:
    explicit Fiber(std::function<void()> body) : mBody(std::move(body)) {}
    ~Fiber();
    Fiber(const Fiber&) = delete;
    Fiber& operator=(const Fiber&) = delete;

    // Runs the body until it yields or ends; true when it has ended. Not after it ended.
    bool resume();
    // Called by the body: hands control back to the caller of resume() until the next resume.
    void yield();
    bool finished() const { return mDone; }
    // True on the body's thread.
    bool inside() const { return std::this_thread::get_id() == mThread.get_id(); }

private:
    enum class Turn { Caller, Body };
    void main();

    std::function<void()> mBody;
    std::thread mThread;
    std::mutex mMutex;
    std::condition_variable mCv;
    Turn mTurn = Turn::Caller;
    bool mDone = false;
};

} // namespace zel::commands
