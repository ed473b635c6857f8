#include "editor/cmdregistry.h"

#include "core/text.h"

#include <algorithm>

namespace zel::editor {

CommandName parseCommandName(std::wstring_view typed) {
    CommandName n;
    std::wstring t = core::toUpper(core::trim(typed));
    size_t at = 0;
    for (; at < t.size(); ++at) {
        wchar_t c = t[at];
        if (c == L'_')
            n.global = true;
        else if (c == L'.')
            n.builtin = true;
        else if (c == L'\'')
            n.transparent = true;
        else
            break;
    }
    n.name = t.substr(at);
    return n;
}

bool CommandRegistry::add(CommandDef def) {
    def.global = core::toUpper(def.global);
    def.local = core::toUpper(def.local.empty() ? def.global : def.local);
    if (def.global.empty() || !def.run) return false;
    bool taken = std::any_of(mDefs.begin(), mDefs.end(), [&](const CommandDef& d) {
        return d.group == def.group && (d.global == def.global || d.local == def.local);
    });
    if (taken) return false;
    mDefs.push_back(std::move(def));
    return true;
}

bool CommandRegistry::remove(std::wstring_view group, std::wstring_view globalName) {
    std::wstring g = core::toUpper(globalName);
    auto it = std::find_if(mDefs.begin(), mDefs.end(),
                           [&](const CommandDef& d) { return d.group == group && d.global == g; });
    if (it == mDefs.end()) return false;
    mDefs.erase(it);
    return true;
}

int CommandRegistry::removeGroup(std::wstring_view group) {
    return int(std::erase_if(mDefs, [&](const CommandDef& d) { return d.group == group; }));
}

const CommandDef* CommandRegistry::find(std::wstring_view typed) const {
    return find(parseCommandName(typed));
}

const CommandDef* CommandRegistry::find(const CommandName& n) const {
    if (n.name.empty()) return nullptr;
    auto search = [&](bool byLocal) -> const CommandDef* {
        for (auto it = mDefs.rbegin(); it != mDefs.rend(); ++it) {
            if (n.builtin && !it->builtin) continue;
            if ((byLocal ? it->local : it->global) == n.name) return &*it;
        }
        return nullptr;
    };
    if (!n.global) {
        if (const CommandDef* d = search(true)) return d;
    }
    return search(false);
}

} // namespace zel::editor
