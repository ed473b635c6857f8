// A session that finds the program's modules and companions (ZELCAD_MODULE_PATH) and keeps
// its settings in a store of its own, with helpers to load modules and read the dialog bar.
#pragma once

#include "app_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class ModuleTest : public AppTest {
protected:
    ModuleTest() {
        ::setenv("ZELCAD_MODULE_PATH", ZEL_MODULE_DIR, 1);
        static int count = 0;
        mFolder = std::filesystem::temp_directory_path() /
                  ("zel_common_" + std::to_string(::getpid()) + "_" + std::to_string(count++));
        std::filesystem::remove_all(mFolder);
        std::filesystem::create_directories(mFolder);
        ::setenv("ZELCAD_SETTINGS", (mFolder / "settings.db").c_str(), 1);
    }
    ~ModuleTest() override {
        ::unsetenv("ZELCAD_SETTINGS");
        ::unsetenv("ZELCAD_MODULE_PATH");
        std::filesystem::remove_all(mFolder);
    }

    static std::string modulePath(const char* name) {
        return std::string(ZEL_MODULE_DIR) + "/" + name + ".so";
    }
    void load(const char* name) { run("ARXLOAD \"" + modulePath(name) + "\"\n"); }
    void unload(const char* name) { run(std::string("ARXUNLOAD ") + name + "\n"); }
    // What ZELBAR shows.
    std::string bar() {
        mark();
        run("ZELBAR\n");
        return since();
    }
    int var(const wchar_t* name) { return ed().vars().integer(name); }
    void queue(const std::string& script) {
        zel::editor::Script sc = zel::editor::parseScript(zel::core::utf8ToWide(script));
        ASSERT_TRUE(sc.ok());
        zel::editor::enqueue(ed().queue(), sc);
    }
    const std::filesystem::path& folder() const { return mFolder; }

private:
    std::filesystem::path mFolder;
};
