// The files of session tests: NAME.zsc scripts in a folder, an optional NAME.dxf start drawing
// and NAME.expected (transcript and dump). ZEL_UPDATE_SESSIONS=1 writes the expected file
// instead of comparing (read the diff before keeping it).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zel::session_files {

inline std::vector<std::string> sessionNames(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
        if (entry.path().extension() == ".zsc") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Compares what a session gave with its expected file (or writes it when asked to).
inline void expectSession(const std::string& got, const std::filesystem::path& base) {
    std::filesystem::path expected = base.string() + ".expected";
    const char* update = std::getenv("ZEL_UPDATE_SESSIONS");
    if (update && std::string(update) == "1") {
        std::ofstream(expected, std::ios::binary) << got;
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(expected))
        << expected << " is missing (ZEL_UPDATE_SESSIONS=1)";
    EXPECT_EQ(got, readFile(expected));
}

} // namespace zel::session_files
