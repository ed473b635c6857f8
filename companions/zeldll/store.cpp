#include "companions/zeldll/store.h"

#include <sqlite3.h>

#include <cstdlib>

namespace zel::settings {

namespace fs = std::filesystem;

namespace {

// A writer waits this long for another process's transaction before it gives up.
constexpr int kBusyTimeoutMs = 15000;

std::wstring widen(const char* text) {
    std::optional<std::wstring> w = fromUtf8(text ? text : "");
    return w ? *w : std::wstring(L"?");
}

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        mRc = sqlite3_prepare_v2(db, sql, -1, &mStmt, nullptr);
    }
    ~Statement() { sqlite3_finalize(mStmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool ok() const { return mRc == SQLITE_OK; }
    void bind(int index, std::wstring_view text) {
        std::string bytes = toUtf8(text);
        sqlite3_bind_text(mStmt, index, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    int step() { return sqlite3_step(mStmt); }
    void reset() {
        sqlite3_reset(mStmt);
        sqlite3_clear_bindings(mStmt);
    }
    std::wstring column(int index) {
        const unsigned char* text = sqlite3_column_text(mStmt, index);
        return widen(reinterpret_cast<const char*>(text));
    }

private:
    sqlite3_stmt* mStmt = nullptr;
    int mRc = SQLITE_ERROR;
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string toUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        char32_t u = char32_t(c);
        if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) u = 0xFFFD;
        appendUtf8(out, u);
    }
    return out;
}

std::optional<std::wstring> fromUtf8(std::string_view bytes) {
    std::wstring out;
    size_t i = 0;
    while (i < bytes.size()) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        if (extra < 0) return std::nullopt;
        char32_t c = extra == 0 ? b : char32_t(b & (0x3F >> extra));
        for (int k = 1; k <= extra; ++k) {
            if (i + size_t(k) >= bytes.size()) return std::nullopt;
            unsigned char cont = static_cast<unsigned char>(bytes[i + size_t(k)]);
            if ((cont & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (cont & 0x3F);
        }
        static const char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
        out += wchar_t(c);
        i += size_t(extra) + 1;
    }
    return out;
}

fs::path defaultStorePath() {
    if (const char* given = std::getenv("ZELCAD_SETTINGS"); given && *given) return given;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return fs::path(data) / "zelcad" / "settings.db";
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".local" / "share" / "zelcad" / "settings.db";
    return {};
}

Store::Store(fs::path path) : mPath(std::move(path)) {
    open();
}

Store::~Store() {
    if (mDb) sqlite3_close(mDb);
}

bool Store::fail(const std::wstring& what) {
    mProblem = what;
    if (mDb) mProblem += L" (" + widen(sqlite3_errmsg(mDb)) + L")";
    return false;
}

bool Store::exec(const char* sql) {
    return sqlite3_exec(mDb, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

void Store::open() {
    std::wstring where = mPath.wstring();
    if (mPath.empty()) {
        mProblem = L"no settings path (set ZELCAD_SETTINGS or HOME)";
        return;
    }
    std::error_code ec;
    if (mPath.has_parent_path()) fs::create_directories(mPath.parent_path(), ec);
    if (sqlite3_open_v2(mPath.c_str(), &mDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        fail(L"cannot open the settings file " + where);
        sqlite3_close(mDb);
        mDb = nullptr;
        return;
    }
    sqlite3_busy_timeout(mDb, kBusyTimeoutMs);
    if (!checkIntact()) {
        sqlite3_close(mDb);
        mDb = nullptr;
        return;
    }
    // WAL keeps readers and one writer apart; should another process hold the file in a mode
    // that refuses the switch, the rollback journal is just as safe.
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA synchronous=FULL");
    if (!exec("CREATE TABLE IF NOT EXISTS settings(key TEXT PRIMARY KEY NOT NULL, value TEXT NOT "
              "NULL)")) {
        fail(L"cannot prepare the settings file " + where);
        sqlite3_close(mDb);
        mDb = nullptr;
    }
}

bool Store::checkIntact() {
    std::wstring where = mPath.wstring();
    Statement check(mDb, "PRAGMA quick_check");
    if (!check.ok()) return fail(L"the settings file " + where + L" is damaged or not a database");
    int rc = check.step();
    if (rc != SQLITE_ROW)
        return fail(L"the settings file " + where + L" is damaged or not a database");
    std::wstring verdict = check.column(0);
    if (verdict != L"ok") {
        mProblem = L"the settings file " + where + L" is damaged (" + verdict + L")";
        return false;
    }
    return true;
}

std::optional<std::wstring> Store::get(std::wstring_view key) {
    if (!mDb) return std::nullopt;
    Statement q(mDb, "SELECT value FROM settings WHERE key=?1");
    if (!q.ok()) {
        fail(L"cannot read the settings file " + mPath.wstring());
        return std::nullopt;
    }
    q.bind(1, key);
    int rc = q.step();
    if (rc == SQLITE_ROW) return q.column(0);
    if (rc != SQLITE_DONE) fail(L"cannot read the settings file " + mPath.wstring());
    return std::nullopt;
}

bool Store::set(std::wstring_view key, std::wstring_view value) {
    return setAll({{std::wstring(key), std::wstring(value)}});
}

bool Store::setAll(const Pairs& pairs) {
    if (!mDb) return false;
    mProblem.clear();
    std::wstring where = mPath.wstring();
    // IMMEDIATE takes the write lock at once (waiting for another writer), so that the
    // transaction never has to give up halfway for a lock.
    if (!exec("BEGIN IMMEDIATE")) return fail(L"the settings file " + where + L" is busy");
    Statement put(mDb, "INSERT INTO settings(key, value) VALUES(?1, ?2) "
                       "ON CONFLICT(key) DO UPDATE SET value=excluded.value");
    bool ok = put.ok();
    for (size_t i = 0; ok && i < pairs.size(); ++i) {
        put.bind(1, pairs[i].first);
        put.bind(2, pairs[i].second);
        ok = put.step() == SQLITE_DONE;
        put.reset();
    }
    if (ok && exec("COMMIT")) return true;
    fail(L"cannot write the settings file " + where);
    exec("ROLLBACK");
    return false;
}

Pairs Store::all() {
    Pairs out;
    if (!mDb) return out;
    Statement q(mDb, "SELECT key, value FROM settings ORDER BY key");
    if (!q.ok()) return out;
    while (q.step() == SQLITE_ROW)
        out.emplace_back(q.column(0), q.column(1));
    return out;
}

} // namespace zel::settings
