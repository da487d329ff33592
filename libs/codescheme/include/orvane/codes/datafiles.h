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

// The installed data folder of the program, with "/".
std::string installedDataFolder();

// First of the folders (empty ones skipped) that holds a regular file of this name; empty if
// none does.
std::string findDataFile(const std::string &name, const std::vector<std::string> &folders);

} // namespace orvane::codes
