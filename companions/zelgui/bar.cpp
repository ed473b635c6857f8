#include "companions/zelgui/bar.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>

namespace zelgui {

namespace {

std::wstring quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

std::wstring state(bool enabled, bool shown) {
    std::wstring s;
    if (!enabled) s += L" disabled";
    if (!shown) s += L" hidden";
    return s;
}

std::wstring number(size_t n) {
    return std::to_wstring(n);
}

// Where the caret stands, or which part is selected.
std::wstring caretText(const Field& f) {
    auto [from, to] = f.selected();
    if (from == to) return L" caret " + number(to);
    return L" selection " + number(from) + L"-" + number(to);
}

// caretOf: the key of the field whose caret is shown ("" none).
void describeFields(std::wstring& out, const std::map<std::wstring, Field>& fields,
                    const std::wstring& focus, const std::wstring& caretOf = {}) {
    for (const auto& [key, f] : fields) {
        out += L"  field " + key + L" " + quoted(f.text);
        if (!f.label.empty()) out += L" label " + quoted(f.label);
        out += state(f.enabled, f.shown);
        if (key == caretOf) out += caretText(f);
        if (key == focus) out += L" focus";
        out += L"\n";
    }
}

std::wstring tileKind(const Tile& t) {
    switch (t.kind) {
    case TileKind::Button:
        return L"";
    case TileKind::Radio:
        return L" radio " + std::to_wstring(t.group);
    case TileKind::Toggle:
        return L" toggle";
    }
    return L"";
}

void describeTiles(std::wstring& out, const std::map<std::wstring, Tile>& tiles) {
    for (const auto& [key, t] : tiles) {
        out += L"  tile " + key;
        if (!t.label.empty()) out += L" " + quoted(t.label);
        out += tileKind(t);
        if (!t.value.empty()) out += L" value " + quoted(t.value);
        out += state(t.enabled, t.shown) + L"\n";
    }
}

void describeCombos(std::wstring& out, const std::map<std::wstring, Combo>& combos) {
    for (const auto& [key, c] : combos) {
        out += L"  combo " + key + L" " + quoted(c.text) + L" [";
        for (size_t i = 0; i < c.items.size(); ++i)
            out += (i ? L", " : L"") + quoted(c.items[i]);
        out += L"]";
        if (!c.label.empty()) out += L" label " + quoted(c.label);
        if (c.item) out += L" item " + std::to_wstring(c.item);
        if (c.history) out += L" history";
        if (c.selected >= 0) out += L" line " + std::to_wstring(c.selected);
        out += state(c.enabled, c.shown) + L"\n";
    }
}

} // namespace

std::pair<size_t, size_t> Field::selected() const {
    if (!selection) return {text.size(), text.size()};
    size_t to = std::min(selection->second, text.size());
    size_t from = std::min(selection->first, to);
    return {from, to};
}

void Field::replaceSelection(const std::wstring& s) {
    auto [from, to] = selected();
    text.replace(from, to - from, s);
    size_t caret = from + s.size();
    if (caret == text.size())
        selection.reset();
    else
        selection = std::pair{caret, caret};
}

void DialogBar::load(const std::wstring& name) {
    Page page;
    page.name = name;
    load(std::move(page));
}

void DialogBar::load(Page page) {
    mPage = std::move(page);
    mLoaded = true;
}

Field* DialogBar::panelField() {
    if (!mLoaded || !mPage.panel) return nullptr;
    return &mCommandBar.fields[kPanelField];
}

bool DialogBar::panelTyping() {
    Field* f = panelField();
    return f && mCommandBar.page == L"TEXT" && f->enabled && f->shown;
}

bool DialogBar::unload() {
    if (!mLoaded) return false;
    mPage = Page{};
    mLoaded = false;
    return true;
}

bool DialogBar::loadCommandPage(const std::wstring& name) {
    if (name != L"DEFAULT" && name != L"TEXT" && name != L"COORD") return false;
    mCommandBar.page = name;
    return true;
}

void DialogBar::endJob() {
    mCommandBar.page = L"DEFAULT";
    mCommandBar.fields.clear();
    mCommandBar.focus.clear();
    mCommandBar.step.clear();
}

void DialogBar::mask(int which, bool on) {
    if (which == 0) mTextMasked = on;
    if (which == 1) mTileMasked = on;
}

Outcome DialogBar::edit(int key, const std::wstring& text) {
    if (!mLoaded) return Outcome::NoPage;
    Field& f = field(std::to_wstring(key));
    if (!f.enabled || !f.shown) return Outcome::Disabled;
    f.text = text;
    f.selection.reset();
    return tellText(key, f.text);
}

Outcome DialogBar::tellText(int key, const std::wstring& text) {
    if (mTextMasked) return Outcome::Masked;
    if (!mText) return Outcome::NoCallback;
    std::wstring copy = text; // the callback may change the field it reads
    mText(key, copy.c_str());
    return Outcome::Delivered;
}

Outcome DialogBar::press(int key) {
    if (!mLoaded) return Outcome::NoPage;
    std::wstring name = std::to_wstring(key);
    Tile& t = tile(name);
    if (!t.enabled || !t.shown) return Outcome::Disabled;
    if (t.kind == TileKind::Toggle) t.value = t.value == L"1" ? L"0" : L"1";
    if (t.kind == TileKind::Radio) {
        for (auto& [other, o] : mPage.tiles)
            if (o.kind == TileKind::Radio && o.group == t.group)
                o.value = other == name ? L"1" : L"0";
    }
    if (mTileMasked) return Outcome::Masked;
    if (!mTile) return Outcome::NoCallback;
    mTile(key);
    return Outcome::Delivered;
}

std::wstring DialogBar::describe() const {
    std::wstring out = L"dialog bar: ";
    out += mLoaded ? L"page " + mPage.name : std::wstring(L"no page");
    if (mLoaded && !mPage.title.empty()) out += L" " + quoted(mPage.title);
    out += L"\n";
    if (mLoaded) {
        describeFields(out, mPage.fields, mPage.focus);
        describeTiles(out, mPage.tiles);
        describeCombos(out, mPage.combos);
    }
    bool panel = mLoaded && mPage.panel;
    if (panel) {
        out += L"  text panel: command-bar field " + std::wstring(kPanelField) + L", item " +
               std::to_wstring(mPage.panel->item);
        if (mPage.panel->enterItem)
            out += L", Enter item " + std::to_wstring(mPage.panel->enterItem);
        out += L"\n";
    }
    out += L"command bar: " + mCommandBar.page;
    if (!mCommandBar.step.empty()) out += L" step " + mCommandBar.step;
    if (mCommandBar.showsLastPoint) {
        wchar_t buf[96];
        std::swprintf(buf, 96, L" last point %.4f,%.4f,%.4f", mCommandBar.lastPoint[0],
                      mCommandBar.lastPoint[1], mCommandBar.lastPoint[2]);
        out += buf;
    }
    out += L"\n";
    std::map<std::wstring, Field> fields = mCommandBar.fields;
    if (panel) fields.try_emplace(kPanelField); // the panel's text shows even before its first use
    describeFields(out, fields, mCommandBar.focus, panel ? std::wstring(kPanelField) : L"");
    wchar_t aids[64];
    std::swprintf(aids, 64, L"aids: OSMODE %d DRAGMODE %d\n", osmode, dragmode);
    out += aids;
    return out;
}

} // namespace zelgui
