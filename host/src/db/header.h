// The HEADER variables of a drawing: an ordered store of name -> group values, as read from
// a file (every variable is kept and written back in its order) or set by the host.
#pragma once

#include "arx/db.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zel::db {

class HeaderVars {
public:
    struct Entry {
        std::wstring name; // with the '$', as written
        std::vector<ZelGroupValue> values;
        bool operator==(const Entry&) const = default;
    };

    const std::vector<ZelGroupValue>* find(std::wstring_view name) const;
    // Replaces the values of a variable (keeping its place) or appends a new one.
    void set(std::wstring_view name, std::vector<ZelGroupValue> values);
    // Removes a variable; returns its place, or -1 when there was none.
    long erase(std::wstring_view name);
    void insertAt(size_t index, Entry entry);
    long indexOf(std::wstring_view name) const;
    const std::vector<Entry>& entries() const { return mEntries; }
    void clear();

    // Typed reads of the first value; the default when the variable is missing.
    double real(std::wstring_view name, double dflt) const;
    int64_t integer(std::wstring_view name, int64_t dflt) const;
    std::wstring text(std::wstring_view name, std::wstring_view dflt) const;
    AcGePoint3d point(std::wstring_view name, const AcGePoint3d& dflt) const;

private:
    void reindex();
    std::vector<Entry> mEntries;
    std::unordered_map<std::wstring, size_t> mIndex; // upper-case name -> place
};

// The group code a variable of the host is written with ($CLAYER -> 8); 0 when unknown.
int16_t headerVariableCode(std::wstring_view name);

} // namespace zel::db
