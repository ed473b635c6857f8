// Each function takes its arguments as the commands give them (keys and texts as RTSTR, modes
// as RTSHORT, callbacks as RTLONG_PTR) and answers RSRSLT; arguments of the wrong kind make the
// call fail (RSERR), which the caller reports.
#include "companions/zelgui/functions.h"
#include "companions/zelgui/aids.h"
#include "companions/zelgui/pagedef.h"
#include "companions/zelgui/panel.h"

#include "arx/aced.h"
#include "arx/ed.h"
#include "common/services/sysvar.h"
#include "common/support/zelsupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

namespace zelgui {

namespace {

struct RbFree {
    void operator()(resbuf* rb) const { acutRelRb(rb); }
};

// The arguments of the call being answered, read in order.
class Args {
public:
    Args() : mHead(acedGetArgs()), mAt(mHead.get()) {}

    std::optional<std::wstring> text() {
        if (!mAt || mAt->restype != RTSTR) return std::nullopt;
        std::wstring s = mAt->resval.rstring ? mAt->resval.rstring : L"";
        mAt = mAt->rbnext;
        return s;
    }
    std::optional<int64_t> number() {
        if (!mAt) return std::nullopt;
        std::optional<int64_t> v;
        switch (mAt->restype) {
        case RTSHORT:
            v = mAt->resval.rint;
            break;
        case RTLONG:
            v = mAt->resval.rlong;
            break;
        case RTLONG_PTR:
        case RTINT64:
            v = mAt->resval.mnInt64;
            break;
        case RTREAL: // LISP carries integers beyond 32 bits as reals
            v = static_cast<int64_t>(mAt->resval.rreal);
            break;
        default:
            return std::nullopt;
        }
        mAt = mAt->rbnext;
        return v;
    }
    bool done() const { return mAt == nullptr; }

private:
    std::unique_ptr<resbuf, RbFree> mHead;
    const resbuf* mAt;
};

int ok() {
    return RSRSLT;
}
int fail() {
    return RSERR;
}

int fpText() {
    Args a;
    std::optional<int64_t> p = a.number();
    if (!p) return fail();
    bar().setCallbacks(reinterpret_cast<ZelBarTextCallback>(static_cast<intptr_t>(*p)));
    return ok();
}

int fpTile() {
    Args a;
    std::optional<int64_t> p = a.number();
    if (!p) return fail();
    bar().setCallbacks(reinterpret_cast<ZelBarTileCallback>(static_cast<intptr_t>(*p)));
    return ok();
}

// The page as its definition (pagedef.h) gives it, an empty page when it has none, or nullopt
// (after saying why) when its definition cannot be used.
std::optional<Page> pageFor(const std::wstring& name) {
    Page empty;
    empty.name = name;
    std::wstring file = pageFileName(name);
    ACHAR found[4096];
    if (file.empty() || acedFindFile(file.c_str(), found) != RTNORM) return empty;
    std::ifstream in(std::filesystem::path(found), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in) {
        acutPrintf(L"\nダイアログバー: ページ定義 %s を読めません", found);
        return std::nullopt;
    }
    std::optional<std::wstring> text = decodeUtf8(bytes.str());
    if (!text) {
        acutPrintf(L"\nダイアログバー: ページ定義 %s は UTF-8 ではありません", found);
        return std::nullopt;
    }
    PageParse parsed = parsePage(*text, name);
    if (!parsed.page)
        acutPrintf(L"\nダイアログバー: ページ定義 %s %s", found, parsed.error.c_str());
    return parsed.page;
}

int loadDlg() {
    Args a;
    std::optional<std::wstring> name = a.text();
    if (!name || name->empty()) return fail();
    std::optional<Page> page = pageFor(*name);
    if (!page) return fail(); // the page shown before stays
    bar().load(std::move(*page));
    return ok();
}

int unloadDlg() {
    bar().unload();
    return ok();
}

int setText() {
    Args a;
    std::optional<std::wstring> key = a.text(), text = a.text();
    if (!key || !text) return fail();
    bar().field(*key).text = *text;
    return ok();
}

int setTileText() {
    Args a;
    std::optional<std::wstring> key = a.text(), text = a.text();
    if (!key || !text) return fail();
    bar().tile(*key).label = *text;
    return ok();
}

int getText() {
    Args a;
    std::optional<std::wstring> key = a.text();
    if (!key) return fail();
    acedRetStr(bar().field(*key).text.c_str());
    return ok();
}

int setFocusText() {
    Args a;
    std::optional<std::wstring> key = a.text();
    if (!key) return fail();
    if (std::optional<std::wstring> value = a.text()) bar().field(*key).text = *value;
    bar().setFocus(*key);
    return ok();
}

int setTile() {
    Args a;
    std::optional<std::wstring> key = a.text();
    if (!key) return fail();
    std::optional<std::wstring> value = a.text();
    bar().tile(*key).value = value ? *value : L"1";
    return ok();
}

// Zelads_ModeText / Zelads_ShowText: key, state (0 off, else on), a second short kept for
// the caller's own use.
int modeText() {
    Args a;
    std::optional<std::wstring> key = a.text();
    std::optional<int64_t> on = a.number();
    if (!key || !on) return fail();
    bar().field(*key).enabled = *on != 0;
    return ok();
}

int showText() {
    Args a;
    std::optional<std::wstring> key = a.text();
    std::optional<int64_t> on = a.number();
    if (!key || !on) return fail();
    bar().field(*key).shown = *on != 0;
    return ok();
}

template <class Member> int keyAndState(Member member) {
    Args a;
    std::optional<std::wstring> key = a.text();
    std::optional<int64_t> on = a.number();
    if (!key || !on) return fail();
    member(*key, *on != 0);
    return ok();
}

int modeTile() {
    return keyAndState([](const std::wstring& k, bool on) { bar().tile(k).enabled = on; });
}
int showTile() {
    return keyAndState([](const std::wstring& k, bool on) { bar().tile(k).shown = on; });
}
int showCombo() {
    return keyAndState([](const std::wstring& k, bool on) { bar().combo(k).shown = on; });
}
int modeCmbList() {
    return keyAndState([](const std::wstring& k, bool on) { bar().combo(k).enabled = on; });
}

int clrCmbList() {
    Args a;
    std::optional<std::wstring> key = a.text();
    if (!key) return fail();
    bar().combo(*key).items.clear();
    return ok();
}

int addCmbList() {
    Args a;
    std::optional<std::wstring> key = a.text(), item = a.text();
    if (!key || !item) return fail();
    bar().combo(*key).items.push_back(*item);
    return ok();
}

// ZelScAddCmbList: a scale text for the bar's list of scales; with 1 it becomes the one shown.
int scAddCmbList() {
    Args a;
    std::optional<std::wstring> text = a.text();
    std::optional<int64_t> show = a.number();
    if (!text) return fail();
    Combo& scales = bar().combo(L"SCALE");
    bool listed = false;
    for (const std::wstring& item : scales.items)
        listed = listed || item == *text;
    if (!listed) scales.items.push_back(*text);
    if (show && *show == 1) scales.text = *text;
    return ok();
}

int delCmbList() {
    Args a;
    std::optional<std::wstring> key = a.text(), item = a.text();
    if (!key || !item) return fail();
    auto& items = bar().combo(*key).items;
    for (auto it = items.begin(); it != items.end(); ++it) {
        if (*it != *item) continue;
        items.erase(it);
        return ok();
    }
    return ok();
}

int setCmbText() {
    Args a;
    std::optional<int64_t> key = a.number();
    std::optional<std::wstring> text = a.text();
    if (!key || !text) return fail();
    bar().combo(std::to_wstring(*key)).text = *text;
    return ok();
}

int maskEvent() {
    Args a;
    std::optional<int64_t> which = a.number(), on = a.number();
    if (!which || !on) return fail();
    bar().mask(static_cast<int>(*which), *on != 0);
    return ok();
}

int redrawBitmap() {
    Args a;
    return a.number() ? ok() : fail();
}

int resetOsmode() {
    restoreOsmode();
    return ok();
}

int resetDrgmode() {
    restoreDragmode();
    return ok();
}

int cmdLoadDlg() {
    Args a;
    std::optional<std::wstring> page = a.text();
    return page && bar().loadCommandPage(*page) ? ok() : fail();
}

int cmdGetText() {
    Args a;
    std::optional<std::wstring> key = a.text();
    if (!key) return fail();
    acedRetStr(bar().commandBar().fields[*key].text.c_str());
    return ok();
}

int cmdShowText() {
    Args a;
    std::optional<std::wstring> key = a.text(), value = a.text();
    if (!key || !value) return fail();
    bar().commandBar().fields[*key].shown = *value != L"0";
    return ok();
}

int cmdModeText() {
    Args a;
    std::optional<std::wstring> key = a.text(), value = a.text();
    if (!key || !value) return fail();
    bar().commandBar().fields[*key].enabled = *value != L"0";
    return ok();
}

int cmdSetText() {
    Args a;
    std::optional<std::wstring> key = a.text(), text = a.text();
    if (!key || !text) return fail();
    Field& f = bar().commandBar().fields[*key];
    f.text = *text;
    f.selection.reset(); // the caret at the end of the new text
    return ok();
}

int cmdSetFocusText() {
    Args a;
    std::optional<std::wstring> key = a.text();
    if (!key) return fail();
    bar().commandBar().focus = *key;
    return ok();
}

int cmdStep() {
    Args a;
    std::optional<std::wstring> key = a.text();
    if (!key) return fail();
    bar().commandBar().step = *key;
    return ok();
}

int cmdEndJob() {
    bar().endJob();
    return ok();
}

int cmdSetLastPt() {
    CommandBar& cb = bar().commandBar();
    resbuf rb{};
    if (acedGetVar(L"LASTPOINT", &rb) != RTNORM || rb.restype != RT3DPOINT) return fail();
    for (int i = 0; i < 3; ++i)
        cb.lastPoint[i] = rb.resval.rpoint[i];
    cb.showsLastPoint = true;
    return ok();
}

int cmdNull() {
    Args a;
    return a.number() ? ok() : fail();
}

// ArxCmd_GetHWnd: the bar has no windows here; a control is named by its id, which stands in
// for the handle the caller hands back to the bar.
int cmdGetHWnd() {
    Args a;
    std::optional<int64_t> id = a.number();
    if (!id) return fail();
    acedRetInt(static_cast<int>(*id));
    return ok();
}

// The text field behind a control handle of ArxCmd_GetHWnd (only the text panel's has one).
Field* fieldOfHandle(std::optional<int64_t> handle) {
    if (!handle || *handle != kPanelControl) return nullptr;
    return &bar().commandBar().fields[kPanelField];
}

// ArxCmd_SetSel: handle, first, last (last -1: to the end): the selection of a text field, as
// a command puts the caret back after it changed the text.
int cmdSetSel() {
    Args a;
    Field* f = fieldOfHandle(a.number());
    std::optional<int64_t> first = a.number(), last = a.number();
    if (!f || !first || *first < 0) return fail();
    size_t from = size_t(*first);
    size_t to = last && *last >= 0 ? size_t(*last) : f->text.size();
    f->selection = std::pair{std::min(from, to), std::max(from, to)};
    return ok();
}

// ArxCmd_ReplaceSel: handle, text: the selection of a text field replaced, the caret behind the
// text. The panel's text is written to "ZelText/tmp", where the command reads it back.
int cmdReplaceSel() {
    Args a;
    Field* f = fieldOfHandle(a.number());
    std::optional<std::wstring> text = a.text();
    if (!f || !text) return fail();
    f->replaceSelection(*text);
    if (bar().panelField()) ZelSetLocText(kTextKey, f->text.c_str());
    return ok();
}

constexpr BarFunction kFunctions[] = {
    {L"Zelads_FpText", fpText},
    {L"Zelads_FpTile", fpTile},
    {L"Zelads_LoadDlg", loadDlg},
    {L"Zelads_UnloadDlg", unloadDlg},
    {L"Zelads_SetText", setText},
    {L"Zelads_SetTileText", setTileText},
    {L"Zelads_GetText", getText},
    {L"Zelads_SetFocusText", setFocusText},
    {L"Zelads_SetTile", setTile},
    {L"Zelads_ModeText", modeText},
    {L"Zelads_ShowText", showText},
    {L"Zelads_ModeTile", modeTile},
    {L"Zelads_ShowTile", showTile},
    {L"Zelads_ShowCombo", showCombo},
    {L"Zelads_ModeCmbList", modeCmbList},
    {L"Zelads_ClrCmbList", clrCmbList},
    {L"Zelads_AddCmbList", addCmbList},
    {L"ZelScAddCmbList", scAddCmbList},
    {L"Zelads_DelCmbList", delCmbList},
    {L"Zelads_SetCmbText", setCmbText},
    {L"Zelads_MaskEvent", maskEvent},
    {L"Zelads_RedrawBitmap", redrawBitmap},
    {L"Zelads_ResetOsmode", resetOsmode},
    {L"Zelads_ResetDrgmode", resetDrgmode},
    {L"ArxCmd_LoadDlg", cmdLoadDlg},
    {L"ArxCmd_GetText", cmdGetText},
    {L"ArxCmd_ShowText", cmdShowText},
    {L"ArxCmd_ModeText", cmdModeText},
    {L"ArxCmd_SetText", cmdSetText},
    {L"ArxCmd_SetFocusText", cmdSetFocusText},
    {L"ArxCmd_Step", cmdStep},
    {L"ArxCmd_EndJob", cmdEndJob},
    {L"ArxCmd_SetLastPt", cmdSetLastPt},
    {L"ArxCmd_NULL", cmdNull},
    {L"ArxCmd_GetHWnd", cmdGetHWnd},
    {L"ArxCmd_SetSel", cmdSetSel},
    {L"ArxCmd_ReplaceSel", cmdReplaceSel},
};

} // namespace

DialogBar& bar() {
    static DialogBar theBar;
    return theBar;
}

std::span<const BarFunction> barFunctions() {
    return kFunctions;
}

} // namespace zelgui
