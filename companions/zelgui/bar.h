// The dialog bar's state: the page a command loaded (fields, tiles and combo lists by key), the
// command-line bar below it (default, text or coordinate page, the prompt line), the callbacks
// of the running command, and what the user's edits and presses do.
#pragma once

#include "companions/zelgui/zelgui.h"

#include <map>
#include <string>
#include <vector>

namespace zelgui {

struct Field {
    std::wstring text;
    bool enabled = true;
    bool shown = true;
};

struct Tile {
    std::wstring label;
    std::wstring value;
    bool enabled = true;
    bool shown = true;
};

struct Combo {
    std::vector<std::wstring> items;
    std::wstring text;
    bool enabled = true;
    bool shown = true;
};

struct Page {
    std::wstring name;
    std::map<std::wstring, Field> fields;
    std::map<std::wstring, Tile> tiles;
    std::map<std::wstring, Combo> combos;
    std::wstring focus;
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
    // Pages of the command (Zelads_LoadDlg / Zelads_UnloadDlg).
    void load(const std::wstring& name);
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
