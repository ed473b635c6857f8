// The module's file-open routine: fopen of a wide path, a file opened for writing only in a
// folder that exists and accepts a new file (probe "QM_nnnnn.T", created and deleted at once).
#pragma once

#include "arx/ads.h"

#include <cstdio>

namespace draftedit {

// Null when the file cannot be opened or, for a mode beginning with "w"/"W", its folder fails
// the probe.
std::FILE* zelOpenFile(const ACHAR* path, const ACHAR* mode);

} // namespace draftedit
