// zeldll.so: the support library of the drafting modules. This file: the settings entries, the
// stores behind them and the per-document records.
#include "companions/zeldll/internal.h"
#include "companions/zeldll/textfile.h"
#include "companions/zeldll/zeldll_api.h"

#include "arx/adslib.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace zel::zeldll {

namespace fs = std::filesystem;

namespace {

void tell(const std::wstring& text) {
    acutPrintf(L"\n[zeldll] %s", text.c_str());
}

// The shipped defaults, looked for from the folder of this library upwards.
fs::path defaultsFile() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&defaultsFile), &info) || !info.dli_fname) return {};
    return settings::findResource(fs::path(info.dli_fname).parent_path(),
                                  settings::kDefaultsResource);
}

std::map<std::wstring, std::wstring> loadDefaults() {
    std::map<std::wstring, std::wstring> table;
    fs::path file = defaultsFile();
    if (file.empty()) {
        tell(L"既定の作図設定 (resources/settings/defaults.txt) が見つかりません.");
        return table;
    }
    settings::ParsedText parsed = settings::readSettingsFile(file);
    if (!parsed.ok()) {
        tell(file.wstring() + L": " + parsed.errors.front() + L" (既定の作図設定を使いません)");
        return table;
    }
    for (auto& [key, value] : parsed.pairs)
        table.emplace(key, value);
    return table;
}

// The records of the open documents, dropped when a document is about to be destroyed.
class DocRecords : public AcApDocManagerReactor {
public:
    void documentToBeDestroyed(AcApDocument* doc) override { drop(doc); }

    DocRecord* of(AcApDocument* doc) {
        AcApDocManager* manager = acDocManagerPtr();
        if (!manager) return nullptr;
        // Watching is asked again at every call: a module that goes takes with it what was
        // registered while its code ran, this reactor too (adding it again is harmless).
        manager->addReactor(this);
        if (!doc) doc = manager->curDocument();
        if (!doc) return nullptr;
        pruneClosed(*manager);
        return &mRecords[doc];
    }

private:
    void drop(AcApDocument* doc) {
        auto it = mRecords.find(doc);
        if (it == mRecords.end()) return;
        if (it->second.filter)
            doc->inputPointManager()->removePointMonitor(it->second.filter.get());
        mRecords.erase(it);
    }
    // Records of documents closed while nobody watched.
    void pruneClosed(AcApDocManager& manager) {
        std::set<AcApDocument*> open;
        std::unique_ptr<AcApDocumentIterator> it(manager.newAcApDocumentIterator());
        for (; it && !it->done(); it->step())
            open.insert(it->document());
        std::erase_if(mRecords, [&](auto& r) { return !open.count(r.first); });
    }

    std::map<AcApDocument*, DocRecord> mRecords;
};

DocRecords& records() {
    static DocRecords instance;
    return instance;
}

// Copies the value of a key, or the default; nonzero when the key was found.
int answer(const std::wstring* found, ACHAR* value, const ACHAR* def) {
    if (!value) return found ? 1 : 0;
    copyOut(value, found ? *found : std::wstring(def ? def : L""));
    return found ? 1 : 0;
}

} // namespace

void copyOut(ACHAR* buffer, const std::wstring& value) {
    size_t n = std::min(value.size(), kZelCfgBufLen - 1);
    std::copy_n(value.data(), n, buffer);
    buffer[n] = 0;
}

settings::Store& commonStore() {
    static std::unique_ptr<settings::Store> store;
    static std::set<fs::path> told;
    fs::path path = settings::defaultStorePath();
    if (!store || store->path() != path) {
        store = std::make_unique<settings::Store>(path);
        if (!store->usable() && told.insert(path).second)
            tell(store->problem() + L": 既定値を使います (ファイルは変更しません).");
    }
    return *store;
}

const std::wstring* shippedDefault(const std::wstring& key) {
    static const std::map<std::wstring, std::wstring> table = loadDefaults();
    auto it = table.find(key);
    return it == table.end() ? nullptr : &it->second;
}

DocRecord* docRecord(AcApDocument* doc) {
    return records().of(doc);
}

} // namespace zel::zeldll

using namespace zel::zeldll;

ZEL_ARX_EXPORT int dll_zel_getcfgLoc(AcApDocument* doc, const ACHAR* key, ACHAR* value,
                                     const ACHAR* def) {
    DocRecord* rec = key ? docRecord(doc) : nullptr;
    const std::wstring* found = nullptr;
    if (rec) {
        auto it = rec->settings.find(key);
        if (it != rec->settings.end()) found = &it->second;
    }
    return answer(found, value, def);
}

ZEL_ARX_EXPORT int dll_zel_setcfgLoc(AcApDocument* doc, const ACHAR* key, const ACHAR* value) {
    DocRecord* rec = key && *key ? docRecord(doc) : nullptr;
    if (!rec) return 0;
    rec->settings[key] = value ? value : L"";
    return 1;
}

ZEL_ARX_EXPORT int dll_zel_getcfgCmn(const ACHAR* key, ACHAR* value, const ACHAR* def) {
    if (!key) return answer(nullptr, value, def);
    std::optional<std::wstring> stored = commonStore().get(key);
    if (stored) return answer(&*stored, value, def);
    return answer(shippedDefault(key), value, def);
}

ZEL_ARX_EXPORT int dll_zel_setcfgCmn(const ACHAR* key, const ACHAR* value) {
    if (!key || !*key) return 0;
    zel::settings::Store& store = commonStore();
    if (!store.usable()) return 0; // told when it was opened
    if (store.set(key, value ? value : L"")) return 1;
    tell(L"設定 " + std::wstring(key) + L" を書き込めません: " + store.problem());
    return 0;
}
