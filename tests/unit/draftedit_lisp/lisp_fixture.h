// A host session with the drafting edit module's LISP functions defined, and a folder of its
// own (a space and Japanese characters in its name) for the files the functions work on.
#pragma once

#include "../app/app_fixture.h"
#include "draftedit/lisp/functions.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class DrafteditLisp : public AppTest {
protected:
    DrafteditLisp() {
        static int counter = 0;
        mDir = std::filesystem::temp_directory_path() /
               ("zel lisp 試験 " + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(mDir);
        short code = 0;
        for (const draftedit::LispFunction& f : draftedit::lispFunctions()) {
            const std::wstring name = std::wstring(L"ZELADS_") + f.name;
            EXPECT_EQ(acedDefun(name.c_str(), code), RTNORM);
            EXPECT_EQ(acedRegFunc(f.handler, code), RTNORM);
            ++code;
        }
    }
    ~DrafteditLisp() override {
        std::error_code ec;
        std::filesystem::remove_all(mDir, ec);
    }

    std::string path(const std::string& name) const { return (mDir / name).string(); }
    // A LISP string literal of a path.
    std::string lit(const std::string& name) const { return "\"" + path(name) + "\""; }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) {
        std::ifstream f(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(mDir / name); }

private:
    std::filesystem::path mDir;
};
