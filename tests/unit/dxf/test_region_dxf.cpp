// REGION in files: regions written and read back keep their loops; a region whose modeler
// data is not a planar face the host reads, and one whose data lives in the ACDSDATA section
// (files of 2013 and later), come back byte for byte.
#include "arx/dbregion.h"
#include "db/database_impl.h"
#include "db/ents/region_sat.h"
#include "dxf/dxf.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zel::dxf {
namespace {

ZelRegionLoop rectLoop(double x0, double y0, double x1, double y1) {
    AcGePoint2d a(x0, y0), b(x1, y0), c(x1, y1), d(x0, y1);
    return {{ZelRegionEdge::line(a, b), ZelRegionEdge::line(b, c), ZelRegionEdge::line(c, d),
             ZelRegionEdge::line(d, a)}};
}

void append(AcDbDatabase& db, std::unique_ptr<AcDbEntity> e) {
    AcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    ASSERT_EQ(space->appendAcDbEntity(id, e.get()), Acad::eOk);
    e.release()->close();
    space->close();
}

std::vector<const AcDbRegion*> regionsOf(const AcDbDatabase& db) {
    std::vector<const AcDbRegion*> out;
    auto* space = db::peekAs<AcDbBlockTableRecord>(db.modelSpaceId());
    for (AcDbObjectId id : space->entityIds())
        if (auto* r = db::peekAs<AcDbRegion>(id)) out.push_back(r);
    return out;
}

// The text of the file from the line "REGION" to the next entity.
std::string regionText(const std::string& file) {
    size_t at = file.find("\nREGION\n");
    if (at == std::string::npos) return {};
    size_t end = file.find("\n  0\n", at + 1);
    return file.substr(at, end - at);
}

TEST(RegionFiles, WrittenRegionsReadBackWithTheirLoops) {
    AcDbDatabase db;
    std::vector<std::vector<ZelRegionLoop>> shapes = {
        {rectLoop(0, 0, 100, 60), {{ZelRegionEdge::arc(AcGePoint2d(30, 30), 10, 1, 2 * M_PI)}}},
        {{{ZelRegionEdge::line(AcGePoint2d(0, 0), AcGePoint2d(40, 0)),
           ZelRegionEdge::ellipticArc(AcGePoint2d(20, 0), AcGeVector2d(20, 0), 0.25, 0, M_PI)}}},
    };
    for (const auto& loops : shapes) {
        auto r = std::make_unique<AcDbRegion>();
        ASSERT_EQ(r->setLoops(AcGeVector3d(0, 0, 1), 3, loops), Acad::eOk);
        r->setColorIndex(5);
        append(db, std::move(r));
    }
    std::string file = writeDxfBuffer(db);
    EXPECT_NE(file.find("100\nAcDbModelerGeometry\n 70\n1\n  1\n"), std::string::npos);
    ReadResult back = readDxfBuffer(file);
    ASSERT_TRUE(back.ok()) << back.error;
    std::vector<const AcDbRegion*> before = regionsOf(db), after = regionsOf(*back.database);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        ASSERT_TRUE(after[i]->hasGeometry());
        EXPECT_EQ(after[i]->colorIndex(), 5);
        EXPECT_NEAR(after[i]->elevation(), 3, 1e-12);
        double a0 = 0, a1 = 0, p0 = 0, p1 = 0;
        before[i]->getArea(a0);
        after[i]->getArea(a1);
        before[i]->getPerimeter(p0);
        after[i]->getPerimeter(p1);
        EXPECT_NEAR(a1, a0, 1e-9 * a0);
        EXPECT_NEAR(p1, p0, 1e-9 * p0);
        ASSERT_EQ(after[i]->numLoops(), before[i]->numLoops());
        for (int l = 0; l < before[i]->numLoops(); ++l) {
            const ZelRegionLoop &x = before[i]->loopAt(l), &y = after[i]->loopAt(l);
            ASSERT_EQ(x.edges.size(), y.edges.size());
            for (size_t k = 0; k < x.edges.size(); ++k) {
                EXPECT_LE(x.edges[k].startPoint().distanceTo(y.edges[k].startPoint()), 1e-9);
                EXPECT_LE(x.edges[k].endPoint().distanceTo(y.edges[k].endPoint()), 1e-9);
            }
        }
    }
    // Written again unchanged, the modeler data is the same text.
    EXPECT_EQ(regionText(writeDxfBuffer(*back.database)), regionText(file));
}

// The modeler data of a face on a cone, as another program wrote it (encoded lines).
std::string foreignRegion() {
    std::vector<std::string> sat = {
        "700 0 1 0",
        "@8 Othercad @11 ACIS 7.0 NT @24 Mon Apr 12 13:59:03 1998",
        "1 9.9999999999999995e-07 1e-10",
        "body $-1 -1 $-1 $1 $-1 $-1 #",
        "lump $-1 -1 $-1 $-1 $2 $0 #",
        "shell $-1 -1 $-1 $-1 $-1 $3 $-1 $1 #",
        "face $-1 -1 $-1 $-1 $-1 $2 $-1 $4 forward double out #",
        "cone-surface $-1 -1 $-1 0 0 0 0 0 1 10 0 0 1 I I 0 1 10 forward I I I I #",
        "End-of-ACIS-data"};
    std::string out;
    for (const ZelGroupValue& g : db::sat::fileGroups(sat)) {
        out += (g.code == 1 ? "  1\n" : "  3\n");
        for (wchar_t c : g.text)
            out += char(c);
        out += "\n";
    }
    return out;
}

TEST(RegionFiles, DataNotUnderstoodIsKeptByteForByte) {
    std::string entity = "  0\nREGION\n  5\n2A\n330\n1F\n100\nAcDbEntity\n  8\nPARTS\n"
                         "100\nAcDbModelerGeometry\n 70\n1\n" +
                         foreignRegion();
    std::string file = "  0\nSECTION\n  2\nENTITIES\n" + entity + "  0\nENDSEC\n  0\nEOF\n";
    ReadResult r = readDxfBuffer(file);
    ASSERT_TRUE(r.ok()) << r.error;
    std::vector<const AcDbRegion*> regions = regionsOf(*r.database);
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_FALSE(regions[0]->hasGeometry());
    double area = 0;
    EXPECT_EQ(regions[0]->getArea(area), Acad::eNotApplicable);
    // Not understood, it cannot be moved (that would part it from its data).
    std::unique_ptr<AcDbObject> copy = regions[0]->cloneState();
    EXPECT_EQ(AcDbEntity::cast(copy.get())->transformBy(AcGeMatrix3d::translation({1, 0, 0})),
              Acad::eNotApplicable);
    std::string out = writeDxfBuffer(*r.database);
    size_t at = out.find("100\nAcDbModelerGeometry\n");
    ASSERT_NE(at, std::string::npos);
    std::string data = "100\nAcDbModelerGeometry\n 70\n1\n" + foreignRegion();
    EXPECT_EQ(out.substr(at, data.size()), data);
}

// Files of 2013 and later keep the modeler data in the ACDSDATA section, the entity only a
// flag and an id: both are kept as read.
TEST(RegionFiles, RegionsOfLaterFilesKeepTheirAcdsdata) {
    std::string acds = "  0\nSECTION\n  2\nACDSDATA\n 70\n2\n 71\n6\n"
                       "  0\nACDSRECORD\n 90\n0\n  2\nAcDbDs::ID\n280\n10\n320\n2A\n"
                       "  2\nASM_Data\n280\n15\n 94\n4\n310\n41424344\n  0\nENDSEC\n";
    std::string file = "  0\nSECTION\n  2\nENTITIES\n"
                       "  0\nREGION\n  5\n2A\n330\n1F\n100\nAcDbEntity\n  8\n0\n"
                       "100\nAcDbModelerGeometry\n290\n0\n  2\n"
                       "{00000000-0000-0000-0000-000000000000}\n  0\nENDSEC\n" +
                       acds + "  0\nEOF\n";
    ReadResult r = readDxfBuffer(file);
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(regionsOf(*r.database).size(), 1u);
    EXPECT_FALSE(regionsOf(*r.database)[0]->hasGeometry());
    std::string out = writeDxfBuffer(*r.database);
    EXPECT_NE(out.find("290\n0\n  2\n{00000000-0000-0000-0000-000000000000}\n"), std::string::npos);
    EXPECT_NE(out.find("  0\nACDSRECORD\n 90\n0\n  2\nAcDbDs::ID\n280\n10\n320\n2A\n"),
              std::string::npos);
    EXPECT_NE(out.find("310\n41424344\n"), std::string::npos);
    EXPECT_NE(out.find("\n  5\n2A\n"), std::string::npos) << "the handle the data names stays";
}

} // namespace
} // namespace zel::dxf
