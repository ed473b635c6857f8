// Environment values of the session (acedGetEnv/acedSetEnv): names without case, texts as
// values. They start from the process environment: ZELCAD_ENV_TempDirectory=/tmp/x gives
// "TempDirectory".
#pragma once

#include "core/text.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace zel::editor {

class Environment {
public:
    // Takes every ZELCAD_ENV_<name> of the process environment.
    void seedFromProcess();
    std::optional<std::wstring> get(std::wstring_view name) const;
    // False for an empty name.
    bool set(std::wstring_view name, std::wstring_view value);
    void clear() { mValues.clear(); }

private:
    std::map<std::wstring, std::wstring, core::NoCaseLess> mValues;
};

} // namespace zel::editor
