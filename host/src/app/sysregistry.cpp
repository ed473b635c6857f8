#include "app/sysregistry.h"

namespace zel::app {

AcRxObject* SystemRegistry::at(const ACHAR* key) const {
    if (!key) return nullptr;
    auto it = mObjects.find(std::wstring_view(key));
    return it == mObjects.end() ? nullptr : it->second;
}

AcRxObject* SystemRegistry::atPut(const ACHAR* key, AcRxObject* obj) {
    if (!key || !*key) return nullptr;
    if (!obj) return remove(key);
    AcRxObject*& slot = mObjects[key];
    AcRxObject* before = slot;
    slot = obj;
    return before;
}

AcRxObject* SystemRegistry::remove(const ACHAR* key) {
    if (!key) return nullptr;
    auto it = mObjects.find(std::wstring_view(key));
    if (it == mObjects.end()) return nullptr;
    AcRxObject* before = it->second;
    mObjects.erase(it);
    return before;
}

} // namespace zel::app
