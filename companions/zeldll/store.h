// The common settings store: keys and texts in an SQLite database, one row a key. Every write
// is one transaction (a killed process leaves the last committed state; the database runs in
// WAL mode), and a writer waits for another process's write to finish instead of failing (a
// busy timeout). A file that cannot be opened or is damaged makes the store unusable with a
// message; it is never written then, so nothing the user had is overwritten.
//
// The store has no part in the host: the companion zeldll.so and the program's `settings`
// sub-command use it alike.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct sqlite3;

namespace zel::settings {

using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

// ZELCAD_SETTINGS when set, else $XDG_DATA_HOME/zelcad/settings.db, else
// ~/.local/share/zelcad/settings.db. Empty when none of them can be made out.
std::filesystem::path defaultStorePath();

class Store {
public:
    // Opens the database (made, with its folder, when absent).
    explicit Store(std::filesystem::path path);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    const std::filesystem::path& path() const { return mPath; }
    bool usable() const { return mDb != nullptr; }
    // Why the store is unusable, or why the last call failed ("" when it did not).
    const std::wstring& problem() const { return mProblem; }

    std::optional<std::wstring> get(std::wstring_view key);
    // false (problem() says why) when it was not written.
    bool set(std::wstring_view key, std::wstring_view value);
    // All of them in one transaction: all written or none.
    bool setAll(const Pairs& pairs);
    // Every key and value, ordered by key (empty when unusable).
    Pairs all();

private:
    void open();
    bool fail(const std::wstring& what);
    bool exec(const char* sql);
    bool checkIntact();

    std::filesystem::path mPath;
    sqlite3* mDb = nullptr;
    std::wstring mProblem;
};

// UTF-8 of the store and files; nullopt for bytes that are not UTF-8.
std::string toUtf8(std::wstring_view text);
std::optional<std::wstring> fromUtf8(std::string_view bytes);

} // namespace zel::settings
