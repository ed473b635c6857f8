// Settings as text: one "KEY=VALUE" a line, UTF-8. In values a backslash starts an escape:
// "\\" a backslash, "\t" a TAB, "\n" a line end, "\r" a carriage return. Lines that are empty
// or start with '#' are comments. The default drafting tables are shipped in this form, and
// `zelcad settings import|export` read and write it.
#pragma once

#include "companions/zeldll/store.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zel::settings {

struct ParsedText {
    Pairs pairs;
    std::vector<std::wstring> errors; // "line 3: ..." — any error makes the whole text unusable
    bool ok() const { return errors.empty(); }
};

ParsedText parseSettingsText(std::string_view bytes);
std::string formatSettingsText(const Pairs& pairs);

// A file that cannot be read is one error.
ParsedText readSettingsFile(const std::filesystem::path& path);
// Written to a temporary file beside it, then renamed over it: the file is either the old one
// or the whole new one. An empty text, or why it could not.
std::wstring writeSettingsFile(const std::filesystem::path& path, const Pairs& pairs);

// A file of the shipped resources (relative to resources/): in ZELCAD_RESOURCES when it is
// set, else in the first folder from start upwards that has resources/relative. Empty when
// there is none.
std::filesystem::path findResource(const std::filesystem::path& start,
                                   const std::filesystem::path& relative);
// The shipped default drafting tables, found from start as findResource does.
inline const std::filesystem::path kDefaultsResource = "settings/defaults.txt";

} // namespace zel::settings
