#include "companions/zeldll/textfile.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace zel::settings {

namespace fs = std::filesystem;

namespace {

std::wstring lineError(int line, const std::wstring& what) {
    return L"line " + std::to_wstring(line) + L": " + what;
}

// The value with its escapes undone; nullopt for an unknown escape.
std::optional<std::wstring> unescape(std::wstring_view raw) {
    std::wstring out;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != L'\\') {
            out += raw[i];
            continue;
        }
        if (++i >= raw.size()) return std::nullopt;
        switch (raw[i]) {
        case L'\\':
            out += L'\\';
            break;
        case L't':
            out += L'\t';
            break;
        case L'n':
            out += L'\n';
            break;
        case L'r':
            out += L'\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

std::wstring escape(std::wstring_view value) {
    std::wstring out;
    for (wchar_t c : value) {
        if (c == L'\\')
            out += L"\\\\";
        else if (c == L'\t')
            out += L"\\t";
        else if (c == L'\n')
            out += L"\\n";
        else if (c == L'\r')
            out += L"\\r";
        else
            out += c;
    }
    return out;
}

bool badKey(std::wstring_view key) {
    if (key.empty() || key.front() == L' ' || key.back() == L' ') return true;
    for (wchar_t c : key)
        if (c < 0x20) return true;
    return false;
}

// One line; adds to out or to the errors.
void parseLine(std::wstring_view line, int number, std::set<std::wstring>& seen, ParsedText& out) {
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    if (line.empty() || line.front() == L'#') return;
    size_t eq = line.find(L'=');
    if (eq == std::wstring_view::npos)
        return out.errors.push_back(lineError(number, L"expected KEY=VALUE"));
    std::wstring key(line.substr(0, eq));
    if (badKey(key)) return out.errors.push_back(lineError(number, L"bad key \"" + key + L"\""));
    std::optional<std::wstring> value = unescape(line.substr(eq + 1));
    if (!value)
        return out.errors.push_back(lineError(number, L"bad escape in the value of " + key));
    if (!seen.insert(key).second)
        return out.errors.push_back(lineError(number, L"key " + key + L" given twice"));
    out.pairs.emplace_back(std::move(key), std::move(*value));
}

} // namespace

ParsedText parseSettingsText(std::string_view bytes) {
    ParsedText out;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    std::optional<std::wstring> text = fromUtf8(bytes);
    if (!text) {
        out.errors.push_back(L"the text is not UTF-8");
        return out;
    }
    std::set<std::wstring> seen;
    std::wstring_view rest = *text;
    int number = 1;
    while (!rest.empty()) {
        size_t end = rest.find(L'\n');
        parseLine(rest.substr(0, end), number++, seen, out);
        if (end == std::wstring_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return out;
}

std::string formatSettingsText(const Pairs& pairs) {
    std::wstring text =
        L"# zelcad settings: KEY=VALUE a line (\\\\ \\t \\n \\r escapes in values)\n";
    for (const auto& [key, value] : pairs)
        text += key + L"=" + escape(value) + L"\n";
    return toUtf8(text);
}

ParsedText readSettingsFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ParsedText out;
        out.errors.push_back(L"cannot read " + path.wstring());
        return out;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return parseSettingsText(bytes.str());
}

std::wstring writeSettingsFile(const fs::path& path, const Pairs& pairs) {
    fs::path temp = path;
    temp += ".tmp" + std::to_string(::getpid());
    std::string bytes = formatSettingsText(pairs);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return L"cannot write " + temp.wstring();
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ec;
            fs::remove(temp, ec);
            return L"cannot write " + temp.wstring();
        }
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        return L"cannot write " + path.wstring();
    }
    return {};
}

fs::path findResource(const fs::path& start, const fs::path& relative) {
    std::error_code ec;
    if (const char* env = std::getenv("ZELCAD_RESOURCES"); env && *env) {
        fs::path given = fs::path(env) / relative;
        return fs::exists(given, ec) ? given : fs::path();
    }
    for (fs::path dir = fs::absolute(start, ec); !dir.empty(); dir = dir.parent_path()) {
        fs::path candidate = dir / "resources" / relative;
        if (fs::exists(candidate, ec)) return candidate;
        if (dir == dir.root_path()) break;
    }
    return {};
}

} // namespace zel::settings
