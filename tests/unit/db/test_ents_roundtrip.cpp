// Each complex kind built through the API, written as groups, read back into a new object and
// written again: the two group lists agree, and the state read back is the state built.
#include "test_ents_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace zel::test;

namespace {

struct RoundTripCase {
    const char* name;
    std::function<std::unique_ptr<AcDbEntity>()> make;
    // Checks state the groups must carry (beyond the groups comparing equal).
    std::function<void(const AcDbEntity& original, const AcDbEntity& back)> check;
};

std::unique_ptr<AcDbEntity> lwpolyline() {
    auto p = std::make_unique<AcDbPolyline>();
    p->addVertexAt(0, {0, 0}, 0.5, 0.1, 0.2, 7);
    p->addVertexAt(1, {10, 0});
    p->addVertexAt(2, {10, 5}, -1.25);
    p->setClosed(true);
    p->setElevation(2.5);
    p->setThickness(1);
    p->setNormal({0, 0, -1});
    p->setLayer(L"WALLS");
    return p;
}

std::unique_ptr<AcDbEntity> lwpolylineConstantWidth() {
    auto p = std::make_unique<AcDbPolyline>();
    p->addVertexAt(0, {1, 1});
    p->addVertexAt(1, {4, 2}, 0.25);
    p->addVertexAt(2, {6, -3});
    p->setConstantWidth(0.75);
    p->setPlinegen(true);
    return p;
}

std::unique_ptr<AcDbEntity> vertex2d() {
    auto v = std::make_unique<AcDb2dVertex>(AcGePoint3d(3, 4, 1), 0.3, 0.5, 0.25, 1.1, 42);
    v->useTangent();
    return v;
}

ZelGroupValue intValue(int16_t code, int64_t v) {
    ZelGroupValue g;
    g.code = code;
    g.integer = v;
    return g;
}

// A face record of a polyface mesh, as a file gives it (no API makes one).
std::unique_ptr<AcDbEntity> faceRecord() {
    Groups g = {intValue(70, 128), intValue(71, 1), intValue(72, 2), intValue(73, -3)};
    std::unique_ptr<AcDbObject> o = readObject("VERTEX", g);
    return std::unique_ptr<AcDbEntity>(static_cast<AcDbEntity*>(o.release()));
}

std::unique_ptr<AcDbEntity> rationalSpline() {
    std::vector<AcGePoint3d> ctrl = {{0, 0, 0}, {1, 2, 0}, {3, 2, 1}, {4, 0, 0}, {6, 1, 0}};
    std::vector<double> knots = {0, 0, 0, 0, 0.4, 1, 1, 1, 1};
    std::vector<double> weights = {1, 0.5, 2, 1, 1};
    return std::make_unique<AcDbSpline>(3, true, false, false, ctrl, knots, weights);
}

std::unique_ptr<AcDbEntity> fitSpline() {
    std::vector<AcGePoint3d> fit = {{0, 0, 0}, {2, 3, 0}, {5, 1, 0}, {8, 4, 0}};
    return std::make_unique<AcDbSpline>(fit, AcGeVector3d(1, 1, 0), AcGeVector3d(0, 1, 0));
}

std::unique_ptr<AcDbEntity> text() {
    auto t = std::make_unique<AcDbText>(AcGePoint3d(1, 2, 0), L"ABC 日本", AcDbObjectId::kNull, 2.5,
                                        0.5);
    t->setJustification(AcDb::kTextAlignmentMiddleRight);
    t->setAlignmentPoint({20, 3, 0});
    t->setWidthFactor(0.8);
    t->setOblique(0.2);
    t->mirrorInY(true);
    t->setThickness(0.5);
    t->setTextStyleName(L"ROMANS");
    return t;
}

std::unique_ptr<AcDbEntity> attdef() {
    auto d = std::make_unique<AcDbAttributeDefinition>(AcGePoint3d(0, 1, 0), L"default", L"PART_NO",
                                                       L"Part number?");
    d->setHeight(3);
    d->setInvisible(true);
    d->setPreset(true);
    d->setFieldLength(12);
    d->setLockPositionInBlock(true);
    d->setVerticalMode(AcDb::kTextTop);
    d->setHorizontalMode(AcDb::kTextCenter);
    d->setAlignmentPoint({5, 1, 0});
    return d;
}

std::unique_ptr<AcDbEntity> attrib() {
    auto a = std::make_unique<AcDbAttribute>(AcGePoint3d(4, 5, 0), L"A-101", L"PART_NO");
    a->setHeight(2);
    a->setRotation(M_PI / 6);
    return a;
}

std::unique_ptr<AcDbEntity> mtext() {
    auto m = std::make_unique<AcDbMText>();
    std::wstring contents = L"{\\fArial|b1;Title}\\P";
    for (int i = 0; i < 60; ++i)
        contents += L"word" + std::to_wstring(i) + L" ";
    contents += L"\\P終わり";
    m->setContents(contents.c_str());
    m->setLocation({10, 20, 0});
    m->setTextHeight(3.5);
    m->setWidth(80);
    m->setAttachment(AcDbMText::kMiddleCenter);
    m->setDirection({1, 1, 0});
    m->setLineSpacingFactor(1.5);
    return m;
}

std::unique_ptr<AcDbEntity> insert() {
    auto b = std::make_unique<AcDbBlockReference>();
    b->setBlockName(L"BOLT");
    b->setPosition({5, 6, 0});
    b->setScaleFactors(AcGeScale3d(2, -2, 1));
    b->setRotation(1.0);
    return b;
}

std::unique_ptr<AcDbEntity> minsert() {
    auto b = std::make_unique<AcDbMInsertBlock>();
    b->setBlockName(L"FLAG");
    b->setColumns(3);
    b->setRows(2);
    b->setColumnSpacing(10);
    b->setRowSpacing(-4);
    return b;
}

template <class T> std::unique_ptr<AcDbEntity> dimensionWith(std::function<void(T&)> setup) {
    auto d = std::make_unique<T>();
    d->setDimBlockName(L"*D7");
    d->setDimensionText(L"<> mm");
    d->setTextPosition({3, 4, 0});
    d->setDimensionStyleName(L"ISO-25");
    d->setTextRotation(0.25);
    setup(*d);
    return d;
}

std::unique_ptr<AcDbEntity> leader() {
    auto l = std::make_unique<AcDbLeader>();
    l->appendVertex({0, 0, 0});
    l->appendVertex({5, 5, 0});
    l->appendVertex({9, 5, 0});
    l->setAnnotationOffset({0.5, 0, 0});
    l->disableArrowHead();
    return l;
}

std::unique_ptr<AcDbEntity> hatch() {
    auto h = std::make_unique<AcDbHatch>();
    h->setPattern(AcDbHatch::kPreDefined, L"ANSI31");
    h->setPatternScale(2);
    h->setPatternAngle(M_PI / 4);
    h->appendLoop(AcDbHatch::kExternal, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {0, 0.5, 0, 0});
    ZelHatchLoop edges;
    edges.type = AcDbHatch::kDefault;
    ZelHatchEdge line;
    line.start = {2, 2};
    line.end = {4, 2};
    ZelHatchEdge arc;
    arc.type = ZelHatchEdge::kCirArc;
    arc.center = {4, 3};
    arc.radius = 1;
    arc.startAngle = 270;
    arc.endAngle = 90;
    arc.counterClockwise = false;
    ZelHatchEdge ellipse;
    ellipse.type = ZelHatchEdge::kEllArc;
    ellipse.center = {3, 4};
    ellipse.majorAxis = {1, 0};
    ellipse.radius = 0.5;
    ellipse.startAngle = 0;
    ellipse.endAngle = 180;
    ZelHatchEdge spline;
    spline.type = ZelHatchEdge::kSpline;
    spline.degree = 3;
    spline.knots = {0, 0, 0, 0, 1, 1, 1, 1};
    spline.controlPoints = {{2, 4}, {1.5, 3.5}, {2.5, 2.5}, {2, 2}};
    spline.hasFitData = true;
    spline.fitPoints = {{2, 4}, {2, 2}};
    spline.startTangent = {0, -1};
    spline.hasStartTangent = true;
    edges.edges = {line, arc, ellipse, spline};
    edges.sources = {AcDbHandle(0x2A), AcDbHandle(0x2B)};
    h->appendLoop(edges);
    h->setPatternDefinitions({{45, {0, 0}, {-2.2, 2.2}, {}}, {135, {1, 0}, {0, 3}, {1.5, -0.5}}});
    h->appendSeedPoint({5, 5});
    return h;
}

void expectSamePoint(const AcGePoint3d& a, const AcGePoint3d& b) {
    EXPECT_NEAR(a.x, b.x, 1e-9);
    EXPECT_NEAR(a.y, b.y, 1e-9);
    EXPECT_NEAR(a.z, b.z, 1e-9);
}

const std::vector<RoundTripCase>& cases() {
    static const std::vector<RoundTripCase> all = {
        {"lwpolyline", lwpolyline,
         [](const AcDbEntity& a, const AcDbEntity& b) {
             auto &p = static_cast<const AcDbPolyline&>(a),
                  &q = static_cast<const AcDbPolyline&>(b);
             EXPECT_TRUE(p.vertices() == q.vertices());
             EXPECT_TRUE(q.isClosed());
             EXPECT_EQ(q.elevation(), 2.5);
             EXPECT_EQ(q.normal(), AcGeVector3d(0, 0, -1));
         }},
        {"lwpolyline constant width", lwpolylineConstantWidth,
         [](const AcDbEntity&, const AcDbEntity& b) {
             double w = 0;
             EXPECT_EQ(static_cast<const AcDbPolyline&>(b).getConstantWidth(w), Acad::eOk);
             EXPECT_EQ(w, 0.75);
             EXPECT_TRUE(static_cast<const AcDbPolyline&>(b).hasPlinegen());
         }},
        {"2d polyline", [] { return std::make_unique<AcDb2dPolyline>(); },
         [](const AcDbEntity&, const AcDbEntity& b) {
             EXPECT_EQ(static_cast<const AcDb2dPolyline&>(b).flavour(), AcDb2dPolyline::k2d);
         }},
        {"3d polyline", [] { return AcDb2dPolyline::withFlavour(AcDb2dPolyline::k3d); },
         [](const AcDbEntity&, const AcDbEntity& b) {
             EXPECT_EQ(static_cast<const AcDb2dPolyline&>(b).flavour(), AcDb2dPolyline::k3d);
         }},
        {"polyface mesh", [] { return AcDb2dPolyline::withFlavour(AcDb2dPolyline::kPolyFaceMesh); },
         [](const AcDbEntity&, const AcDbEntity& b) {
             EXPECT_EQ(static_cast<const AcDb2dPolyline&>(b).flavour(),
                       AcDb2dPolyline::kPolyFaceMesh);
         }},
        {"vertex", vertex2d,
         [](const AcDbEntity&, const AcDbEntity& b) {
             auto& v = static_cast<const AcDb2dVertex&>(b);
             EXPECT_EQ(v.bulge(), 0.3);
             EXPECT_EQ(v.endWidth(), 0.25);
             EXPECT_TRUE(v.isTangentUsed());
             EXPECT_NEAR(v.tangent(), 1.1, 1e-12);
             EXPECT_EQ(v.vertexIdentifier(), 42);
         }},
        {"face record", faceRecord,
         [](const AcDbEntity&, const AcDbEntity& b) {
             EXPECT_EQ(static_cast<const AcDb2dVertex&>(b).vertexFlags(), 128);
         }},
        {"seqend", [] { return std::make_unique<AcDbSequenceEnd>(); },
         [](const AcDbEntity&, const AcDbEntity& b) { EXPECT_TRUE(AcDbSequenceEnd::cast(&b)); }},
        {"rational spline", rationalSpline,
         [](const AcDbEntity& a, const AcDbEntity& b) {
             auto &s = static_cast<const AcDbSpline&>(a), &t = static_cast<const AcDbSpline&>(b);
             EXPECT_TRUE(t.isRational());
             EXPECT_EQ(t.weightAt(2), 2.0);
             AcGePoint3d p, q;
             s.getPointAtParam(0.7, p);
             t.getPointAtParam(0.7, q);
             expectSamePoint(p, q);
         }},
        {"fit spline", fitSpline,
         [](const AcDbEntity&, const AcDbEntity& b) {
             auto& s = static_cast<const AcDbSpline&>(b);
             EXPECT_EQ(s.numFitPoints(), 4);
             AcGeVector3d t0, t1;
             s.getFitTangents(t0, t1);
             EXPECT_NEAR(t0.y, std::sqrt(0.5), 1e-12);
         }},
        {"text", text,
         [](const AcDbEntity& a, const AcDbEntity& b) {
             auto &s = static_cast<const AcDbText&>(a), &t = static_cast<const AcDbText&>(b);
             EXPECT_EQ(t.justification(), AcDb::kTextAlignmentMiddleRight);
             EXPECT_EQ(std::wstring(t.textStringConst()), s.textStringConst());
             expectSamePoint(t.alignmentPoint(), AcGePoint3d(20, 3, 0));
             EXPECT_NEAR(t.oblique(), 0.2, 1e-12);
             EXPECT_TRUE(t.isMirroredInY());
         }},
        {"attribute definition", attdef,
         [](const AcDbEntity&, const AcDbEntity& b) {
             auto& d = static_cast<const AcDbAttributeDefinition&>(b);
             EXPECT_EQ(std::wstring(d.tagConst()), L"PART_NO");
             EXPECT_EQ(std::wstring(d.promptConst()), L"Part number?");
             EXPECT_TRUE(d.isInvisible() && d.isPreset() && !d.isConstant());
             EXPECT_TRUE(d.lockPositionInBlock());
             EXPECT_EQ(d.fieldLength(), 12);
             EXPECT_EQ(d.justification(), AcDb::kTextAlignmentTopCenter);
         }},
        {"attribute", attrib,
         [](const AcDbEntity&, const AcDbEntity& b) {
             auto& a = static_cast<const AcDbAttribute&>(b);
             EXPECT_EQ(std::wstring(a.tagConst()), L"PART_NO");
             EXPECT_EQ(std::wstring(a.textStringConst()), L"A-101");
             EXPECT_FALSE(a.lockPositionInBlock());
         }},
        {"mtext", mtext,
         [](const AcDbEntity& a, const AcDbEntity& b) {
             auto &m = static_cast<const AcDbMText&>(a), &n = static_cast<const AcDbMText&>(b);
             EXPECT_EQ(n.contentsW(), m.contentsW());
             EXPECT_EQ(n.attachment(), AcDbMText::kMiddleCenter);
             EXPECT_NEAR(n.rotation(), M_PI / 4, 1e-12);
         }},
        {"insert", insert,
         [](const AcDbEntity&, const AcDbEntity& b) {
             auto& r = static_cast<const AcDbBlockReference&>(b);
             EXPECT_EQ(std::wstring(r.blockName()), L"BOLT");
             EXPECT_TRUE(r.scaleFactors() == AcGeScale3d(2, -2, 1));
             EXPECT_FALSE(AcDbMInsertBlock::cast(&b));
         }},
        {"minsert", minsert,
         [](const AcDbEntity&, const AcDbEntity& b) {
             auto* m = AcDbMInsertBlock::cast(&b);
             ASSERT_TRUE(m);
             EXPECT_EQ(m->columns(), 3);
             EXPECT_EQ(m->rowSpacing(), -4);
         }},
        {"rotated dimension",
         [] {
             return dimensionWith<AcDbRotatedDimension>([](AcDbRotatedDimension& d) {
                 d.setXLine1Point({0, 0, 0});
                 d.setXLine2Point({10, 3, 0});
                 d.setDimLinePoint({0, 8, 0});
                 d.setRotation(0.3);
             });
         },
         [](const AcDbEntity&, const AcDbEntity& b) {
             EXPECT_TRUE(AcDbRotatedDimension::cast(&b));
             EXPECT_NEAR(static_cast<const AcDbRotatedDimension&>(b).rotation(), 0.3, 1e-12);
         }},
        {"aligned dimension",
         [] {
             return dimensionWith<AcDbAlignedDimension>([](AcDbAlignedDimension& d) {
                 d.setXLine2Point({4, 3, 0});
                 d.setOblique(0.1);
             });
         },
         [](const AcDbEntity&, const AcDbEntity& b) {
             EXPECT_TRUE(AcDbAlignedDimension::cast(&b) && !AcDbRotatedDimension::cast(&b));
         }},
        {"2-line angular dimension",
         [] {
             return dimensionWith<AcDb2LineAngularDimension>([](AcDb2LineAngularDimension& d) {
                 d.setXLine1Start({0, 0, 0});
                 d.setXLine1End({5, 0, 0});
                 d.setXLine2Start({0, 0, 0});
                 d.setXLine2End({0, 5, 0});
                 d.setArcPoint({2, 2, 0});
             });
         },
         [](const AcDbEntity&, const AcDbEntity& b) {
             auto* d = AcDb2LineAngularDimension::cast(&b);
             ASSERT_TRUE(d);
             expectSamePoint(d->arcPoint(), AcGePoint3d(2, 2, 0));
         }},
        {"3-point angular dimension",
         [] {
             return dimensionWith<AcDb3PointAngularDimension>([](AcDb3PointAngularDimension& d) {
                 d.setCenterPoint({1, 1, 0});
                 d.setXLine1Point({5, 1, 0});
                 d.setXLine2Point({1, 5, 0});
                 d.setArcPoint({3, 3, 0});
             });
         },
         [](const AcDbEntity&, const AcDbEntity& b) {
             EXPECT_TRUE(AcDb3PointAngularDimension::cast(&b));
         }},
        {"radial dimension",
         [] {
             return dimensionWith<AcDbRadialDimension>([](AcDbRadialDimension& d) {
                 d.setChordPoint({3, 4, 0});
                 d.setLeaderLength(2);
             });
         },
         [](const AcDbEntity&, const AcDbEntity& b) {
             EXPECT_EQ(static_cast<const AcDbRadialDimension&>(b).leaderLength(), 2);
         }},
        {"diametric dimension",
         [] {
             return dimensionWith<AcDbDiametricDimension>([](AcDbDiametricDimension& d) {
                 d.setChordPoint({3, 4, 0});
                 d.setFarChordPoint({-3, -4, 0});
             });
         },
         [](const AcDbEntity&, const AcDbEntity& b) {
             EXPECT_TRUE(AcDbDiametricDimension::cast(&b));
         }},
        {"ordinate dimension",
         [] {
             return dimensionWith<AcDbOrdinateDimension>([](AcDbOrdinateDimension& d) {
                 d.useXAxis();
                 d.setDefiningPoint({7, 2, 0});
                 d.setLeaderEndPoint({7, 9, 0});
             });
         },
         [](const AcDbEntity&, const AcDbEntity& b) {
             auto* d = AcDbOrdinateDimension::cast(&b);
             ASSERT_TRUE(d);
             EXPECT_TRUE(d->isUsingXAxis());
         }},
        {"leader", leader,
         [](const AcDbEntity&, const AcDbEntity& b) {
             auto& l = static_cast<const AcDbLeader&>(b);
             EXPECT_EQ(l.numVertices(), 3);
             EXPECT_FALSE(l.hasArrowHead());
             expectSamePoint(l.lastVertex(), AcGePoint3d(9, 5, 0));
         }},
        {"hatch", hatch,
         [](const AcDbEntity& a, const AcDbEntity& b) {
             auto &h = static_cast<const AcDbHatch&>(a), &k = static_cast<const AcDbHatch&>(b);
             ASSERT_EQ(k.numLoops(), 2);
             EXPECT_TRUE(k.loopAt(0) == h.loopAt(0));
             EXPECT_TRUE(k.loopAt(1) == h.loopAt(1));
             EXPECT_EQ(k.numPatternDefinitions(), 2);
             EXPECT_TRUE(k.patternDefinitionAt(1) == h.patternDefinitionAt(1));
             EXPECT_EQ(k.numSeedPoints(), 1);
             EXPECT_FALSE(k.isSolidFill());
         }},
    };
    return all;
}

class EntityRoundTrip : public ::testing::TestWithParam<size_t> {};

TEST_P(EntityRoundTrip, GroupsReadBackGiveTheSameEntity) {
    const RoundTripCase& c = cases()[GetParam()];
    std::unique_ptr<AcDbEntity> original = c.make();
    Groups written = groupsOf(*original);
    std::string type = original->schema().dxfName;
    std::unique_ptr<AcDbObject> back = readObject(type, written);
    ASSERT_TRUE(back) << c.name;
    EXPECT_EQ(back->isA(), original->isA()) << c.name;
    Groups again = groupsOf(*back);
    EXPECT_TRUE(sameGroups(written, again))
        << c.name << "\nfirst:  " << describe(written) << "\nsecond: " << describe(again);
    EXPECT_TRUE(back->unknownGroups().empty()) << c.name << ": a written group was not read";
    c.check(*original, static_cast<const AcDbEntity&>(*back));
}

INSTANTIATE_TEST_SUITE_P(Kinds, EntityRoundTrip, ::testing::Range<size_t>(0, cases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             std::string n = cases()[info.param].name;
                             for (char& ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return n;
                         });

} // namespace
