// What FILLET and CHAMFER share: the curve picked for a corner (a line, ray, construction line,
// arc, circle, or one segment of a polyline) and the corner applied to the drawing (the curves
// trimmed or extended, the joint added on the current layer with the current properties, or
// made a segment when both picks are segments of one polyline).
#pragma once

#include "commands/engine.h"
#include "commands/picks.h"
#include "geom/corner.h"
#include "geom/corner_polyline.h"

#include <functional>
#include <optional>

namespace zel::commands {

struct CornerCurve {
    AcDbObjectId id;
    geom::Vec2 pick;
    geom::Curve curve;                      // what the corner is made with (a segment's curve)
    std::optional<geom::Polyline> polyline; // the whole polyline when a segment was picked
    int segment = -1;
};

// The corner curve of an entity pick; nullopt, after a message, for a pick that gives none.
std::optional<CornerCurve> cornerCurveOf(Engine& e, const CurvePick& pick);

// The second curve of a corner: picks until one gives a corner curve; nullopt on Enter.
std::optional<CornerCurve> pickSecondCorner(Engine& e, std::wstring_view prompt);

// The two picks are segments of one polyline.
inline bool samePolyline(const CornerCurve& a, const CornerCurve& b) {
    return a.id == b.id && a.polyline && b.polyline;
}

// Makes the corner in the drawing. With `trim`, each curve is trimmed or extended to it
// (circles and closed polylines stay whole); two segments of one polyline always take it in as
// a segment. False (nothing changed) when the segments of one polyline cannot take it.
bool applyCorner(Engine& e, const CornerCurve& a, const CornerCurve& b, const geom::Corner& c,
                 bool trim);

// TRIMMODE is not 0.
bool trimming(Engine& e);
// The trim option: asks for TRIMMODE (Enter keeps it).
void askTrim(Engine& e);

// What one corner command says when the corner cannot be made.
struct CornerMessages {
    const wchar_t* sameObject;   // both picks on one object
    const wchar_t* notSupported; // a kind the command does not take
    const wchar_t* tooLarge;     // the radius or a distance does not fit
    const wchar_t* parallel;
    const wchar_t* noCorner;
    const wchar_t* segments; // two segments of one polyline that cannot take it
};

// The corner of the two picks made by `make` and applied to the drawing (trimmed per
// TRIMMODE), or the command's message and nothing changed. False when nothing changed.
bool finishCorner(Engine& e, const CornerCurve& a, const CornerCurve& b, const CornerMessages& m,
                  const std::function<geom::Corner()>& make);

// The Polyline option: asks for a polyline and makes the corner at each of its vertices
// between straight segments; `done` names what was made of them ("フィレット", "面取り").
void cornersOfPickedPolyline(Engine& e, const geom::SegmentCorner& corner, std::wstring_view done);

} // namespace zel::commands
