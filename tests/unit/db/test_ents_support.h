// Helpers of the tests of the complex entity kinds: group lists, round trips through the
// schemas, and the entities of the drawings under tests/fixtures/external.
#pragma once

#include "arx/db.h"
#include "core/groupcodes.h"
#include "db/schema.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace zel::test {

using Groups = std::vector<ZelGroupValue>;

inline Groups groupsOf(const AcDbObject& o) {
    Groups out;
    db::writeGroups(
        o, [&](const ZelGroupValue& g) { out.push_back(g); }, true);
    return out;
}

// The schema for an object with these groups: the registered one, or its variant.
inline const db::ObjectSchema* schemaFor(const std::string& type, const Groups& groups) {
    const db::ObjectSchema* s = db::SchemaRegistry::instance().find(type);
    if (s && s->variant) s = s->variant(groups);
    return s;
}

// A new object of the kind read from the groups.
inline std::unique_ptr<AcDbObject> readObject(const std::string& type, const Groups& groups) {
    const db::ObjectSchema* s = schemaFor(type, groups);
    if (!s) return nullptr;
    std::unique_ptr<AcDbObject> o = s->create();
    db::GroupReader reader(*o);
    for (const ZelGroupValue& g : groups)
        reader.take(g);
    reader.finish();
    return o;
}

inline std::string describe(const ZelGroupValue& g) {
    std::ostringstream s;
    s << g.code << ":";
    switch (core::groupType(g.code)) {
    case core::GroupType::PointX:
        s << "(" << g.point.x << "," << g.point.y << "," << g.point.z << ")";
        break;
    case core::GroupType::Real:
        s << g.real;
        break;
    case core::GroupType::String:
    case core::GroupType::Binary:
        s << std::string(g.text.begin(), g.text.end());
        break;
    default:
        s << g.integer;
        break;
    }
    return s.str();
}

inline std::string describe(const Groups& gs) {
    std::string out;
    for (const ZelGroupValue& g : gs)
        out += describe(g) + " ";
    return out;
}

// Groups compared by value (points by coordinates, not by the flat flag).
inline bool sameGroups(const Groups& a, const Groups& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].code != b[i].code || a[i].real != b[i].real || a[i].integer != b[i].integer ||
            a[i].text != b[i].text || a[i].point.x != b[i].point.x ||
            a[i].point.y != b[i].point.y || a[i].point.z != b[i].point.z)
            return false;
    }
    return true;
}

// One record of an ASCII DXF file: its type and its groups (points assembled).
struct DxfRecord {
    std::string type;
    Groups groups;
    bool damaged = false;
};

inline std::wstring widen(const std::string& s) {
    std::wstring w;
    for (unsigned char c : s)
        w += wchar_t(c); // the tests only compare, so bytes are enough
    return w;
}

inline void parseValue(ZelGroupValue& g, int code, const std::string& text,
                       const std::vector<std::pair<int, std::string>>& tags, size_t& i) {
    switch (core::groupType(code)) {
    case core::GroupType::PointX: {
        g.point.x = std::stod(text);
        if (i + 1 < tags.size() && tags[i + 1].first == code + 10)
            g.point.y = std::stod(tags[++i].second);
        if (i + 1 < tags.size() && tags[i + 1].first == code + 20)
            g.point.z = std::stod(tags[++i].second);
        else
            g.flat = true;
        break;
    }
    case core::GroupType::Real:
        g.real = std::stod(text);
        break;
    case core::GroupType::Handle:
        g.integer = int64_t(std::stoull(text, nullptr, 16));
        break;
    case core::GroupType::String:
    case core::GroupType::Binary:
        g.text = widen(text);
        break;
    default:
        g.integer = std::stoll(text);
        break;
    }
}

// Reads the records of an ASCII DXF file (a minimal reader for tests: no binary files).
inline std::vector<DxfRecord> readDxfRecords(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::pair<int, std::string>> tags;
    std::string codeLine, value;
    while (std::getline(in, codeLine) && std::getline(in, value)) {
        if (!value.empty() && value.back() == '\r') value.pop_back();
        try {
            tags.emplace_back(std::stoi(codeLine), value);
        } catch (...) {
            break;
        }
    }
    std::vector<DxfRecord> out;
    for (size_t i = 0; i < tags.size(); ++i) {
        auto [code, text] = tags[i];
        if (code == 0) {
            out.push_back({text, {}, false});
            continue;
        }
        if (out.empty()) continue;
        ZelGroupValue g;
        g.code = int16_t(code);
        try {
            parseValue(g, code, text, tags, i);
        } catch (...) {
            out.back().damaged = true; // a damaged value: the record is left out of tests
        }
        out.back().groups.push_back(g);
    }
    return out;
}

} // namespace zel::test
