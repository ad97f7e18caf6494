// The views of the registry a program can see, as one table of rules (RegistryViews.cpp): which
// keys the 32-bit view of 64-bit Windows redirects to Wow6432Node, which it shares, and which keys
// of HKEY_CLASSES_ROOT merge the user's and the machine's subkeys and values.
#pragma once

#include "sim/RegistryPaths.h"

#include <string>
#include <vector>

namespace sim {

// Where the 32-bit view puts Wow6432Node in the path of a key of root (not HKEY_CLASSES_ROOT):
// before the name at the position returned, or nowhere (npos) when the view reads the key itself.
size_t RedirectionAt(RegRoot root, const std::vector<std::wstring>& path);

// Whether the key of HKEY_CLASSES_ROOT named by the first `length` names of path merges its
// subkeys and values from the user's and the machine's classes.
bool IsMergedClassKey(const std::vector<std::wstring>& path, size_t length);

// Whether a rule names the key of path itself (for a key of HKEY_CLASSES_ROOT, also a rule of the
// trees' Software\Classes). A key that no rule names is seen where its parent is seen, and is not
// merged.
bool ViewRuleNames(RegRoot root, const std::vector<std::wstring>& path);

} // namespace sim
