// The divide engine: for every line and arc of a list, the points where the list's cutting
// elements cut it (see the module's LISP function ZELADS_DIVIDE).
#pragma once

#include "draftedit/engines/cutrules.h"

#include <string>
#include <string_view>
#include <vector>

namespace draftedit::engines {

struct DivideElement {
    bool isLine = true;
    bool cuts = false; // a cutting element as well as a target (marker beginning with "U")
    Pt q1, q2;         // a line
    ArcData arc;       // an arc
};

// Records of six lines: marker, "L" or the arc's centre x, then four numbers (x1, y1, x2, y2
// of a line; centre y, radius, start, end of an arc). An incomplete last record is dropped.
std::vector<DivideElement> parseDivide(std::string_view content);

// The answer text: an empty line, then per element its cut points ("%16.15e", lines by
// descending parameter, arcs by descending angle from the start) and an empty line. nullopt
// when an element collects more than kMaxCutsPerTarget cuts.
std::optional<std::string> divideAnswer(const std::vector<DivideElement>& elements);

CutStatus runDivide(const std::string& inputPath, const std::string& outputPath);

} // namespace draftedit::engines
