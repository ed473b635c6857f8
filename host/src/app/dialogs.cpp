// The controls of a dialog: what CDialog's calls read and change.
#include "app/dialogs.h"
#include "app/session.h"

#include "core/text.h"

#include <algorithm>
#include <cwchar>

namespace zel::app {

namespace {

// Items of a combo or list box shown when the dialog is printed.
constexpr size_t kItemsShown = 16;

bool hasItems(const DialogControl& c) {
    return c.layout.kind == ControlKind::Combo || c.layout.kind == ControlKind::List;
}

std::wstring quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

std::wstring items(const DialogControl& c) {
    std::wstring out;
    for (size_t i = 0; i < c.items.size() && i < kItemsShown; ++i) {
        out += L"\n      " + std::wstring(int(i) == c.selection ? L"*" : L" ") +
               core::toWString(int(i)) + L" " + quoted(c.items[i]);
    }
    if (c.items.size() > kItemsShown)
        out += L"\n       … " + core::toWString(int(c.items.size())) + L" items";
    return out;
}

std::wstring controlLine(const DialogControl& c) {
    std::wstring id = c.layout.id == -1 ? std::wstring() : L" " + core::toWString(c.layout.id);
    std::wstring line = L"\n  " + std::wstring(controlKindName(c.layout.kind)) + id;
    switch (c.layout.kind) {
    case ControlKind::Check:
        line += c.checked ? L" [x] " : L" [ ] ";
        line += quoted(c.text);
        break;
    case ControlKind::Radio:
        line += c.checked ? L" (o) " : L" ( ) ";
        line += quoted(c.text);
        break;
    case ControlKind::Edit:
        line += L" = " + quoted(c.text);
        break;
    case ControlKind::Combo:
    case ControlKind::List:
        line += L" = " +
                (c.selection < 0 ? std::wstring(L"(none)") : quoted(c.items[size_t(c.selection)]));
        break;
    case ControlKind::Button:
    case ControlKind::Static:
    case ControlKind::Group:
        line += L" " + quoted(c.text);
        break;
    }
    if (c.layout.isDefault) line += L" (default)";
    if (!c.enabled) line += L" (disabled)";
    if (hasItems(c)) line += items(c);
    return line;
}

} // namespace

std::wstring renderDialog(const std::wstring& title, const std::vector<DialogControl>& controls) {
    std::wstring out = L"\n[ダイアログ] " + title;
    for (const DialogControl& c : controls)
        if (c.visible) out += controlLine(c);
    return out;
}

} // namespace zel::app

using zel::app::ControlKind;
using zel::app::DialogControl;

zel::app::DialogControl* CDialog::State::find(int id) {
    if (id == -1) return nullptr;
    for (DialogControl& c : controls)
        if (c.layout.id == id) return &c;
    return nullptr;
}

const zel::app::DialogControl* CDialog::State::find(int id) const {
    return const_cast<State*>(this)->find(id);
}

void CDialog::State::build(const zel::app::DialogTemplate& t) {
    title = t.title;
    controls.clear();
    int group = -1;
    bool inRadios = false;
    for (const zel::app::ControlTemplate& layout : t.controls) {
        DialogControl c;
        c.layout = layout;
        c.text = layout.label;
        c.enabled = !layout.disabled;
        c.visible = !layout.hidden;
        bool radio = layout.kind == ControlKind::Radio;
        if (radio && (!inRadios || layout.groupStart)) ++group;
        if (radio) c.radioGroup = group;
        inRadios = radio;
        controls.push_back(std::move(c));
    }
}

namespace {

std::wstring moduleName() {
    zel::app::Session* s = zel::app::currentSession();
    const zel::app::Module* m = s ? s->modules().current() : nullptr;
    return m ? m->name : std::wstring(L"host");
}

bool isButtonLike(const DialogControl* c) {
    return c && (c->layout.kind == ControlKind::Check || c->layout.kind == ControlKind::Radio ||
                 c->layout.kind == ControlKind::Button);
}

} // namespace

CDialog::CDialog(unsigned templateId) : m_state(std::make_unique<State>()) {
    m_state->templateName = moduleName() + L"/" + zel::core::toWString(int(templateId));
}

CDialog::CDialog(const ACHAR* templateName) : m_state(std::make_unique<State>()) {
    m_state->templateName = templateName ? templateName : L"";
}

CDialog::~CDialog() = default;

void CDialog::EndDialog(int result) {
    m_state->ended = true;
    m_state->result = result;
}

void CDialog::SetWindowText(const ACHAR* title) {
    m_state->title = title ? title : L"";
}

std::wstring CDialog::GetWindowText() const {
    return m_state->title;
}

bool CDialog::HasDlgItem(int id) const {
    return m_state->find(id) != nullptr;
}

void CDialog::SetDlgItemText(int id, const ACHAR* text) {
    if (DialogControl* c = m_state->find(id)) c->text = text ? text : L"";
}

std::wstring CDialog::GetDlgItemText(int id) const {
    const DialogControl* c = m_state->find(id);
    if (!c) return {};
    bool combo = c->layout.kind == ControlKind::Combo || c->layout.kind == ControlKind::List;
    if (combo && c->selection >= 0) return c->items[size_t(c->selection)];
    return combo ? std::wstring() : c->text;
}

int CDialog::GetDlgItemText(int id, ACHAR* text, int maxCount) const {
    if (!text || maxCount <= 0) return 0;
    std::wstring value = GetDlgItemText(id);
    size_t n = std::min(value.size(), size_t(maxCount - 1));
    std::wmemcpy(text, value.data(), n);
    text[n] = 0;
    return int(n);
}

void CDialog::SetDlgItemInt(int id, int value) {
    SetDlgItemText(id, zel::core::toWString(value).c_str());
}

int CDialog::GetDlgItemInt(int id) const {
    return int(std::wcstol(GetDlgItemText(id).c_str(), nullptr, 10));
}

void CDialog::CheckDlgButton(int id, unsigned check) {
    DialogControl* c = m_state->find(id);
    if (!isButtonLike(c) || c->layout.kind == ControlKind::Button) return;
    c->checked = check == BST_CHECKED;
}

unsigned CDialog::IsDlgButtonChecked(int id) const {
    const DialogControl* c = m_state->find(id);
    return c && c->checked ? BST_CHECKED : BST_UNCHECKED;
}

void CDialog::CheckRadioButton(int idFirst, int idLast, int idCheck) {
    for (DialogControl& c : m_state->controls) {
        if (c.layout.kind != ControlKind::Radio) continue;
        if (c.layout.id < idFirst || c.layout.id > idLast) continue;
        c.checked = c.layout.id == idCheck;
    }
}

int CDialog::GetCheckedRadioButton(int idFirst, int idLast) const {
    for (const DialogControl& c : m_state->controls) {
        if (c.layout.kind == ControlKind::Radio && c.checked && c.layout.id >= idFirst &&
            c.layout.id <= idLast)
            return c.layout.id;
    }
    return 0;
}

void CDialog::EnableDlgItem(int id, bool enable) {
    if (DialogControl* c = m_state->find(id)) c->enabled = enable;
}

bool CDialog::IsDlgItemEnabled(int id) const {
    const DialogControl* c = m_state->find(id);
    return c && c->enabled;
}

void CDialog::ShowDlgItem(int id, bool show) {
    if (DialogControl* c = m_state->find(id)) c->visible = show;
}

bool CDialog::IsDlgItemVisible(int id) const {
    const DialogControl* c = m_state->find(id);
    return c && c->visible;
}

namespace {

DialogControl* withItems(CDialog::State& s, int id) {
    DialogControl* c = s.find(id);
    if (!c) return nullptr;
    return c->layout.kind == ControlKind::Combo || c->layout.kind == ControlKind::List ? c
                                                                                       : nullptr;
}

} // namespace

int CDialog::AddString(int id, const ACHAR* text) {
    return InsertString(id, -1, text);
}

int CDialog::InsertString(int id, int index, const ACHAR* text) {
    DialogControl* c = withItems(*m_state, id);
    if (!c || index < -1 || index > int(c->items.size())) return CB_ERR;
    if (index == -1) index = int(c->items.size());
    c->items.insert(c->items.begin() + index, text ? text : L"");
    if (c->selection >= index) ++c->selection;
    return index;
}

int CDialog::DeleteString(int id, int index) {
    DialogControl* c = withItems(*m_state, id);
    if (!c || index < 0 || index >= int(c->items.size())) return CB_ERR;
    c->items.erase(c->items.begin() + index);
    if (c->selection == index)
        c->selection = -1;
    else if (c->selection > index)
        --c->selection;
    return int(c->items.size());
}

void CDialog::ResetContent(int id) {
    if (DialogControl* c = withItems(*m_state, id)) {
        c->items.clear();
        c->selection = -1;
    }
}

int CDialog::GetCount(int id) const {
    DialogControl* c = withItems(*m_state, id);
    return c ? int(c->items.size()) : CB_ERR;
}

int CDialog::SetCurSel(int id, int index) {
    DialogControl* c = withItems(*m_state, id);
    if (!c) return CB_ERR;
    if (index < 0 || index >= int(c->items.size())) {
        c->selection = -1;
        return CB_ERR; // as the controls answer a cleared selection too
    }
    c->selection = index;
    return index;
}

int CDialog::GetCurSel(int id) const {
    DialogControl* c = withItems(*m_state, id);
    return c && c->selection >= 0 ? c->selection : CB_ERR;
}

std::wstring CDialog::GetLBText(int id, int index) const {
    DialogControl* c = withItems(*m_state, id);
    if (!c || index < 0 || index >= int(c->items.size())) return {};
    return c->items[size_t(index)];
}

int CDialog::FindStringExact(int id, int indexStart, const ACHAR* text) const {
    DialogControl* c = withItems(*m_state, id);
    if (!c || !text) return CB_ERR;
    int n = int(c->items.size());
    for (int k = 1; k <= n; ++k) { // after indexStart, wrapping round (-1: from the top)
        int i = ((indexStart < 0 ? -1 : indexStart) + k) % n;
        if (i < 0) i += n;
        if (zel::core::equalsNoCase(c->items[size_t(i)], text)) return i;
    }
    return CB_ERR;
}

void CDialog::OnClicked(int id, std::function<void()> handler) {
    m_state->handlers[{id, BN_CLICKED}] = std::move(handler);
}

void CDialog::OnChange(int id, std::function<void()> handler) {
    m_state->handlers[{id, EN_CHANGE}] = std::move(handler);
}

void CDialog::OnSelChange(int id, std::function<void()> handler) {
    m_state->handlers[{id, CBN_SELCHANGE}] = std::move(handler);
}

bool CDialog::OnInitDialog() {
    return true;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool CDialog::OnCommand(int id, int notification) {
    auto it = m_state->handlers.find({id, notification});
    if (it == m_state->handlers.end()) return false;
    std::function<void()> handler = it->second; // it may replace itself
    handler();
    return true;
}
