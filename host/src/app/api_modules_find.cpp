// acrxFindModuleFile: where the module loader would find a library of that name.
#include "app/modules.h"
#include "arx/rx.h"

#include <algorithm>

int acrxFindModuleFile(const ACHAR* name, ACHAR* result, size_t len) {
    if (!name || !*name || !result || len == 0) return RTERROR;
    std::wstring found = zel::app::ModuleLoader::resolve(name).wstring();
    if (found.empty() || found.size() >= len) return RTERROR;
    std::copy(found.begin(), found.end(), result);
    result[found.size()] = 0;
    return RTNORM;
}
