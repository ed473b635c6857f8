// The symbol tables of a DXF file, in the order a file of release 2000 and later writes them,
// with the table of the database each one fills.
#pragma once

#include "db/database_impl.h"

#include <string_view>

namespace zel::dxf {

struct TableKind {
    const char* name; // the 2 group of 0 TABLE, and the type of its records
    db::DatabaseImpl::Table table;
};

inline constexpr TableKind kTableKinds[] = {
    {"VPORT", db::DatabaseImpl::kVport},   {"LTYPE", db::DatabaseImpl::kLinetype},
    {"LAYER", db::DatabaseImpl::kLayer},   {"STYLE", db::DatabaseImpl::kStyle},
    {"VIEW", db::DatabaseImpl::kView},     {"UCS", db::DatabaseImpl::kUcs},
    {"APPID", db::DatabaseImpl::kAppId},   {"DIMSTYLE", db::DatabaseImpl::kDimStyle},
    {"BLOCK_RECORD", db::DatabaseImpl::kBlock},
};

inline const TableKind* findTableKind(std::string_view name) {
    for (const TableKind& k : kTableKinds)
        if (name == k.name) return &k;
    return nullptr;
}

// A table the host does not know is kept whole (0 TABLE to 0 ENDTAB, as groups with the 0
// groups in place) as a raw section of this name prefix followed by the table's name; the
// writer puts it back at the end of the TABLES section.
inline constexpr std::wstring_view kKeptTablePrefix = L"TABLES/";

} // namespace zel::dxf
