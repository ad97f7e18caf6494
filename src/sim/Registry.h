// The registry of the simulated machine.
//
// Three trees are kept: HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and HKEY_USERS. HKEY_CLASSES_ROOT
// has no tree of its own: it is composed of HKEY_CURRENT_USER\Software\Classes over
// HKEY_LOCAL_MACHINE\Software\Classes as Windows merges them (ClassesRoot.cpp). The keys
// themselves are RegKey (RegKey.h).
//
// Keys are reached by logical paths in a view. On 64-bit Windows a 32-bit program sees the
// registry through the 32-bit view, in which most of HKEY_LOCAL_MACHINE\Software and the class
// registrations (CLSID, Interface, ...) are redirected to their Wow6432Node counterparts and the
// rest is shared; the native view reads the keys as they are. A 32-bit machine has one view.
#pragma once

#include "sim/Names.h"
#include "sim/RegKey.h"
#include "sim/RegistryPaths.h"
#include "sim/Utf16.h"
#include "winapi/winapi.h"

#include <memory>
#include <string>
#include <vector>

namespace sim {

// An opened key: the key itself and, for a key of HKEY_CLASSES_ROOT where the user's and the
// machine's registrations merge, the machine's key whose subkeys and values show through.
struct RegKeyView {
    RegKey* key = nullptr;
    RegKey* underlay = nullptr;
    explicit operator bool() const { return key != nullptr; }
};

class Registry {
public:
    Registry();

    // The tree of a root (HKEY_CLASSES_ROOT has none: null).
    RegKey* Tree(RegRoot root);

    // Opens a key by its logical path (components without backslashes) under a root, through
    // the 32-bit view when `view32` (a 32-bit program on 64-bit Windows), else natively; links
    // are followed.
    RegKeyView Open(RegRoot root, const std::vector<std::wstring>& path, bool view32);
    // Opens or creates a key. Keys created through HKEY_CLASSES_ROOT go to the machine's
    // classes unless the user's classes already hold the key.
    RegKey* Create(RegRoot root, const std::vector<std::wstring>& path, bool view32,
                   bool* created = nullptr);
    // Deletes a key and its subtree; false when it does not exist.
    bool DeleteTree(RegRoot root, const std::vector<std::wstring>& path, bool view32);

    // The enumeration of an opened key, merged for HKEY_CLASSES_ROOT: the subkey at an index of
    // the sorted order, and the value at an index (the key's own in creation order, then those of
    // the underlay that it lacks); null past the last.
    static RegKey* SubkeyAt(const RegKeyView& view, size_t index);
    static const RegValue* ValueAt(const RegKeyView& view, size_t index);
    static const RegValue* FindValue(const RegKeyView& view, const std::wstring& name);
    // A subkey that SubkeyAt gave, opened as Open(root, path, view32) opens it (path ends in its
    // name): in one step from its parent, unless a rule of the views names it.
    RegKeyView OpenSubkey(RegRoot root, const std::vector<std::wstring>& path, bool view32,
                          RegKey& subkey);

    // For machines built in code: the key of a full native path such as
    // "HKEY_LOCAL_MACHINE\Software\Wow6432Node\Zandorel" or "HKLM\...", created with its
    // parents when missing (HKEY_CLASSES_ROOT or HKCR name the machine's classes); no links are
    // followed. A path that names no root is a fault of the caller: std::invalid_argument.
    // (RegistryBuilders.cpp)
    RegKey& CreateKey(const std::wstring& fullPath);
    void SetString(const std::wstring& fullPath, const std::wstring& name, const std::wstring& text,
                   DWORD type = REG_SZ);
    void SetDword(const std::wstring& fullPath, const std::wstring& name, DWORD number);

private:
    RegKey* Walk(RegKey* start, const std::vector<std::wstring>& path, size_t from, size_t to,
                 int depth);
    RegKey* LinkTarget(const std::wstring& target, int depth);
    // The key itself, or the target of a link key (null when it leads nowhere).
    RegKey* Followed(RegKey* key, int depth);

    std::unique_ptr<RegKey> m_Machine;
    std::unique_ptr<RegKey> m_User;
    std::unique_ptr<RegKey> m_Users;
};

} // namespace sim
