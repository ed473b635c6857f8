#include "common/frame/cmdtable.h"

#include "arx/rxregsvc.h"

#include <cwchar>
#include <string>

namespace zelframe {

namespace {

AcEdCommandStack* commandStack() {
    AcRxDictionary* registry = acrxSysRegistry();
    return registry ? AcEdCommandStack::cast(registry->at(ACRX_COMMAND_DOCK)) : nullptr;
}

} // namespace

std::wstring groupName(const ACHAR* prefix, int moduleNumber) {
    wchar_t buf[64];
    std::swprintf(buf, 64, L"%lsDLL_COMMANDS%d", prefix, moduleNumber);
    return buf;
}

void registerCommands(const std::wstring& group, const ACHAR* prefix, bool prefixLocal,
                      std::span<const CommandRow> rows, std::span<const int32_t> flags) {
    AcEdCommandStack* stack = commandStack();
    if (!stack) return;
    for (const CommandRow& row : rows) {
        std::wstring global = std::wstring(prefix) + row.globalName;
        std::wstring local = prefixLocal ? std::wstring(prefix) + row.localName : row.localName;
        int32_t flag = row.flagIndex >= 0 && size_t(row.flagIndex) < flags.size()
                           ? flags[size_t(row.flagIndex)]
                           : ACRX_CMD_MODAL;
        stack->addCommand(group.c_str(), global.c_str(), local.c_str(), flag, row.handler);
    }
}

void removeCommands(const std::wstring& group) {
    if (AcEdCommandStack* stack = commandStack()) stack->removeGroup(group.c_str());
}

} // namespace zelframe
