// Temporary folders and files for the tests of the engines: each test gets its own folder
// (with a space and Japanese characters in its name), removed at the end.
#pragma once

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

class TempFolder {
public:
    TempFolder() {
        static int counter = 0;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("zel engines 試験 ") + (info ? info->name() : "x") + "_" +
                           std::to_string(::getpid()) + "_" + std::to_string(counter++);
        mPath = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(mPath);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(mPath, ec);
    }
    std::string path(const std::string& file) const { return (mPath / file).string(); }
    std::string folder() const { return mPath.string(); }

private:
    std::filesystem::path mPath;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}
