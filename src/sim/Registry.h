// The registry of the simulated machine.
//
// Three trees are kept: HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and HKEY_USERS. HKEY_CLASSES_ROOT
// has no tree of its own: it is composed of HKEY_CURRENT_USER\Software\Classes over
// HKEY_LOCAL_MACHINE\Software\Classes as Windows merges them. Names are compared without regard
// to letter case and keep the spelling they were created with; subkeys are kept sorted without
// regard to case (the order in which Windows enumerates them), values in creation order. Value
// data is kept as the raw bytes Windows keeps: texts (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) as
// UTF-16LE.
//
// Keys are reached by logical paths in a view. On 64-bit Windows a 32-bit program sees the
// registry through the 32-bit view, in which most of HKEY_LOCAL_MACHINE\Software and the class
// registrations (CLSID, Interface, ...) are redirected to their Wow6432Node counterparts and the
// rest is shared; the native view reads the keys as they are. A 32-bit machine has one view.
#pragma once

#include "winapi/winapi.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim {

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

// The root of a predefined handle (HKEY_CLASSES_ROOT ...); false for any other handle.
bool RootOfHandle(HKEY handle, RegRoot& root);

// Texts as the registry keeps them: UTF-16LE bytes, without a terminator of their own.
std::string ToUtf16Le(const std::wstring& text);
// Decodes UTF-16LE bytes (an odd last byte is ignored); surrogate pairs are joined.
std::wstring FromUtf16Le(const std::string& bytes);

// Whether two names are equal without regard to letter case.
bool SameRegistryName(const std::wstring& a, const std::wstring& b);

struct RegValue {
    std::wstring name;
    DWORD type = REG_NONE;
    std::string data;
};

class RegKey {
public:
    explicit RegKey(std::wstring name);

    const std::wstring& Name() const { return m_Name; }

    // Subkeys in enumeration order (sorted without regard to case).
    size_t SubkeyCount() const { return m_Subkeys.size(); }
    RegKey& Subkey(size_t index) const { return *m_Subkeys[index]; }
    RegKey* FindSubkey(const std::wstring& name) const;
    // The subkey of this name, created when missing; `created` tells which.
    RegKey& CreateSubkey(const std::wstring& name, bool* created = nullptr);
    bool DeleteSubkey(const std::wstring& name);

    // Values in creation order. Setting an existing value keeps its place and the new spelling
    // of its name is ignored, as on Windows.
    const std::vector<RegValue>& Values() const { return m_Values; }
    const RegValue* FindValue(const std::wstring& name) const;
    void SetValue(const std::wstring& name, DWORD type, std::string data);
    bool DeleteValue(const std::wstring& name);
    void Clear();

    // A symbolic link key (as Wine keeps some) names its target as an absolute path
    // ("\Registry\Machine\System\ControlSet001"); opening the key opens the target.
    std::wstring linkTarget;

private:
    size_t LowerBound(const std::wstring& upperName) const;

    std::wstring m_Name;
    std::wstring m_UpperName;
    std::vector<std::unique_ptr<RegKey>> m_Subkeys;
    std::vector<RegValue> m_Values;
    // The positions of the values by upper-cased name, kept once a key has many values (as
    // some keys of large machines have) so that loading stays linear.
    std::unique_ptr<std::unordered_map<std::wstring, size_t>> m_ValueIndex;
    size_t FindValueIndex(const std::wstring& name) const;
    void IndexValues();
};

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
    // the 32-bit view when `view32` (a 32-bit program on 64-bit Windows), else natively.
    RegKeyView Open(RegRoot root, const std::vector<std::wstring>& path, bool view32);
    // Opens or creates a key. Keys created through HKEY_CLASSES_ROOT go to the machine's
    // classes unless the user's classes already hold the key.
    RegKey* Create(RegRoot root, const std::vector<std::wstring>& path, bool view32,
                   bool* created = nullptr);
    // Deletes a key and its subtree; false when it does not exist.
    bool DeleteTree(RegRoot root, const std::vector<std::wstring>& path, bool view32);

    // The subkey names and the values of an opened key, merged for HKEY_CLASSES_ROOT.
    static std::vector<std::wstring> SubkeyNames(const RegKeyView& view);
    static std::vector<const RegValue*> ValuesOf(const RegKeyView& view);
    static const RegValue* FindValue(const RegKeyView& view, const std::wstring& name);

    // For machines built in code and loaders: the key of a full native path such as
    // "HKEY_LOCAL_MACHINE\Software\Wow6432Node\Zandorel" (HKLM, HKCU, HKU accepted;
    // HKEY_CLASSES_ROOT or HKCR name the machine's classes; any other first part stands for
    // HKEY_LOCAL_MACHINE), created
    // when missing; no links are followed.
    RegKey& Key(const std::wstring& fullPath);
    void SetString(const std::wstring& fullPath, const std::wstring& name, const std::wstring& text,
                   DWORD type = REG_SZ);
    void SetDword(const std::wstring& fullPath, const std::wstring& name, DWORD number);

private:
    RegKey* Walk(RegKey* start, const std::vector<std::wstring>& path, size_t from, size_t to,
                 int depth);
    RegKey* LinkTarget(const std::wstring& target, int depth);

    std::unique_ptr<RegKey> m_Machine;
    std::unique_ptr<RegKey> m_User;
    std::unique_ptr<RegKey> m_Users;
};

// Splits a path at its backslashes; one trailing backslash is ignored. False for an empty
// component (a leading backslash or two in a row).
bool SplitRegistryPath(const std::wstring& path, std::vector<std::wstring>& components);

// The physical path of a logical one in the 32-bit view of 64-bit Windows (the key where a
// 32-bit program's reads land). Not for HKEY_CLASSES_ROOT.
std::vector<std::wstring> RedirectedPath(RegRoot root, const std::vector<std::wstring>& path);

// A text value as UTF-16LE data with its terminating NUL.
std::string RegistryText(const std::wstring& text);

} // namespace sim
