// The texts of the selection prompt, in one table so that the wording stays consistent.
#pragma once

#include <string>
#include <string_view>

namespace zel::editor {

enum class SelMsg {
    Prompt,        // "オブジェクトを選択:"
    RemovePrompt,  // remove mode
    OtherCorner,   // the second corner of a window
    FirstCorner,   // the first corner after W or C
    FirstFence,    // the first point of a fence
    NextFence,     // the next point of a fence (U takes one back)
    FirstPolygon,  // the first corner of a polygon
    NextPolygon,   // the next corner of a polygon (U takes one back)
    NothingFound,  // a pick found nothing
    NoPrevious,    // P with no previous set
    NoLast,        // L with nothing in the drawing
    Invalid,       // a text that is no option
    InvalidHelp,   // the options, shown after Invalid
    NothingToUndo, // U with no selection done
    PolygonTooFew, // a polygon of fewer than three corners
    SelectEntity,  // the default prompt of a single-entity pick
};

std::wstring_view text(SelMsg m);

// "3 個を検出" / "1 個を検出、合計 4 個" / "2 個を除外、合計 2 個" and the duplicate and
// locked-layer notes, as the prompt reports one selection.
std::wstring foundText(size_t found, size_t duplicates, size_t total, bool removing, bool first);
std::wstring lockedText(size_t count);
std::wstring filteredText(size_t count);

} // namespace zel::editor
