// The command stack of the runtime API: module commands by group, registered into the
// editor's command registry. A command's procedure runs with its module as the current one
// (so that what it registers is known to be the module's). Flags: ACRX_CMD_TRANSPARENT lets it
// run inside another command; without ACRX_CMD_USEPICKSET the PICKFIRST set is cleared
// before it runs; with ACRX_CMD_REDRAW it is cleared (and its highlight removed) after it.
#pragma once

#include "arx/aced.h"
#include "editor/editor.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zel::app {

class CommandStack : public AcEdCommandStack {
public:
    // Runs a module's command procedure on behalf of its module.
    using Runner = std::function<void(const void* module, AcRxFunctionPtr fn)>;

    CommandStack(editor::Editor& ed, Runner runner);
    ~CommandStack() override;

    Acad::ErrorStatus addCommand(const ACHAR* group, const ACHAR* globalName,
                                 const ACHAR* localName, int32_t flags, AcRxFunctionPtr fn,
                                 AcEdUIContext* ui, int fcode, void* resources,
                                 AcEdCommand** cmdPtrRet) override;
    Acad::ErrorStatus removeCmd(const ACHAR* group, const ACHAR* globalName) override;
    Acad::ErrorStatus removeGroup(const ACHAR* group) override;
    AcEdCommand* lookupGlobalCmd(const ACHAR* name) override;
    AcEdCommand* lookupLocalCmd(const ACHAR* name) override;

    // Groups with at least one command, in the order they were first used.
    std::vector<std::wstring> groups() const;
    // Removes what a module left registered (it is going away); the groups removed.
    std::vector<std::wstring> dropOwnedBy(const void* owner);
    void setOwnerSource(std::function<const void*()> owner) { mOwner = std::move(owner); }

    class Command;

private:
    void run(const Command& cmd);

    editor::Editor& mEd;
    Runner mRunner;
    std::vector<std::unique_ptr<Command>> mCommands;
    std::function<const void*()> mOwner;
};

} // namespace zel::app
