// ZELADS_GETDWGFMT: the name of the sheet size that the drawing limits make at the drawing's
// dimension scale ("A3", "B4ver", ... or "?" / "?ver").
#include "draftedit/lisp/args.h"
#include "draftedit/lisp/functions.h"

#include <cmath>

namespace draftedit {
namespace {

// Sheet sizes are whole millimetres; limits typed or scaled from them agree far closer.
constexpr double kSheetTolerance = 0.001;

struct Sheet {
    const ACHAR* name;
    double width, height;
};

// ISO A then JIS B, each size landscape first.
constexpr Sheet kSheets[] = {
    {L"A0", 1189, 841},  {L"A0ver", 841, 1189},  {L"A1", 841, 594},  {L"A1ver", 594, 841},
    {L"A2", 594, 420},   {L"A2ver", 420, 594},   {L"A3", 420, 297},  {L"A3ver", 297, 420},
    {L"A4", 297, 210},   {L"A4ver", 210, 297},   {L"A5", 210, 148},  {L"A5ver", 148, 210},
    {L"B0", 1456, 1030}, {L"B0ver", 1030, 1456}, {L"B1", 1030, 728}, {L"B1ver", 728, 1030},
    {L"B2", 728, 515},   {L"B2ver", 515, 728},   {L"B3", 515, 364},  {L"B3ver", 364, 515},
    {L"B4", 364, 257},   {L"B4ver", 257, 364},   {L"B5", 257, 182},  {L"B5ver", 182, 257},
};

bool readReal(const ACHAR* name, double& value) {
    resbuf rb{};
    if (acedGetVar(name, &rb) != RTNORM) return false;
    if (rb.restype == RTREAL) {
        value = rb.resval.rreal;
        return true;
    }
    if (rb.restype == RTSHORT) {
        value = rb.resval.rint;
        return true;
    }
    return false;
}

bool readPoint(const ACHAR* name, double& x, double& y) {
    resbuf rb{};
    if (acedGetVar(name, &rb) != RTNORM) return false;
    if (rb.restype != RTPOINT && rb.restype != RT3DPOINT) return false;
    x = rb.resval.rpoint[X];
    y = rb.resval.rpoint[Y];
    return true;
}

} // namespace

int zeladsGetDwgFmt() {
    double limX = 0, limY = 0, scale = 0;
    if (!readPoint(L"LIMMAX", limX, limY) || !readReal(L"DIMSCALE", scale)) return RSERR;
    // A dimension scale of 0 (scaled to the layout) sizes nothing: the limits are taken as
    // they are.
    if (scale == 0) scale = 1;
    const double w = limX / scale, h = limY / scale;
    for (const Sheet& s : kSheets) {
        if (std::fabs(w - s.width) < kSheetTolerance && std::fabs(h - s.height) < kSheetTolerance) {
            acedRetStr(s.name);
            return RSRSLT;
        }
    }
    acedRetStr(w > h ? L"?" : L"?ver");
    return RSRSLT;
}

} // namespace draftedit
