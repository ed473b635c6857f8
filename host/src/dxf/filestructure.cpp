#include "dxf/filestructure.h"

namespace zel::dxf {
namespace {

// A record type as a message shows it: printable ASCII, shortened.
std::string shown(const std::string& type) {
    constexpr size_t kShown = 40;
    std::string out;
    for (char c : type.substr(0, kShown)) {
        auto u = static_cast<unsigned char>(c);
        out += u >= 0x20 && u < 0x7f ? c : '?';
    }
    if (type.size() > kShown) out += "...";
    return out;
}

// The text of the first group with this code, as ASCII.
std::string nameGroup(const Record& r, int16_t code) {
    for (const ZelGroupValue& g : r.groups) {
        if (g.code != code) continue;
        std::string out;
        for (wchar_t c : g.text) out += c > 0 && c < 0x80 ? char(c) : '?';
        return out;
    }
    return {};
}

bool endsSection(const std::string& type) {
    return type == "ENDSEC" || type == "SECTION" || type == "EOF";
}

} // namespace

bool FileParser::run() {
    while (true) {
        if (!mRecords.next(mRecord)) {
            if (!mRecords.error().empty()) return false;
            // Ended between sections: sections may be missing, as in a file cut short.
            return endOfData("without 0/EOF (expected more sections or 0/EOF)");
        }
        if (mRecord.type == "EOF") return true;
        if (mRecord.type != "SECTION") return unexpected("0/SECTION or 0/EOF");
        if (!section()) return false;
    }
}

bool FileParser::next(const char* context) {
    if (mRecords.next(mRecord)) return true;
    if (!mRecords.error().empty()) return false;
    return endOfData(context);
}

bool FileParser::endOfData(const char* context) {
    return mRecords.fail(mRecords.lastPosition(), std::string("the file ends ") + context);
}

bool FileParser::unexpected(const std::string& expected) {
    return mRecords.fail(mRecord.where,
                         "expected " + expected + ", found 0/" + shown(mRecord.type));
}

bool FileParser::isSubEntity() const {
    const std::string& t = mRecord.type;
    return t == "VERTEX" || t == "ATTRIB" || t == "SEQEND";
}

bool FileParser::section() {
    if (mRecord.groups.empty() || mRecord.groups.front().code != 2)
        return mRecords.fail(mRecord.where, "expected 2/<section name> after 0/SECTION");
    std::string name = nameGroup(mRecord, 2);
    if (name == "HEADER") return header();
    if (name == "TABLES") return tables();
    if (name == "BLOCKS") return blocks();
    if (name == "ENTITIES") return entities(name);
    if (name == "OBJECTS") return objects();
    return kept(name);
}

bool FileParser::header() {
    if (!mSink.take(Role::Header, "HEADER", mRecord)) return false;
    if (!next("inside the HEADER section (expected 0/ENDSEC)")) return false;
    if (mRecord.type != "ENDSEC") return unexpected("0/ENDSEC");
    return true;
}

bool FileParser::tables() {
    while (next("inside the TABLES section (expected 0/ENDSEC)")) {
        if (mRecord.type == "ENDSEC") return true;
        if (mRecord.type != "TABLE") return unexpected("0/TABLE or 0/ENDSEC");
        if (!table()) return false;
    }
    return false;
}

bool FileParser::table() {
    std::string name = nameGroup(mRecord, 2);
    if (!mSink.take(Role::TableStart, "TABLES", mRecord)) return false;
    std::string context = "inside the table " + shown(name) + " (expected 0/ENDTAB)";
    while (next(context.c_str())) {
        if (mRecord.type == "ENDTAB") return mSink.take(Role::TableEnd, "TABLES", mRecord);
        if (endsSection(mRecord.type) || mRecord.type == "TABLE") return unexpected("0/ENDTAB");
        if (!mSink.take(Role::TableRecord, "TABLES", mRecord)) return false;
    }
    return false;
}

bool FileParser::blocks() {
    while (next("inside the BLOCKS section (expected 0/ENDSEC)")) {
        if (mRecord.type == "ENDSEC") return true;
        if (mRecord.type != "BLOCK") return unexpected("0/BLOCK or 0/ENDSEC");
        std::string context = "inside the block " + shown(nameGroup(mRecord, 2)) +
                              " (expected 0/ENDBLK)";
        if (!mSink.take(Role::BlockStart, "BLOCKS", mRecord)) return false;
        while (true) {
            if (!next(context.c_str())) return false;
            if (mRecord.type == "ENDBLK") break;
            if (endsSection(mRecord.type) || mRecord.type == "BLOCK")
                return unexpected("0/ENDBLK");
            Role role = isSubEntity() ? Role::SubEntity : Role::Entity;
            if (!mSink.take(role, "BLOCKS", mRecord)) return false;
        }
        if (!mSink.take(Role::BlockEnd, "BLOCKS", mRecord)) return false;
    }
    return false;
}

bool FileParser::entities(const std::string& name) {
    while (next("inside the ENTITIES section (expected 0/ENDSEC)")) {
        if (mRecord.type == "ENDSEC") return true;
        if (endsSection(mRecord.type)) return unexpected("0/ENDSEC");
        Role role = isSubEntity() ? Role::SubEntity : Role::Entity;
        if (!mSink.take(role, name, mRecord)) return false;
    }
    return false;
}

bool FileParser::objects() {
    while (next("inside the OBJECTS section (expected 0/ENDSEC)")) {
        if (mRecord.type == "ENDSEC") return true;
        if (endsSection(mRecord.type)) return unexpected("0/ENDSEC");
        if (!mSink.take(Role::Object, "OBJECTS", mRecord)) return false;
    }
    return false;
}

bool FileParser::kept(const std::string& name) {
    if (!mSink.take(Role::SectionStart, name, mRecord)) return false;
    std::string context = "inside the " + shown(name) + " section (expected 0/ENDSEC)";
    while (next(context.c_str())) {
        if (mRecord.type == "ENDSEC") return mSink.take(Role::SectionEnd, name, mRecord);
        if (endsSection(mRecord.type)) return unexpected("0/ENDSEC");
        if (!mSink.take(Role::Kept, name, mRecord)) return false;
    }
    return false;
}

} // namespace zel::dxf
