// zelstartup.so: the name of the product family the drafting modules show in titles. The
// environment value ZELCAD_PRODUCT_NAME replaces it (an empty value gives an empty name, which
// the modules replace with their own fallback).
#include "arx/rx.h"
#include "companions/zeldll/store.h"
#include "companions/zeldll/zeldll_api.h"

#include <cstdlib>
#include <string>

ZEL_ARX_EXPORT const ACHAR* dll_getZelProductName() {
    static std::wstring name;
    const char* given = std::getenv("ZELCAD_PRODUCT_NAME");
    if (!given) {
        name = L"Morvane";
        return name.c_str();
    }
    std::optional<std::wstring> wide = zel::settings::fromUtf8(given);
    name = wide ? *wide : std::wstring();
    return name.c_str();
}
