// PLINE: a light polyline of line and arc segments. Arc segments continue tangent to the
// segment before them; "CL"/"C" closes, "U" takes back the last vertex. The polyline is made
// when the command ends (Enter, Close, or Esc once it has a segment).
#include "commands/ask.h"
#include "commands/engine.h"
#include "commands/entities.h"
#include "commands/hostcmds.h"
#include "core/tolerance.h"

#include <cmath>
#include <vector>

namespace zel::commands {

namespace {

struct Vertex {
    AcGePoint2d p;
    double bulge = 0; // of the segment that starts here
};

AcGeVector2d rotated(const AcGeVector2d& v, double a) {
    return AcGeVector2d(v.x * std::cos(a) - v.y * std::sin(a),
                        v.x * std::sin(a) + v.y * std::cos(a));
}

// The direction at the end of the last segment (the x axis before the first).
AcGeVector2d endTangent(const std::vector<Vertex>& vs) {
    if (vs.size() < 2) return AcGeVector2d(1, 0);
    const Vertex& a = vs[vs.size() - 2];
    AcGeVector2d chord = vs.back().p - a.p;
    return rotated(chord, 2 * std::atan(a.bulge));
}

// The bulge of an arc leaving from with direction t and ending at to.
double tangentBulge(const AcGePoint2d& from, const AcGeVector2d& t, const AcGePoint2d& to) {
    AcGeVector2d c = to - from;
    double phi = std::atan2(t.x * c.y - t.y * c.x, t.x * c.x + t.y * c.y);
    return std::tan(phi / 2);
}

class PlineBuilder {
public:
    explicit PlineBuilder(Engine& e) : mE(e), mAsk(e.editor()) {}

    void run() {
        Answer start = mAsk.point(L"始点を指定:", {}, RSG_NONULL);
        mVs.push_back({flat(start.point)});
        mE.editor().print(L"\n現在の線幅は 0.0000 です。");
        try {
            loop();
        } catch (const Cancelled&) {
            make(false);
            throw;
        }
    }

private:
    AcGePoint3d last() const { return AcGePoint3d(mVs.back().p.x, mVs.back().p.y, 0); }

    void loop() {
        for (;;) {
            Answer a =
                mArc ? mAsk.point(L"円弧の終点を指定 または [線分(L)/閉じる(CL)/元に戻す(U)]:",
                                  last(), 0, L"Line CLose Undo")
                     : mAsk.point(L"次の点を指定 または [円弧(A)/閉じる(C)/元に戻す(U)]:", last(),
                                  0, L"Arc Close Undo");
            if (a.none()) return make(false);
            if (a.keyword(L"Arc") || a.keyword(L"Line")) {
                mArc = a.keyword(L"Arc");
                continue;
            }
            if (a.keyword(L"Close") || a.keyword(L"CLose")) {
                if (mVs.size() < 2) {
                    mE.editor().print(L"\n閉じるには 2 点以上が必要です。");
                    continue;
                }
                if (mArc) mVs.back().bulge = tangentBulge(mVs.back().p, endTangent(mVs), mVs[0].p);
                return make(true);
            }
            if (a.keyword(L"Undo")) {
                undoVertex();
                continue;
            }
            addVertex(flat(a.point));
        }
    }

    void addVertex(const AcGePoint2d& p) {
        if ((p - mVs.back().p).length() <= tol::kPoint) {
            mE.editor().print(L"\n前の点と同じ点です。");
            return;
        }
        if (mArc) mVs.back().bulge = tangentBulge(mVs.back().p, endTangent(mVs), p);
        mVs.push_back({p});
    }

    void undoVertex() {
        if (mVs.size() < 2) {
            mE.editor().print(L"\nこれ以上元に戻せません。");
            return;
        }
        mVs.pop_back();
        mVs.back().bulge = 0;
    }

    void make(bool closed) {
        if (mVs.size() < 2) return;
        auto pl = std::make_unique<AcDbPolyline>(unsigned(mVs.size()));
        for (unsigned i = 0; i < mVs.size(); ++i)
            pl->addVertexAt(i, mVs[i].p, mVs[i].bulge);
        if (!closed) pl->setBulgeAt(unsigned(mVs.size() - 1), 0);
        pl->setClosed(closed);
        appendEntity(mE.database(), std::move(pl));
    }

    Engine& mE;
    Ask mAsk;
    std::vector<Vertex> mVs;
    bool mArc = false;
};

void plineCommand(Engine& e) {
    PlineBuilder(e).run();
}

} // namespace

void registerPlineCommand(Engine& e) {
    addHostCommand(e, L"PLINE", plineCommand);
}

} // namespace zel::commands
