// Host command behaviour that session transcripts do not show well: texts under MIRROR with
// MIRRTEXT, COPYMODE, the drawing files of NEW / OPEN / SAVE / SAVEAS / CLOSE.
#include "session_fixture.h"

#include "core/tolerance.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class CommandTest : public SessionTest {
protected:
    AcDbObjectId addText(const AcGePoint3d& at) {
        AcDbBlockTableRecord* ms = nullptr;
        EXPECT_EQ(acdbOpenObject(ms, s.database().modelSpaceId(), AcDb::kForWrite), Acad::eOk);
        auto text = std::make_unique<AcDbText>(at, L"ABC", AcDbObjectId(), 2.5, 0);
        AcDbObjectId id;
        EXPECT_EQ(ms->appendAcDbEntity(id, text.get()), Acad::eOk);
        text.release()->close(); // the database owns it
        ms->close();
        return id;
    }
    // Position and rotation of the last TEXT.
    std::pair<AcGePoint3d, double> lastText() {
        std::vector<AcDbObjectId> ids = entities("TEXT");
        AcDbText* t = nullptr;
        EXPECT_EQ(acdbOpenObject(t, ids.back(), AcDb::kForRead), Acad::eOk);
        std::pair<AcGePoint3d, double> r{t->position(), t->rotation()};
        t->close();
        return r;
    }
};

TEST_F(CommandTest, MirrtextDecidesWhetherTextsAreMirroredOrOnlyMoved) {
    addText(AcGePoint3d(10, 0, 0));
    run("MIRROR L \"\" 0,0 0,10 N\n");
    auto [kept, keptRot] = lastText();
    EXPECT_EQ(entities("TEXT").size(), 2u);
    EXPECT_NEAR(kept.x, -10, zel::tol::kPoint) << "the position is mirrored";
    EXPECT_NEAR(keptRot, 0, zel::tol::kAngle) << "MIRRTEXT 0 keeps the text readable";
    run("MIRRTEXT 1\nMIRROR ALL \"\" 0,0 10,0 Y\n");
    EXPECT_EQ(entities("TEXT").size(), 2u) << "Y erases the sources";
    std::vector<AcDbObjectId> ids = entities("TEXT");
    AcDbText* t = nullptr;
    ASSERT_EQ(acdbOpenObject(t, ids.back(), AcDb::kForRead), Acad::eOk);
    bool mirrored = t->isMirroredInY() || std::abs(t->rotation()) > zel::tol::kAngle;
    t->close();
    EXPECT_TRUE(mirrored) << "MIRRTEXT 1 mirrors the text itself";
}

TEST_F(CommandTest, CopymodeOneMakesASingleCopy) {
    run("LINE 0,0 1,0 \"\"\nCOPYMODE 1\nCOPY L \"\" 0,0 0,5\nCOPYMODE 0\nCOPY L \"\" 0,0 0,1 0,2 "
        "\"\"\n");
    EXPECT_EQ(entities("LINE").size(), 4u) << transcript();
    EXPECT_TRUE(has("コマンド: COPYMODE")) << transcript();
}

class FileCommands : public SessionTest {
protected:
    FileCommands() {
        dir = fs::temp_directory_path() / ("zel_engine_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    ~FileCommands() override { fs::remove_all(dir); }
    std::string path(const char* name) { return (dir / name).string(); }
    fs::path dir;
};

TEST_F(FileCommands, SaveOpenNewAndCloseKeepDrawingsApart) {
    run("CIRCLE 0,0 5\nSAVEAS \"" + path("a.dxf") + "\"\n");
    ASSERT_TRUE(fs::exists(path("a.dxf"))) << transcript();
    EXPECT_EQ(zel::core::wideToUtf8(s.path()), path("a.dxf"));
    run("NEW\n");
    EXPECT_TRUE(entities().empty());
    run("U\n");
    EXPECT_TRUE(has("元に戻す操作はありません。")) << "a new drawing has no undo history";
    run("LINE 0,0 1,1 \"\"\nOPEN \"" + path("a.dxf") + "\"\n");
    EXPECT_EQ(entities("CIRCLE").size(), 1u);
    EXPECT_TRUE(entities("LINE").empty());
    run("POINT 1,1\nSAVE \"\"\nCLOSE\n");
    EXPECT_TRUE(entities().empty());
    run("OPEN \"" + path("a.dxf") + "\"\n");
    EXPECT_EQ(entities().size(), 2u) << "SAVE with Enter wrote to the drawing's own file";
}

TEST_F(FileCommands, AFailedOpenOrSaveIsToldAndChangesNothing) {
    run("CIRCLE 0,0 5\nOPEN \"" + path("missing.dxf") + "\"\n");
    EXPECT_EQ(entities("CIRCLE").size(), 1u);
    std::string bad = path("no/such/folder/x.dxf");
    run("SAVEAS \"" + bad + "\"\n");
    EXPECT_FALSE(fs::exists(bad));
    EXPECT_TRUE(s.path().empty());
    EXPECT_EQ(entities("CIRCLE").size(), 1u);
    EXPECT_TRUE(has("x.dxf")) << transcript();
    EXPECT_TRUE(has("missing.dxf")) << transcript();
}

// A drawing file inserted by its path becomes a block named after the file, bringing the
// layers and nested blocks it needs; inserting it again redefines the block silently.
TEST_F(FileCommands, InsertOfADrawingFileBringsItsLayersAndNestedBlocks) {
    run("-LAYER M PARTS C 3 PARTS \"\"\nCIRCLE 0,0 2\nBLOCK HOLE 0,0 L \"\"\n"
        "INSERT HOLE 10,0 1 \"\" 0\nLINE 0,0 20,0 \"\"\nSAVEAS \"" +
        path("plate.dxf") + "\"\nNEW\n");
    ASSERT_TRUE(entities().empty()) << transcript();
    run("INSERT \"" + path("plate.dxf") + "\" 100,0 1 \"\" 0\n");
    ASSERT_EQ(entities("INSERT").size(), 1u) << transcript();
    AcDbBlockTable* bt = nullptr;
    ASSERT_EQ(s.database().getBlockTable(bt, AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(bt->has(L"plate")) << "named after the file";
    EXPECT_TRUE(bt->has(L"HOLE")) << "the nested block comes along";
    bt->close();
    AcDbLayerTable* lt = nullptr;
    ASSERT_EQ(s.database().getLayerTable(lt, AcDb::kForRead), Acad::eOk);
    AcDbLayerTableRecord* parts = nullptr;
    ASSERT_EQ(lt->getAt(L"PARTS", parts, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(parts->colorIndex(), 3) << "the layer keeps its colour";
    parts->close();
    lt->close();
    AcDbBlockReference* ref = nullptr;
    ASSERT_EQ(acdbOpenObject(ref, entities("INSERT")[0], AcDb::kForRead), Acad::eOk);
    AcDbExtents ext;
    ASSERT_EQ(ref->getGeomExtents(ext), Acad::eOk);
    ref->close();
    EXPECT_NEAR(ext.minPoint().x, 100, zel::tol::kPoint) << "the line, placed at 100";
    EXPECT_NEAR(ext.maxPoint().x, 120, zel::tol::kPoint) << "the line, placed at 100";
    EXPECT_NEAR(ext.maxPoint().y, 2, zel::tol::kPoint) << "the nested hole's circle";
    run("INSERT \"" + path("plate.dxf") + "\" 0,0 1 \"\" 0\n");
    EXPECT_FALSE(has("既に存在します")) << "a file redefines its block without asking";
    run("INSERT \"" + path("none.dxf") + "\"\n");
    EXPECT_TRUE(has("none.dxf を読めません")) << transcript();
}

// Members of a named group, as the group dictionary holds them (0 when there is no group).
uint32_t groupSize(AcDbDatabase& db, const wchar_t* name) {
    AcDbDictionary* dict = nullptr;
    if (db.getGroupDictionary(dict, AcDb::kForRead) != Acad::eOk) return 0;
    AcDbObject* obj = nullptr;
    uint32_t n = 0;
    if (dict->getAt(name, obj, AcDb::kForRead) == Acad::eOk) {
        if (auto* g = AcDbGroup::cast(obj)) n = g->numEntities();
        obj->close();
    }
    dict->close();
    return n;
}

TEST_F(CommandTest, GroupMembersFollowAddRemoveAndUndo) {
    run("LINE 0,0 10,0 \"\"\nCIRCLE 5,5 2\nGROUP C PARTS \"\" ALL \"\"\n");
    EXPECT_EQ(groupSize(s.database(), L"PARTS"), 2u) << transcript();
    run("LINE 0,10 10,10 \"\"\nGROUP A PARTS L \"\"\n");
    EXPECT_EQ(groupSize(s.database(), L"PARTS"), 3u);
    run("GROUP R PARTS W -1,-1 11,1 \"\"\n");
    EXPECT_EQ(groupSize(s.database(), L"PARTS"), 2u) << "the first line left the group";
    run("U\n");
    EXPECT_EQ(groupSize(s.database(), L"PARTS"), 3u) << "U puts it back";
    run("GROUP E PARTS\n");
    EXPECT_EQ(groupSize(s.database(), L"PARTS"), 0u);
    EXPECT_EQ(entities().size(), 3u) << "exploding a group keeps its entities";
}

// The dashes of a linetype of the drawing (empty when there is none).
std::vector<double> dashesOf(AcDbDatabase& db, const wchar_t* name) {
    std::vector<double> out;
    AcDbLinetypeTable* table = nullptr;
    if (db.getLinetypeTable(table, AcDb::kForRead) != Acad::eOk) return out;
    AcDbLinetypeTableRecord* r = nullptr;
    if (table->getAt(name, r, AcDb::kForRead) == Acad::eOk) {
        for (int i = 0; i < r->numDashes(); ++i)
            out.push_back(r->dashLengthAt(i));
        r->close();
    }
    table->close();
    return out;
}

TEST_F(CommandTest, LinetypesLoadFromAFileAndFromATypedPattern) {
    std::string lin = std::string(ZEL_FIXTURES_DIR) + "/linetypes.lin";
    run("-LINETYPE L * \"" + lin + "\" \"\"\n");
    EXPECT_EQ(dashesOf(s.database(), L"CENTER"), (std::vector<double>{12, -3, 2, -3}));
    EXPECT_EQ(dashesOf(s.database(), L"DOTS"), (std::vector<double>{0, -1.5}));
    EXPECT_EQ(dashesOf(s.database(), L"GAS_LINE"), (std::vector<double>{12.7, -5.08, -6.35}))
        << "a pattern with text keeps its dashes";
    run("-LINETYPE C DASH2 破線 \"A,6,-2\" S DASH2 \"\"\nLINE 0,0 1,0 \"\"\n");
    EXPECT_EQ(dashesOf(s.database(), L"DASH2"), (std::vector<double>{6, -2}));
    AcDbLine* line = nullptr;
    ASSERT_EQ(acdbOpenObject(line, entities("LINE").back(), AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(std::wstring(line->linetype()), L"DASH2") << "S made it current";
    line->close();
    run("-LINETYPE L X \"/no/such.lin\" S NOSUCH \"\"\n");
    EXPECT_TRUE(has("を開けません")) << transcript();
    EXPECT_TRUE(has("線種 \"NOSUCH\" が見つかりません。"));
}

} // namespace
