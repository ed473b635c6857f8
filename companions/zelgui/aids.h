// The drawing aids the bar keeps for the user: the object-snap modes (OSMODE) and the drag mode
// (DRAGMODE) the user chose. Commands freeze them while they pick (the per-document flags
// "FreezeOsMode" and "FreezeDragMode" are then "1"); changes made meanwhile are the commands'
// own and are not kept. Zelads_ResetOsmode and Zelads_ResetDrgmode give the kept values back.
#pragma once

#include "arx/aced.h"

namespace zelgui {

class AidsWatch : public AcEditorReactor {
public:
    // Takes the current values as the user's and watches the editor's system variables.
    void start();
    void stop();
    void sysVarChanged(const ACHAR* varName, Adesk::Boolean success) override;

private:
    bool mWatching = false;
};

// The kept values back in OSMODE and DRAGMODE (only when they differ).
void restoreOsmode();
void restoreDragmode();

} // namespace zelgui
