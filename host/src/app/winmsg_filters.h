// The window-message filters modules register (acedRegisterFilterWinMsg): keys typed while a
// prompt waits are offered to them, in the order of registration, before the prompt reads them.
#pragma once

#include "arx/acedwinmsg.h"
#include "editor/events.h"

#include <vector>

namespace zel::app {

class WinMsgFilters {
public:
    // owner: the module whose code registers it (null: the host's own).
    bool add(AcedFilterWinMsgFn fn, const void* owner);
    bool remove(AcedFilterWinMsgFn fn);
    void dropOwnedBy(const void* owner);
    // True when the event is a key and a filter swallowed it.
    bool deliver(const editor::Event& e);

private:
    struct Entry {
        AcedFilterWinMsgFn fn;
        const void* owner;
    };
    std::vector<Entry> mFilters;
};

} // namespace zel::app
