// The roots of the registry and the paths below them: the one table of root names that every
// parser of a root reads, and the splitting of a path into key names.
#pragma once

#include "winapi/winapi.h"

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

} // namespace sim
