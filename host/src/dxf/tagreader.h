// The lowest layer of DXF reading: a stream of tags (group code + value) from the bytes of a
// whole file, ASCII or binary. Numbers are parsed here, so a malformed number is reported with
// the line (or byte offset) where it stands. Text values are handed on as raw bytes; decoding
// them (code page, escapes) is the business of the layer above.
#pragma once

#include "core/groupcodes.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zel::dxf {

// Group codes a DXF file may hold; anything else in a code position is damage.
inline constexpr int kMaxGroupCode = 1071;

struct Tag {
    int16_t code = 0;
    core::GroupType type = core::GroupType::String;
    // Strings and handles: the raw bytes of the value. Binary chunks: hexadecimal text, or the
    // bytes themselves in binary files (rawBytes). Points into the data of the reader.
    std::string_view text;
    bool rawBytes = false;
    double real = 0;     // Real and PointX values
    int64_t integer = 0; // Int16/Int32/Int64/Bool values
    // Where the tag starts: the line of its group code (ASCII, from 1) or the byte offset of
    // its group code (binary).
    uint64_t where = 0;
};

class TagReader {
public:
    // The data must outlive the reader and every tag it returns.
    explicit TagReader(std::string_view data);

    bool isBinary() const { return mBinary; }
    // Reads the next tag. Returns false at the end of the data (error() empty) or when the
    // data is damaged (error() says where and what was expected).
    bool next(Tag& tag);
    const std::string& error() const { return mError; }
    // "line 12" or "byte offset 4096", for messages of the layers above.
    std::string describe(uint64_t where) const;
    // The position of the next tag, as describe() takes it.
    uint64_t position() const { return mBinary ? mPos : mLine; }
    // The last line read (or the byte offset reached), for "the file ends" messages.
    uint64_t lastPosition() const { return mBinary ? mPos : (mLine > 1 ? mLine - 1 : 1); }
    bool atEnd() const { return mPos >= mData.size(); }
    // The byte offset of the next tag, and of a text of a tag this reader returned (the offset
    // of the next tag for a text that is not in the data).
    size_t offset() const { return mPos; }
    size_t offsetOf(std::string_view text) const;

private:
    bool nextAscii(Tag& tag);
    bool nextBinary(Tag& tag);
    bool readLine(std::string_view& line);
    bool parseAsciiValue(Tag& tag, std::string_view value);
    bool binaryCode(int& code);
    bool binaryValue(Tag& tag);
    bool fail(uint64_t where, const std::string& message);

    std::string_view mData;
    size_t mPos = 0;
    uint64_t mLine = 1; // line number of the next line to read (ASCII)
    bool mBinary = false;
    bool mTwoByteCodes = false;
    std::string mError;
};

// The binary DXF sentinel that starts a binary file.
inline constexpr std::string_view kBinarySentinel{"AutoCAD Binary DXF\r\n\x1a\0", 22};

// Number parsing shared with the group layer: whole text (surrounding spaces allowed), no
// exceptions, no locale.
bool parseDouble(std::string_view text, double& value);
bool parseInteger(std::string_view text, int64_t& value);
bool parseHex(std::string_view text, uint64_t& value);

} // namespace zel::dxf
