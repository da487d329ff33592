#include "orvane/codes/datafiles.h"

#include <cstdlib>

#include <dlfcn.h>
#include <sys/stat.h>

namespace orvane::codes {

std::string withSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

std::string folderOfAddress(const void *address)
{
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname)
        return {};
    std::string path = info.dli_fname;
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return path.substr(0, slash + 1);
}

std::string installedDataFolder(const std::string &libraryFolder)
{
    // ORVANE_DATA_DIR stands for the installed folder when set (empty: none), so that tests and
    // a program run from its build folder do not depend on what is installed on the machine.
    if (const char *overridden = std::getenv("ORVANE_DATA_DIR"))
        return withSlash(overridden);
    if (libraryFolder.empty())
        return {};
    return withSlash(libraryFolder) + withSlash(ORVANE_DATA_FROM_LIBS);
}

std::string findDataFile(const std::string &name, const std::vector<std::string> &folders)
{
    for (const std::string &folder : folders) {
        if (folder.empty())
            continue;
        const std::string path = withSlash(folder) + name;
        struct stat st { };
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            return path;
    }
    return {};
}

} // namespace orvane::codes
