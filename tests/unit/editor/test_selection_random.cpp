// Seeded random drawings: the spatial index must find exactly what a scan of every entity
// finds, for picks, windows, crossings, polygons and fences, while the drawing changes between
// the queries (entities added, moved, erased, brought back, changes undone).
#include "editor/selection_query.h"
#include "editor/selection_state.h"
#include "selection_fixture.h"

#include <random>

using namespace zel::editor;
using zel::geom::Box2;
using zel::geom::Vec2;

namespace {

class SelectionRandom : public SelectionTest, public ::testing::WithParamInterface<unsigned> {
protected:
    double coord() { return std::uniform_real_distribution<double>(0, 100)(rng); }
    double size() { return std::uniform_real_distribution<double>(0.5, 15)(rng); }
    int pickOf(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    AcDbEntity* randomEntity() {
        double x = coord(), y = coord();
        switch (pickOf(4)) {
        case 0:
            return new AcDbLine({x, y, 0}, {x + size() - 7, y + size() - 7, 0});
        case 1:
            return new AcDbCircle({x, y, 0}, {0, 0, 1}, size() / 2);
        case 2:
            return new AcDbArc({x, y, 0}, size() / 2, coord() / 10, coord() / 10 + 2);
        default: {
            auto* p = new AcDbPolyline();
            for (unsigned i = 0; i < 4; ++i)
                p->addVertexAt(i, AcGePoint2d(x + size(), y + size()), pickOf(3) == 0 ? 0.5 : 0);
            return p;
        }
        }
    }

    void change() {
        auto& journal = db.impl().journal();
        switch (pickOf(5)) {
        case 0:
            ids.push_back(add(randomEntity()));
            return;
        case 1:
            modify<AcDbEntity>(ids[size_t(pickOf(int(ids.size())))], [&](AcDbEntity& e) {
                e.transformBy(AcGeMatrix3d::translation({coord() - 50, coord() - 50, 0}));
            });
            return;
        case 2:
            modify<AcDbEntity>(ids[size_t(pickOf(int(ids.size())))],
                               [&](AcDbEntity& e) { e.erase(!e.isErased()); });
            return;
        case 3:
            journal.beginStep(L"MOVE");
            modify<AcDbEntity>(ids[size_t(pickOf(int(ids.size())))], [&](AcDbEntity& e) {
                e.transformBy(AcGeMatrix3d::translation({coord(), 0, 0}));
            });
            journal.endStep();
            ASSERT_EQ(journal.undoStep(), Acad::eOk);
            return;
        default:
            journal.beginStep(L"LINE");
            add(randomEntity()); // its addition undone: the slot dies
            journal.endStep();
            ASSERT_EQ(journal.undoStep(), Acad::eOk);
            return;
        }
    }

    Box2 randomBox() {
        Vec2 a{coord(), coord()}, b{coord(), coord()};
        return Box2::of(a, b);
    }
    std::vector<Vec2> randomChain(int n) {
        std::vector<Vec2> pts;
        for (int i = 0; i < n; ++i)
            pts.push_back({coord(), coord()});
        return pts;
    }

    std::mt19937 rng{GetParam()};
    EntityIds ids;
};

TEST_P(SelectionRandom, IndexFindsWhatAScanFinds) {
    for (int i = 0; i < 150; ++i)
        ids.push_back(add(randomEntity()));
    EntityIndex& index = ed.selection().index(db);
    int nonEmpty = 0;
    for (int round = 0; round < 60; ++round) {
        for (int k = pickOf(4); k > 0; --k)
            change();
        SelectionQuery fast(db, &index, Candidates::Indexed);
        SelectionQuery slow(db, &index, Candidates::Scan);
        Vec2 p{coord(), coord()};
        double aperture = size() / 5;
        Box2 box = randomBox();
        Area area = pickOf(2) ? Area::Window : Area::Crossing;
        std::vector<Vec2> poly = randomChain(3 + pickOf(3)), fence = randomChain(2 + pickOf(3));
        EntityIds found = fast.box(box, area);
        EXPECT_EQ(found, slow.box(box, area)) << "box, round " << round;
        EXPECT_EQ(fast.pick(p, aperture), slow.pick(p, aperture)) << "pick, round " << round;
        EXPECT_EQ(fast.polygon(poly, area), slow.polygon(poly, area)) << "polygon " << round;
        EXPECT_EQ(fast.fence(fence), slow.fence(fence)) << "fence, round " << round;
        nonEmpty += found.empty() ? 0 : 1;
    }
    EXPECT_GT(nonEmpty, 10) << "the boxes should find something most of the time";
}

INSTANTIATE_TEST_SUITE_P(Seeds, SelectionRandom, ::testing::Range(1u, 9u));

} // namespace
