// The modules loaded when the program starts: the names listed in "zelcad.rx", the first one
// found on the support path (the resources folder holds the default list).
#pragma once

#include "app/session.h"

#include <string>
#include <vector>

namespace zel::app {

// The names in the list ('#' and ';' begin comments); none when there is no list.
std::vector<std::wstring> startupModuleNames();
// Loads them into the session; one text per module that could not be loaded.
std::vector<std::wstring> loadStartupModules(Session& s);

} // namespace zel::app
