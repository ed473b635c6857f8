// Running a dialog: its template, the user's actions from the editor's input, its end. And
// message boxes.
#include "app/dialogs.h"
#include "app/session.h"

#include "core/text.h"

#include <cassert>

namespace {

using zel::app::ControlKind;
using zel::app::DialogControl;
using zel::editor::Event;
using zel::editor::EventKind;
using zel::editor::MsgBoxAnswer;

std::wstring idText(int id) {
    return zel::core::toWString(id);
}

zel::editor::Editor* currentEditor() {
    zel::app::Session* s = zel::app::currentSession();
    return s ? &s->editor() : nullptr;
}

void say(const std::wstring& text) {
    if (zel::editor::Editor* ed = currentEditor()) ed->print(text);
}

// The control an action names, when it may take that action; else null (told why).
DialogControl* target(CDialog::State& s, int id, std::initializer_list<ControlKind> kinds,
                      const wchar_t* action) {
    DialogControl* c = s.find(id);
    if (!c || !c->visible) {
        say(L"\nダイアログに項目 " + idText(id) + L" はありません.");
        return nullptr;
    }
    if (std::find(kinds.begin(), kinds.end(), c->layout.kind) == kinds.end()) {
        say(L"\n項目 " + idText(id) + L" は " + std::wstring(controlKindName(c->layout.kind)) +
            L" です (" + action + L" できません).");
        return nullptr;
    }
    if (!c->enabled) {
        say(L"\n項目 " + idText(id) + L" は使用できません.");
        return nullptr;
    }
    return c;
}

const wchar_t* resultName(int result) {
    switch (result) {
    case IDOK:
        return L"OK";
    case IDCANCEL:
        return L"キャンセル";
    case IDYES:
        return L"はい";
    case IDNO:
        return L"いいえ";
    }
    return nullptr;
}

} // namespace

void CDialog::State::act(CDialog& dialog, const Event& e) {
    zel::editor::Editor* ed = currentEditor();
    assert(ed && "a dialog runs inside a session");
    if (!zel::editor::isSideEvent(e.kind) && e.kind != EventKind::Esc &&
        e.kind != EventKind::CtrlC) {
        ed->transcript().notice(zel::editor::describe(e));
        return;
    }
    if (e.kind == EventKind::MsgBox) return ed->transcript().notice(zel::editor::describe(e));
    ed->print(L"\n" + zel::editor::describe(e));
    switch (e.kind) {
    case EventKind::Esc:
    case EventKind::CtrlC:
        return dialog.OnCancel();
    case EventKind::DialogCheck: {
        DialogControl* c = target(*this, e.id, {ControlKind::Check, ControlKind::Radio}, L"check");
        if (!c) return;
        if (c->layout.kind == ControlKind::Radio) {
            if (!e.code) return say(L"\nラジオボタンは同じ組の別のボタンを選んで切り替えます.");
            for (DialogControl& other : controls)
                if (other.radioGroup == c->radioGroup) other.checked = false;
        }
        c->checked = e.code != 0;
        dialog.OnCommand(e.id, BN_CLICKED);
        return;
    }
    case EventKind::DialogText: {
        DialogControl* c = target(*this, e.id, {ControlKind::Edit}, L"text");
        if (!c) return;
        if (c->layout.readOnly) return say(L"\n項目 " + idText(e.id) + L" は読み取り専用です.");
        c->text = e.text;
        dialog.OnCommand(e.id, EN_CHANGE);
        return;
    }
    case EventKind::DialogSelect: {
        DialogControl* c = target(*this, e.id, {ControlKind::Combo, ControlKind::List}, L"select");
        if (!c) return;
        if (e.code < 0 || e.code >= int(c->items.size()))
            return say(L"\n項目 " + idText(e.id) + L" に " + idText(e.code) +
                       L" 番の行はありません (" + idText(int(c->items.size())) + L" 行).");
        c->selection = e.code;
        dialog.OnCommand(e.id, CBN_SELCHANGE);
        return;
    }
    case EventKind::DialogPress: {
        if (!target(*this, e.id, {ControlKind::Button}, L"press")) return;
        if (e.id == IDOK) return dialog.OnOK();
        if (e.id == IDCANCEL) return dialog.OnCancel();
        dialog.OnCommand(e.id, BN_CLICKED);
        return;
    }
    case EventKind::Text:
    case EventKind::Enter:
    case EventKind::Click:
    case EventKind::Move:
    case EventKind::RightClick:
    case EventKind::Key:
    case EventKind::Chars:
    case EventKind::BarText:
    case EventKind::BarTile:
    case EventKind::PanelType:
    case EventKind::PanelEnter:
    case EventKind::PanelPick:
    case EventKind::PanelInsert:
    case EventKind::PanelAdd:
    case EventKind::PanelDelete:
    case EventKind::PanelEsc:
    case EventKind::MsgBox:
        ed->transcript().notice(zel::editor::describe(e));
        return;
    }
}

intptr_t CDialog::DoModal() {
    zel::editor::Editor* ed = currentEditor();
    if (!ed || m_state->running) return -1;
    std::filesystem::path file = zel::app::findDialogTemplate(m_state->templateName);
    if (file.empty()) {
        ed->print(L"\n[Zelｴﾗｰ]ダイアログ " + m_state->templateName +
                  L" のテンプレートがありません.");
        return -1;
    }
    zel::app::TemplateResult t = zel::app::loadDialogTemplate(file);
    if (!t.dialog) {
        ed->print(L"\n[Zelｴﾗｰ]" + t.error);
        return -1;
    }
    struct Running {
        State& s;
        ~Running() { s.running = false; }
    } running{*m_state};
    m_state->running = true;
    m_state->build(*t.dialog);
    m_state->ended = false;
    m_state->result = IDCANCEL;
    OnInitDialog();
    if (!m_state->ended) ed->print(zel::app::renderDialog(m_state->title, m_state->controls));
    while (!m_state->ended) {
        std::optional<Event> e = ed->queue().take();
        if (!e) {
            ed->print(L"\n入力が終わりました: ダイアログを取り消します.");
            EndDialog(IDCANCEL);
            break;
        }
        m_state->act(*this, *e);
    }
    const wchar_t* name = resultName(m_state->result);
    ed->print(L"\n[ダイアログ終了] " + (name ? std::wstring(name) : idText(m_state->result)));
    return m_state->result;
}

int CDialog::MessageBox(const ACHAR* text, const ACHAR* caption, unsigned type) {
    return ZelMessageBox(text, caption ? caption : m_state->title.c_str(), type);
}

namespace {

struct BoxKind {
    std::vector<std::pair<MsgBoxAnswer, int>> answers;
    int onEnd; // the answer when the input ends, or Esc where the box has a way out
    bool escapes;
};

BoxKind boxKind(unsigned type) {
    switch (type & 0xF) {
    case MB_OKCANCEL:
        return {{{MsgBoxAnswer::Ok, IDOK}, {MsgBoxAnswer::Cancel, IDCANCEL}}, IDCANCEL, true};
    case MB_YESNOCANCEL:
        return {{{MsgBoxAnswer::Yes, IDYES},
                 {MsgBoxAnswer::No, IDNO},
                 {MsgBoxAnswer::Cancel, IDCANCEL}},
                IDCANCEL,
                true};
    case MB_YESNO:
        return {{{MsgBoxAnswer::Yes, IDYES}, {MsgBoxAnswer::No, IDNO}}, IDNO, false};
    }
    return {{{MsgBoxAnswer::Ok, IDOK}}, IDOK, true};
}

std::wstring answerWords(const BoxKind& k) {
    std::wstring out;
    for (auto& [answer, id] : k.answers) {
        if (!out.empty()) out += L"|";
        out += zel::editor::describe(Event::msgBox(answer)).substr(8); // after "!msgbox "
    }
    return out;
}

} // namespace

int ZelMessageBox(const ACHAR* text, const ACHAR* caption, unsigned type) {
    BoxKind kind = boxKind(type);
    zel::editor::Editor* ed = currentEditor();
    if (!ed) return kind.onEnd;
    std::wstring title = caption && *caption ? std::wstring(caption) + L": " : std::wstring();
    ed->print(L"\n[メッセージ] " + title + (text ? text : L"") + L" (!msgbox " + answerWords(kind) +
              L")");
    for (;;) {
        std::optional<Event> e = ed->queue().take();
        if (!e) {
            ed->print(L"\n入力が終わりました: メッセージを取り消します.");
            return kind.onEnd;
        }
        if ((e->kind == EventKind::Esc || e->kind == EventKind::CtrlC) && kind.escapes) {
            ed->print(L"\n" + zel::editor::describe(*e));
            return kind.onEnd;
        }
        if (e->kind != EventKind::MsgBox) {
            ed->transcript().notice(zel::editor::describe(*e));
            continue;
        }
        ed->print(L"\n" + zel::editor::describe(*e));
        for (auto& [answer, id] : kind.answers)
            if (answer == e->answer) return id;
        ed->print(L"\nこのメッセージには " + answerWords(kind) + L" で答えます.");
    }
}

int AfxMessageBox(const ACHAR* text, unsigned type) {
    return ZelMessageBox(text, L"zelcad", type);
}
