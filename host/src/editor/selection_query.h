// The entities of model space a pick, a window, a polygon or a fence finds, with the spatial
// index narrowing the candidates (or, for comparison, a scan of every entity). Only entities
// that can be seen are found: visible, on layers that are on and thawed. Results are in draw
// order, topmost (drawn last) first.
#pragma once

#include "editor/selection_geometry.h"
#include "editor/selection_index.h"

#include <optional>

namespace zel::editor {

enum class Area { Window, Crossing };
enum class Candidates { Indexed, Scan };

class SelectionQuery {
public:
    SelectionQuery(AcDbDatabase& db, EntityIndex* index, Candidates how = Candidates::Indexed);

    // Entities the square of half-size `aperture` around p touches.
    EntityIds pick(geom::Vec2 p, double aperture);
    EntityIds box(const geom::Box2& window, Area area);
    EntityIds polygon(const Polygon& polygon, Area area);
    EntityIds fence(const std::vector<geom::Vec2>& chain);
    // Every entity of model space that is not erased (visible or not, as "X" takes them).
    EntityIds all() const;
    // The last entity of model space that can be seen.
    std::optional<AcDbObjectId> last();

    // Can the user see it (visible, layer on and thawed)?
    bool seen(const AcDbEntity& e);
    // Is it on a locked layer? On a frozen one?
    bool locked(const AcDbEntity& e);
    bool frozen(const AcDbEntity& e);

private:
    struct LayerState {
        bool hidden = false, locked = false, frozen = false;
    };
    const LayerState& layerOf(const AcDbEntity& e);
    template <class Test> EntityIds find(const geom::Box2& area, Test&& test);

    AcDbDatabase& mDb;
    EntityIndex* mIndex;
    Candidates mHow;
    std::unordered_map<std::wstring, LayerState> mLayers;
};

// The half-size of the pick box in drawing units: PICKBOX pixels at the scale of the view
// (VIEWSIZE units over the SCREENSIZE height).
double pickAperture(const Editor& editor);

} // namespace zel::editor
