// Result-buffer lists: building, freeing (ASan finds leaks), copying, comparing, printing.
#include "core/resbuf.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

using namespace zel::core;

namespace {

RbPtr own(resbuf* rb) {
    return RbPtr(rb);
}

} // namespace

TEST(Resbuf, KindOfEveryResultTypeAndGroupCode) {
    struct Case {
        int restype;
        RbKind kind;
    } cases[] = {
        {RTNONE, RbKind::None},      {RTREAL, RbKind::Real},   {RTPOINT, RbKind::Point},
        {RTSHORT, RbKind::Short},    {RTANG, RbKind::Real},    {RTSTR, RbKind::String},
        {RTENAME, RbKind::Name},     {RTPICKS, RbKind::Name},  {RTORINT, RbKind::Real},
        {RT3DPOINT, RbKind::Point},  {RTLONG, RbKind::Long},   {RTVOID, RbKind::None},
        {RTLB, RbKind::None},        {RTLE, RbKind::None},     {RTDOTE, RbKind::None},
        {RTNIL, RbKind::None},       {RTDXF0, RbKind::String}, {RTT, RbKind::None},
        {RTLONG_PTR, RbKind::Int64}, {RTINT64, RbKind::Int64}, {RTRESBUF, RbKind::Invalid},
        {5999, RbKind::Invalid},     {-1, RbKind::Name},       {-2, RbKind::Name},
        {-3, RbKind::None},          {-4, RbKind::String},     {-9, RbKind::Invalid},
        {0, RbKind::String},         {5, RbKind::String},      {8, RbKind::String},
        {10, RbKind::Point},         {40, RbKind::Real},       {62, RbKind::Short},
        {90, RbKind::Long},          {100, RbKind::String},    {105, RbKind::String},
        {160, RbKind::Int64},        {210, RbKind::Point},     {290, RbKind::Short},
        {310, RbKind::Binary},       {320, RbKind::String},    {330, RbKind::Name},
        {360, RbKind::Name},         {370, RbKind::Short},     {390, RbKind::Name},
        {420, RbKind::Long},         {480, RbKind::Name},      {1000, RbKind::String},
        {1004, RbKind::Binary},      {1005, RbKind::String},   {1010, RbKind::Point},
        {1040, RbKind::Real},        {1070, RbKind::Short},    {1071, RbKind::Long},
        {1072, RbKind::Invalid},     {4000, RbKind::Invalid},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rbKind(c.restype), c.kind) << c.restype;
}

TEST(Resbuf, NewRbStartsEmpty) {
    RbPtr s = own(acutNewRb(RTSTR));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->restype, RTSTR);
    EXPECT_EQ(s->resval.rstring, nullptr);
    EXPECT_EQ(s->rbnext, nullptr);
    RbPtr g = own(acutNewRb(1000));
    EXPECT_EQ(g->resval.rstring, nullptr);
    EXPECT_EQ(acutNewRb(40000), nullptr);
    // A string given to the list (wcsdup, as C code does) is freed with it.
    s->resval.rstring = wcsdup(L"owned by the list");
    EXPECT_EQ(acutRelRb(nullptr), RTNORM);
}

TEST(Resbuf, BuildListCoversEveryResultType) {
    ads_point p = {1, 2, 3};
    ads_name ent = {0x1f, 7};
    RbPtr list = own(acutBuildList(RTREAL, 1.5, RTSHORT, 12, RTLONG, 70000, RTSTR, L"abc", RTENAME,
                                   ent, RTPICKS, ent, RTPOINT, p, RT3DPOINT, p, RTANG, 0.5, RTORINT,
                                   0.25, RTLB, RTLE, RTDOTE, RTNIL, RTT, RTVOID, RTNONE, RTLONG_PTR,
                                   int64_t{1} << 40, RTINT64, int64_t{-5}, 0));
    ASSERT_TRUE(list);
    const int types[] = {RTREAL,    RTSHORT, RTLONG,  RTSTR,      RTENAME, RTPICKS, RTPOINT,
                         RT3DPOINT, RTANG,   RTORINT, RTLB,       RTLE,    RTDOTE,  RTNIL,
                         RTT,       RTVOID,  RTNONE,  RTLONG_PTR, RTINT64};
    const resbuf* rb = list.get();
    for (int t : types) {
        ASSERT_TRUE(rb);
        EXPECT_EQ(rb->restype, t);
        rb = rb->rbnext;
    }
    EXPECT_EQ(rb, nullptr);
    const resbuf* n = list.get();
    EXPECT_EQ(n->resval.rreal, 1.5);
    EXPECT_EQ(n->rbnext->resval.rint, 12);
    EXPECT_EQ(n->rbnext->rbnext->resval.rlong, 70000);
    EXPECT_STREQ(rbFind(n, RTSTR)->resval.rstring, L"abc");
    EXPECT_EQ(rbFind(n, RTENAME)->resval.rlname[0], 0x1f);
    EXPECT_EQ(rbFind(n, RT3DPOINT)->resval.rpoint[2], 3);
    EXPECT_EQ(rbFind(n, RTLONG_PTR)->resval.mnLongPtr, int64_t{1} << 40);
    EXPECT_EQ(rbFind(n, RTINT64)->resval.mnInt64, -5);
}

TEST(Resbuf, BuildListOfGroupCodes) {
    ads_point start = {1, 2, 0};
    ads_name self = {0xabc, 1};
    char bytes[] = {0x01, static_cast<char>(0xff)};
    ads_binary chunk = {2, bytes};
    const ACHAR* app = L"ZEL";
    RbPtr list = own(acutBuildList(-1, self, RTDXF0, L"LINE", 5, L"1F", 8, L"0", 10, start, 40, 2.5,
                                   62, 1, 90, 7, 160, int64_t{9}, 290, 1, 310, &chunk, 330, self,
                                   -3, 1001, app, 1000, L"x", 1071, 5, 0));
    ASSERT_TRUE(list);
    EXPECT_EQ(rbLength(list.get()), 16u);
    EXPECT_EQ(list->rbnext->restype, 0); // RTDXF0 makes group 0
    EXPECT_STREQ(list->rbnext->resval.rstring, L"LINE");
    const resbuf* bin = rbFind(list.get(), 310);
    ASSERT_TRUE(bin);
    EXPECT_EQ(bin->resval.rbinary.clen, 2);
    EXPECT_NE(bin->resval.rbinary.buf, bytes); // copied
    EXPECT_EQ(bin->resval.rbinary.buf[1], static_cast<char>(0xff));
    EXPECT_EQ(rbFind(list.get(), 1071)->resval.rlong, 5);
    EXPECT_EQ(rbFind(list.get(), 160)->resval.mnInt64, 9);
    EXPECT_EQ(rbToLisp(list.get()),
              L"((-1 . <Entity name: abc>) (0 . \"LINE\") (5 . \"1F\") (8 . \"0\") "
              L"(10 1.0 2.0 0.0) (40 . 2.5) (62 . 1) (90 . 7) (160 . 9) (290 . 1) "
              L"(310 . \"01FF\") (330 . <Entity name: abc>) (-3 (\"ZEL\" (1000 . \"x\") "
              L"(1071 . 5))))");
}

TEST(Resbuf, BuildListRejectsBadInputAndKeepsNothing) {
    EXPECT_EQ(acutBuildList(RTSTR, L"a", 4999, 1, 0), nullptr);
    EXPECT_EQ(acutBuildList(RTSTR, L"a", RTRESBUF, nullptr, 0), nullptr);
    EXPECT_EQ(acutBuildList(RTSTR, L"a", RTPOINT, static_cast<ads_real*>(nullptr), 0), nullptr);
    EXPECT_EQ(acutBuildList(RTENAME, static_cast<int64_t*>(nullptr), 0), nullptr);
    EXPECT_EQ(acutBuildList(310, static_cast<ads_binary*>(nullptr), 0), nullptr);
    EXPECT_EQ(acutBuildList(0), nullptr); // the empty list
    RbPtr nullString = own(acutBuildList(RTSTR, static_cast<const ACHAR*>(nullptr), 0));
    ASSERT_TRUE(nullString);
    EXPECT_STREQ(nullString->resval.rstring, L"");
}

TEST(Resbuf, StringsAreCopied) {
    ACHAR text[] = L"layer";
    RbPtr list = own(acutBuildList(8, text, 0));
    text[0] = L'X';
    EXPECT_STREQ(list->resval.rstring, L"layer");
}

TEST(Resbuf, CopyIsDeepAndEqualityFindsEachDifference) {
    ads_point p = {1, 2, 3};
    char bytes[] = {1, 2, 3};
    ads_binary chunk = {3, bytes};
    RbPtr a =
        own(acutBuildList(RTSTR, L"a", RT3DPOINT, p, 310, &chunk, RTLB, RTREAL, 1.0, RTLE, 0));
    RbPtr b = rbCopy(a.get());
    ASSERT_TRUE(b);
    EXPECT_TRUE(rbEqual(a.get(), b.get()));
    EXPECT_NE(a->resval.rstring, b->resval.rstring);
    EXPECT_NE(rbFind(a.get(), 310)->resval.rbinary.buf, rbFind(b.get(), 310)->resval.rbinary.buf);

    rbSetString(b.get(), L"b");
    EXPECT_STREQ(a->resval.rstring, L"a");
    EXPECT_FALSE(rbEqual(a.get(), b.get()));
    rbSetString(b.get(), L"a");

    const_cast<resbuf*>(rbFind(b.get(), RT3DPOINT))->resval.rpoint[2] = 3 + 1e-9;
    EXPECT_FALSE(rbEqual(a.get(), b.get()));
    EXPECT_TRUE(rbEqual(a.get(), b.get(), 1e-6));

    RbPtr shorter = own(acutBuildList(RTSTR, L"a", 0));
    EXPECT_FALSE(rbEqual(a.get(), shorter.get()));
    EXPECT_FALSE(rbEqual(shorter.get(), a.get()));
    RbPtr otherType = own(acutBuildList(1000, L"a", 0));
    EXPECT_FALSE(rbEqual(shorter.get(), otherType.get()));
    char other[] = {1, 2, 4};
    RbPtr c = rbCopy(a.get());
    std::memcpy(const_cast<resbuf*>(rbFind(c.get(), 310))->resval.rbinary.buf, other, 3);
    EXPECT_FALSE(rbEqual(a.get(), c.get()));
    EXPECT_TRUE(rbEqual(nullptr, nullptr));
    EXPECT_FALSE(rbCopy(nullptr));
}

TEST(Resbuf, BuilderMakesListsAndRefusesWrongKinds) {
    ads_name n = {5, 0};
    RbBuilder b;
    b.addString(RTDXF0, L"CIRCLE").addPoint(10, 1, 2).addReal(40, 0.5).addShort(62, 3);
    b.addName(-1, n).addLong(90, -2).addInt64(RTINT64, 7).addBinary(1004, "\x0a", 1);
    b.append(RbPtr(acutBuildList(RTT, RTNIL, 0)));
    RbPtr list = b.take();
    ASSERT_TRUE(list);
    EXPECT_EQ(rbLength(list.get()), 10u);
    EXPECT_EQ(list->restype, 0);
    EXPECT_EQ(rbToLisp(list.get()), L"((0 . \"CIRCLE\") (10 1.0 2.0 0.0) (40 . 0.5) (62 . 3) "
                                    L"(-1 . <Entity name: 5>) (90 . -2) 7 (1004 . \"0A\") T nil)");

    RbBuilder bad;
    bad.addString(RTSTR, L"ok").addReal(8, 1.0); // group 8 is text
    EXPECT_FALSE(bad.ok());
    EXPECT_FALSE(bad.take());
}

TEST(LispPrint, Reals) {
    struct Case {
        double v;
        const wchar_t* text;
    } cases[] = {
        {1, L"1.0"},
        {2.4, L"2.4"},
        {1.0 / 3, L"0.333333"},
        {1e15, L"1.0e+15"},
        {-2.5e-7, L"-2.5e-07"},
        {100000, L"100000.0"},
        {1e6, L"1.0e+06"},
        {123456.7, L"123457.0"},
        {0.0001, L"0.0001"},
        {-0.0, L"0.0"},
        {0, L"0.0"},
        {1234567.0, L"1.23457e+06"},
        {-42, L"-42.0"},
        {3.14159265, L"3.14159"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lispReal(c.v), c.text) << c.v;
}

TEST(LispPrint, Strings) {
    EXPECT_EQ(lispString(L"plain"), L"\"plain\"");
    EXPECT_EQ(lispString(L"a\"b\\c\nd\te\x1b"), L"\"a\\\"b\\\\c\\nd\\te\\e\"");
    EXPECT_EQ(lispString(std::wstring(L"\x01", 1)), L"\"\\001\"");
    EXPECT_EQ(lispString(L"\u65e5\u672c"), L"\"\u65e5\u672c\"");
}

TEST(LispPrint, ListsNestingAndDottedPairs) {
    ads_point p = {1, 2, 0};
    ads_name ss = {3, 0};
    struct Case {
        RbPtr list;
        const wchar_t* text;
    } cases[] = {
        {nullptr, L"nil"},
        {own(acutBuildList(RTSHORT, 1, RTREAL, 2.5, RTSTR, L"x", 0)), L"(1 2.5 \"x\")"},
        {own(acutBuildList(RTLB, RTSHORT, 1, RTLB, RTSHORT, 2, RTLE, RTLE, 0)), L"((1 (2)))"},
        {own(acutBuildList(RTLB, RTSHORT, 0, RTDOTE, RTSTR, L"LINE", RTLE, 0)),
         L"((0 . \"LINE\"))"},
        {own(acutBuildList(RTLB, RTSHORT, 0, RTSTR, L"LINE", RTDOTE, RTT, 0)),
         L"((0 . \"LINE\") T)"},
        {own(acutBuildList(RTPOINT, p, RT3DPOINT, p, 0)), L"((1.0 2.0) (1.0 2.0 0.0))"},
        {own(acutBuildList(RTT, RTNIL, RTPICKS, ss, 0)), L"(T nil <Selection set: 3>)"},
        {own(acutBuildList(RTVOID, RTNONE, 0)), L"nil"},
        {own(acutBuildList(RTLB, RTLE, 0)), L"(())"},
        {own(acutBuildList(RTLE, RTSHORT, 4, 0)), L"(4)"}, // unbalanced: still printed
    };
    for (const Case& c : cases)
        EXPECT_EQ(rbToLisp(c.list.get()), c.text);
}
