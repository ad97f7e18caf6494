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

// Whether the 32-bit view redirects every key below the key at path of root (not
// HKEY_CLASSES_ROOT) as it redirects that key: no rule looks below it.
bool RedirectionFixedBelow(RegRoot root, const std::vector<std::wstring>& path);

// Whether no key below the key of HKEY_CLASSES_ROOT at path (not the root itself) merges the
// user's and the machine's subkeys.
bool MergingFixedBelow(const std::vector<std::wstring>& path);

} // namespace sim
