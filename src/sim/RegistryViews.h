// The views of the registry a program can see: which paths the 32-bit view of 64-bit Windows
// redirects to Wow6432Node (Wow64View.cpp), and which keys of HKEY_CLASSES_ROOT merge the user's
// and the machine's subkeys (ClassesRoot.cpp). For the registry's own files.
#pragma once

#include "sim/RegistryPaths.h"

#include <string>
#include <vector>

namespace sim {

// Whether a class registration (CLSID, Interface, ...) has a 32-bit copy under Wow6432Node.
bool IsRedirectedClass(const std::wstring& name);

// Whether the key of HKEY_CLASSES_ROOT named by the first `length` names of path merges its
// subkeys from the user's and the machine's classes.
bool IsMergedClassKey(const std::vector<std::wstring>& path, size_t length);

// No rule of either view looks deeper than this many names: below, a key's view follows from
// its parent's.
const size_t kDeepestViewRule = 8;

} // namespace sim
