// Definitions of dialog-bar pages: text files (resources/bar/NAME.bar, UTF-8) that give the
// controls a page starts with. A page without a definition starts empty and takes every key a
// command names. One control a line; '#' starts a comment; texts in double quotes:
//
//   page "title"
//   field KEY "label" [FLAGS]            a text field
//   button KEY "label" [FLAGS]           a tile the command answers
//   radio KEY "label" GROUP [FLAGS]      one of a group: pressing it turns the others off
//   toggle KEY "label" [FLAGS]           switches between "1" and "0"
//   list KEY ITEM "label" [history] [FLAGS]
//                                        a combo list; a chosen line reaches the command as
//                                        item ITEM; "history": the lines of the text panel
//   panel ITEM [enter ITEM]              the page has a text panel (bar.h TextPanel)
//
// FLAGS: disabled, hidden.
#pragma once

#include "companions/zelgui/bar.h"

#include <optional>
#include <string>
#include <string_view>

namespace zelgui {

struct PageParse {
    std::optional<Page> page;
    std::wstring error; // "line 3: ..." when page is empty
};

// The page named `name` as the text defines it.
PageParse parsePage(std::wstring_view text, const std::wstring& name);

// UTF-8 bytes as wide text; nullopt when they are not UTF-8.
std::optional<std::wstring> decodeUtf8(std::string_view bytes);

// Where the definition of a page is looked for (relative to the support folders); empty for a
// name that is not letters, digits, '_' and '-' (no definition is looked for).
std::wstring pageFileName(const std::wstring& name);

} // namespace zelgui
