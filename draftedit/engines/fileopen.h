// Opening the files of the engines and file tools. A file opened for writing is opened only
// after its folder has shown that it exists and accepts new files: a probe file named
// "QM_nnnnn.T" (the first free number from 0) is created there and deleted at once.
#pragma once

#include <cstdio>
#include <string>

namespace draftedit::engines {

// True when the folder (given with or without a trailing '/') exists and a probe file could
// be created and removed in it.
bool probeFolder(const std::string& folder);
// The folder of a path, made absolute against the working folder.
std::string folderOf(const std::string& path);
// A name beside path that names no file yet ("path.~0", "path.~1", ...), for a file written
// whole and then renamed into place.
std::string partialName(const std::string& path);
// The file opened with fopen's mode; for a mode that begins with "w" or "W" the folder is
// probed first. Null on failure.
std::FILE* openFile(const std::string& path, const char* mode);

} // namespace draftedit::engines
