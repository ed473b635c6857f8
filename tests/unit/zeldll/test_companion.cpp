// zeldll.so and zelstartup.so through the modules' bindings, in a running session: common and
// per-document settings, the shipped defaults, the flags, the drag switch and filter, the
// entity-or-point pick and the held highlight.
#include "companion_fixture.h"

#include "arx/db.h"
#include "arx/ed.h"
#include "common/support/zelsupport.h"

#include <fstream>

namespace {

std::wstring cmn(const wchar_t* key, const wchar_t* def = L"-") {
    std::wstring out;
    ZelGetCmnText(key, out, def);
    return out;
}

std::wstring loc(const wchar_t* key, AcApDocument* doc = nullptr) {
    std::wstring out;
    ZelGetLocText(key, out, L"-", doc);
    return out;
}

} // namespace

TEST_F(CompanionTest, CommonSettingsAreStoredAndTypedAccessorsFallBack) {
    EXPECT_EQ(ZelGetCmnInt(L"Test/Count", 7), 7);
    std::wstring text = L"untouched";
    EXPECT_FALSE(ZelGetCmnText(L"Test/Name", text));
    EXPECT_EQ(text, L"") << "a text not found and no default gives an empty text";
    ASSERT_TRUE(ZelSetCmnInt(L"Test/Count", -42));
    ASSERT_TRUE(ZelSetCmnText(L"Test/Name", L"図面 A"));
    EXPECT_EQ(ZelGetCmnInt(L"Test/Count", 7), -42);
    EXPECT_TRUE(ZelGetCmnText(L"Test/Name", text));
    EXPECT_EQ(text, L"図面 A");
    // A text longer than the buffer comes back cut at 255 characters.
    ASSERT_TRUE(ZelSetCmnText(L"Test/Long", std::wstring(400, L'長').c_str()));
    EXPECT_EQ(cmn(L"Test/Long"), std::wstring(kZelCfgBufLen - 1, L'長'));
    ACHAR buf[kZelCfgBufLen];
    EXPECT_TRUE(ZelGetCmnText(L"Test/Name", buf, L"x"));
    EXPECT_STREQ(buf, L"図面 A");
    EXPECT_FALSE(has("cannot found"));
}

TEST_F(CompanionTest, ShippedDefaultsAnswerKeysTheStoreDoesNotHold) {
    EXPECT_EQ(cmn(L"ZelLineType/Par003"), L"かくれ線");
    EXPECT_EQ(cmn(L"ZelLineType/Lin003"), L"HIDL");
    EXPECT_EQ(ZelGetCmnInt(L"ZelTextHeight/ZelTextHeightLot", -1), 6);
    EXPECT_EQ(cmn(L"ZelLineType/Par150"), L"-") << "an unconfigured row reads as not set";
    ASSERT_TRUE(ZelSetCmnText(L"ZelLineType/Par003", L"一点鎖線"));
    EXPECT_EQ(cmn(L"ZelLineType/Par003"), L"一点鎖線");
}

TEST_F(CompanionTest, ADamagedStoreGivesTheDefaultsATellingAndStaysAsItWas) {
    std::filesystem::path bad = folder() / "bad.db";
    std::ofstream(bad) << std::string(3000, '#');
    ::setenv("ZELCAD_SETTINGS", bad.c_str(), 1);
    EXPECT_EQ(cmn(L"ZelLineType/Par000"), L"外形線");
    EXPECT_EQ(ZelGetCmnInt(L"Test/Count", 5), 5);
    EXPECT_FALSE(ZelSetCmnInt(L"Test/Count", 9));
    EXPECT_TRUE(has("[zeldll]"));
    EXPECT_TRUE(has("damaged"));
    EXPECT_EQ(std::filesystem::file_size(bad), 3000u);
    mark();
    cmn(L"Test/Again");
    EXPECT_EQ(since().find("[zeldll]"), std::string::npos) << "told once per file";
}

TEST_F(CompanionTest, DocumentSettingsBelongToTheirDocumentAndGoWithIt) {
    run("SDI 0\n");
    AcApDocument* first = curDoc();
    ASSERT_TRUE(ZelSetLocText(L"ZelCurSc", L"1/50"));
    ZelSetFreezeOsMode(1);
    ASSERT_TRUE(ZelSetLocText(L"IsAppInt", L"1"));
    ZelResetIsAppInt();
    EXPECT_EQ(loc(L"IsAppInt"), L"0");
    EXPECT_EQ(ZelGetLocInt(L"FreezeOsMode", 0), 1);

    run("NEW\n");
    AcApDocument* second = curDoc();
    ASSERT_NE(first, second);
    EXPECT_EQ(loc(L"ZelCurSc"), L"-") << "a new document starts without settings";
    EXPECT_EQ(loc(L"ZelCurSc", first), L"1/50");
    ZelSetFreezeDragMode(1, second);
    ZelSetFreezeSnapLock(0, second);
    EXPECT_EQ(loc(L"FreezeDragMode", second), L"1");
    EXPECT_EQ(loc(L"FreezeSnapLock", second), L"0");

    docs().close(*static_cast<zel::app::Document*>(first));
    // The record of the closed document is gone (its address is only a key here).
    EXPECT_EQ(loc(L"ZelCurSc", first), L"-");
    EXPECT_EQ(loc(L"FreezeDragMode", second), L"1");
}

TEST_F(CompanionTest, DragSwitchAndFilterFollowTheirCommand) {
    int command = 0, other = 0;
    EXPECT_EQ(thunk_zel_DrgSw(nullptr, &command, 1), 1);
    EXPECT_EQ(loc(L"DragSwitch"), L"1");
    EXPECT_EQ(thunk_zel_DrgSw(nullptr, &other, 0), 0) << "only the holder switches it off";
    EXPECT_EQ(thunk_zel_DrgSw(nullptr, &command, 0), 1);
    EXPECT_EQ(loc(L"DragSwitch"), L"0");

    EXPECT_EQ(thunk_Start_DragFilter(nullptr, &command), 1);
    EXPECT_EQ(thunk_Start_DragFilter(nullptr, &command), 0);
    run("LINE 0,0 10,0 20,5 \"\"\n");
    EXPECT_EQ(thunk_End_DragFilter(nullptr), 1);
    EXPECT_EQ(thunk_End_DragFilter(nullptr), 0);
    EXPECT_EQ(loc(L"DragFilter/Points"), L"3");
}

TEST_F(CompanionTest, EntityOrPointPickAnswersItsResultBits) {
    run("LINE 0,0 100,0 \"\"\nCIRCLE 50,50 10\n");
    struct Case {
        const char* input;
        int kinds;
        int result;
        const char* type; // of the entity given back, or the point
    };
    const Case cases[] = {
        {"!pick 40,0\n", 25, kZelSelEntity, "LINE"},
        {"!pick 40,0\n", 0, kZelSelEntity, "LINE"},
        {"!pick 60,50\n", 2, kZelSelEntity, "CIRCLE"},
        {"!pick 60,50\n!pick 7,8\n", 25, kZelSelPoint, "7,8"},
        {"!pick 60,50\n!esc\n", 25, kZelSelCancelled, ""},
        {"300,300\n", 25, kZelSelPoint, "300,300"},
        // Beside the line's end, out of the pick box but in the aperture: no entity there, so
        // the running object snap (END) moves the point given back.
        {"!pick 100,1.5\n", 25, kZelSelPoint, "100,0"},
        {"!esc\n", 25, kZelSelCancelled, ""},
        {"\"\"\n", 25, kZelSelNothing, ""},
    };
    for (const Case& c : cases) {
        zel::editor::enqueue(ed().queue(),
                             zel::editor::parseScript(zel::core::utf8ToWide(c.input)));
        ads_name ent = {0, 0};
        ads_point pt = {0, 0, 0};
        int rc = thunk_zel_entselp(0, L"\n回転軸の1点目､または軸となるｵﾌﾞｼﾞｪｸﾄを指示 :",
                                   L"\n回転軸の1点目を指示 :", c.kinds, ent, pt, 0);
        EXPECT_EQ(rc, c.result) << c.input;
        if (rc == kZelSelEntity) {
            resbuf* data = acdbEntGet(ent);
            ASSERT_NE(data, nullptr);
            std::wstring type;
            for (resbuf* rb = data; rb; rb = rb->rbnext)
                if (rb->restype == 0) type = rb->resval.rstring;
            acutRelRb(data);
            EXPECT_EQ(zel::core::wideToUtf8(type), c.type) << c.input;
        }
        if (rc == kZelSelPoint) {
            char text[64];
            std::snprintf(text, sizeof text, "%g,%g", pt[0], pt[1]);
            EXPECT_STREQ(text, c.type) << c.input;
        }
        ed().queue().clear();
    }
    EXPECT_TRUE(has("回転軸の1点目を指示 :"));
}

TEST_F(CompanionTest, HighlightIsHeldPerPickRecord) {
    run("LINE 0,0 100,0 \"\"\nLINE 0,10 100,10 \"\"\n");
    auto highlighted = [](double y) {
        ads_point p = {50, y, 0};
        ads_name ss, ent;
        if (acedSSGet(nullptr, p, nullptr, nullptr, ss) != RTNORM) return false;
        acedSSName(ss, 0, ent);
        acedSSFree(ss);
        AcDbObjectId id;
        acdbGetObjectId(id, ent);
        AcDbEntity* e = nullptr;
        if (acdbOpenAcDbEntity(e, id, AcDb::kForRead) != Acad::eOk) return false;
        bool on = e->isHighlighted();
        e->close();
        return on;
    };
    int record = 0, otherRecord = 0;
    ads_point onFirst = {50, 0, 0}, onSecond = {50, 10, 0}, nowhere = {50, 50, 0};
    EXPECT_EQ(thunk_zel_highlight_sub(&record, onFirst), 1);
    EXPECT_TRUE(highlighted(0));
    EXPECT_EQ(thunk_zel_highlight_sub(&otherRecord, onSecond), 1);
    EXPECT_EQ(thunk_zel_highlight_sub(&record, onSecond), 1);
    EXPECT_FALSE(highlighted(0)) << "the record's earlier entity is let go";
    EXPECT_EQ(thunk_zel_highlight_sub(&record, nowhere), 0);
    EXPECT_TRUE(highlighted(10)) << "still held by the other record";
}

TEST_F(CompanionTest, ProductNameComesFromTheStartUpLibrary) {
    EXPECT_EQ(ZelProductName(), L"Morvane");
    ::setenv("ZELCAD_PRODUCT_NAME", "", 1);
    EXPECT_EQ(ZelProductName(), kZelDefaultProduct);
    ::setenv("ZELCAD_PRODUCT_NAME", "製図", 1);
    EXPECT_EQ(ZelProductName(), L"製図");
    EXPECT_FALSE(has("cannot found"));
}
