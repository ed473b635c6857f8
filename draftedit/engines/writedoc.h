// Plain text to a document of the Write word-processor family: 128-byte pages of a header,
// the text, one character format, two paragraph formats, one A4 section and one font.
#pragma once

#include <string>
#include <string_view>

namespace draftedit::engines {

enum class WriteDocResult {
    Ok = 0,
    InputNotOpened = 10,
    InputEmpty = 11,
    OutputNotOpened = 20,
    WriteFailed = 21,
};

// The text bytes the document carries: the file's bytes, except that a UTF-8 file with
// characters beyond ASCII is given in CP932 (the document's code page) when every character
// has a CP932 form.
std::string writeDocumentText(std::string_view fileBytes);

// The whole document for the given text bytes.
std::string buildWriteDocument(std::string_view text);

// Converts a text file into a document (paths are UTF-8). The document is written beside
// the output under a temporary name and renamed into place when complete, so a failure
// leaves no partial document and an older file of that name untouched.
WriteDocResult convertTextToWrite(const std::string& inputPath, const std::string& outputPath);

} // namespace draftedit::engines
