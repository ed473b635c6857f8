// Where the events of the dialog bar and its text panel go: the handler a companion installs
// (zelSetBarEventHandler), remembered with the module that installed it.
#pragma once

#include "arx/zelbar.h"
#include "editor/events.h"

namespace zel::app {

class BarEvents {
public:
    // owner: the module whose code installs it (null: the host's own).
    ZelBarEventHandler install(ZelBarEventHandler handler, const void* owner);
    void dropOwnedBy(const void* owner);
    // True when the event is the bar's and the handler took it.
    bool deliver(const editor::Event& e);

private:
    ZelBarEventHandler mHandler = nullptr;
    const void* mOwner = nullptr;
};

} // namespace zel::app
