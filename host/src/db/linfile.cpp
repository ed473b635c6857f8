#include "db/linfile.h"

#include "core/text.h"

#include <cmath>
#include <fstream>
#include <memory>
#include <numbers>
#include <sstream>

namespace zel::db {

namespace {

constexpr int16_t kComplexAbsoluteRotation = 1;
constexpr int16_t kComplexText = 2;
constexpr int16_t kComplexShape = 4;

// The items of a pattern line split at commas outside brackets.
std::vector<std::wstring> patternItems(const std::wstring& line) {
    std::vector<std::wstring> items;
    std::wstring item;
    int depth = 0;
    for (wchar_t c : line) {
        if (c == L'[') ++depth;
        if (c == L']') --depth;
        if (c == L',' && depth == 0) {
            items.push_back(core::trim(item));
            item.clear();
            continue;
        }
        item += c;
    }
    items.push_back(core::trim(item));
    return items;
}

bool number(const std::wstring& text, double& value) {
    try {
        size_t used = 0;
        value = std::stod(text, &used);
        return used == text.size();
    } catch (const std::exception&) {
        return false;
    }
}

AcDbHandle textStyleHandle(AcDbDatabase* db, const std::wstring& name) {
    AcDbTextStyleTable* table = nullptr;
    if (!db || db->getSymbolTable(table, AcDb::kForRead) != Acad::eOk || !table) return {};
    AcDbObjectId id;
    bool found = table->getAt(name.c_str(), id) == Acad::eOk;
    table->close();
    return found ? id.handle() : AcDbHandle();
}

// One "KEY=value" of a complex element.
bool complexOption(const std::wstring& item, ZelDashElement& e) {
    size_t eq = item.find(L'=');
    if (eq == std::wstring::npos) return false;
    std::wstring key = core::toUpper(core::trim(item.substr(0, eq)));
    std::wstring text = core::trim(item.substr(eq + 1));
    if (!text.empty() && (text.back() == L'D' || text.back() == L'd')) text.pop_back();
    double v = 0;
    if (!number(text, v)) return false;
    if (key == L"S") {
        e.scale = v;
        e.hasScale = true;
    } else if (key == L"R" || key == L"A" || key == L"U") {
        e.rotation = v * std::numbers::pi / 180;
        e.hasRotation = true;
        if (key == L"A") e.complexType |= kComplexAbsoluteRotation;
    } else if (key == L"X") {
        e.xOffset = v;
        e.hasOffsets = true;
    } else if (key == L"Y") {
        e.yOffset = v;
        e.hasOffsets = true;
    } else {
        return false;
    }
    return true;
}

// "[\"GAS\",STANDARD,S=.1]" or "[BOX,ltypeshp.shx,S=.1]" onto the element before it.
bool complexElement(const std::wstring& item, AcDbDatabase* db, ZelDashElement& e) {
    std::vector<std::wstring> parts = patternItems(item.substr(1, item.size() - 2));
    if (parts.size() < 2) return false;
    if (parts[0].size() >= 2 && parts[0].front() == L'"' && parts[0].back() == L'"') {
        e.complexType |= kComplexText;
        e.text = parts[0].substr(1, parts[0].size() - 2);
        e.style = textStyleHandle(db, parts[1]);
    } else {
        e.complexType |= kComplexShape;
        e.text = parts[0]; // the shape's name; its number needs the shape file
    }
    for (size_t i = 2; i < parts.size(); ++i)
        if (!complexOption(parts[i], e)) return false;
    return true;
}

} // namespace

bool parseLinPattern(const std::wstring& line, AcDbDatabase* db, std::vector<ZelDashElement>& out) {
    std::vector<std::wstring> items = patternItems(line);
    if (items.empty() || core::toUpper(items[0]) != L"A") return false;
    for (size_t i = 1; i < items.size(); ++i) {
        const std::wstring& item = items[i];
        if (item.empty()) return false;
        if (item.front() == L'[') {
            if (item.back() != L']' || out.empty() || !complexElement(item, db, out.back()))
                return false;
            continue;
        }
        double v = 0;
        if (!number(item, v)) return false;
        out.push_back(ZelDashElement{});
        out.back().length = v;
    }
    return !out.empty();
}

LinFile readLinFile(const std::string& path, AcDbDatabase* db) {
    LinFile result;
    std::ifstream file(path, std::ios::binary);
    result.opened = bool(file);
    if (!result.opened) return result;
    std::stringstream bytes;
    bytes << file.rdbuf();
    std::wstringstream text(core::decodeTextFile(bytes.str()));
    std::vector<LinDefinition>& defs = result.definitions;
    std::wstring line;
    while (std::getline(text, line)) {
        line = core::trim(line);
        if (line.empty() || line.starts_with(L";")) continue;
        if (line[0] == L'*') {
            size_t comma = line.find(L',');
            defs.push_back({core::trim(line.substr(1, comma - 1)),
                            comma == std::wstring::npos ? L"" : line.substr(comma + 1),
                            {},
                            {}});
            continue;
        }
        if (defs.empty() || !defs.back().elements.empty()) continue;
        if (!parseLinPattern(line, db, defs.back().elements)) {
            result.unreadable.push_back(defs.back().name);
            defs.pop_back();
        }
    }
    std::erase_if(defs, [](const LinDefinition& d) { return d.elements.empty(); });
    return result;
}

bool storeLinetype(AcDbDatabase& db, const LinDefinition& def) {
    AcDbLinetypeTable* table = nullptr;
    if (db.getLinetypeTable(table, AcDb::kForWrite) != Acad::eOk) return false;
    AcDbLinetypeTableRecord* record = nullptr;
    bool existing = table->getAt(def.name.c_str(), record, AcDb::kForWrite) == Acad::eOk;
    std::unique_ptr<AcDbLinetypeTableRecord> fresh;
    if (!existing) {
        fresh = std::make_unique<AcDbLinetypeTableRecord>();
        record = fresh.get();
        if (record->setName(def.name.c_str()) != Acad::eOk) {
            table->close();
            return false;
        }
    }
    double total = 0;
    std::vector<ZelDashElement> elements = def.elements;
    for (ZelDashElement& e : elements) {
        total += std::fabs(e.length);
        if (e.complexType & kComplexText) continue;
        if (e.complexType & kComplexShape) e.text.clear(); // DXF keeps the shape by number
    }
    record->setComments(def.description.c_str());
    record->setDashes(std::move(elements));
    record->setPatternLength(total);
    bool ok = existing || table->add(record) == Acad::eOk;
    table->close();
    if (ok && fresh) fresh.release(); // the database owns it now
    if (ok) record->close();
    return ok;
}

} // namespace zel::db
