// Texts, multi-line texts, dimensions, leaders and hatches: justification, the font model's
// boxes, plain text, measurements, hatch loops and areas, and transforms that move every
// position exactly.
#include "test_ents_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace zel::test;

namespace {

bool near(const AcGePoint3d& a, const AcGePoint3d& b, double tol = 1e-9) {
    return a.distanceTo(b) <= tol;
}

// Random similarity transforms, every other one mirrored.
AcGeMatrix3d randomSimilarity(std::mt19937& rng, bool mirror) {
    std::uniform_real_distribution<double> u(-1, 1);
    AcGeMatrix3d m = AcGeMatrix3d::rotation(u(rng) * M_PI, AcGeVector3d::kZAxis);
    m.preMultBy(AcGeMatrix3d::scaling(1.5 + u(rng)));
    m.preMultBy(AcGeMatrix3d::translation({10 * u(rng), 10 * u(rng), 0}));
    if (mirror) m.preMultBy(AcGeMatrix3d::mirroring({u(rng), u(rng), 0}, {u(rng), 2, 0}));
    return m;
}

// ---- TEXT -------------------------------------------------------------------------------------

TEST(Text, JustificationsAreModePairs) {
    struct Row {
        AcDb::TextAlignment a;
        AcDb::TextHorzMode h;
        AcDb::TextVertMode v;
    };
    const Row rows[] = {
        {AcDb::kTextAlignmentLeft, AcDb::kTextLeft, AcDb::kTextBase},
        {AcDb::kTextAlignmentFit, AcDb::kTextFit, AcDb::kTextBase},
        {AcDb::kTextAlignmentTopLeft, AcDb::kTextLeft, AcDb::kTextTop},
        {AcDb::kTextAlignmentMiddleCenter, AcDb::kTextCenter, AcDb::kTextVertMid},
        {AcDb::kTextAlignmentBottomRight, AcDb::kTextRight, AcDb::kTextBottom},
        {AcDb::kTextAlignmentMiddle, AcDb::kTextMid, AcDb::kTextBase},
    };
    for (const Row& r : rows) {
        AcDbText t;
        ASSERT_EQ(t.setJustification(r.a), Acad::eOk);
        EXPECT_EQ(t.horizontalMode(), r.h);
        EXPECT_EQ(t.verticalMode(), r.v);
        EXPECT_EQ(t.justification(), r.a);
    }
    AcDbText t;
    EXPECT_EQ(t.setJustification(AcDb::TextAlignment(15)), Acad::eInvalidInput);
    EXPECT_EQ(t.setHeight(0), Acad::eInvalidInput);
    EXPECT_EQ(t.setWidthFactor(-1), Acad::eInvalidInput);
}

// The font model: half-width characters as wide as the height times the width factor,
// full-width ones twice that. "AB日" at height 2 and factor 0.5 is (1 + 1 + 2) * 1 = 4 wide.
TEST(Text, AdjustAlignmentPlacesTheTextAtItsAlignmentPoint) {
    struct Row {
        AcDb::TextAlignment a;
        AcGePoint3d position; // expected start of the baseline
    };
    const Row rows[] = {
        {AcDb::kTextAlignmentCenter, {8, 10, 0}},
        {AcDb::kTextAlignmentRight, {6, 10, 0}},
        {AcDb::kTextAlignmentMiddle, {8, 9, 0}},
        {AcDb::kTextAlignmentTopLeft, {10, 8, 0}},
        {AcDb::kTextAlignmentMiddleRight, {6, 9, 0}},
        {AcDb::kTextAlignmentBottomCenter, {8, 10, 0}},
    };
    for (const Row& r : rows) {
        AcDbText t(AcGePoint3d(0, 0, 0), L"AB日", AcDbObjectId::kNull, 2);
        t.setWidthFactor(0.5);
        t.setJustification(r.a);
        t.setAlignmentPoint({10, 10, 0});
        ASSERT_EQ(t.adjustAlignment(), Acad::eOk);
        EXPECT_TRUE(near(t.position(), r.position)) << r.a;
    }
    // Fit keeps the height and stretches the width; aligned keeps the width factor.
    AcDbText fit(AcGePoint3d(0, 0, 0), L"ABCD", AcDbObjectId::kNull, 2);
    fit.setJustification(AcDb::kTextAlignmentFit);
    fit.setAlignmentPoint({0, 16, 0});
    fit.adjustAlignment();
    EXPECT_NEAR(fit.widthFactor(), 2, 1e-12);
    EXPECT_NEAR(fit.rotation(), M_PI / 2, 1e-12);
    AcDbText aligned(AcGePoint3d(0, 0, 0), L"ABCD", AcDbObjectId::kNull, 2);
    aligned.setJustification(AcDb::kTextAlignmentAligned);
    aligned.setAlignmentPoint({12, 0, 0});
    aligned.adjustAlignment();
    EXPECT_NEAR(aligned.height(), 3, 1e-12);
}

TEST(Text, SpecialCodesCountAsOneCharacter) {
    AcDbText t(AcGePoint3d(0, 0, 0), L"%%c20%%p%%u", AcDbObjectId::kNull, 1);
    AcDbExtents e;
    t.getGeomExtents(e);
    EXPECT_NEAR(e.maxPoint().x, 4, 1e-12); // diameter sign, 2, 0, plus-minus
}

TEST(Text, TransformMovesTheTextBoxExactly) {
    std::mt19937 rng(99);
    for (int trial = 0; trial < 20; ++trial) {
        AcDbText t(AcGePoint3d(1, 2, 0), L"Text 図面", AcDbObjectId::kNull, 1.5, 0.3);
        t.setJustification(AcDb::kTextAlignmentMiddleCenter);
        t.setAlignmentPoint({4, 5, 0});
        t.adjustAlignment();
        AcGeMatrix3d m = randomSimilarity(rng, trial % 2 == 1);
        AcGePoint3d before[4];
        t.boxCorners(before);
        AcGePoint3d align = m * t.alignmentPoint();
        ASSERT_EQ(t.transformBy(m), Acad::eOk);
        EXPECT_TRUE(near(t.alignmentPoint(), align));
        EXPECT_EQ(t.isMirroredInX(), trial % 2 == 1);
        AcGePoint3d after[4];
        t.boxCorners(after);
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(near(after[i], m * before[i])) << trial << " " << i;
        // The text is still where its alignment says.
        AcGePoint3d kept = t.position();
        t.adjustAlignment();
        EXPECT_TRUE(near(t.position(), kept, 1e-8)) << trial;
    }
}

// ---- MTEXT ------------------------------------------------------------------------------------

TEST(MText, PlainTextDropsFormatCodes) {
    struct Row {
        const wchar_t* contents;
        const wchar_t* plain;
    };
    const Row rows[] = {
        {L"abc", L"abc"},
        {L"line1\\Pline2", L"line1\nline2"},
        {L"{\\fArial|b1|i0;bold} and {\\C1;red}", L"bold and red"},
        {L"\\H2x;big\\W0.8;narrow", L"bignarrow"},
        {L"\\S1/2; and \\S3^ 4;", L"1/2 and 3/4"},
        {L"a\\\\b \\{c\\}", L"a\\b {c}"},
        {L"\\Lunder\\l \\Oover\\o", L"under over"},
        {L"\\pxqc;centre", L"centre"},
        {L"45%%d", L"45\u00b0"},
        {L"non\\~break", L"non break"},
    };
    for (const Row& r : rows) {
        AcDbMText m;
        m.setContents(r.contents);
        EXPECT_EQ(m.plainText(), r.plain)
            << std::string(r.contents, r.contents + wcslen(r.contents));
        ACHAR* t = m.text();
        EXPECT_EQ(std::wstring(t), r.plain);
        delete[] t;
    }
}

TEST(MText, BoundingPointsFollowTheAttachment) {
    // Two lines: "ABCD" (4 wide at height 1) and "日本" (4 wide); line spacing 5/3.
    const double h = 1 + 5.0 / 3;
    struct Row {
        AcDbMText::AttachmentPoint a;
        AcGePoint3d topLeft;
    };
    const Row rows[] = {
        {AcDbMText::kTopLeft, {0, 0, 0}},          {AcDbMText::kTopCenter, {-2, 0, 0}},
        {AcDbMText::kMiddleRight, {-4, h / 2, 0}}, {AcDbMText::kBottomLeft, {0, h, 0}},
        {AcDbMText::kBottomCenter, {-2, h, 0}},
    };
    for (const Row& r : rows) {
        AcDbMText m;
        m.setContents(L"ABCD\\P日本");
        m.setTextHeight(1);
        m.setAttachment(r.a);
        std::vector<AcGePoint3d> pts;
        ASSERT_EQ(m.getBoundingPoints(pts), Acad::eOk);
        ASSERT_EQ(pts.size(), 4u);
        EXPECT_TRUE(near(pts[0], r.topLeft)) << r.a;
        EXPECT_TRUE(near(pts[1], r.topLeft + AcGeVector3d(4, 0, 0)));
        EXPECT_TRUE(near(pts[2], r.topLeft - AcGeVector3d(0, h, 0)));
        EXPECT_TRUE(near(pts[3], r.topLeft + AcGeVector3d(4, -h, 0)));
    }
}

TEST(MText, WrapsAtItsWidthAndMovesWithTheAttachment) {
    AcDbMText m;
    m.setContents(L"aaa bbb ccc");
    m.setTextHeight(1);
    m.setWidth(7.5);
    EXPECT_NEAR(m.actualWidth(), 7, 1e-12); // "aaa bbb" then "ccc"
    EXPECT_NEAR(m.actualHeight(), 1 + 5.0 / 3, 1e-12);
    std::vector<AcGePoint3d> before, after;
    m.getBoundingPoints(before);
    ASSERT_EQ(m.setAttachmentMovingLocation(AcDbMText::kBottomRight), Acad::eOk);
    m.getBoundingPoints(after);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(near(before[i], after[i]));
    EXPECT_TRUE(near(m.location(), before[3]));
}

TEST(MText, TransformMovesTheLocationExactly) {
    std::mt19937 rng(3);
    for (int trial = 0; trial < 10; ++trial) {
        AcDbMText m;
        m.setContents(L"note");
        m.setLocation({3, 4, 0});
        m.setRotation(0.4);
        AcGeMatrix3d m2 = randomSimilarity(rng, trial % 2 == 1);
        AcGePoint3d where = m2 * m.location();
        AcGeVector3d dir = (m2 * m.direction()).normal();
        ASSERT_EQ(m.transformBy(m2), Acad::eOk);
        EXPECT_TRUE(near(m.location(), where));
        EXPECT_LT((m.direction() - dir).length(), 1e-12);
        EXPECT_NEAR(m.normal().z, 1, 1e-12); // readable: never turned over
    }
}

// ---- dimensions and leaders -------------------------------------------------------------------

TEST(Dimension, MeasurementsOfEveryKind) {
    AcDbRotatedDimension horizontal(0, {0, 0, 0}, {3, 4, 0}, {0, 6, 0});
    AcDbRotatedDimension vertical(M_PI / 2, {0, 0, 0}, {3, 4, 0}, {0, 6, 0});
    AcDbAlignedDimension aligned({0, 0, 0}, {3, 4, 0}, {0, 6, 0});
    AcDbRadialDimension radial({1, 1, 0}, {4, 5, 0}, 1);
    AcDbDiametricDimension diametric({1, 1, 0}, {-5, -7, 0}, 1);
    AcDbOrdinateDimension ordinateX(true, {7, 2, 0}, {7, 9, 0});
    AcDbOrdinateDimension ordinateY(false, {7, 2, 0}, {7, 9, 0});
    AcDb3PointAngularDimension threePoint;
    threePoint.setCenterPoint({0, 0, 0});
    threePoint.setXLine1Point({1, 0, 0});
    threePoint.setXLine2Point({0, 1, 0});
    threePoint.setArcPoint({1, 1, 0});
    AcDb3PointAngularDimension reflex = threePoint;
    reflex.setArcPoint({-1, -1, 0}); // the arc on the other side: the reflex angle
    AcDb2LineAngularDimension twoLine;
    twoLine.setXLine1Start({-2, 0, 0});
    twoLine.setXLine1End({2, 0, 0});
    twoLine.setXLine2Start({-2, -2, 0});
    twoLine.setXLine2End({2, 2, 0});
    // (0, 1) lies between the 45 degree ray and the negative x axis: 135 degrees.
    twoLine.setArcPoint({0, 1, 0});
    struct Row {
        const char* name;
        const AcDbDimension* d;
        double value;
    };
    const Row rows[] = {
        {"horizontal", &horizontal, 3},  {"vertical", &vertical, 4},
        {"aligned", &aligned, 5},        {"radial", &radial, 5},
        {"diametric", &diametric, 10},   {"ordinate x", &ordinateX, 7},
        {"ordinate y", &ordinateY, 2},   {"3 points", &threePoint, M_PI / 2},
        {"reflex", &reflex, 1.5 * M_PI}, {"2 lines", &twoLine, 0.75 * M_PI},
    };
    for (const Row& r : rows) {
        double v = -1;
        ASSERT_EQ(r.d->measurement(v), Acad::eOk) << r.name;
        EXPECT_NEAR(v, r.value, 1e-12) << r.name;
    }
    EXPECT_EQ(horizontal.kind(), AcDbDimension::kRotated);
    EXPECT_EQ(twoLine.kind(), AcDbDimension::kAngular2Line);
    AcDb2LineAngularDimension parallel;
    parallel.setXLine1End({1, 0, 0});
    parallel.setXLine2Start({0, 1, 0});
    parallel.setXLine2End({1, 1, 0});
    double v;
    EXPECT_EQ(parallel.measurement(v), Acad::eDegenerateGeometry);
}

TEST(Dimension, TransformMovesPointsAndScalesTheMeasurement) {
    std::mt19937 rng(17);
    for (int trial = 0; trial < 10; ++trial) {
        AcDbRotatedDimension d(0.3, {0, 0, 0}, {3, 4, 0}, {0, 6, 0});
        d.setTextPosition({1, 7, 0});
        AcGeMatrix3d m = randomSimilarity(rng, trial % 2 == 1);
        double before;
        d.measurement(before);
        AcGePoint3d p1 = m * d.xLine1Point(), p2 = m * d.xLine2Point(), text = m * d.textPosition();
        ASSERT_EQ(d.transformBy(m), Acad::eOk);
        EXPECT_TRUE(near(d.xLine1Point(), p1));
        EXPECT_TRUE(near(d.xLine2Point(), p2));
        EXPECT_TRUE(near(d.textPosition(), text));
        double after;
        d.measurement(after);
        EXPECT_NEAR(after, before * m.scale(), 1e-9);
        EXPECT_NEAR(d.storedMeasurement(), after, 1e-12);
    }
}

TEST(Dimension, KindIsChosenFromMarkersElseFromFlags) {
    auto flags = [](int v) {
        ZelGroupValue g;
        g.code = 70;
        g.integer = v;
        return g;
    };
    auto marker = [](const wchar_t* m) {
        ZelGroupValue g;
        g.code = 100;
        g.text = m;
        return g;
    };
    EXPECT_TRUE(AcDbRadialDimension::cast(readObject("DIMENSION", {flags(4)}).get()));
    EXPECT_TRUE(AcDbOrdinateDimension::cast(readObject("DIMENSION", {flags(6 | 64)}).get()));
    EXPECT_TRUE(AcDbRotatedDimension::cast(readObject("DIMENSION", {flags(32)}).get()));
    auto aligned = readObject(
        "DIMENSION", {marker(L"AcDbDimension"), flags(0), marker(L"AcDbAlignedDimension")});
    ASSERT_TRUE(AcDbAlignedDimension::cast(aligned.get()));
    EXPECT_FALSE(AcDbRotatedDimension::cast(aligned.get()));
    // The flags follow the kind read, whatever the file said.
    EXPECT_EQ(static_cast<AcDbDimension*>(aligned.get())->kind(), AcDbDimension::kAligned);
}

TEST(Leader, CurveAlongItsVertices) {
    AcDbLeader l;
    l.appendVertex({0, 0, 0});
    l.appendVertex({3, 4, 0});
    l.appendVertex({8, 4, 0});
    double length;
    ASSERT_EQ(l.getLength(length), Acad::eOk);
    EXPECT_NEAR(length, 10, 1e-12);
    AcGePoint3d p;
    l.getPointAtParam(1.5, p);
    EXPECT_TRUE(near(p, {5.5, 4, 0}));
    AcGePoint3d c;
    l.getClosestPointTo({4, 10, 0}, c);
    EXPECT_TRUE(near(c, {4, 4, 0}));
    l.removeLastVertex();
    EXPECT_TRUE(near(l.lastVertex(), {3, 4, 0}));
}

// ---- HATCH ------------------------------------------------------------------------------------

TEST(Hatch, AreaOfTheOuterLoopLessItsIslands) {
    AcDbHatch h;
    h.appendLoop(AcDbHatch::kExternal, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {});
    ZelHatchLoop hole;
    ZelHatchEdge circle;
    circle.type = ZelHatchEdge::kCirArc;
    circle.center = {5, 5};
    circle.radius = 2;
    circle.startAngle = 0;
    circle.endAngle = 360;
    hole.edges = {circle};
    h.appendLoop(hole);
    double area;
    ASSERT_EQ(h.getArea(area), Acad::eOk);
    EXPECT_NEAR(area, 100 - 4 * M_PI, 1e-9);
    std::mt19937 rng(8);
    AcGeMatrix3d m = randomSimilarity(rng, true);
    ASSERT_EQ(h.transformBy(m), Acad::eOk);
    double moved;
    h.getArea(moved);
    EXPECT_NEAR(moved, area * m.scale() * m.scale(), 1e-8);
}

// The arcs of a hatch drawn by another program, clockwise ones among them: each arc edge,
// taken as a bulge from where it starts to where the next edge starts, has the edge's radius;
// so the loop closes as the file meant it.
TEST(Hatch, ClockwiseArcEdgesJoinTheirNeighbours) {
    int arcs = 0;
    for (const DxfRecord& r : readDxfRecords(ZEL_DRAWINGS_DIR "/clockwise_arcs_hatch.dxf")) {
        if (r.type != "HATCH") continue;
        auto h = readObject("HATCH", r.groups);
        auto* hatch = AcDbHatch::cast(h.get());
        ASSERT_TRUE(hatch);
        for (int i = 0; i < hatch->numLoops(); ++i) {
            const ZelHatchLoop& loop = hatch->loopAt(i);
            std::vector<AcGePoint2d> pts;
            std::vector<double> bulges;
            ASSERT_EQ(hatch->getLoopPoints(i, pts, bulges), Acad::eOk);
            if (loop.isPolyline()) continue;
            ASSERT_EQ(pts.size(), loop.edges.size());
            for (size_t k = 0; k < loop.edges.size(); ++k) {
                const ZelHatchEdge& e = loop.edges[k];
                const AcGePoint2d& to = pts[(k + 1) % pts.size()];
                if (e.type == ZelHatchEdge::kLine) {
                    EXPECT_LT(e.end.distanceTo(to), 1e-6) << "line " << k;
                    continue;
                }
                ASSERT_EQ(e.type, ZelHatchEdge::kCirArc);
                ++arcs;
                double b = bulges[k], chord = pts[k].distanceTo(to);
                double radius = chord * (1 + b * b) / (4 * std::fabs(b));
                EXPECT_NEAR(radius, e.radius, 1e-6 * e.radius) << "arc " << k;
                EXPECT_NEAR(pts[k].distanceTo(e.center), e.radius, 1e-6 * e.radius);
                EXPECT_NEAR(to.distanceTo(e.center), e.radius, 1e-6 * e.radius);
            }
        }
    }
    EXPECT_GT(arcs, 5);
}

} // namespace
