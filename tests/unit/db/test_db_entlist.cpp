// Entity data lists: entmake/entget/entmod round trips per simple kind, refused changes,
// entity names, walking the drawing, registered applications and table searches.
#include "arx/db.h"
#include "core/resbuf.h"
#include "core/text.h"
#include "db/database_impl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using zel::core::RbBuilder;
using zel::core::RbPtr;

struct WorkingDrawing {
    AcDbDatabase db;
    WorkingDrawing() { zel::db::setWorkingDatabase(&db); }
    ~WorkingDrawing() { zel::db::setWorkingDatabase(nullptr); }
};

const resbuf* find(const resbuf* list, int code, int nth = 0) {
    for (const resbuf* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == code && nth-- == 0) return rb;
    return nullptr;
}

RbPtr lastEntityData() {
    ads_name name;
    EXPECT_EQ(acdbEntLast(name), RTNORM);
    return RbPtr(acdbEntGet(name));
}

// A value of a list as text, for comparisons that name the difference.
std::string valueOf(const resbuf* rb) {
    if (!rb) return "(missing)";
    RbPtr copy(zel::core::rbCopyNode(rb));
    return zel::core::wideToUtf8(zel::core::rbToLisp(copy.get()));
}

// Replaces (or appends) the group of a code in a list it owns.
void setGroup(RbPtr& list, RbPtr node) {
    resbuf* prev = nullptr;
    for (resbuf* rb = list.get(); rb; prev = rb, rb = rb->rbnext) {
        if (rb->restype != node->restype) continue;
        resbuf* n = node.release();
        n->rbnext = rb->rbnext;
        prev->rbnext = n;
        rb->rbnext = nullptr;
        acutRelRb(rb);
        return;
    }
    zel::core::rbLast(list.get())->rbnext = node.release();
}

RbPtr one(std::function<void(RbBuilder&)> add) {
    RbBuilder b;
    add(b);
    return b.take();
}

struct KindCase {
    const char* name;
    std::function<void(RbBuilder&)> make;   // groups after (0 . type)
    std::function<void(RbBuilder&)> change; // one group with a new value
    std::function<void(RbBuilder&)> bad;    // a group entmod must refuse
};

const KindCase kKinds[] = {
    {"LINE", [](RbBuilder& b) { b.addPoint(10, 1, 2, 0).addPoint(11, 4, 6, 0); },
     [](RbBuilder& b) { b.addPoint(11, 7, 8, 0); }, [](RbBuilder& b) { b.addReal(40, 1.0); }},
    {"CIRCLE", [](RbBuilder& b) { b.addPoint(10, 5, 5, 0).addReal(40, 5); },
     [](RbBuilder& b) { b.addReal(40, 2.5); }, [](RbBuilder& b) { b.addReal(40, -1.0); }},
    {"ARC",
     [](RbBuilder& b) { b.addPoint(10, 0, 0, 0).addReal(40, 3).addReal(50, 0.5).addReal(51, 2); },
     [](RbBuilder& b) { b.addReal(51, 3.0); }, [](RbBuilder& b) { b.addShort(62, 300); }},
    {"ELLIPSE",
     [](RbBuilder& b) {
         b.addPoint(10, 1, 1, 0)
             .addPoint(11, 3, 0, 0)
             .addReal(40, 0.5)
             .addReal(41, 0)
             .addReal(42, M_PI);
     },
     [](RbBuilder& b) { b.addReal(40, 0.25); }, [](RbBuilder& b) { b.addReal(40, 2.0); }},
    {"POINT", [](RbBuilder& b) { b.addPoint(10, 3, 4, 5); },
     [](RbBuilder& b) { b.addPoint(10, -3, -4, 0); },
     [](RbBuilder& b) { b.addPoint(11, 1, 1, 0); }},
    {"XLINE", [](RbBuilder& b) { b.addPoint(10, 0, 0, 0).addPoint(11, 1, 0, 0); },
     [](RbBuilder& b) { b.addPoint(11, 0, 1, 0); }, [](RbBuilder& b) { b.addPoint(11, 0, 0, 0); }},
    {"RAY", [](RbBuilder& b) { b.addPoint(10, 2, 2, 0).addPoint(11, 0, -1, 0); },
     [](RbBuilder& b) { b.addPoint(10, 9, 9, 0); }, [](RbBuilder& b) { b.addString(1, L"x"); }},
    {"SOLID",
     [](RbBuilder& b) {
         b.addPoint(10, 0, 0, 0).addPoint(11, 1, 0, 0).addPoint(12, 0, 1, 0).addPoint(13, 1, 1, 0);
     },
     [](RbBuilder& b) { b.addPoint(12, 0, 2, 0); }, [](RbBuilder& b) { b.addPoint(210, 0, 0, 0); }},
    {"TRACE",
     [](RbBuilder& b) {
         b.addPoint(10, 0, 0, 0).addPoint(11, 2, 0, 0).addPoint(12, 0, 1, 0).addPoint(13, 2, 1, 0);
     },
     [](RbBuilder& b) { b.addPoint(10, -1, 0, 0); }, [](RbBuilder& b) { b.addShort(370, 7); }},
    {"3DFACE",
     [](RbBuilder& b) {
         b.addPoint(10, 0, 0, 0).addPoint(11, 1, 0, 1).addPoint(12, 1, 1, 2).addPoint(13, 0, 1, 3);
     },
     [](RbBuilder& b) { b.addPoint(13, 0, 2, 3); }, [](RbBuilder& b) { b.addReal(48, 0); }},
};

class EntityListKinds : public testing::TestWithParam<KindCase> {};

TEST_P(EntityListKinds, MakeGetModifyAndRefuse) {
    const KindCase& k = GetParam();
    WorkingDrawing w;
    RbBuilder make;
    make.addString(0, std::wstring(k.name, k.name + strlen(k.name))).addString(8, L"Parts");
    make.addShort(62, 3);
    k.make(make);
    RbPtr given = make.take();
    ASSERT_EQ(acdbEntMake(given.get()), RTNORM);
    RbPtr got = lastEntityData();
    ASSERT_TRUE(got);
    // Every given group comes back with its value (angles in radians, points as given).
    for (const resbuf* g = given.get(); g; g = g->rbnext)
        EXPECT_TRUE(zel::core::rbNodeEqual(g, find(got.get(), g->restype), 1e-12))
            << k.name << " group " << g->restype << ": " << valueOf(find(got.get(), g->restype));
    EXPECT_EQ(find(got.get(), -1)->restype, got->restype) << "the name comes first";
    EXPECT_EQ(got->rbnext->restype, 0);

    // A change of one group: the rest stays.
    RbPtr changed = zel::core::rbCopy(got.get());
    RbPtr node = one(k.change);
    int code = node->restype;
    setGroup(changed, std::move(node));
    ASSERT_EQ(acdbEntMod(changed.get()), RTNORM) << k.name;
    RbPtr after = lastEntityData();
    EXPECT_TRUE(zel::core::rbEqual(after.get(), changed.get(), 1e-12))
        << k.name << " group " << code << "\n"
        << valueOf(find(after.get(), code));

    // A bad group: refused, nothing changed.
    RbPtr bad = zel::core::rbCopy(after.get());
    setGroup(bad, one(k.bad));
    EXPECT_EQ(acdbEntMod(bad.get()), RTERROR) << k.name;
    RbPtr still = lastEntityData();
    EXPECT_TRUE(zel::core::rbEqual(still.get(), after.get())) << k.name;
    EXPECT_EQ(zel::db::openObjectCount(w.db), 0);
}

INSTANTIATE_TEST_SUITE_P(Simple, EntityListKinds, testing::ValuesIn(kKinds),
                         [](const testing::TestParamInfo<KindCase>& i) {
                             std::string n = i.param.name;
                             return n == "3DFACE" ? std::string("FACE3D") : n;
                         });

TEST(EntityList, HeadOfTheListIsNameTypeOwnerHandle) {
    WorkingDrawing w;
    RbPtr line = one(
        [](RbBuilder& b) { b.addString(0, L"LINE").addPoint(10, 0, 0, 0).addPoint(11, 1, 0, 0); });
    ads_name name;
    ASSERT_EQ(acdbEntMakeX(line.get(), name), RTNORM);
    RbPtr got(acdbEntGet(name));
    AcDbObjectId id;
    ASSERT_EQ(acdbGetObjectId(id, name), Acad::eOk);
    const int order[] = {-1, 0, 330, 5, 100};
    const resbuf* rb = got.get();
    for (int code : order) {
        ASSERT_TRUE(rb);
        EXPECT_EQ(rb->restype, code);
        rb = rb->rbnext;
    }
    AcDbObjectId owner;
    ASSERT_EQ(acdbGetObjectId(owner, find(got.get(), 330)->resval.rlname), Acad::eOk);
    EXPECT_EQ(owner, w.db.modelSpaceId());
    EXPECT_EQ(std::wstring(find(got.get(), 5)->resval.rstring), id.handle().text());
    EXPECT_STREQ(find(got.get(), 100, 1)->resval.rstring, L"AcDbLine");
}

TEST(EntityList, GarbageNamesAreRefusedWithoutCrash) {
    WorkingDrawing w;
    RbPtr line = one([](RbBuilder& b) { b.addString(0, L"LINE").addPoint(11, 1, 0, 0); });
    ads_name good;
    ASSERT_EQ(acdbEntMakeX(line.get(), good), RTNORM);
    int64_t stack = 0;
    const ads_name names[] = {{0, 0},
                              {12345, good[1]},
                              {good[0] + 8, good[1]},
                              {good[0], good[1] + 1},
                              {int64_t(reinterpret_cast<intptr_t>(&stack)), good[1]},
                              {-1, -1}};
    for (const auto& n : names) {
        AcDbObjectId id;
        EXPECT_EQ(acdbGetObjectId(id, n), Acad::eInvalidAdsName);
        EXPECT_EQ(acdbEntGet(n), nullptr);
        EXPECT_EQ(acdbEntDel(n), RTERROR);
        ads_name next;
        if (!ads_name_nil(n)) {
            EXPECT_EQ(acdbEntNext(n, next), RTERROR);
        }
    }
    ads_name stale;
    {
        AcDbDatabase other;
        zel::db::setWorkingDatabase(&other);
        ASSERT_EQ(acdbEntMakeX(line.get(), stale), RTNORM);
        zel::db::setWorkingDatabase(&w.db);
    }
    EXPECT_EQ(acdbEntGet(stale), nullptr) << "a name of a closed drawing";
}

TEST(EntityList, TypeNeverChangesAndLayersAreMade) {
    WorkingDrawing w;
    RbPtr line = one([](RbBuilder& b) { b.addString(0, L"LINE").addPoint(11, 1, 0, 0); });
    ASSERT_EQ(acdbEntMake(line.get()), RTNORM);
    RbPtr got = lastEntityData();
    RbPtr asCircle = zel::core::rbCopy(got.get());
    setGroup(asCircle, one([](RbBuilder& b) { b.addString(0, L"CIRCLE"); }));
    EXPECT_EQ(acdbEntMod(asCircle.get()), RTERROR);
    RbPtr newLayer = zel::core::rbCopy(got.get());
    setGroup(newLayer, one([](RbBuilder& b) { b.addString(8, L"Center"); }));
    ASSERT_EQ(acdbEntMod(newLayer.get()), RTNORM);
    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(w.db.getLayerTable(layers), Acad::eOk);
    EXPECT_TRUE(layers->has(L"CENTER"));
    layers->close();
    RbPtr badLinetype = zel::core::rbCopy(got.get());
    setGroup(badLinetype, one([](RbBuilder& b) { b.addString(6, L"NOSUCH"); }));
    EXPECT_EQ(acdbEntMod(badLinetype.get()), RTERROR);
}

TEST(EntityList, EntDelTogglesAndWalkSkipsErased) {
    WorkingDrawing w;
    ads_name names[3];
    for (int i = 0; i < 3; ++i) {
        RbPtr p = one([i](RbBuilder& b) { b.addString(0, L"POINT").addPoint(10, i, 0, 0); });
        ASSERT_EQ(acdbEntMakeX(p.get(), names[i]), RTNORM);
    }
    ASSERT_EQ(acdbEntDel(names[1]), RTNORM);
    ads_name next;
    ASSERT_EQ(acdbEntNext(names[0], next), RTNORM);
    EXPECT_TRUE(ads_name_equal(next, names[2]));
    EXPECT_EQ(acdbEntGet(names[1]), nullptr);
    ASSERT_EQ(acdbEntDel(names[1]), RTNORM);
    ASSERT_EQ(acdbEntNext(names[0], next), RTNORM);
    EXPECT_TRUE(ads_name_equal(next, names[1]));
    ads_name last;
    ASSERT_EQ(acdbEntDel(names[2]), RTNORM);
    ASSERT_EQ(acdbEntLast(last), RTNORM);
    EXPECT_TRUE(ads_name_equal(last, names[1]));
}

TEST(EntityList, WalkGoesIntoSubEntitiesOfComplexEntities) {
    WorkingDrawing w;
    RbPtr line = one([](RbBuilder& b) { b.addString(0, L"LINE").addPoint(11, 1, 0, 0); });
    ASSERT_EQ(acdbEntMake(line.get()), RTNORM);
    RbPtr pline = one([](RbBuilder& b) { b.addString(0, L"POLYLINE").addShort(66, 1); });
    ASSERT_EQ(acdbEntMake(pline.get()), RTNORM);
    for (int i = 0; i < 3; ++i) {
        RbPtr v = one([i](RbBuilder& b) { b.addString(0, L"VERTEX").addPoint(10, i, i * i, 0); });
        ASSERT_EQ(acdbEntMake(v.get()), RTNORM);
    }
    RbPtr seqend = one([](RbBuilder& b) { b.addString(0, L"SEQEND"); });
    ASSERT_EQ(acdbEntMake(seqend.get()), RTNORM);
    RbPtr circle = one([](RbBuilder& b) { b.addString(0, L"CIRCLE").addReal(40, 2); });
    ASSERT_EQ(acdbEntMake(circle.get()), RTNORM);

    std::vector<std::wstring> types;
    ads_name cur, next;
    ads_name_clear(cur);
    while (acdbEntNext(ads_name_nil(cur) ? nullptr : cur, next) == RTNORM) {
        RbPtr data(acdbEntGet(next));
        ASSERT_TRUE(data);
        types.push_back(find(data.get(), 0)->resval.rstring);
        ads_name_set(next, cur);
        ASSERT_LT(types.size(), 20u);
    }
    const std::vector<std::wstring> expected = {L"LINE",   L"POLYLINE", L"VERTEX", L"VERTEX",
                                                L"VERTEX", L"SEQEND",   L"CIRCLE"};
    EXPECT_EQ(types, expected);
}

TEST(EntityList, AnUnfinishedSequenceIsDropped) {
    WorkingDrawing w;
    RbPtr pline = one([](RbBuilder& b) { b.addString(0, L"POLYLINE"); });
    ASSERT_EQ(acdbEntMake(pline.get()), RTNORM);
    RbPtr bad =
        one([](RbBuilder& b) { b.addString(0, L"VERTEX").addReal(40, -5).addShort(62, 999); });
    EXPECT_EQ(acdbEntMake(bad.get()), RTERROR);
    RbPtr seqend = one([](RbBuilder& b) { b.addString(0, L"SEQEND"); });
    EXPECT_EQ(acdbEntMake(seqend.get()), RTERROR) << "no sequence is open any more";
    ads_name last;
    EXPECT_EQ(acdbEntLast(last), RTERROR) << "nothing was added";
}

TEST(EntityList, XDataThroughEntGetXAndEntMod) {
    WorkingDrawing w;
    ASSERT_EQ(acdbRegApp(L"ZEL_A"), RTNORM);
    ASSERT_EQ(acdbRegApp(L"zel_a"), RTERROR) << "registered once";
    ASSERT_EQ(acdbRegApp(L"ZEL_B"), RTNORM);
    RbPtr line = one([](RbBuilder& b) {
        b.addString(0, L"LINE").addPoint(11, 1, 0, 0).addNone(-3).addString(1001, L"ZEL_A");
        b.addString(1000, L"kind").addShort(1070, 7).addString(1001, L"ZEL_B").addReal(1040, 2.5);
    });
    ads_name name;
    ASSERT_EQ(acdbEntMakeX(line.get(), name), RTNORM);
    EXPECT_EQ(find(RbPtr(acdbEntGet(name)).get(), -3), nullptr) << "plain entget has no xdata";
    RbPtr apps = one([](RbBuilder& b) { b.addString(RTSTR, L"ZEL_B"); });
    RbPtr x(acdbEntGetX(name, apps.get()));
    ASSERT_TRUE(find(x.get(), -3));
    EXPECT_STREQ(find(x.get(), 1001)->resval.rstring, L"ZEL_B");
    EXPECT_EQ(find(x.get(), 1001, 1), nullptr);
    EXPECT_DOUBLE_EQ(find(x.get(), 1040)->resval.rreal, 2.5);

    // entmod with (1001 . "ZEL_A") and no values removes ZEL_A's data, keeps ZEL_B's.
    RbPtr mod(acdbEntGet(name));
    zel::core::rbLast(mod.get())->rbnext =
        one([](RbBuilder& b) { b.addNone(-3).addString(1001, L"ZEL_A"); }).release();
    ASSERT_EQ(acdbEntMod(mod.get()), RTNORM);
    RbPtr all = one([](RbBuilder& b) { b.addString(RTSTR, L"*"); });
    RbPtr after(acdbEntGetX(name, all.get()));
    EXPECT_STREQ(find(after.get(), 1001)->resval.rstring, L"ZEL_B");
    EXPECT_EQ(find(after.get(), 1001, 1), nullptr);

    // An application not registered: refused.
    RbPtr unknown(acdbEntGet(name));
    zel::core::rbLast(unknown.get())->rbnext =
        one([](RbBuilder& b) {
            b.addNone(-3).addString(1001, L"NOT_REGISTERED").addString(1000, L"x");
        }).release();
    EXPECT_EQ(acdbEntMod(unknown.get()), RTERROR);
}

TEST(EntityList, TableSearchAndNext) {
    WorkingDrawing w;
    RbPtr layer(acdbTblSearch(L"layer", L"0", 0));
    ASSERT_TRUE(layer);
    EXPECT_STREQ(find(layer.get(), 0)->resval.rstring, L"LAYER");
    EXPECT_STREQ(find(layer.get(), 2)->resval.rstring, L"0");
    EXPECT_EQ(find(layer.get(), 62)->resval.rint, 7);
    EXPECT_EQ(acdbTblSearch(L"LAYER", L"missing", 0), nullptr);
    EXPECT_EQ(acdbTblSearch(L"NOTATABLE", L"0", 0), nullptr);
    std::vector<std::wstring> linetypes;
    for (RbPtr r(acdbTblNext(L"LTYPE", 1)); r; r.reset(acdbTblNext(L"LTYPE", 0)))
        linetypes.push_back(find(r.get(), 2)->resval.rstring);
    const std::vector<std::wstring> expected = {L"ByBlock", L"ByLayer", L"Continuous"};
    EXPECT_EQ(linetypes, expected);
    RbPtr first(acdbTblSearch(L"LTYPE", L"BYLAYER", 1));
    RbPtr after(acdbTblNext(L"LTYPE", 0));
    ASSERT_TRUE(after);
    EXPECT_STREQ(find(after.get(), 2)->resval.rstring, L"Continuous");
}

TEST(EntityList, HandEntFindsObjectsByHandle) {
    WorkingDrawing w;
    RbPtr line = one([](RbBuilder& b) { b.addString(0, L"LINE").addPoint(11, 1, 0, 0); });
    ads_name made, found;
    ASSERT_EQ(acdbEntMakeX(line.get(), made), RTNORM);
    AcDbObjectId id;
    acdbGetObjectId(id, made);
    ASSERT_EQ(acdbHandEnt(id.handle().text().c_str(), found), RTNORM);
    EXPECT_TRUE(ads_name_equal(made, found));
    EXPECT_EQ(acdbHandEnt(L"FFFFFF", found), RTERROR);
    EXPECT_EQ(acdbHandEnt(L"not hex", found), RTERROR);
}

} // namespace
