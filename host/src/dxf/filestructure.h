// The structure of a DXF file: sections, tables, blocks and the records in them. The parser
// checks that every section, table and block is closed and hands each record to a sink with
// its role; a structural error stops the read with the position and what was expected.
#pragma once

#include "dxf/records.h"

#include <string>

namespace zel::dxf {

enum class Role {
    SectionStart, // 0 SECTION of a section kept as it is (CLASSES, THUMBNAILIMAGE, unknown)
    Kept,         // a record of such a section
    SectionEnd,   // its 0 ENDSEC
    Header,       // the HEADER section: one record whose groups are the variables
    TableStart,   // 0 TABLE with its groups
    TableRecord,  // a record of the current table
    TableEnd,     // 0 ENDTAB
    BlockStart,   // 0 BLOCK
    BlockEnd,     // 0 ENDBLK
    Entity,       // an entity of the current block, or of the ENTITIES section
    SubEntity,    // VERTEX, ATTRIB or SEQEND: part of the entity before it
    Object,       // an object of the OBJECTS section
};

class FileSink {
public:
    virtual ~FileSink() = default;
    // Takes one record. Returns false to stop the read; the sink then sets the error through
    // the parser's records (RecordReader::fail) so it carries a position.
    virtual bool take(Role role, const std::string& section, Record& record) = 0;
};

class FileParser {
public:
    FileParser(RecordReader& records, FileSink& sink) : mRecords(records), mSink(sink) {}
    // Reads the whole file; false with error() on a structural error or a sink's refusal.
    bool run();
    const std::string& error() const { return mRecords.error(); }

private:
    bool next(const char* context);
    bool section();
    bool header();
    bool tables();
    bool table();
    bool blocks();
    bool entities(const std::string& name);
    bool objects();
    bool kept(const std::string& name);
    bool unexpected(const std::string& expected);
    bool endOfData(const char* context);
    bool isSubEntity() const;

    RecordReader& mRecords;
    FileSink& mSink;
    Record mRecord;
    bool mEnded = false; // the data ended (no error) at the last next()
};

} // namespace zel::dxf
