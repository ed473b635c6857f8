#include "companions/zelgui/bar.h"

#include <cwchar>
#include <string>

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

void describeFields(std::wstring& out, const std::map<std::wstring, Field>& fields,
                    const std::wstring& focus) {
    for (const auto& [key, f] : fields) {
        out += L"  field " + key + L" " + quoted(f.text) + state(f.enabled, f.shown);
        if (key == focus) out += L" focus";
        out += L"\n";
    }
}

} // namespace

void DialogBar::load(const std::wstring& name) {
    mPage = Page{};
    mPage.name = name;
    mLoaded = true;
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
    if (mTextMasked) return Outcome::Masked;
    if (!mText) return Outcome::NoCallback;
    mText(key, f.text.c_str());
    return Outcome::Delivered;
}

Outcome DialogBar::press(int key) {
    if (!mLoaded) return Outcome::NoPage;
    Tile& t = tile(std::to_wstring(key));
    if (!t.enabled || !t.shown) return Outcome::Disabled;
    if (mTileMasked) return Outcome::Masked;
    if (!mTile) return Outcome::NoCallback;
    mTile(key);
    return Outcome::Delivered;
}

std::wstring DialogBar::describe() const {
    std::wstring out = L"dialog bar: ";
    out += mLoaded ? L"page " + mPage.name : std::wstring(L"no page");
    out += L"\n";
    if (mLoaded) {
        describeFields(out, mPage.fields, mPage.focus);
        for (const auto& [key, t] : mPage.tiles) {
            out += L"  tile " + key;
            if (!t.label.empty()) out += L" " + quoted(t.label);
            if (!t.value.empty()) out += L" value " + quoted(t.value);
            out += state(t.enabled, t.shown) + L"\n";
        }
        for (const auto& [key, c] : mPage.combos) {
            out += L"  combo " + key + L" " + quoted(c.text) + L" [";
            for (size_t i = 0; i < c.items.size(); ++i)
                out += (i ? L", " : L"") + quoted(c.items[i]);
            out += L"]" + state(c.enabled, c.shown) + L"\n";
        }
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
    describeFields(out, mCommandBar.fields, mCommandBar.focus);
    wchar_t aids[64];
    std::swprintf(aids, 64, L"aids: OSMODE %d DRAGMODE %d\n", osmode, dragmode);
    out += aids;
    return out;
}

} // namespace zelgui
