// The modules' bindings when the companion libraries are missing, or are there without the
// entry: the exact lines printed and the failure values answered. This program never loads
// the real companions (once loaded, zeldll.so stays for the life of the process).
#include "../app/app_fixture.h"

#include "common/support/zelsupport.h"

#include <unistd.h>

#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace {

class MissingCompanion : public AppTest {
protected:
    MissingCompanion() {
        mFolder = fs::temp_directory_path() / ("zel_missing_" + std::to_string(::getpid()));
        fs::remove_all(mFolder);
        fs::create_directories(mFolder);
        ::setenv("ZELCAD_MODULE_PATH", mFolder.c_str(), 1);
    }
    ~MissingCompanion() override {
        ::unsetenv("ZELCAD_MODULE_PATH");
        fs::remove_all(mFolder);
    }
    fs::path mFolder;
};

struct Case {
    const char* name;
    std::function<long()> call;
    long failure;
    const char* printed;
};

std::vector<Case> cases() {
    static int command = 0;
    static ads_point point = {1, 2, 0};
    return {
        {"getcfgCmn",
         [] {
             ACHAR b[kZelCfgBufLen] = L"0";
             return long(thunk_zel_getcfgCmn(L"K", b, L"d"));
         },
         0, "\n cannot found zeldll.so.\n thunk_zel_getcfgCmn"},
        {"setcfgCmn", [] { return long(thunk_zel_setcfgCmn(L"K", L"v")); }, 0,
         "\n cannot found zeldll.so.\n thunk_zel_setcfgCmn"},
        {"getcfgLoc",
         [] {
             ACHAR b[kZelCfgBufLen] = L"0";
             return long(thunk_zel_getcfgLoc(nullptr, L"K", b, L"d"));
         },
         0, "\n cannot found zeldll.so.\n thunk_zel_getcfgLoc"},
        {"setcfgLoc", [] { return long(thunk_zel_setcfgLoc(nullptr, L"K", L"v")); }, 0,
         "\n cannot found zeldll.so.\n thunk_zel_setcfgLoc"},
        {"Start_DragFilter", [] { return long(thunk_Start_DragFilter(nullptr, &command)); }, 0,
         "\n cannot found zeldll.so.\n dll_Start_DragFilter"},
        {"End_DragFilter", [] { return long(thunk_End_DragFilter(nullptr)); }, 0,
         "\n cannot found zeldll.so.\n dll_End_DragFilter"},
        {"DrgSw", [] { return long(thunk_zel_DrgSw(nullptr, &command, 1)); }, 512,
         "\n cannot found zeldll.so."},
        {"entselp",
         [] {
             ads_name e;
             ads_point p;
             return long(thunk_zel_entselp(0, L"a", L"b", 25, e, p, 0));
         },
         512, "\n cannot found zeldll.so."},
        {"highlight_sub", [] { return long(thunk_zel_highlight_sub(&command, point)); }, 512,
         "\n cannot found zeldll.so."},
        {"getZelProductName", [] { return long(thunk_getZelProductName().size()); }, 0,
         "\n cannot found zelstartup.so.\n dll_getZelProductName"},
    };
}

} // namespace

TEST_F(MissingCompanion, EveryBindingPrintsItsLinesAndAnswersItsFailureValue) {
    for (const Case& c : cases()) {
        mark();
        EXPECT_EQ(c.call(), c.failure) << c.name;
        EXPECT_EQ(since(), c.printed) << c.name;
    }
}

TEST_F(MissingCompanion, TypedAccessorsAnswerTheirDefaults) {
    EXPECT_EQ(ZelGetCmnInt(L"ZelTextHeight/ZelTextHeightLot", -1), -1);
    EXPECT_EQ(ZelGetLocInt(L"FreezeOsMode", 3), 3);
    std::wstring text;
    EXPECT_FALSE(ZelGetCmnText(L"ZelScSym", text, L"/"));
    EXPECT_EQ(text, L"/");
    EXPECT_FALSE(ZelSetCmnInt(L"A", 1));
    EXPECT_EQ(ZelProductName(), L"KELDOR");
    mark();
    ZelSetFreezeOsMode(1);
    EXPECT_EQ(since(), "\n cannot found zeldll.so.\n thunk_zel_setcfgLoc");
}

TEST_F(MissingCompanion, ALibraryWithoutTheEntryNamesTheEntry) {
    // A library that is there under the name but exports none of the support entries.
    fs::copy_file(ZEL_ZELSTARTUP_SO, mFolder / "zeldll.so");
    mark();
    EXPECT_EQ(ZelGetCmnInt(L"K", 4), 4);
    EXPECT_EQ(since(), "\n cannot found dll_zel_getcfgCmn() in zeldll.so.");
    mark();
    EXPECT_EQ(thunk_zel_DrgSw(nullptr, nullptr, 0), 512);
    EXPECT_EQ(since(), "\n cannot found dll_zel_DrgSw() in zeldll.so.");
}
