// The dialog bar's state: the page a command loaded (fields, tiles and combo lists by key), the
// command-line bar below it (default, text or coordinate page, the prompt line), the callbacks
// of the running command, and what the user's edits and presses do.
#pragma once

#include "companions/zelgui/zelgui.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelgui {

struct Field {
    std::wstring text;
    bool enabled = true;
    bool shown = true;
    std::wstring label;
    // The selected part of the text [first, second) as the command set it; none: the caret
    // stands at the end of the text.
    std::optional<std::pair<size_t, size_t>> selection;

    // The selection within the text as it is now (first <= second <= size).
    std::pair<size_t, size_t> selected() const;
    // Typing: the selection replaced by s, the caret behind it.
    void replaceSelection(const std::wstring& s);
    size_t caret() const { return selected().second; }
};

// Buttons do what the command makes of the press; a radio tile turns the others of its group
// off, a toggle switches between "1" and "0".
enum class TileKind { Button, Radio, Toggle };

struct Tile {
    std::wstring label;
    std::wstring value;
    bool enabled = true;
    bool shown = true;
    TileKind kind = TileKind::Button;
    int group = 0; // radio tiles: their group
};

struct Combo {
    std::vector<std::wstring> items;
    std::wstring text;
    bool enabled = true;
    bool shown = true;
    std::wstring label;
    int item = 0;         // the item a chosen line is reported as to the text callback (0: its key)
    bool history = false; // the lines the panel's text is kept in (the command owns them)
    int selected = -1;    // the line chosen last
};

// A page with a text panel: its text is the command bar's field kPanelField (control
// kPanelControl) while the command bar shows the "TEXT" page.
struct TextPanel {
    int item = 0;      // the item an edit of the text is reported as, when nobody waits for posts
    int enterItem = 0; // Enter goes to the text callback as this item (0: Enter is posted)
};

inline constexpr const wchar_t* kPanelField = L"3";
inline constexpr int kPanelControl = 4103;

struct Page {
    std::wstring name;
    std::wstring title;
    std::map<std::wstring, Field> fields;
    std::map<std::wstring, Tile> tiles;
    std::map<std::wstring, Combo> combos;
    std::wstring focus;
    std::optional<TextPanel> panel;
};

// The command-line bar: its page ("DEFAULT", "TEXT", "COORD"), its fields (the prompt line and
// the coordinate fields are among them) and the last point it shows.
struct CommandBar {
    std::wstring page = L"DEFAULT";
    std::map<std::wstring, Field> fields;
    std::wstring focus;
    std::wstring step;
    bool showsLastPoint = false;
    double lastPoint[3] = {0, 0, 0};
};

// What a user action on the bar did, for the transcript.
enum class Outcome { Delivered, NoCallback, Disabled, Masked, NoPage };

class DialogBar {
public:
    // Pages of the command (Zelads_LoadDlg / Zelads_UnloadDlg): an empty page, or one made from
    // its definition (pagedef.h).
    void load(const std::wstring& name);
    void load(Page page);
    bool unload();
    const Page* page() const { return mLoaded ? &mPage : nullptr; }
    Page* page() { return mLoaded ? &mPage : nullptr; }

    // Keys are made on first use: the bar takes every key a command names.
    Field& field(const std::wstring& key) { return mPage.fields[key]; }
    Tile& tile(const std::wstring& key) { return mPage.tiles[key]; }
    Combo& combo(const std::wstring& key) { return mPage.combos[key]; }
    void setFocus(const std::wstring& key) { mPage.focus = key; }

    CommandBar& commandBar() { return mCommandBar; }
    const CommandBar& commandBar() const { return mCommandBar; }
    // ArxCmd_LoadDlg: "DEFAULT", "TEXT" or "COORD"; false for any other page.
    bool loadCommandPage(const std::wstring& name);
    // ArxCmd_EndJob: back to the default page with its fields cleared.
    void endJob();

    void setCallbacks(ZelBarTextCallback text) { mText = text; }
    void setCallbacks(ZelBarTileCallback tile) { mTile = tile; }
    ZelBarTextCallback textCallback() const { return mText; }
    ZelBarTileCallback tileCallback() const { return mTile; }
    // Zelads_MaskEvent: which = 0 text edits, 1 tile presses; masked ones reach no callback.
    void mask(int which, bool on);

    // The user edits field `key` / presses tile `key`.
    Outcome edit(int key, const std::wstring& text);
    Outcome press(int key);
    // The text callback told that item `key` now reads `text` (unless masked).
    Outcome tellText(int key, const std::wstring& text);

    // The text panel's field (the command bar's field kPanelField); null when no page with a
    // text panel is loaded.
    Field* panelField();
    // True when the command bar shows its "TEXT" page and the panel's field can be typed into.
    bool panelTyping();

    // The drawing aids the bar shows (Zelads_ResetOsmode / Zelads_ResetDrgmode read them anew).
    int osmode = 0;
    int dragmode = 2;

    // Everything the user sees, line by line.
    std::wstring describe() const;

private:
    Page mPage;
    bool mLoaded = false;
    CommandBar mCommandBar;
    ZelBarTextCallback mText = nullptr;
    ZelBarTileCallback mTile = nullptr;
    bool mTextMasked = false;
    bool mTileMasked = false;
};

} // namespace zelgui
