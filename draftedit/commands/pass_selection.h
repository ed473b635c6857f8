// The selection set a modify command works on in one pass: either made by this pass (freed when
// the pass lets it go) or handed over from before the command (taken over, then freed the same
// way), so that no set outlives its pass and none is freed twice.
#pragma once

#include "arx/ads.h"
#include "arx/ed.h"

namespace draftedit {

class PassSelection {
public:
    PassSelection() = default;
    ~PassSelection() { release(); }
    PassSelection(const PassSelection&) = delete;
    PassSelection& operator=(const PassSelection&) = delete;

    // Where a selection function writes the new set; own() afterwards when it succeeded.
    ads_name& name() { return mName; }
    void own() { mHeld = true; }
    bool held() const { return mHeld; }
    // Takes the set of another holder, which holds nothing afterwards.
    void takeFrom(PassSelection& other) {
        release();
        if (!other.mHeld) return;
        mName[0] = other.mName[0];
        mName[1] = other.mName[1];
        mHeld = true;
        other.mHeld = false;
        other.mName[0] = other.mName[1] = 0;
    }
    void release() {
        if (mHeld) acedSSFree(mName);
        mHeld = false;
        mName[0] = mName[1] = 0;
    }

private:
    ads_name mName = {0, 0};
    bool mHeld = false;
};

} // namespace draftedit
