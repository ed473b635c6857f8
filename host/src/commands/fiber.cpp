#include "commands/fiber.h"

#include <cassert>

namespace zel::commands {

Fiber::~Fiber() {
    assert((mDone || !mThread.joinable()) && "a fiber is destroyed while its body waits");
    if (mThread.joinable()) mThread.join();
}

bool Fiber::resume() {
    assert(!mDone && "resume of a fiber that has ended");
    assert(!inside() && "a fiber resumes itself");
    std::unique_lock lock(mMutex);
    mTurn = Turn::Body;
    if (!mThread.joinable())
        mThread = std::thread([this] { main(); });
    else
        mCv.notify_all();
    mCv.wait(lock, [this] { return mTurn == Turn::Caller; });
    return mDone;
}

void Fiber::yield() {
    assert(inside() && "yield outside the fiber's body");
    std::unique_lock lock(mMutex);
    mTurn = Turn::Caller;
    mCv.notify_all();
    mCv.wait(lock, [this] { return mTurn == Turn::Body; });
}

void Fiber::main() {
    {
        std::unique_lock lock(mMutex);
        mCv.wait(lock, [this] { return mTurn == Turn::Body; });
    }
    mBody();
    std::lock_guard lock(mMutex);
    mDone = true;
    mTurn = Turn::Caller;
    mCv.notify_all();
}

} // namespace zel::commands
