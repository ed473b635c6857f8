// Schemas: groups written and read back give the same object; what a kind does not model
// (unknown groups, application groups, xdata, unknown kinds) comes back unchanged; files
// without subclass markers read; the registry refuses a type twice.
#include "arx/db.h"
#include "db/schema.h"

#include <gtest/gtest.h>

namespace {

using zel::db::GroupReader;
using zel::db::writeGroups;

std::vector<ZelGroupValue> groupsOf(const AcDbObject& o, bool markers = true) {
    std::vector<ZelGroupValue> out;
    writeGroups(
        o, [&](const ZelGroupValue& v) { out.push_back(v); }, markers);
    return out;
}

std::unique_ptr<AcDbObject> readBack(const AcDbObject& o, const std::vector<ZelGroupValue>& g) {
    const zel::db::ObjectSchema& schema = o.schema();
    std::unique_ptr<AcDbObject> fresh = schema.create();
    GroupReader reader(*fresh);
    for (const ZelGroupValue& v : g)
        reader.take(v);
    reader.finish();
    return fresh;
}

ZelGroupValue text(int16_t code, const wchar_t* t) {
    ZelGroupValue v;
    v.code = code;
    v.text = t;
    return v;
}
ZelGroupValue real(int16_t code, double r) {
    ZelGroupValue v;
    v.code = code;
    v.real = r;
    return v;
}
ZelGroupValue point(int16_t code, double x, double y, double z) {
    ZelGroupValue v;
    v.code = code;
    v.point = AcGePoint3d(x, y, z);
    return v;
}
ZelGroupValue integer(int16_t code, int64_t i) {
    ZelGroupValue v;
    v.code = code;
    v.integer = i;
    return v;
}

std::vector<std::unique_ptr<AcDbEntity>> sampleEntities() {
    std::vector<std::unique_ptr<AcDbEntity>> out;
    auto line = std::make_unique<AcDbLine>(AcGePoint3d(1, 2, 3), AcGePoint3d(4, 5, 6));
    line->setThickness(2);
    line->setColorIndex(1);
    out.push_back(std::move(line));
    out.push_back(std::make_unique<AcDbCircle>(AcGePoint3d(1, 1, 0), AcGeVector3d(0, 1, 1), 4));
    out.push_back(std::make_unique<AcDbArc>(AcGePoint3d(-1, 1, 0), 2, 0.25, 5.5));
    out.push_back(std::make_unique<AcDbEllipse>(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis,
                                                AcGeVector3d(0, 5, 0), 0.3, 1, 2));
    auto pt = std::make_unique<AcDbPoint>(AcGePoint3d(7, 8, 9));
    pt->setEcsRotation(0.5);
    out.push_back(std::move(pt));
    auto x = std::make_unique<AcDbXline>();
    x->setBasePoint({1, 1, 0});
    x->setUnitDir({1, 1, 0});
    out.push_back(std::move(x));
    out.push_back(std::make_unique<AcDbRay>());
    out.push_back(std::make_unique<AcDbSolid>(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0),
                                              AcGePoint3d(0, 1, 0)));
    out.push_back(std::make_unique<AcDbTrace>());
    auto face = std::make_unique<AcDbFace>(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0),
                                           AcGePoint3d(1, 1, 1), AcGePoint3d(0, 1, 1));
    face->setEdgeFlags(3);
    out.push_back(std::move(face));
    return out;
}

TEST(Schema, SimpleKindsReadBackWhatTheyWrite) {
    for (const auto& e : sampleEntities()) {
        SCOPED_TRACE(std::string(e->dxfName()));
        std::vector<ZelGroupValue> groups = groupsOf(*e);
        std::unique_ptr<AcDbObject> back = readBack(*e, groups);
        EXPECT_TRUE(back->unknownGroups().empty());
        EXPECT_EQ(groupsOf(*back), groups);
        // Registered under their DXF name.
        EXPECT_EQ(zel::db::SchemaRegistry::instance().find(e->dxfName()), &e->schema());
    }
}

TEST(Schema, UnknownGroupsAppGroupsAndXDataAreKeptInTheirPlaces) {
    const std::vector<ZelGroupValue> file = {integer(5, 0x2A),
                                             text(102, L"{SOMEAPP"),
                                             text(1, L"inside"),
                                             text(102, L"}"),
                                             text(102, L"{ACAD_REACTORS"),
                                             integer(330, 0x40),
                                             text(102, L"}"),
                                             text(102, L"{ACAD_XDICTIONARY"),
                                             integer(360, 0x41),
                                             text(102, L"}"),
                                             integer(330, 0x1F),
                                             text(100, L"AcDbEntity"),
                                             text(8, L"Kakou"),
                                             integer(92, 1),
                                             integer(62, 5),
                                             text(100, L"AcDbLine"),
                                             point(10, 1, 2, 0),
                                             integer(90, 7),
                                             point(11, 3, 4, 0),
                                             text(100, L"AcDbNewerSubclass"),
                                             integer(91, 12),
                                             text(1001, L"ZEL"),
                                             text(1000, L"x"),
                                             point(1010, 1, 2, 3)};
    AcDbLine line;
    GroupReader reader(line);
    for (const ZelGroupValue& v : file)
        reader.take(v);
    reader.finish();
    EXPECT_EQ(reader.handle().value(), 0x2Au);
    EXPECT_EQ(line.ownerHandle().value(), 0x1Fu);
    EXPECT_EQ(line.xDictionaryHandle().value(), 0x41u);
    ASSERT_EQ(line.reactorHandles().size(), 1u);
    EXPECT_STREQ(line.layer(), L"Kakou");
    EXPECT_EQ(line.endPoint(), AcGePoint3d(3, 4, 0));
    ASSERT_EQ(line.xDataGroups().size(), 1u);
    EXPECT_EQ(line.xDataGroups()[0].values.size(), 2u);
    // Codes the kind does not have stay unknown, as do the unknown subclass and its group.
    EXPECT_EQ(line.unknownGroups().size(), 4u);
    std::vector<ZelGroupValue> written = groupsOf(line);
    std::vector<ZelGroupValue> expected = file;
    expected.erase(expected.begin()); // the handle comes from the database, not the object
    // Known fields come first in each subclass, unknown groups after them.
    auto at = [&](int16_t code) {
        return std::find_if(written.begin(), written.end(),
                            [&](const ZelGroupValue& v) { return v.code == code; }) -
               written.begin();
    };
    EXPECT_LT(at(62), at(92));
    EXPECT_LT(at(92), at(10));
    EXPECT_LT(at(11), at(90));
    EXPECT_LT(at(90), at(91));
    EXPECT_EQ(written.size(), expected.size());
    for (const ZelGroupValue& v : expected)
        EXPECT_NE(std::find(written.begin(), written.end(), v), written.end()) << v.code;
}

TEST(Schema, FilesWithoutSubclassMarkersRead) {
    // As R12 files have them: no markers, no handles, angles in degrees.
    const std::vector<ZelGroupValue> r12 = {text(8, L"0"),   point(10, 1, 1, 0), real(40, 2),
                                            real(50, 90),    real(51, 180),      integer(62, 3),
                                            integer(1234, 0)};
    AcDbArc arc;
    GroupReader reader(arc);
    for (const ZelGroupValue& v : r12)
        reader.take(v);
    reader.finish();
    EXPECT_DOUBLE_EQ(arc.radius(), 2);
    EXPECT_NEAR(arc.startAngle(), M_PI / 2, 1e-15);
    EXPECT_NEAR(arc.endAngle(), M_PI, 1e-15);
    EXPECT_EQ(arc.colorIndex(), 3);
    ASSERT_EQ(arc.unknownGroups().size(), 1u);
    EXPECT_EQ(arc.unknownGroups()[0].value.code, 1234);
}

TEST(Schema, ValuesOutOfRangeInAFileAreReadAsTheyAre) {
    // A file is kept as it is; only entity data lists are checked.
    AcDbCircle circle;
    GroupReader reader(circle);
    reader.take(real(40, -3));
    reader.finish();
    EXPECT_EQ(circle.radius(), -3);
    EXPECT_TRUE(circle.unknownGroups().empty());
    AcDbCircle listed;
    GroupReader strict(listed, zel::db::kEntityListStyle);
    strict.take(real(40, -3));
    EXPECT_FALSE(strict.ok());
    EXPECT_EQ(listed.radius(), 1);
}

TEST(Schema, RawObjectsKeepEveryGroupInOrder) {
    const std::vector<ZelGroupValue> file = {integer(330, 0xC),
                                             text(100, L"AcDbPlotSettings"),
                                             text(1, L""),
                                             real(40, 7.5),
                                             text(100, L"AcDbLayout"),
                                             text(1, L"Layout1"),
                                             integer(330, 0x1E),
                                             integer(71, 1)};
    AcDbRawObject raw("LAYOUT");
    GroupReader reader(raw);
    for (const ZelGroupValue& v : file)
        reader.take(v);
    reader.finish();
    EXPECT_EQ(raw.dxfName(), "LAYOUT");
    EXPECT_EQ(raw.ownerHandle().value(), 0xCu);
    std::vector<ZelGroupValue> written = groupsOf(raw);
    EXPECT_EQ(written, file);
    // A raw entity still has its common properties.
    AcDbRawEntity shape("ZELSHAPE");
    GroupReader r2(shape);
    for (const ZelGroupValue& v : {text(100, L"AcDbEntity"), text(8, L"Hidden"), integer(62, 2),
                                   text(100, L"AcDbZelShape"), real(40, 1)})
        r2.take(v);
    EXPECT_STREQ(shape.layer(), L"Hidden");
    EXPECT_EQ(shape.colorIndex(), 2);
    ASSERT_EQ(shape.unknownGroups().size(), 2u);
}

TEST(Schema, DimStyleKeepsEveryVariable) {
    AcDbDimStyleTableRecord style;
    GroupReader reader(style);
    const std::vector<ZelGroupValue> groups = {integer(105, 0x27),
                                               text(100, L"AcDbSymbolTableRecord"),
                                               text(100, L"AcDbDimStyleTableRecord"),
                                               text(2, L"JIS"),
                                               integer(70, 0),
                                               real(41, 3),
                                               real(140, 3.5),
                                               integer(77, 1),
                                               integer(340, 0x11),
                                               text(3, L"<>mm")};
    for (const ZelGroupValue& v : groups)
        reader.take(v);
    EXPECT_EQ(reader.handle().value(), 0x27u);
    EXPECT_EQ(style.name(), L"JIS");
    EXPECT_EQ(style.dimasz(), 3);
    EXPECT_EQ(style.dimtxt(), 3.5);
    EXPECT_EQ(style.dimtad(), 1);
    EXPECT_EQ(style.dimtxstyHandle().value(), 0x11u);
    EXPECT_EQ(style.dimgap(), 0.09) << "unset: the DXF default";
    EXPECT_EQ(style.textVar(3, L""), L"<>mm");
    std::vector<ZelGroupValue> expected(groups.begin() + 1, groups.end());
    EXPECT_EQ(groupsOf(style), expected);
}

TEST(Schema, LinetypePatternElements) {
    AcDbLinetypeTableRecord lt;
    const std::vector<ZelGroupValue> groups = {text(100, L"AcDbSymbolTableRecord"),
                                               text(100, L"AcDbLinetypeTableRecord"),
                                               text(2, L"GAS"),
                                               integer(70, 0),
                                               text(3, L"Gas line"),
                                               integer(72, 65),
                                               integer(73, 3),
                                               real(40, 1.5),
                                               real(49, 1.0),
                                               integer(74, 0),
                                               real(49, -0.25),
                                               integer(74, 2),
                                               integer(75, 0),
                                               integer(340, 0x11),
                                               real(46, 0.1),
                                               real(50, 0),
                                               real(44, -0.1),
                                               real(45, -0.05),
                                               text(9, L"GAS"),
                                               real(49, -0.25),
                                               integer(74, 0)};
    GroupReader reader(lt);
    for (const ZelGroupValue& v : groups)
        reader.take(v);
    reader.finish();
    ASSERT_EQ(lt.numDashes(), 3);
    EXPECT_EQ(lt.patternLength(), 1.5);
    EXPECT_EQ(lt.dashes()[1].text, L"GAS");
    EXPECT_EQ(lt.dashes()[1].style.value(), 0x11u);
    EXPECT_EQ(groupsOf(lt), groups);
}

TEST(Schema, RegistryRefusesADuplicateType) {
    zel::db::SchemaRegistry fresh;
    const zel::db::ObjectSchema& line = AcDbLine::kindSchema();
    EXPECT_TRUE(fresh.add(line));
    EXPECT_EQ(fresh.find("LINE"), &line);
    EXPECT_EQ(fresh.find("NOSUCH"), nullptr);
#ifdef NDEBUG
    EXPECT_FALSE(fresh.add(line));
#else
    EXPECT_DEATH(fresh.add(line), "registered twice");
#endif
}

} // namespace
