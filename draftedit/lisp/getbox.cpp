// ZELADS_GETBOX (first corner, optional prompt): the second corner of a box dragged from the
// first, with the box shown while the cursor moves; nil when the drag did not end with a point.
#include "arx/aced.h"
#include "arx/ed.h"
#include "common/drag/drag.h"
#include "draftedit/lisp/args.h"
#include "draftedit/lisp/functions.h"

#include <string>

namespace draftedit {
namespace {

constexpr unsigned kBoxOptions = kDragMarker | kDragFreezeDragmode;
constexpr int kXorColour = -1;

class CFuncBOX : public CDrag {
public:
    static CDrag* s_instance;

    explicit CFuncBOX(const AcGePoint3d& corner) : mCorner(corner) {
        init(&s_instance, kBoxOptions);
    }

    static int sampler(ads_point pt, ads_matrix mat) { return sampleThrough(s_instance, pt, mat); }

    // The box from the first corner to the sample, drawn in inverting ink (the next sample
    // draws it again, which takes it away).
    void acceptSample(const AcGePoint3d& pt, AcGeMatrix3d& mat) override {
        CDrag::acceptSample(pt, mat);
        const AcGePoint3d& c = currentSample();
        AcGePoint3d corners[4] = {mCorner, AcGePoint3d(c.x, mCorner.y, mCorner.z), c,
                                  AcGePoint3d(mCorner.x, c.y, mCorner.z)};
        resbuf* list = acutBuildList(RTSHORT, kXorColour, 0);
        resbuf* tail = list;
        for (int i = 0; i < 4; ++i) {
            const AcGePoint3d& a = corners[i];
            const AcGePoint3d& b = corners[(i + 1) % 4];
            ads_point pa = {a.x, a.y, a.z}, pb = {b.x, b.y, b.z};
            tail->rbnext = acutBuildList(RTPOINT, pa, RTPOINT, pb, 0);
            while (tail->rbnext)
                tail = tail->rbnext;
        }
        acedGrVecs(list, nullptr);
        acutRelRb(mPreview);
        mPreview = list;
    }

    int run(const std::wstring& prompt, ads_point result) {
        std::wstring shown = std::wstring(40, L' ') + L"\r" + prompt + L" ";
        int rc = RTERROR;
        do {
            setSampleCounter(0);
            beginDrag(&mCorner, 0);
            rc = drag(markerSet(), shown.c_str(), 0, sampler, result);
            endDrag();
        } while (rc == RTERROR && sampleCounter() >= threshold());
        if (mPreview) acedGrVecs(mPreview, nullptr); // the last box goes
        return rc;
    }

private:
    AcGePoint3d mCorner;
};

CDrag* CFuncBOX::s_instance = nullptr;

} // namespace

int zeladsGetBox() {
    RbList args = callArguments();
    if (!args) {
        tooFewArguments(L"(Zelads_getbox)");
        return RSRSLT; // nil
    }
    AcGePoint3d corner(args->resval.rpoint[X], args->resval.rpoint[Y], args->resval.rpoint[Z]);
    const resbuf* second = args->rbnext;
    std::wstring prompt = second && second->restype == RTSTR && second->resval.rstring
                              ? second->resval.rstring
                              : L"2 点目を指示 :";
    ads_point result;
    int rc = RTERROR;
    {
        CFuncBOX box(corner);
        rc = box.run(prompt, result);
    }
    if (rc == RTNORM) acedRetPoint(result);
    return RSRSLT;
}

} // namespace draftedit
