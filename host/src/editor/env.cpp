#include "editor/env.h"

#include <string>

extern char** environ;

namespace zel::editor {

void Environment::seedFromProcess() {
    static constexpr std::string_view kPrefix = "ZELCAD_ENV_";
    for (char** e = environ; e && *e; ++e) {
        std::string_view entry(*e);
        if (!entry.starts_with(kPrefix)) continue;
        size_t eq = entry.find('=');
        if (eq == std::string_view::npos || eq == kPrefix.size()) continue;
        set(core::utf8ToWide(entry.substr(kPrefix.size(), eq - kPrefix.size())),
            core::utf8ToWide(entry.substr(eq + 1)));
    }
}

std::optional<std::wstring> Environment::get(std::wstring_view name) const {
    auto it = mValues.find(name);
    if (it == mValues.end()) return std::nullopt;
    return it->second;
}

bool Environment::set(std::wstring_view name, std::wstring_view value) {
    if (name.empty()) return false;
    auto it = mValues.find(name);
    if (it != mValues.end())
        it->second = value;
    else
        mValues.emplace(std::wstring(name), std::wstring(value));
    return true;
}

} // namespace zel::editor
