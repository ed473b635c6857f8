// A session whose modules find the built companions, with a settings store of its own.
#pragma once

#include "../app/app_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class CompanionTest : public AppTest {
protected:
    CompanionTest() {
        ::setenv("ZELCAD_MODULE_PATH", ZEL_COMPANIONS_DIR, 1);
        ::unsetenv("ZELCAD_RESOURCES");
        ::unsetenv("ZELCAD_PRODUCT_NAME");
        static int count = 0;
        mFolder = std::filesystem::temp_directory_path() /
                  ("zel_companion_" + std::to_string(::getpid()) + "_" + std::to_string(count++));
        std::filesystem::remove_all(mFolder);
        std::filesystem::create_directories(mFolder);
        ::setenv("ZELCAD_SETTINGS", (mFolder / "settings.db").c_str(), 1);
    }
    ~CompanionTest() override {
        ::unsetenv("ZELCAD_SETTINGS");
        std::filesystem::remove_all(mFolder);
    }
    std::filesystem::path folder() const { return mFolder; }

private:
    std::filesystem::path mFolder;
};
