// DXF filters through acedSSGet "X": a table of filter lists and the entities each selects
// from one small drawing, and the lists that are refused.
#include "core/resbuf.h"
#include "selection_fixture.h"

using namespace zel::editor;

namespace {

class SelectionFilterTest : public SelectionTest {
protected:
    // line1: layer "0", ByLayer; line2: layer "WALL", red, linetype DASHED, xdata of ZEL_APP;
    // circle: layer "WALL-2", colour 3, radius 5; arc: layer "door", radius 20, ByLayer;
    // text: "ABC", height 2.5; insert of block "BOLT" at (100,50).
    void SetUp() override {
        layer(L"WALL");
        layer(L"WALL-2");
        layer(L"door");
        line1 = line(0, 0, 10, 0);
        auto* l2 = new AcDbLine({0, 10, 0}, {10, 10, 0});
        l2->setLayer(L"WALL");
        l2->setColorIndex(1);
        ZelGroupValue v;
        v.code = 1000;
        v.text = L"tag";
        l2->setXDataGroups({{L"ZEL_APP", {v}}});
        line2 = add(l2);
        auto* c = new AcDbCircle({50, 0, 0}, {0, 0, 1}, 5);
        c->setLayer(L"WALL-2");
        c->setColorIndex(3);
        circle = add(c);
        auto* a = new AcDbArc({0, 0, 0}, 20, 0, 1);
        a->setLayer(L"door");
        arc = add(a);
        text = add(new AcDbText({0, -10, 0}, L"ABC", AcDbObjectId::kNull, 2.5));
        AcDbObjectId b = block(L"BOLT");
        line(0, 0, 1, 1, b);
        insert = add(new AcDbBlockReference({100, 50, 0}, b));
    }

    // The entities "X" selects with the filter; nullopt when acedSSGet refused it.
    std::optional<EntityIds> select(const resbuf* filter) {
        ads_name ss;
        int rc = acedSSGet(L"X", nullptr, nullptr, filter, ss);
        if (rc == RTERROR) return EntityIds{}; // nothing selected
        if (rc != RTNORM) return std::nullopt;
        EntityIds ids = idsOf(ss);
        acedSSFree(ss);
        return ids;
    }

    AcDbObjectId line1, line2, circle, arc, text, insert;
};

using zel::core::RbPtr;

TEST_F(SelectionFilterTest, FilterTable) {
    struct Case {
        const char* name;
        RbPtr filter;
        EntityIds expected;
    };
    ads_point origin = {0, 0, 0}, right = {50, 0, 0};
    std::vector<Case> cases;
    auto add = [&](const char* name, resbuf* f, EntityIds e) {
        cases.push_back({name, RbPtr(f), std::move(e)});
    };
    add("type", acutBuildList(RTDXF0, L"LINE", 0), {line1, line2});
    add("type, any case, alternatives", acutBuildList(RTDXF0, L"line,Circle", 0),
        {line1, line2, circle});
    add("type wildcard", acutBuildList(RTDXF0, L"*C*", 0), {circle, arc});
    add("layer wildcard", acutBuildList(8, L"WALL*", 0), {line2, circle});
    add("layer by digit pattern", acutBuildList(8, L"WALL-#", 0), {circle});
    add("layer negated", acutBuildList(8, L"~WALL*", 0), {line1, arc, text, insert});
    add("colour", acutBuildList(62, 1, 0), {line2});
    add("ByLayer colour (group left out of the list)", acutBuildList(62, 256, 0),
        {line1, arc, text, insert});
    add("linetype ByLayer", acutBuildList(6, L"BYLAYER", 0),
        {line1, line2, circle, arc, text, insert});
    add("block name", acutBuildList(2, L"BOLT", 0), {insert});
    add("xdata application", acutBuildList(-3, 1001, L"ZEL_APP", 0), {line2});
    add("xdata application alone", acutBuildList(1001, L"ZEL*", 0), {line2});
    add("two groups: both must pass", acutBuildList(RTDXF0, L"LINE", 8, L"0", 0), {line1});
    add("radius greater than", acutBuildList(-4, L">", 40, 10.0, 0), {arc});
    add("radius (and text height) at most", acutBuildList(-4, L"<=", 40, 5.0, 0), {circle, text});
    add("colour not equal", acutBuildList(-4, L"!=", 62, 256, 0), {line2, circle});
    add("colour bits in common", acutBuildList(-4, L"&", 62, 1, 0), {line2, circle});
    add("colour has all the bits", acutBuildList(-4, L"&=", 62, 3, 0), {circle});
    add("centre per coordinate", acutBuildList(-4, L">,*,*", 10, right, 0), {insert});
    add("centre equal", acutBuildList(10, origin, RTDXF0, L"ARC", 0), {arc});
    add("or", acutBuildList(-4, L"<OR", RTDXF0, L"TEXT", 62, 3, -4, L"OR>", 0), {circle, text});
    add("not", acutBuildList(-4, L"<NOT", RTDXF0, L"LINE", -4, L"NOT>", 0),
        {circle, arc, text, insert});
    add("xor", acutBuildList(-4, L"<XOR", 8, L"WALL*", RTDXF0, L"LINE", -4, L"XOR>", 0),
        {line1, circle});
    add("and inside or",
        acutBuildList(-4, L"<OR", -4, L"<AND", RTDXF0, L"LINE", 8, L"WALL", -4, L"AND>", RTDXF0,
                      L"ARC", -4, L"OR>", 0),
        {line2, arc});
    add("nothing passes", acutBuildList(RTDXF0, L"SPLINE", 0), {});
    for (const Case& c : cases) {
        std::optional<EntityIds> got = select(c.filter.get());
        ASSERT_TRUE(got) << c.name;
        EXPECT_EQ(*got, c.expected) << c.name;
    }
}

TEST_F(SelectionFilterTest, MalformedListsAreRefused) {
    const RbPtr bad[] = {
        RbPtr(acutBuildList(-4, L"<OR", RTDXF0, L"LINE", 0)),                // not closed
        RbPtr(acutBuildList(-4, L"<NOT", 8, L"A", 8, L"B", -4, L"NOT>", 0)), // two operands
        RbPtr(acutBuildList(-4, L"<XOR", 8, L"A", -4, L"XOR>", 0)),          // one operand
        RbPtr(acutBuildList(-4, L"~~", 62, 1, 0)),                           // no such operator
        RbPtr(acutBuildList(-4, L">", 0)),                                   // nothing after
        RbPtr(acutBuildList(-3, 62, 1, 0)),                                  // no application
    };
    for (const RbPtr& f : bad) {
        ads_name ss;
        EXPECT_EQ(acedSSGet(L"X", nullptr, nullptr, f.get(), ss), RTERROR);
    }
}

} // namespace
