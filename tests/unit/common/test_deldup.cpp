// ZEL_DELDUP with entities picked before the command: no options dialog, the picked set is
// used as it is.
#include "module_fixture.h"

#include "arx/ed.h"

namespace {

class Deldup : public ModuleTest {
protected:
    Deldup() { load("draftedit"); }
};

TEST_F(Deldup, APickFirstSetIsUsedWithoutTheDialog) {
    run("LINE 0,0 10,0 \"\"\nLINE 0,0 10,0 \"\"\nLINE 0,5 10,5 \"\"\nLINE 0,5 10,5 \"\"\n");
    ads_name ss;
    ASSERT_EQ(acedSSGet(L"X", nullptr, nullptr, nullptr, ss), RTNORM);
    ASSERT_EQ(acedSSSetFirst(ss, nullptr), RTNORM);
    acedSSFree(ss);
    mark();
    run("ZEL_DDUP\n");
    EXPECT_EQ(since().find("[ダイアログ]"), std::string::npos) << since();
    EXPECT_NE(since().find("削除された線分　\t ... 2"), std::string::npos) << since();
    EXPECT_EQ(eval("(sslength (ssget \"X\"))"), "2");
}

} // namespace
