#include "app/cmdstack.h"

#include "arx/ed.h"
#include "commands/ask.h"
#include "core/text.h"

#include <algorithm>

namespace zel::app {

class CommandStack::Command : public AcEdCommand {
public:
    std::wstring group, global, local;
    int32_t flags = 0;
    AcRxFunctionPtr fn = nullptr;
    int fcode = -1;
    const void* owner = nullptr;

    const ACHAR* globalName() const override { return global.c_str(); }
    const ACHAR* localName() const override { return local.c_str(); }
    const ACHAR* groupName() const override { return group.c_str(); }
    int32_t commandFlags() const override { return flags; }
    AcRxFunctionPtr functionAddr() const override { return fn; }
    int functionCode() const override { return fcode; }
};

namespace {

int registryFlags(int32_t arxFlags) {
    return (arxFlags & ACRX_CMD_TRANSPARENT) ? editor::kCmdTransparent : editor::kCmdModal;
}

} // namespace

CommandStack::CommandStack(editor::Editor& ed, Runner runner)
    : mEd(ed), mRunner(std::move(runner)) {}

CommandStack::~CommandStack() = default;

void CommandStack::run(const Command& cmd) {
    if (!(cmd.flags & (ACRX_CMD_USEPICKSET | ACRX_CMD_REDRAW))) acedSSSetFirst(nullptr, nullptr);
    try {
        mRunner(cmd.owner, cmd.fn);
    } catch (const commands::Cancelled&) {
        throw;      // the engine ends the command as cancelled
    } catch (...) { // a module's exception ends its command, not the program
        mEd.print(L"\n" + cmd.global + L" で例外が発生したためコマンドを終了しました。");
    }
    if (cmd.flags & ACRX_CMD_REDRAW) acedSSSetFirst(nullptr, nullptr);
}

Acad::ErrorStatus CommandStack::addCommand(const ACHAR* group, const ACHAR* globalName,
                                           const ACHAR* localName, int32_t flags,
                                           AcRxFunctionPtr fn, AcEdUIContext*, int fcode, void*,
                                           AcEdCommand** cmdPtrRet) {
    if (cmdPtrRet) *cmdPtrRet = nullptr;
    if (!group || !*group || !globalName || !*globalName || !fn) return Acad::eInvalidInput;
    auto cmd = std::make_unique<Command>();
    cmd->group = group;
    cmd->global = core::toUpper(globalName);
    cmd->local = core::toUpper(localName && *localName ? localName : globalName);
    cmd->flags = flags;
    cmd->fn = fn;
    cmd->fcode = fcode;
    cmd->owner = mOwner ? mOwner() : nullptr;
    editor::CommandDef def;
    def.group = cmd->group;
    def.global = cmd->global;
    def.local = cmd->local;
    def.flags = registryFlags(flags);
    Command* raw = cmd.get();
    def.run = [this, raw] { run(*raw); };
    if (!mEd.commands().add(std::move(def))) return Acad::eDuplicateKey;
    if (cmdPtrRet) *cmdPtrRet = raw;
    mCommands.push_back(std::move(cmd));
    return Acad::eOk;
}

Acad::ErrorStatus CommandStack::removeCmd(const ACHAR* group, const ACHAR* globalName) {
    if (!group || !globalName) return Acad::eInvalidInput;
    std::wstring global = core::toUpper(globalName);
    auto it = std::find_if(mCommands.begin(), mCommands.end(),
                           [&](auto& c) { return c->group == group && c->global == global; });
    if (it == mCommands.end()) return Acad::eKeyNotFound;
    mEd.commands().remove(group, global);
    mCommands.erase(it);
    return Acad::eOk;
}

Acad::ErrorStatus CommandStack::removeGroup(const ACHAR* group) {
    if (!group) return Acad::eInvalidInput;
    // One by one: a group a module shares with the host loses only the module's commands.
    size_t removed = std::erase_if(mCommands, [&](auto& c) {
        if (c->group != group) return false;
        mEd.commands().remove(c->group, c->global);
        return true;
    });
    return removed == 0 ? Acad::eKeyNotFound : Acad::eOk;
}

AcEdCommand* CommandStack::lookupGlobalCmd(const ACHAR* name) {
    if (!name) return nullptr;
    std::wstring n = core::toUpper(name);
    for (auto it = mCommands.rbegin(); it != mCommands.rend(); ++it) {
        if ((*it)->global == n) return it->get();
    }
    return nullptr;
}

AcEdCommand* CommandStack::lookupLocalCmd(const ACHAR* name) {
    if (!name) return nullptr;
    std::wstring n = core::toUpper(name);
    for (auto it = mCommands.rbegin(); it != mCommands.rend(); ++it) {
        if ((*it)->local == n) return it->get();
    }
    return nullptr;
}

std::vector<std::wstring> CommandStack::groups() const {
    std::vector<std::wstring> out;
    for (auto& c : mCommands) {
        if (std::find(out.begin(), out.end(), c->group) == out.end()) out.push_back(c->group);
    }
    return out;
}

std::vector<std::wstring> CommandStack::dropOwnedBy(const void* owner) {
    std::vector<std::wstring> groups;
    for (auto& c : mCommands) {
        if (c->owner == owner && std::find(groups.begin(), groups.end(), c->group) == groups.end())
            groups.push_back(c->group);
    }
    for (const std::wstring& g : groups)
        removeGroup(g.c_str());
    return groups;
}

} // namespace zel::app
