// Windows paths on the simulated machine: resolved to host paths through the drive map,
// component by component without regard to letter case, with Wine's short (8.3) names.
#pragma once

#include "sim/Names.h"
#include "winapi/winapi.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace sim {

struct ResolvedPath {
    // Windows error when the path cannot be resolved (ERROR_SUCCESS otherwise).
    DWORD error = ERROR_SUCCESS;
    // Host path; for a missing last component, the resolved parent and the name as written.
    std::string host;
    // Whether the host path exists.
    bool exists = false;
    // What stat finds for the host path when it exists (following links); 0 for a link that
    // points nowhere.
    mode_t mode = 0;
    // Windows path with the drive as written and every component in its long form: as written,
    // except that short names are replaced by the names on disk.
    std::wstring longForm;
    // The same path made of short names.
    std::wstring shortForm;
};

// Resolves an absolute Windows path ("C:\dir\file", forward slashes accepted). A missing
// last component resolves with exists false; a missing folder on the way is
// ERROR_PATH_NOT_FOUND.
ResolvedPath ResolveWindowsPath(const std::wstring& windowsPath);

// Wine's short name of a file name: the name itself when it is a legal 8.3 name, otherwise
// four characters, tildes, a three-character hash and the first three of the extension.
std::wstring ShortNameOf(const std::wstring& name);

// Case-insensitive match of a name against a pattern with the wildcards * and ?.
bool MatchesWildcard(const std::wstring& name, const std::wstring& pattern);

} // namespace sim
