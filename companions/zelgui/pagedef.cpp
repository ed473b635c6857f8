#include "companions/zelgui/pagedef.h"

#include <cwctype>
#include <set>

namespace zelgui {

namespace {

struct LineError {
    std::wstring message;
};

// The words of one line: plain words and quoted texts (\" and \\ inside).
class Words {
public:
    explicit Words(std::wstring_view line) : mLine(line) {}

    bool done() {
        while (mAt < mLine.size() && (mLine[mAt] == L' ' || mLine[mAt] == L'\t'))
            ++mAt;
        return mAt >= mLine.size() || mLine[mAt] == L'#';
    }
    std::wstring word(std::wstring_view what) {
        if (done()) throw LineError{L"expected " + std::wstring(what)};
        size_t start = mAt;
        while (mAt < mLine.size() && mLine[mAt] != L' ' && mLine[mAt] != L'\t')
            ++mAt;
        return std::wstring(mLine.substr(start, mAt - start));
    }
    std::wstring text(std::wstring_view what) {
        if (done() || mLine[mAt] != L'"')
            throw LineError{L"expected " + std::wstring(what) + L" in double quotes"};
        std::wstring out;
        for (++mAt; mAt < mLine.size(); ++mAt) {
            wchar_t c = mLine[mAt];
            if (c == L'"') {
                ++mAt;
                return out;
            }
            if (c == L'\\' && mAt + 1 < mLine.size()) c = mLine[++mAt];
            out += c;
        }
        throw LineError{L"a text in double quotes is not closed"};
    }
    int number(std::wstring_view what) {
        std::wstring w = word(what);
        bool digits = !w.empty() && w.size() < 7;
        for (wchar_t c : w)
            digits = digits && std::iswdigit(c);
        if (!digits || std::stoi(w) == 0)
            throw LineError{L"expected " + std::wstring(what) + L" (a number from 1), found \"" +
                            w + L"\""};
        return std::stoi(w);
    }

private:
    std::wstring_view mLine;
    size_t mAt = 0;
};

struct Flags {
    bool disabled = false;
    bool hidden = false;
    bool history = false;
};

Flags flags(Words& w, bool historyAllowed) {
    Flags f;
    while (!w.done()) {
        std::wstring word = w.word(L"a flag");
        if (word == L"disabled")
            f.disabled = true;
        else if (word == L"hidden")
            f.hidden = true;
        else if (word == L"history" && historyAllowed)
            f.history = true;
        else
            throw LineError{L"unknown flag \"" + word + L"\""};
    }
    return f;
}

class Reader {
public:
    explicit Reader(const std::wstring& name) { mPage.name = name; }

    void line(Words& w) {
        std::wstring head = w.word(L"a kind");
        if (head == L"page") return title(w);
        if (head == L"field") return field(w);
        if (head == L"button") return tile(w, TileKind::Button);
        if (head == L"radio") return tile(w, TileKind::Radio);
        if (head == L"toggle") return tile(w, TileKind::Toggle);
        if (head == L"list") return list(w);
        if (head == L"panel") return panel(w);
        throw LineError{L"unknown kind \"" + head +
                        L"\" (expected page, field, button, radio, toggle, list or panel)"};
    }

    Page take() { return std::move(mPage); }

private:
    void title(Words& w) {
        if (!mPage.title.empty()) throw LineError{L"a second page line"};
        mPage.title = w.text(L"the title");
        if (!w.done()) throw LineError{L"expected the end of the line"};
    }

    std::wstring newKey(Words& w, std::set<std::wstring>& seen, const wchar_t* kind) {
        std::wstring key = std::to_wstring(w.number(L"a key"));
        if (!seen.insert(key).second)
            throw LineError{std::wstring(kind) + L" " + key + L" given twice"};
        return key;
    }

    void field(Words& w) {
        Field& f = mPage.fields[newKey(w, mFieldKeys, L"field")];
        f.label = w.text(L"the label");
        Flags fl = flags(w, false);
        f.enabled = !fl.disabled;
        f.shown = !fl.hidden;
    }

    void tile(Words& w, TileKind kind) {
        Tile& t = mPage.tiles[newKey(w, mTileKeys, L"tile")];
        t.kind = kind;
        t.label = w.text(L"the label");
        if (kind == TileKind::Radio) t.group = w.number(L"the radio group");
        if (kind != TileKind::Button) t.value = L"0";
        Flags fl = flags(w, false);
        t.enabled = !fl.disabled;
        t.shown = !fl.hidden;
    }

    void list(Words& w) {
        Combo& c = mPage.combos[newKey(w, mListKeys, L"list")];
        c.item = w.number(L"the item of a chosen line");
        c.label = w.text(L"the label");
        Flags fl = flags(w, true);
        if (fl.history && mHistory) throw LineError{L"a second history list"};
        mHistory = mHistory || fl.history;
        c.history = fl.history;
        c.enabled = !fl.disabled;
        c.shown = !fl.hidden;
    }

    void panel(Words& w) {
        if (mPage.panel) throw LineError{L"a second panel line"};
        TextPanel p;
        p.item = w.number(L"the item of the panel's text");
        if (!w.done()) {
            if (w.word(L"enter") != L"enter") throw LineError{L"expected enter or the line end"};
            p.enterItem = w.number(L"the item of Enter");
        }
        if (!w.done()) throw LineError{L"expected the end of the line"};
        mPage.panel = p;
    }

    Page mPage;
    std::set<std::wstring> mFieldKeys, mTileKeys, mListKeys;
    bool mHistory = false;
};

} // namespace

PageParse parsePage(std::wstring_view text, const std::wstring& name) {
    Reader reader(name);
    int number = 0;
    try {
        while (!text.empty()) {
            ++number;
            size_t end = text.find(L'\n');
            std::wstring_view line = text.substr(0, end);
            text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
            if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
            Words w(line);
            if (!w.done()) reader.line(w);
        }
    } catch (const LineError& e) {
        return {std::nullopt, L"line " + std::to_wstring(number) + L": " + e.message};
    }
    return {reader.take(), L""};
}

std::optional<std::wstring> decodeUtf8(std::string_view bytes) {
    std::wstring out;
    size_t i = 0;
    if (bytes.starts_with("\xEF\xBB\xBF")) i = 3; // a byte-order mark
    while (i < bytes.size()) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        int more = lead < 0x80             ? 0
                   : (lead & 0xE0) == 0xC0 ? 1
                   : (lead & 0xF0) == 0xE0 ? 2
                   : (lead & 0xF8) == 0xF0 ? 3
                                           : -1;
        if (more < 0 || bytes.size() - i <= size_t(more)) return std::nullopt;
        char32_t c = more == 0 ? lead : lead & (0x3F >> more);
        for (int k = 1; k <= more; ++k) {
            unsigned char b = static_cast<unsigned char>(bytes[i + k]);
            if ((b & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (b & 0x3F);
        }
        static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (c < kLeast[more] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
        out += static_cast<wchar_t>(c);
        i += more + 1;
    }
    return out;
}

std::wstring pageFileName(const std::wstring& name) {
    bool plain = !name.empty();
    for (wchar_t c : name)
        plain = plain && (std::iswalnum(c) || c == L'_' || c == L'-');
    return plain ? L"bar/" + name + L".bar" : std::wstring();
}

} // namespace zelgui
