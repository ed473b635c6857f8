// Finding the companion libraries and their entries for one call.
#include "common/support/zelsupport.h"

#include "arx/rx.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

std::wstring widen(const char* ascii) {
    std::wstring out;
    for (const char* c = ascii; *c; ++c)
        out += wchar_t(*c);
    return out;
}

// A companion library held for one call: in use already (the reference taken is given back
// after), or loaded for the call and closed after it.
class Library {
public:
    Library(const ACHAR* file, const ACHAR* secondLine) : mFile(file) {
        mHandle = open();
        if (mHandle) return;
        acutPrintf(L"\n cannot found %s.", mFile);
        if (secondLine) acutPrintf(L"%s", secondLine);
    }
    ~Library() {
        if (mHandle) dlclose(mHandle);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    explicit operator bool() const { return mHandle != nullptr; }

    template <class Fn> Fn entry(const char* name) const {
        void* address = mHandle ? dlsym(mHandle, name) : nullptr;
        if (!address && mHandle)
            acutPrintf(L"\n cannot found %s() in %s.", widen(name).c_str(), mFile);
        return reinterpret_cast<Fn>(address);
    }

private:
    void* open() const {
        std::string bare = std::filesystem::path(mFile).string();
        if (void* h = dlopen(bare.c_str(), RTLD_NOW | RTLD_NOLOAD)) return h; // by its soname
        ACHAR found[4096];
        if (acrxFindModuleFile(mFile, found, std::size(found)) != RTNORM) return nullptr;
        std::string path = std::filesystem::path(found).string();
        if (void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD)) return h;
        return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    }

    const ACHAR* mFile;
    void* mHandle = nullptr;
};

// Calls the entry of a library, or answers the failure value.
template <class Fn, class R, class... Args>
R callEntry(const ACHAR* file, const char* name, const ACHAR* secondLine, R failure, Args... args) {
    Library lib(file, secondLine);
    if (!lib) return failure;
    Fn fn = lib.template entry<Fn>(name);
    if (!fn) return failure;
    return fn(args...);
}

} // namespace

int thunk_zel_getcfgLoc(AcApDocument* doc, const ACHAR* key, ACHAR* value, const ACHAR* def) {
    return callEntry<ZelGetCfgLocFn>(kZelDllFile, "dll_zel_getcfgLoc", L"\n thunk_zel_getcfgLoc", 0,
                                     doc, key, value, def);
}

int thunk_zel_setcfgLoc(AcApDocument* doc, const ACHAR* key, const ACHAR* value) {
    return callEntry<ZelSetCfgLocFn>(kZelDllFile, "dll_zel_setcfgLoc", L"\n thunk_zel_setcfgLoc", 0,
                                     doc, key, value);
}

int thunk_zel_getcfgCmn(const ACHAR* key, ACHAR* value, const ACHAR* def) {
    return callEntry<ZelGetCfgCmnFn>(kZelDllFile, "dll_zel_getcfgCmn", L"\n thunk_zel_getcfgCmn", 0,
                                     key, value, def);
}

int thunk_zel_setcfgCmn(const ACHAR* key, const ACHAR* value) {
    return callEntry<ZelSetCfgCmnFn>(kZelDllFile, "dll_zel_setcfgCmn", L"\n thunk_zel_setcfgCmn", 0,
                                     key, value);
}

int thunk_Start_DragFilter(AcApDocument* doc, void* command) {
    return callEntry<ZelStartDragFilterFn>(kZelDllFile, "dll_Start_DragFilter",
                                           L"\n dll_Start_DragFilter", 0, doc, command);
}

int thunk_End_DragFilter(AcApDocument* doc) {
    return callEntry<ZelEndDragFilterFn>(kZelDllFile, "dll_End_DragFilter",
                                         L"\n dll_End_DragFilter", 0, doc);
}

int thunk_zel_DrgSw(AcApDocument* doc, void* command, int on) {
    return callEntry<ZelDrgSwFn>(kZelDllFile, "dll_zel_DrgSw", nullptr, 512, doc, command, on);
}

int thunk_zel_entselp(int reserved, const ACHAR* entityPrompt, const ACHAR* pointPrompt, int kinds,
                      ads_name entity, ads_point point, int reserved2) {
    return callEntry<ZelEntSelPFn>(kZelDllFile, "dll_zel_entselp", nullptr, 512, reserved,
                                   entityPrompt, pointPrompt, kinds, entity, point, reserved2);
}

int thunk_zel_highlight_sub(void* pickRecord, const ads_point point) {
    ads_point copy = {point[0], point[1], point[2]};
    return callEntry<ZelHighlightSubFn>(kZelDllFile, "dll_zel_highlight_sub", nullptr, 512,
                                        pickRecord, static_cast<const double*>(copy));
}

std::wstring thunk_getZelProductName() {
    Library lib(kZelStartupFile, L"\n dll_getZelProductName");
    if (!lib) return {};
    auto fn = lib.entry<ZelProductNameFn>("dll_getZelProductName");
    const ACHAR* name = fn ? fn() : nullptr;
    return name ? std::wstring(name) : std::wstring(); // copied while the library is held
}
