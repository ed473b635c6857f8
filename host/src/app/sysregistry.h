// The system registry: the host's runtime objects by name ("ACAD_REGISTERED_COMMANDS" the
// command stack, "AcEditor" the editor, "DynamicLinker" the module loader). Modules may put
// objects of their own; the registry never owns what it holds.
#pragma once

#include "arx/rx.h"

#include <map>
#include <string>

namespace zel::app {

class SystemRegistry : public AcRxDictionary {
public:
    AcRxObject* at(const ACHAR* key) const override;
    AcRxObject* atPut(const ACHAR* key, AcRxObject* obj) override;
    AcRxObject* remove(const ACHAR* key) override;
    bool has(const ACHAR* key) const override { return at(key) != nullptr; }
    uint32_t numEntries() const override { return uint32_t(mObjects.size()); }

private:
    std::map<std::wstring, AcRxObject*, std::less<>> mObjects;
};

} // namespace zel::app
