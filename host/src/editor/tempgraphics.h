// Temporary vectors on the screen (acedGrVecs, acedGrDraw): not part of the drawing, gone at
// the next redraw or regeneration. A vector drawn with a negative colour is drawn in
// highlight ink, which undraws the same vector drawn that way before, as inverting pixels
// would; any other colour draws over what is there.
#pragma once

#include "arx/ge.h"

#include <cstddef>
#include <vector>

namespace zel::editor {

struct TempVector {
    AcGePoint3d from, to;
    int colour = 0;
};

class TempGraphics {
public:
    void draw(const TempVector& v);
    void clear() { mVectors.clear(); }
    const std::vector<TempVector>& vectors() const { return mVectors; }

private:
    std::vector<TempVector> mVectors;
};

} // namespace zel::editor
