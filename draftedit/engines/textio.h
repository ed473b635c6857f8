// Text files and paths of the engines: files are UTF-8, or CP932 when they are not valid
// UTF-8; paths cross the module API as wide strings and reach the file system as UTF-8.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace draftedit::engines {

// UTF-8 of a wide string (characters that are not Unicode scalar values become U+FFFD).
std::string toUtf8(std::wstring_view text);
bool isValidUtf8(std::string_view bytes);
// UTF-8 when valid (a leading byte-order mark dropped), else CP932 (undecodable bytes become
// U+FFFD).
std::wstring decodeText(std::string_view bytes);
// CP932 bytes of the text; nullopt when a character has no CP932 form.
std::optional<std::string> encodeCp932(std::wstring_view text);
std::wstring decodeCp932(std::string_view bytes);

// The whole content of a file; nullopt when it cannot be opened or read.
std::optional<std::string> readFileBytes(const std::string& path);

// The lines of a text file's content: CRLF and LF both end a line, and a Ctrl-Z (0x1A) ends
// the text as it does for a file read in text mode. A last line without a line end counts.
std::vector<std::wstring> splitLines(std::wstring_view text);

// The number at the start of a line, read the way the C runtime's atof reads it: leading
// blanks skipped, the longest prefix that forms a decimal number taken. Text that is not a
// number, and values that are not finite (NaN, infinity, overflow), give 0.
double parseLeadingNumber(std::wstring_view line);

// A file closed when the handle goes.
struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};

} // namespace draftedit::engines
