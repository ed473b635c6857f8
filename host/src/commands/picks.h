// Picking one curve at a prompt of a cutting command: an entity name or (entity point) token
// of the command's token list, a click or typed point that finds an entity under the pick
// box, a keyword, or Enter. A point that finds nothing is handed back (TRIM starts an implied
// crossing window there).
#pragma once

#include <optional>

#include "commands/engine.h"

#include <string>
#include <string_view>

namespace zel::commands {

struct CurvePick {
    enum Kind { Entity, Nothing, Keyword, Enter } kind = Enter;
    AcDbObjectId id;
    AcGePoint3d point;    // world: where it was picked (Entity, Nothing)
    bool atPoint = false; // Entity: picked at a point (not given by name)
    std::wstring keyword; // Keyword: its global form
};

// Esc throws Cancelled.
CurvePick pickCurve(Engine& e, std::wstring_view prompt, std::wstring_view keywords = {});

// An entity picked at a prompt without options: picks that find nothing are told
// ("オブジェクトが見つかりません。") and the prompt asks again; nullopt on Enter.
std::optional<CurvePick> pickEntityCurve(Engine& e, std::wstring_view prompt);

// Entities the user can see under a window (crossing: touched by it) or crossed by a fence,
// in world coordinates, topmost first.
editor::EntityIds crossingEntities(Engine& e, const AcGePoint3d& a, const AcGePoint3d& b);
editor::EntityIds fenceEntities(Engine& e, const std::vector<AcGePoint3d>& chain);

} // namespace zel::commands
