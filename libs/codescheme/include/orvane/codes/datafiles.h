// Where the libraries look for their read-only data files (orvane-seg.dict, orvane-codes.dat).
#pragma once

#include <string>
#include <vector>

namespace orvane::codes {

// The folder with a trailing "/" (empty stays empty).
std::string withSlash(std::string folder);

// Folder of the shared object or executable that contains this address, with "/"; empty if
// unknown.
std::string folderOfAddress(const void *address);

// The installed data folder of the program, with "/": $ORVANE_DATA_DIR when it is set (empty:
// none), else share/orvane-tutor/ of the install tree that holds the library in libraryFolder
// (empty: none), so that a moved tree still finds its data.
std::string installedDataFolder(const std::string &libraryFolder);

// First of the folders (empty ones skipped) that holds a regular file of this name; empty if
// none does.
std::string findDataFile(const std::string &name, const std::vector<std::string> &folders);

} // namespace orvane::codes
