// The drag-mode watcher of a command: would take the preview vectors of its command away when
// DRAGMODE changes or a view command runs. It is made and dropped with its command (option
// 0x1000) but not attached to the editor, so it is never told anything.
#pragma once

#include "arx/aced.h"

class CDrag;

class CDragModeReactor : public AcEditorReactor {
public:
    explicit CDragModeReactor(CDrag* command) : mCommand(command) {}
    CDrag* command() const { return mCommand; }

private:
    CDrag* mCommand;
};
