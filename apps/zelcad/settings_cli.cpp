// zelcad settings: the common settings store of the drafting modules at the command line.
//
//   zelcad settings get KEY           the value (stored, else the shipped default)
//   zelcad settings set KEY VALUE     writes it
//   zelcad settings import FILE       KEY=VALUE lines, all written in one transaction; a file
//                                     with any error changes nothing
//   zelcad settings export FILE       every stored setting ("-": the standard output)
#include "cli.h"
#include "companions/zeldll/store.h"
#include "companions/zeldll/textfile.h"

#include <filesystem>
#include <optional>
#include <string>

namespace zel::app {

namespace {

namespace fs = std::filesystem;
using settings::Store;

const char* kSettingsUsage = "usage: zelcad settings get KEY | set KEY VALUE | import FILE | "
                             "export FILE\n";

std::string narrow(const std::wstring& text) {
    return settings::toUtf8(text);
}

std::optional<std::wstring> wide(const std::string& arg, FILE* err) {
    std::optional<std::wstring> w = settings::fromUtf8(arg);
    if (!w) std::fprintf(err, "zelcad: settings: the argument is not UTF-8\n");
    return w;
}

fs::path programFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) : exe.parent_path();
}

// The shipped value of a key, if the defaults file can be read and has it.
std::optional<std::wstring> shippedDefault(const std::wstring& key) {
    fs::path file = settings::findResource(programFolder(), settings::kDefaultsResource);
    if (file.empty()) return std::nullopt;
    settings::ParsedText parsed = settings::readSettingsFile(file);
    for (auto& [k, v] : parsed.pairs)
        if (k == key) return v;
    return std::nullopt;
}

bool usable(Store& store, FILE* err) {
    if (store.usable()) return true;
    std::fprintf(err, "zelcad: settings: %s\n", narrow(store.problem()).c_str());
    return false;
}

int getKey(Store& store, const std::wstring& key, FILE* out, FILE* err) {
    std::optional<std::wstring> value = store.usable() ? store.get(key) : std::nullopt;
    if (!store.usable())
        std::fprintf(err, "zelcad: settings: %s; the shipped defaults are used\n",
                     narrow(store.problem()).c_str());
    if (!value) value = shippedDefault(key);
    if (!value) {
        std::fprintf(err, "zelcad: settings: %s is not set\n", narrow(key).c_str());
        return kExitFailed;
    }
    std::fprintf(out, "%s\n", narrow(*value).c_str());
    return kExitOk;
}

int setKey(Store& store, const std::wstring& key, const std::wstring& value, FILE* err) {
    if (!usable(store, err)) return kExitFailed;
    if (key.empty()) {
        std::fputs("zelcad: settings: an empty key\n", err);
        return kExitUsage;
    }
    if (store.set(key, value)) return kExitOk;
    std::fprintf(err, "zelcad: settings: %s\n", narrow(store.problem()).c_str());
    return kExitFailed;
}

int importFile(Store& store, const std::string& file, FILE* out, FILE* err) {
    settings::ParsedText parsed = settings::readSettingsFile(file);
    if (!parsed.ok()) {
        for (const std::wstring& e : parsed.errors)
            std::fprintf(err, "zelcad: settings: %s: %s\n", file.c_str(), narrow(e).c_str());
        std::fputs("zelcad: settings: nothing was imported\n", err);
        return kExitFailed;
    }
    if (!usable(store, err)) return kExitFailed;
    if (!store.setAll(parsed.pairs)) {
        std::fprintf(err, "zelcad: settings: %s; nothing was imported\n",
                     narrow(store.problem()).c_str());
        return kExitFailed;
    }
    std::fprintf(out, "%zu settings imported\n", parsed.pairs.size());
    return kExitOk;
}

int exportFile(Store& store, const std::string& file, FILE* out, FILE* err) {
    if (!usable(store, err)) return kExitFailed;
    settings::Pairs pairs = store.all();
    if (file == "-") {
        std::string text = settings::formatSettingsText(pairs);
        std::fwrite(text.data(), 1, text.size(), out);
        return kExitOk;
    }
    std::wstring problem = settings::writeSettingsFile(file, pairs);
    if (!problem.empty()) {
        std::fprintf(err, "zelcad: settings: %s\n", narrow(problem).c_str());
        return kExitFailed;
    }
    std::fprintf(out, "%zu settings exported\n", pairs.size());
    return kExitOk;
}

} // namespace

int cmdSettings(const std::vector<std::string>& args, FILE* out, FILE* err) {
    const std::string verb = args.empty() ? std::string() : args[0];
    size_t wanted = verb == "set" ? 3 : 2;
    if ((verb != "get" && verb != "set" && verb != "import" && verb != "export") ||
        args.size() != wanted) {
        std::fputs(kSettingsUsage, err);
        return kExitUsage;
    }
    Store store(settings::defaultStorePath());
    if (verb == "import") return importFile(store, args[1], out, err);
    if (verb == "export") return exportFile(store, args[1], out, err);
    std::optional<std::wstring> key = wide(args[1], err);
    if (!key) return kExitUsage;
    if (verb == "get") return getKey(store, *key, out, err);
    std::optional<std::wstring> value = wide(args[2], err);
    if (!value) return kExitUsage;
    return setKey(store, *key, *value, err);
}

} // namespace zel::app
