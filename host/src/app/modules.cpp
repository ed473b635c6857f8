// Loading, messaging and unloading modules.
#include "app/modules.h"

#include "app/documents.h"
#include "core/text.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cwctype>

namespace zel::app {

namespace fs = std::filesystem;

namespace {

std::wstring lower(std::wstring_view s) {
    std::wstring out(s);
    for (wchar_t& c : out)
        c = wchar_t(std::towlower(wint_t(c)));
    return out;
}

// "libprobe.so" -> "probe"; "draftedit.arx" -> "draftedit".
std::wstring moduleName(const fs::path& file) {
    std::wstring stem = file.stem().wstring();
    if (stem.rfind(L"lib", 0) == 0 && stem.size() > 3) stem.erase(0, 3);
    return lower(stem);
}

std::wstring stripExtension(const std::wstring& name) {
    fs::path p(name);
    std::wstring ext = lower(p.extension().wstring());
    if (ext == L".so" || ext == L".arx") return p.replace_extension().wstring();
    return name;
}

fs::path programFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

bool isFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

} // namespace

ModuleLoader::ModuleLoader(Services services) : mServices(std::move(services)) {
    assert(mServices.docs && "the loader tells modules about documents");
}

ModuleLoader::~ModuleLoader() {
    quitAll();
}

std::vector<fs::path> ModuleLoader::searchFolders() {
    std::vector<fs::path> out;
    if (const char* env = std::getenv("ZELCAD_MODULE_PATH")) {
        std::string list = env;
        size_t at = 0;
        while (at <= list.size()) {
            size_t end = list.find(':', at);
            if (end == std::string::npos) end = list.size();
            if (end > at) out.emplace_back(list.substr(at, end - at));
            at = end + 1;
        }
    }
    std::error_code ec;
    out.push_back(fs::current_path(ec));
    if (fs::path exe = programFolder(); !exe.empty()) {
        out.push_back(exe);
        out.push_back(exe.parent_path());
    }
    return out;
}

fs::path ModuleLoader::resolve(const std::wstring& name) {
    if (name.empty()) return {};
    fs::path given(name);
    if (name.find(L'/') != std::wstring::npos) {
        if (isFile(given)) return fs::absolute(given);
        fs::path so = fs::path(stripExtension(name) + L".so");
        return isFile(so) ? fs::absolute(so) : fs::path();
    }
    std::wstring base = stripExtension(name);
    for (const fs::path& dir : searchFolders()) {
        for (fs::path candidate :
             {dir / name, dir / (base + L".so"), dir / (L"lib" + base + L".so"),
              dir / base / (base + L".so"), dir / base / (L"lib" + base + L".so")}) {
            if (isFile(candidate)) return fs::absolute(candidate);
        }
    }
    return {};
}

Module* ModuleLoader::find(const std::wstring& name) const {
    std::wstring key = lower(stripExtension(fs::path(name).filename().wstring()));
    if (key.rfind(L"lib", 0) == 0 && key.size() > 3) key.erase(0, 3);
    for (auto& m : mModules) {
        if (m->name == key || m->path == fs::path(name)) return m.get();
    }
    return nullptr;
}

Module* ModuleLoader::byAppId(const void* appId) const {
    for (auto& m : mModules) {
        if (m->handle == appId) return m.get();
    }
    return nullptr;
}

void ModuleLoader::runAs(const Module* module, const std::function<void()>& fn) {
    mRunning.push_back(module);
    try {
        fn();
    } catch (...) {
        mRunning.pop_back();
        throw;
    }
    mRunning.pop_back();
}

AcRx::AppRetCode ModuleLoader::send(const Module& module, AcRx::AppMsgCode msg) {
    AcRx::AppRetCode rc = AcRx::kRetError;
    mRunning.push_back(&module);
    try {
        rc = module.entry(msg, module.handle);
    } catch (...) { // a module's exception stops at its entry point
        if (mServices.print)
            mServices.print(L"\n" + module.name + L" のメッセージ処理で例外が発生しました。");
        rc = AcRx::kRetError;
    }
    mRunning.pop_back();
    return rc;
}

void ModuleLoader::tellDocuments(const Module& module, AcRx::AppMsgCode msg) {
    std::vector<Document*> docs;
    for (auto& d : mServices.docs->all())
        docs.push_back(d.get());
    for (Document* d : docs) {
        if (!mServices.docs->find(d)) continue; // closed by an earlier message
        mServices.docs->withCurrent(*d, [&] { send(module, msg); });
    }
}

std::wstring ModuleLoader::load(const std::wstring& name) {
    fs::path file = resolve(name);
    if (file.empty()) return name + L" が見つかりません。";
    if (Module* m = find(file.wstring()); m && m->path == file)
        return m->name + L" は既にロードされています。";
    if (find(moduleName(file))) return moduleName(file) + L" は既にロードされています。";
    auto module = std::make_unique<Module>();
    module->name = moduleName(file);
    module->path = file;
    mRunning.push_back(module.get()); // what its static objects register is its own
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    mRunning.pop_back();
    if (!handle) {
        const char* why = dlerror();
        if (mServices.forget) mServices.forget(*module);
        return file.wstring() + L" をロードできません: " + core::utf8ToWide(why ? why : "");
    }
    module->handle = handle;
    module->entry = reinterpret_cast<AcRxEntryPointFn>(dlsym(handle, "acrxEntryPoint"));
    auto version = reinterpret_cast<AcRxGetApiVersionFn>(dlsym(handle, "acrxGetApiVersion"));
    std::wstring problem;
    if (!module->entry || !version)
        problem = L" はモジュールではありません (acrxEntryPoint と acrxGetApiVersion が必要です)。";
    else if (int v = version(); v != kZelArxApiVersion)
        problem = L" は API の版 " + std::to_wstring(v) + L" 用です (この版は " +
                  std::to_wstring(kZelArxApiVersion) + L")。";
    Module& m = *module;
    mModules.push_back(std::move(module));
    if (!problem.empty()) {
        unloadAt(mModules.size() - 1);
        return file.wstring() + problem;
    }
    if (send(m, AcRx::kInitAppMsg) != AcRx::kRetOK) {
        std::wstring n = m.name;
        unloadAt(mModules.size() - 1);
        return n + L" の初期化に失敗しました。";
    }
    tellDocuments(m, AcRx::kLoadDwgMsg);
    return {};
}

std::wstring ModuleLoader::unload(const std::wstring& name, bool evenLocked) {
    Module* m = find(name);
    if (!m) return name + L" はロードされていません。";
    if (m->locked && !evenLocked) return m->name + L" はロックされているのでアンロードできません。";
    if (std::find(mRunning.begin(), mRunning.end(), m) != mRunning.end())
        return m->name + L" は実行中なのでアンロードできません。";
    tellDocuments(*m, AcRx::kUnloadDwgMsg);
    send(*m, AcRx::kUnloadAppMsg);
    auto it = std::find_if(mModules.begin(), mModules.end(), [&](auto& p) { return p.get() == m; });
    unloadAt(size_t(it - mModules.begin()));
    return {};
}

void ModuleLoader::unloadAt(size_t index) {
    assert(index < mModules.size() && "unloading a module that is not loaded");
    std::unique_ptr<Module> m = std::move(mModules[index]);
    mModules.erase(mModules.begin() + ptrdiff_t(index));
    if (mServices.forget) mServices.forget(*m);
    std::erase_if(mSubrs, [&](auto& e) { return e.first.first == m.get(); });
    dlclose(m->handle);
}

void ModuleLoader::quitAll() {
    while (!mModules.empty()) {
        Module& m = *mModules.back();
        send(m, AcRx::kQuitMsg);
        tellDocuments(m, AcRx::kUnloadDwgMsg);
        send(m, AcRx::kUnloadAppMsg);
        unloadAt(mModules.size() - 1);
    }
}

void ModuleLoader::documentOpened(Document& doc) {
    for (size_t i = 0; i < mModules.size(); ++i) {
        const Module& m = *mModules[i];
        mServices.docs->withCurrent(doc, [&] { send(m, AcRx::kLoadDwgMsg); });
    }
}

void ModuleLoader::documentClosing(Document& doc) {
    for (size_t i = 0; i < mModules.size(); ++i) {
        const Module& m = *mModules[i];
        mServices.docs->withCurrent(doc, [&] { send(m, AcRx::kUnloadDwgMsg); });
    }
}

void ModuleLoader::setSubr(const Module* module, short code, SubrFn fn) {
    if (fn)
        mSubrs[{module, code}] = fn;
    else
        mSubrs.erase({module, code});
}

ModuleLoader::SubrFn ModuleLoader::subr(const Module* module, short code) const {
    auto it = mSubrs.find({module, code});
    return it == mSubrs.end() ? nullptr : it->second;
}

bool ModuleLoader::unlockApplication(void* appId) const {
    Module* m = byAppId(appId);
    if (!m) return false;
    m->locked = false;
    return true;
}

bool ModuleLoader::lockApplication(void* appId) const {
    Module* m = byAppId(appId);
    if (!m) return false;
    m->locked = true;
    return true;
}

bool ModuleLoader::isApplicationLocked(const ACHAR* name) const {
    Module* m = name ? find(name) : nullptr;
    return m && m->locked;
}

bool ModuleLoader::registerAppMDIAware(void* appId) const {
    Module* m = byAppId(appId);
    if (!m) return false;
    m->mdiAware = true;
    return true;
}

bool ModuleLoader::registerAppNotMDIAware(void* appId) const {
    Module* m = byAppId(appId);
    if (!m) return false;
    m->mdiAware = false;
    return true;
}

bool ModuleLoader::loadModule(const ACHAR* fileName, bool printit, bool) {
    std::wstring problem = fileName ? load(fileName) : L"モジュール名がありません。";
    if (!problem.empty() && printit && mServices.print) mServices.print(L"\n" + problem);
    return problem.empty();
}

bool ModuleLoader::unloadModule(const ACHAR* fileName, bool) {
    return fileName && unload(fileName).empty();
}

} // namespace zel::app
