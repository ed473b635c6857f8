// The SQLite settings store: round trips, all-or-nothing writes, damaged and unopenable
// files, a writer killed in the middle of its work, and two processes writing at once.
#include "companions/zeldll/store.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using zel::settings::Pairs;
using zel::settings::Store;

namespace {

class TempFolder {
public:
    TempFolder() {
        std::string name =
            "zel_store_" + std::to_string(::getpid()) + "_" + std::to_string(sCount++);
        mPath = fs::temp_directory_path() / name;
        fs::remove_all(mPath);
        fs::create_directories(mPath);
    }
    ~TempFolder() { fs::remove_all(mPath); }
    fs::path operator/(const std::string& name) const { return mPath / name; }

private:
    static inline int sCount = 0;
    fs::path mPath;
};

std::string bytesOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::wstring key(const char* prefix, int i) {
    return std::wstring(prefix, prefix + std::strlen(prefix)) + std::to_wstring(i);
}

// Runs fn in a child process; the child's exit code is 0 when fn returned true.
pid_t spawn(const std::function<bool()>& fn) {
    pid_t pid = ::fork();
    if (pid == 0) ::_exit(fn() ? 0 : 1);
    return pid;
}

int exitCode(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(SettingsStore, KeepsTextsOfEveryKindAcrossReopening) {
    TempFolder dir;
    const Pairs values = {{L"ZelLineType/Par000", L"外形線"},
                          {L"ZelLineType/Lin002", L"HIDDEN\t__ __ かくれ線"},
                          {L"Empty", L""},
                          {L"Lines", L"a\nb\\c"},
                          {L"半角ｶﾅ/キー", L"ﾃｷｽﾄ 𠀋"}};
    {
        Store s(dir / "a.db");
        ASSERT_TRUE(s.usable()) << zel::settings::toUtf8(s.problem());
        for (auto& [k, v] : values)
            ASSERT_TRUE(s.set(k, v));
        ASSERT_TRUE(s.set(L"Lines", L"a\nb\\c")); // a second write of a key replaces it
    }
    Store again(dir / "a.db");
    for (auto& [k, v] : values)
        EXPECT_EQ(again.get(k), v) << zel::settings::toUtf8(k);
    EXPECT_FALSE(again.get(L"NotThere"));
    EXPECT_EQ(again.all().size(), values.size());
}

TEST(SettingsStore, DamagedOrUnopenableFilesAreToldAndNeverWritten) {
    TempFolder dir;
    // A file that is no database, and a database cut in half.
    fs::path garbage = dir / "garbage.db";
    std::ofstream(garbage) << std::string(5000, 'x') << "settings";
    fs::path cut = dir / "cut.db";
    {
        Store s(cut);
        Pairs many;
        for (int i = 0; i < 2000; ++i)
            many.emplace_back(key("K", i), std::wstring(40, L'v'));
        ASSERT_TRUE(s.setAll(many));
    }
    { Store checkpoint(cut); } // the last connection folds the WAL into the file
    fs::resize_file(cut, fs::file_size(cut) / 2);
    fs::remove(dir / "cut.db-wal");

    for (const fs::path& file : {garbage, cut}) {
        std::string before = bytesOf(file);
        Store s(file);
        EXPECT_FALSE(s.usable()) << file;
        EXPECT_NE(s.problem().find(file.wstring()), std::wstring::npos);
        EXPECT_FALSE(s.set(L"A", L"1"));
        EXPECT_FALSE(s.get(L"K1"));
        EXPECT_EQ(bytesOf(file), before) << "a damaged store must be left as it is";
    }
    Store nowhere("/proc/zel-no-such-folder/settings.db");
    EXPECT_FALSE(nowhere.usable());
    EXPECT_FALSE(nowhere.problem().empty());
}

TEST(SettingsStore, AWriterKilledMidTransactionLeavesEveryCommittedWrite) {
    TempFolder dir;
    fs::path db = dir / "kill.db";
    { Store init(db); }
    int pipeFd[2];
    ASSERT_EQ(::pipe(pipeFd), 0);
    pid_t writer = spawn([&] {
        ::close(pipeFd[0]);
        Store s(db);
        for (int i = 0;; ++i) {
            // Two keys in one transaction, and a big one that makes the commit slow.
            Pairs pair = {{key("a", i), std::to_wstring(i)},
                          {key("b", i), std::to_wstring(i)},
                          {L"big", std::wstring(20000, wchar_t(L'a' + i % 26))}};
            if (!s.setAll(pair)) return false;
            if (::write(pipeFd[1], &i, sizeof i) != sizeof i) return false;
        }
    });
    ::close(pipeFd[1]);
    std::mt19937 rng(20261208);
    int last = -1, got = 0;
    int stopAfter = 40 + int(rng() % 40);
    while (last < stopAfter && ::read(pipeFd[0], &got, sizeof got) == sizeof got)
        last = got;
    ::usleep(useconds_t(rng() % 3000)); // somewhere inside a later transaction
    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    ::close(pipeFd[0]);
    ASSERT_GE(last, stopAfter);

    Store after(db);
    ASSERT_TRUE(after.usable()) << zel::settings::toUtf8(after.problem());
    int highest = -1;
    for (int i = 0; i <= last + 1000; ++i) {
        std::optional<std::wstring> a = after.get(key("a", i)), b = after.get(key("b", i));
        EXPECT_EQ(a.has_value(), b.has_value()) << "a transaction was split at " << i;
        if (!a) break;
        EXPECT_EQ(*a, std::to_wstring(i));
        highest = i;
    }
    EXPECT_GE(highest, last) << "a committed write was lost";
    EXPECT_TRUE(after.set(L"after", L"1"));
}

TEST(SettingsStore, TwoProcessesWritingAtOnceLoseNoWrite) {
    TempFolder dir;
    fs::path db = dir / "two.db";
    { Store init(db); }
    constexpr int kWrites = 150;
    auto writer = [&](const char* prefix) {
        return spawn([&, prefix] {
            Store s(db);
            for (int i = 0; i < kWrites; ++i) {
                if (!s.set(key(prefix, i), std::to_wstring(i))) return false;
                if (!s.set(L"shared", key(prefix, i))) return false;
            }
            return true;
        });
    };
    auto started = std::chrono::steady_clock::now();
    pid_t one = writer("one/"), two = writer("two/");
    EXPECT_EQ(exitCode(one), 0);
    EXPECT_EQ(exitCode(two), 0);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    Store s(db);
    for (const char* prefix : {"one/", "two/"})
        for (int i = 0; i < kWrites; ++i)
            EXPECT_EQ(s.get(key(prefix, i)), std::to_wstring(i)) << prefix << i;
    std::wstring shared = s.get(L"shared").value_or(L"");
    EXPECT_TRUE(shared == key("one/", kWrites - 1) || shared == key("two/", kWrites - 1));
    RecordProperty("seconds_for_600_writes", std::to_string(seconds));
}
