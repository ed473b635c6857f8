#include "app/startup.h"

#include "arx/ed.h"
#include "core/text.h"

#include <fstream>

namespace zel::app {

namespace {

std::wstring trimmed(std::wstring line) {
    size_t cut = line.find_first_of(L"#;");
    if (cut != std::wstring::npos) line.erase(cut);
    size_t a = line.find_first_not_of(L" \t\r");
    if (a == std::wstring::npos) return {};
    size_t b = line.find_last_not_of(L" \t\r");
    return line.substr(a, b - a + 1);
}

} // namespace

std::vector<std::wstring> startupModuleNames() {
    ACHAR found[4096];
    if (acedFindFile(L"zelcad.rx", found, 4096) != RTNORM) return {};
    std::ifstream in(core::wideToUtf8(found), std::ios::binary);
    std::vector<std::wstring> names;
    for (std::string line; std::getline(in, line);) {
        std::wstring name = trimmed(core::utf8ToWide(line));
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

std::vector<std::wstring> loadStartupModules(Session& s) {
    std::vector<std::wstring> problems;
    for (const std::wstring& name : startupModuleNames()) {
        std::wstring problem = s.modules().load(name);
        if (!problem.empty()) problems.push_back(problem);
    }
    return problems;
}

} // namespace zel::app
