// The block-trim engine: where target lines are cut by cutting lines and arcs. Input and
// answer are text files (see the module's LISP function ZELADS_BLKTRM).
#pragma once

#include "draftedit/engines/cutrules.h"

#include <string>
#include <string_view>
#include <vector>

namespace draftedit::engines {

struct BlockTrimInput {
    struct Target {
        Pt p1, p2;
    };
    struct Cutter {
        bool isLine = true;
        Pt q1, q2;   // a line
        ArcData arc; // an arc
    };
    std::vector<Target> targets;
    std::vector<Cutter> cutters;
};

// Targets: groups of a marker line (not beginning with "E") and x1, y1, x2, y2, ended by a
// line beginning with "E". Cutters: groups of five lines, a line when the first begins with
// "L" (then x1, y1, x2, y2), else an arc (centre x on the first line, centre y, radius, start,
// end). Incomplete last groups are dropped.
BlockTrimInput parseBlockTrim(std::string_view content);

// The answer text: an empty line, then per target the x and y of each cut ("%f") in the
// order found and an empty line. nullopt when a target has more than kMaxCutsPerTarget cuts.
std::optional<std::string> blockTrimAnswer(const BlockTrimInput& input);

CutStatus runBlockTrim(const std::string& inputPath, const std::string& outputPath);

} // namespace draftedit::engines
