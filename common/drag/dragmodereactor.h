// The drag-mode watcher of a command (option 0x1000): while its command lives it watches the
// editor and takes the command's preview vectors away when DRAGMODE changes or a command that
// redraws the view runs (REDRAW, ZOOM, RTZOOM, RTPAN, VIEW, ZELREFOBJSC, ZELDDSELECT): the
// vectors drawn before would no longer match what is on the screen.
#pragma once

#include "arx/aced.h"

class CDrag;

class CDragModeReactor : public AcEditorReactor {
public:
    // Attached to the editor at once; detached when destroyed.
    explicit CDragModeReactor(CDrag* command);
    ~CDragModeReactor() override;
    CDragModeReactor(const CDragModeReactor&) = delete;
    CDragModeReactor& operator=(const CDragModeReactor&) = delete;

    CDrag* command() const { return mCommand; }
    bool isAttached() const { return mAttached; }

    void sysVarChanged(const ACHAR* varName, Adesk::Boolean success) override;
    void commandWillStart(const ACHAR* cmdStr) override;

    // Does this command redraw the view (a name as the editor reports it, any case, with or
    // without the "C:" of a LISP command)?
    static bool redrawsView(const ACHAR* cmdStr);

private:
    CDrag* mCommand;
    bool mAttached = false;
};
