// acedFindFile: a file by name, looked for as given, then in the folder of the drawing, then in
// the support folders (the ACAD environment value and the ZELCAD_SUPPORT variable of the
// process, folders separated by ";" or ":"), and last in the program's resources folder.
#include "arx/ed.h"
#include "core/text.h"
#include "editor/api_guard.h"
#include "editor/support.h"

#include <cstdlib>
#include <cwchar>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using zel::editor::Editor;
using zel::editor::guarded;

void addFolders(std::vector<fs::path>& out, const std::wstring& list) {
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find_first_of(L";:", start);
        if (end == std::wstring::npos) end = list.size();
        std::wstring folder = list.substr(start, end - start);
        if (!folder.empty()) out.emplace_back(folder);
        start = end + 1;
    }
}

std::vector<fs::path> searchFolders(Editor& ed) {
    std::vector<fs::path> folders;
    std::optional<zel::editor::VarValue> prefix = ed.vars().get(L"DWGPREFIX");
    if (prefix)
        if (auto* s = std::get_if<std::wstring>(&*prefix); s && !s->empty())
            folders.emplace_back(*s);
    if (std::optional<std::wstring> acad = ed.env().get(L"ACAD")) addFolders(folders, *acad);
    if (const char* support = std::getenv("ZELCAD_SUPPORT"))
        addFolders(folders, zel::core::utf8ToWide(support));
    folders.push_back(zel::editor::resourcesFolder());
    return folders;
}

bool isFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

} // namespace

namespace zel::editor {

fs::path resourcesFolder() {
    if (const char* env = std::getenv("ZELCAD_RESOURCES"); env && *env) return fs::path(env);
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && fs::is_directory(exe.parent_path() / "resources", ec))
        return exe.parent_path() / "resources";
    return fs::path(ZEL_RESOURCES_DIR);
}

} // namespace zel::editor

int acedFindFile(const ACHAR* fname, ACHAR* result, size_t len) {
    return guarded([&](Editor& ed) -> int {
        if (!fname || !*fname || !result || len == 0) return RTERROR;
        fs::path name(fname);
        std::optional<fs::path> found;
        if (isFile(name)) found = name;
        if (!found && name.is_relative()) {
            for (const fs::path& folder : searchFolders(ed)) {
                if (!isFile(folder / name)) continue;
                found = folder / name;
                break;
            }
        }
        if (!found) return RTERROR;
        std::wstring text = found->lexically_normal().wstring();
        if (text.size() + 1 > len) return RTERROR;
        std::wmemcpy(result, text.c_str(), text.size() + 1);
        return RTNORM;
    });
}
