// A key of the simulated registry: its name, its subkeys and its values. Names are compared
// without regard to letter case and keep the spelling they were created with; subkeys are kept
// sorted without regard to case (the order in which Windows enumerates them), values in creation
// order. Value data is kept as the raw bytes Windows keeps: texts (REG_SZ, REG_EXPAND_SZ,
// REG_MULTI_SZ) as UTF-16LE.
#pragma once

#include "winapi/winapi.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim {

struct RegValue {
    std::wstring name;
    DWORD type = REG_NONE;
    std::string data;
};

class RegKey;

// Values of a key still in the text of a loaded file, read when the key's values are first used.
class PendingValues {
public:
    virtual ~PendingValues() = default;
    virtual void ReadInto(RegKey& key) = 0;
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
    const std::vector<RegValue>& Values() const {
        ReadPendingValues();
        return m_Values;
    }
    const RegValue* FindValue(const std::wstring& name) const;
    void SetValue(const std::wstring& name, DWORD type, std::string data);
    bool DeleteValue(const std::wstring& name);
    void Clear();

    // Values a loader has found but not read: they are read, and go before any value set since,
    // when the key's values are first used.
    void SetPendingValues(std::unique_ptr<PendingValues> pending);
    bool HasPendingValues() const { return m_Pending != nullptr; }
    void ReadPendingValues() const {
        if (m_Pending != nullptr) {
            ReadPending();
        }
    }

    // A symbolic link key (as Wine keeps some) names its target as an absolute path
    // ("\Registry\Machine\System\ControlSet001"); opening the key opens the target.
    std::wstring linkTarget;

private:
    size_t LowerBound(const std::wstring& upperName) const;
    void ReadPending() const;

    std::wstring m_Name;
    std::wstring m_UpperName;
    std::vector<std::unique_ptr<RegKey>> m_Subkeys;
    mutable std::vector<RegValue> m_Values;
    // The positions of the values by upper-cased name, kept once a key has many values (as
    // some keys of large machines have) so that loading stays linear.
    mutable std::unique_ptr<std::unordered_map<std::wstring, size_t>> m_ValueIndex;
    mutable std::unique_ptr<PendingValues> m_Pending;
    size_t FindValueIndex(const std::wstring& name) const;
    void IndexValues();
};

} // namespace sim
