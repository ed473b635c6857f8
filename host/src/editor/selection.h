// Selecting entities: the "オブジェクトを選択:" prompt a host command runs, a single-entity
// pick, the previous set, and the selection sets of the C-style API (acedSSGet and its family
// in arx/ed.h are thin calls of these).
//
// Everything here works on the editor's drawing (Editor::database()), in model space. Ids
// come back in the order the user selected them, each once.
#pragma once

#include "arx/db.h"
#include "editor/editor.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zel::editor {

using EntityIds = std::vector<AcDbObjectId>;

// An answer a command hands the selection prompt from its own token list, ahead of the
// events of the queue: an entity name (RTENAME), an entity picked at a point (a list of an
// entity name and a point), or the entities of a selection set (RTPICKS).
struct SelectionToken {
    enum Kind { Entity, EntityAtPoint, Set } kind = Entity;
    EntityIds ids;     // one id for Entity and EntityAtPoint
    AcGePoint3d point; // EntityAtPoint: where it was picked (UCS)
};

// Asked before every answer the prompt reads: the command's next token when it is one of the
// kinds above (the source then drops it), or nullopt when the answer is to be read from the
// editor's queue as usual (typed tokens, clicks, Enter, Esc). Before reading the queue the
// prompt calls the editor's input gate with InputKind::Point, as every input request does.
using SelectionTokenSource = std::function<std::optional<SelectionToken>()>;

struct SelectRequest {
    std::wstring prompt;            // empty: the standard "オブジェクトを選択:"
    bool single = false;            // ":S": the first selection that finds something ends it
    bool pickAll = false;           // ":E": a pick takes every entity in the pick box
    const resbuf* filter = nullptr; // a DXF filter list every selected entity must pass
    bool skipLocked = true;         // entities on locked layers are left out (with a message)
    EntityIds initial;              // selected before the prompt (PICKFIRST, say)
    SelectionTokenSource tokens;    // the command's tokens (may be empty)
    // When given, receives the crossing windows (as their four corners) and crossing polygons
    // used, world XY, in the order given (STRETCH moves what lies inside them).
    std::vector<std::vector<AcGePoint2d>>* crossings = nullptr;
};

struct SelectResult {
    int status = RTNONE; // RTNORM: ids has entities; RTNONE: Enter with nothing; RTCAN: Esc
    EntityIds ids;
};

// Runs the selection prompt until Enter (or one selection with `single`). Picks, W, C, F,
// WP, CP, L, P, ALL, R (remove mode), A (add mode), U (undo the last selection) and Enter are
// understood; a click on nothing starts an implied window or crossing. A finished selection
// with entities becomes the previous set. ERRNO is 7 after a pick that finds nothing.
SelectResult selectObjects(Editor& editor, const SelectRequest& request = {});

// One entity picked at a prompt (acedEntSel): RTNORM with the entity and the point picked
// (UCS), RTERROR after a pick on nothing (ERRNO 7; the prompt is not repeated), RTNONE on
// Enter, RTCAN on Esc, RTKWORD for a keyword of acedInitGet.
struct EntityPick {
    int status = RTNONE;
    AcDbObjectId id;
    AcGePoint3d point;
};
EntityPick pickEntity(Editor& editor, std::wstring_view prompt,
                      const SelectionTokenSource& tokens = {});

// A pick into block references and dimensions (acedNEntSelP): the innermost entity under the
// point, the transform from its block to the world, and the references that hold it,
// innermost first. An attribute is found as itself (no containers). nullopt when the point
// finds nothing. p is in world coordinates.
struct NestedPick {
    AcDbObjectId id;
    AcGeMatrix3d xform;
    EntityIds containers;
};
std::optional<NestedPick> pickNested(Editor& editor, const AcGePoint3d& world);

// The previous selection set ("P"); erased entities are dropped when it is read.
EntityIds previousSelection(Editor& editor);
void setPreviousSelection(Editor& editor, EntityIds ids);
// The PICKFIRST set (selected before a command started); empty when none.
EntityIds pickfirstSelection(Editor& editor);
void setPickfirstSelection(Editor& editor, EntityIds ids);

// Selection sets as ads_name values for the C-style API and RTPICKS tokens. A set lives until
// it is freed (acedSSFree) or its editor ends; liveSelectionSets counts those not freed, so
// tests can find leaks.
void newSelectionSet(Editor& editor, EntityIds ids, ads_name out);
// The ids of a live set (erased entities included, as the set holds them); null when the
// name is not a live set of this editor.
const EntityIds* selectionSetIds(Editor& editor, const ads_name ss);
bool freeSelectionSet(Editor& editor, const ads_name ss);
size_t liveSelectionSets(const Editor& editor);

} // namespace zel::editor
