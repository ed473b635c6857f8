// The text panel of a dialog-bar page (a page defined with a "panel" line): what typing, Enter,
// the history list and Esc do.
//
// While the per-document setting "ZelText/Notify" is "1" a command waits for the panel's posts:
// the panel writes the text into "ZelText/tmp", the values of the action into "ZelText/arg1"
// and "ZelText/arg2", its code into "ZelText/cmd" (last), and posts a line end to the command
// line, which ends the command's wait. Otherwise typing only changes the text and tells the
// command's text callback, as edits of the page's fields do.
//
//   typing            802  arg1 the caret
//   Enter             803  arg1 the caret (a panel with an Enter item calls back instead)
//   line inserted     804  arg1 the line, arg2 its index
//   line chosen       806  arg1 the line, arg2 its index
//   add to history    807
//   line deleted      808  arg1 the line, arg2 its index
//   Esc               810
#pragma once

#include "companions/zelgui/bar.h"

#include <optional>
#include <string>

namespace zelgui {

enum PanelCode {
    kPanelTyped = 802,
    kPanelEnter = 803,
    kPanelInsertLine = 804,
    kPanelChooseLine = 806,
    kPanelAddLine = 807,
    kPanelDeleteLine = 808,
    kPanelCancel = 810,
};

// The per-document settings of the protocol.
inline constexpr const wchar_t* kNotifyKey = L"ZelText/Notify";
inline constexpr const wchar_t* kCmdKey = L"ZelText/cmd";
inline constexpr const wchar_t* kArg1Key = L"ZelText/arg1";
inline constexpr const wchar_t* kArg2Key = L"ZelText/arg2";
inline constexpr const wchar_t* kTextKey = L"ZelText/tmp";

// What the panel reaches outside the bar.
class PanelLink {
public:
    virtual ~PanelLink() = default;
    // A per-document setting ("" when it is not set).
    virtual std::wstring setting(const wchar_t* key) = 0;
    virtual void setSetting(const wchar_t* key, const std::wstring& value) = 0;
    // Text for the command line, read as typed.
    virtual void post(const wchar_t* text) = 0;
};

// What an action on the panel did.
enum class PanelOutcome {
    Posted,     // a code was posted to the waiting command
    Called,     // the command's text callback was called
    TextOnly,   // only the panel changed (no callback, or callbacks masked)
    NoPanel,    // no page with a text panel is loaded
    NotTyping,  // the command bar does not show the panel's text, or it is disabled
    NoList,     // the page has no such list
    ListOff,    // the list is disabled or hidden
    NoLine,     // the list has no such line
    NotHistory, // the list does not hold the panel's history
    NotWaiting, // no command waits for the panel's posts
};

class TextPanelActions {
public:
    TextPanelActions(DialogBar& bar, PanelLink& link) : mBar(bar), mLink(link) {}

    // Characters typed at the caret (they replace a selection).
    PanelOutcome type(const std::wstring& text);
    PanelOutcome enter();
    // Line `index` of list `list` chosen; insert: to go in at the caret.
    PanelOutcome choose(int list, int index, bool insert);
    PanelOutcome remove(int list, int index);
    PanelOutcome add();
    PanelOutcome esc();

private:
    bool waiting();
    PanelOutcome post(PanelCode code, const std::wstring& arg1, const std::wstring& arg2 = {});
    PanelOutcome call(int item, const std::wstring& text);
    // Why line `index` of list `list` cannot be used, or nullopt (combo then names the list).
    std::optional<PanelOutcome> refuseLine(int list, int index, Combo*& combo);

    DialogBar& mBar;
    PanelLink& mLink;
};

} // namespace zelgui
