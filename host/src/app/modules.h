// The module loader (the dynamic linker of the runtime API). A module is a shared library
// opened with dlopen; the loader sends its acrxEntryPoint the application messages: kInitAppMsg
// after loading, kLoadDwgMsg for every open drawing and every drawing opened later (with that
// drawing current), kUnloadDwgMsg before a drawing closes and before the module goes,
// kUnloadAppMsg before it is unloaded, kQuitMsg when the program ends. What a module leaves
// registered when it goes (commands, reactors, LISP functions) is removed with it, so that no
// call reaches a library that is no longer there.
//
// Names: a path, or a name searched in ZELCAD_MODULE_PATH (folders separated by ':'), the
// working folder, the program's folder and the folder above it, as NAME, NAME.so, libNAME.so,
// NAME/NAME.so or NAME/libNAME.so (".arx" or ".so" after NAME may be given or not).
#pragma once

#include "arx/rx.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zel::app {

class Document;
class DocManager;

struct Module {
    std::wstring name;          // the file name without "lib" and extension, as ARXUNLOAD takes it
    std::filesystem::path path; // the file opened
    void* handle = nullptr;     // of dlopen; also the module's application id
    AcRxEntryPointFn entry = nullptr;
    bool locked = true; // until the module unlocks itself
    bool mdiAware = false;
};

class ModuleLoader : public AcRxDynamicLinker {
public:
    struct Services {
        DocManager* docs = nullptr;
        std::function<void(std::wstring_view)> print;
        // Removes what a module left registered with the host; tells nothing.
        std::function<void(const Module&)> forget;
    };

    explicit ModuleLoader(Services services);
    ~ModuleLoader() override;
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // An empty text on success, else the message (nothing then changed).
    std::wstring load(const std::wstring& name);
    // evenLocked: at the end of the program, or when the caller knows better.
    std::wstring unload(const std::wstring& name, bool evenLocked = false);
    // kQuitMsg to every module, then each is unloaded (last loaded first).
    void quitAll();

    void documentOpened(Document& doc);
    void documentClosing(Document& doc);

    // The module whose code runs now (null: the host's own).
    const Module* current() const { return mRunning.empty() ? nullptr : mRunning.back(); }
    // Runs fn as code of the module (null: of the host).
    void runAs(const Module* module, const std::function<void()>& fn);
    AcRx::AppRetCode send(const Module& module, AcRx::AppMsgCode msg);

    const std::vector<std::unique_ptr<Module>>& loaded() const { return mModules; }
    Module* find(const std::wstring& name) const;
    Module* byAppId(const void* appId) const;

    // Procedures of LISP functions (acedRegFunc), by module and function code.
    using SubrFn = int (*)();
    void setSubr(const Module* module, short code, SubrFn fn);
    SubrFn subr(const Module* module, short code) const;

    // Where a name is looked for; the file found, or an empty path.
    static std::vector<std::filesystem::path> searchFolders();
    static std::filesystem::path resolve(const std::wstring& name);

    // AcRxDynamicLinker
    bool unlockApplication(void* appId) const override;
    bool lockApplication(void* appId) const override;
    bool isApplicationLocked(const ACHAR* name) const override;
    bool registerAppMDIAware(void* appId) const override;
    bool registerAppNotMDIAware(void* appId) const override;
    bool loadModule(const ACHAR* fileName, bool printit, bool asCmd) override;
    bool unloadModule(const ACHAR* fileName, bool asCmd) override;

private:
    void unloadAt(size_t index);
    void tellDocuments(const Module& module, AcRx::AppMsgCode msg);

    Services mServices;
    std::vector<std::unique_ptr<Module>> mModules;
    std::vector<const Module*> mRunning;
    std::map<std::pair<const Module*, short>, SubrFn> mSubrs;
};

} // namespace zel::app
