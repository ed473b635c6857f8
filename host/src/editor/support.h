// Where the program finds its own files: the resources folder (linetype files, dialog
// templates, default settings, the list of modules loaded at start) and the support folders
// that acedFindFile searches.
#pragma once

#include <filesystem>
#include <vector>

namespace zel::editor {

// ZELCAD_RESOURCES when set; else "resources" beside the program, or the folder the program
// was built from.
std::filesystem::path resourcesFolder();

} // namespace zel::editor
