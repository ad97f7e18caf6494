// The roots of the registry and the paths below them: the one table of root names that every
// parser of a root reads, and the splitting of a path into key names.
#pragma once

#include "winapi/winapi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

// The root a name stands for: the long name (HKEY_LOCAL_MACHINE) or the short one (HKLM), in any
// letter case. False for any other name.
bool ParseRegistryRoot(const std::wstring& name, RegRoot& root);
// The long name of a root (HKEY_LOCAL_MACHINE ...).
const wchar_t* RootLongName(RegRoot root);
// The root of a predefined handle (HKEY_CLASSES_ROOT ...); false for any other handle.
bool RootOfHandle(HKEY handle, RegRoot& root);

// Splits a path at its backslashes; one trailing backslash is ignored. False for an empty
// component (a leading backslash or two in a row).
bool SplitRegistryPath(const std::wstring& path, std::vector<std::wstring>& components);
// The same into the strings of parts, reused from call to call (parts beyond count are left as
// they are); count is the number of names. Only the first `kept` names are copied into parts; the
// others are only checked and counted.
bool SplitKeyPath(const std::wstring& path, std::vector<std::wstring>& parts, size_t& count,
                  size_t kept = SIZE_MAX);

// Paths given as text ("Microsoft\\OLE"), split once.
using RegistryPathList = std::vector<std::vector<std::wstring>>;
template <size_t N> RegistryPathList SplitPathList(const wchar_t* const (&entries)[N]) {
    RegistryPathList list;
    for (const wchar_t* entry : entries) {
        std::vector<std::wstring> parts;
        SplitRegistryPath(entry, parts);
        list.push_back(std::move(parts));
    }
    return list;
}

// Whether path[from...] begins with the names of prefix (without regard to case).
bool PathStartsWith(const std::vector<std::wstring>& path, size_t from,
                    const std::vector<std::wstring>& prefix);

} // namespace sim
