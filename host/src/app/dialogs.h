// The host's side of modal dialogs (arx/dlg.h): templates read from text files, the controls
// of a running dialog and their states.
#pragma once

#include "arx/dlg.h"
#include "editor/events.h"

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zel::app {

enum class ControlKind { Button, Check, Radio, Edit, Combo, List, Static, Group };

struct ControlTemplate {
    ControlKind kind = ControlKind::Static;
    int id = -1;
    std::wstring label;
    int x = 0, y = 0, width = 0, height = 0; // dialog units
    bool isDefault = false, groupStart = false, disabled = false, hidden = false, readOnly = false;
};

struct DialogTemplate {
    std::wstring title;
    int width = 0, height = 0;
    std::wstring font;
    int fontSize = 0;
    std::vector<ControlTemplate> controls;
};

struct TemplateResult {
    std::optional<DialogTemplate> dialog;
    std::wstring error; // "FILE line 3: ..." when dialog is empty
};

// source names the text in messages.
TemplateResult parseDialogTemplate(std::wstring_view text, const std::wstring& source);
TemplateResult loadDialogTemplate(const std::filesystem::path& file);
// The file of a template name ("module/139" under resources/dialogs/, or a path ending in
// ".dlg"); empty when there is none. The resources folder is the program's
// (editor::resourcesFolder).
std::filesystem::path findDialogTemplate(const std::wstring& name);

std::wstring_view controlKindName(ControlKind kind);

struct DialogControl {
    ControlTemplate layout;
    std::wstring text;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    int radioGroup = -1; // index of its group among the radio groups
    std::vector<std::wstring> items;
    int selection = -1;
};

// The printed form of a running dialog (title, then a line per control).
std::wstring renderDialog(const std::wstring& title, const std::vector<DialogControl>& controls);

} // namespace zel::app

struct CDialog::State {
    std::wstring templateName;
    std::wstring title;
    std::vector<zel::app::DialogControl> controls;
    std::map<std::pair<int, int>, std::function<void()>> handlers; // (id, notification)
    bool running = false;
    bool ended = false;
    int result = IDCANCEL;

    zel::app::DialogControl* find(int id);
    const zel::app::DialogControl* find(int id) const;
    // Makes the controls of a template afresh.
    void build(const zel::app::DialogTemplate& t);
    // One event of the user while the dialog waits (dialogs_modal.cpp).
    void act(CDialog& dialog, const zel::editor::Event& e);
};
