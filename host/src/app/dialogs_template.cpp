// Dialog templates: the text files that give a dialog's title, size and controls.
#include "app/dialogs.h"

#include "core/text.h"
#include "editor/support.h"

#include <fstream>
#include <sstream>

namespace zel::app {

namespace fs = std::filesystem;

namespace {

struct LineError {
    std::wstring message;
};

// The words of one line: plain words, and quoted texts with \" and \\ escapes.
class Words {
public:
    explicit Words(std::wstring_view line) : mLine(line) {}

    bool done() {
        skipBlanks();
        return mAt >= mLine.size() || mLine[mAt] == L'#';
    }
    std::wstring word(std::wstring_view what) {
        if (done()) throw LineError{L"expected " + std::wstring(what)};
        if (mLine[mAt] == L'"') return quoted();
        size_t start = mAt;
        while (mAt < mLine.size() && mLine[mAt] != L' ' && mLine[mAt] != L'\t')
            ++mAt;
        return std::wstring(mLine.substr(start, mAt - start));
    }
    std::wstring text(std::wstring_view what) {
        if (done() || mLine[mAt] != L'"')
            throw LineError{L"expected " + std::wstring(what) + L" in double quotes"};
        return quoted();
    }
    int number(std::wstring_view what) {
        std::wstring w = word(what);
        std::optional<int> n = core::parseInt(w);
        if (!n) throw LineError{L"expected " + std::wstring(what) + L", found \"" + w + L"\""};
        return *n;
    }

private:
    void skipBlanks() {
        while (mAt < mLine.size() && (mLine[mAt] == L' ' || mLine[mAt] == L'\t'))
            ++mAt;
    }
    std::wstring quoted() {
        std::wstring out;
        for (++mAt; mAt < mLine.size(); ++mAt) {
            wchar_t c = mLine[mAt];
            if (c == L'"') {
                ++mAt;
                return out;
            }
            if (c == L'\\' && mAt + 1 < mLine.size()) {
                c = mLine[++mAt];
                if (c == L'n') c = L'\n'; // a label of two lines
            }
            out += c;
        }
        throw LineError{L"a text in double quotes is not closed"};
    }

    std::wstring_view mLine;
    size_t mAt = 0;
};

std::optional<ControlKind> kindByName(std::wstring_view name) {
    for (ControlKind k :
         {ControlKind::Button, ControlKind::Check, ControlKind::Radio, ControlKind::Edit,
          ControlKind::Combo, ControlKind::List, ControlKind::Static, ControlKind::Group}) {
        if (controlKindName(k) == name) return k;
    }
    return std::nullopt;
}

void size(Words& w, int& width, int& height) {
    width = w.number(L"a width");
    height = w.number(L"a height");
    if (width <= 0 || height <= 0) throw LineError{L"a size must be positive"};
}

void dialogLine(Words& w, DialogTemplate& d) {
    d.title = w.text(L"the title");
    size(w, d.width, d.height);
    if (w.done()) return;
    if (w.word(L"font") != L"font") throw LineError{L"expected font or the end of the line"};
    d.font = w.text(L"the font name");
    d.fontSize = w.number(L"the font size");
}

void flag(const std::wstring& word, ControlTemplate& c) {
    if (word == L"default")
        c.isDefault = true;
    else if (word == L"group")
        c.groupStart = true;
    else if (word == L"disabled")
        c.disabled = true;
    else if (word == L"hidden")
        c.hidden = true;
    else if (word == L"readonly")
        c.readOnly = true;
    else
        throw LineError{L"unknown flag \"" + word + L"\""};
}

ControlTemplate controlLine(ControlKind kind, Words& w) {
    ControlTemplate c;
    c.kind = kind;
    c.id = w.number(L"a control id");
    c.label = w.text(L"the label");
    c.x = w.number(L"x");
    c.y = w.number(L"y");
    size(w, c.width, c.height);
    while (!w.done())
        flag(w.word(L"a flag"), c);
    return c;
}

void checkIds(const DialogTemplate& d) {
    std::map<int, int> seen;
    for (const ControlTemplate& c : d.controls) {
        if (c.id == -1) continue;
        if (seen[c.id]++) throw LineError{L"control id " + core::toWString(c.id) + L" given twice"};
    }
}

} // namespace

std::wstring_view controlKindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Button:
        return L"button";
    case ControlKind::Check:
        return L"check";
    case ControlKind::Radio:
        return L"radio";
    case ControlKind::Edit:
        return L"edit";
    case ControlKind::Combo:
        return L"combo";
    case ControlKind::List:
        return L"list";
    case ControlKind::Static:
        return L"static";
    case ControlKind::Group:
        return L"group";
    }
    return L"?";
}

TemplateResult parseDialogTemplate(std::wstring_view text, const std::wstring& source) {
    TemplateResult out;
    DialogTemplate d;
    bool haveDialog = false;
    int number = 0;
    try {
        while (!text.empty()) {
            ++number;
            size_t end = text.find(L'\n');
            std::wstring_view line = text.substr(0, end);
            text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
            if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
            Words w(line);
            if (w.done()) continue;
            std::wstring head = w.word(L"a kind");
            if (head == L"dialog") {
                if (haveDialog) throw LineError{L"a second dialog line"};
                dialogLine(w, d);
                haveDialog = true;
                continue;
            }
            std::optional<ControlKind> kind = kindByName(head);
            if (!kind) throw LineError{L"unknown kind \"" + head + L"\""};
            if (!haveDialog) throw LineError{L"a control before the dialog line"};
            d.controls.push_back(controlLine(*kind, w));
        }
        number = 0; // what follows is about the whole file
        if (!haveDialog) throw LineError{L"no dialog line"};
        checkIds(d);
    } catch (const LineError& e) {
        out.error = source + (number ? L" line " + core::toWString(number) : std::wstring()) +
                    L": " + e.message;
        return out;
    }
    out.dialog = std::move(d);
    return out;
}

TemplateResult loadDialogTemplate(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {std::nullopt, L"cannot read the dialog template " + file.wstring()};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return parseDialogTemplate(core::decodeTextFile(bytes.str()), file.wstring());
}

fs::path findDialogTemplate(const std::wstring& name) {
    std::error_code ec;
    if (name.size() > 4 && core::toLower(name.substr(name.size() - 4)) == L".dlg")
        return fs::is_regular_file(name, ec) ? fs::path(name) : fs::path();
    fs::path file = editor::resourcesFolder() / "dialogs" / (name + L".dlg");
    return fs::is_regular_file(file, ec) ? file : fs::path();
}

} // namespace zel::app
