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

class RegKey {
public:
    // What a loader has not made of a key yet. AddValues adds the key's values (before any set
    // since) when they are first used, AddSubkeys its subkeys when they are first used; each
    // adds what it has once.
    class Unread {
    public:
        virtual ~Unread() = default;
        virtual void AddValues(RegKey& key) = 0;
        virtual void AddSubkeys(RegKey& key) = 0;
    };

    explicit RegKey(std::wstring name);

    const std::wstring& Name() const { return m_Name; }

    // Subkeys in enumeration order (sorted without regard to case).
    size_t SubkeyCount();
    RegKey& Subkey(size_t index);
    // The index of the first subkey that sorts at or after name (SubkeyCount() when none does).
    size_t SubkeyPosition(const std::wstring& name);
    RegKey* FindSubkey(const std::wstring& name);
    // The subkey of this name, created when missing.
    RegKey& CreateSubkey(const std::wstring& name);
    bool DeleteSubkey(const std::wstring& name);

    // Values in creation order. Setting an existing value keeps its place and the new spelling
    // of its name is ignored, as on Windows.
    const std::vector<RegValue>& Values();
    const RegValue* FindValue(const std::wstring& name);
    void SetValue(const std::wstring& name, DWORD type, std::string data);
    bool DeleteValue(const std::wstring& name);
    void Clear();

    // A symbolic link key (as Wine keeps some) names its target as an absolute path
    // ("\Registry\Machine\System\ControlSet001"); opening the key opens the target. Empty for
    // any other key.
    const std::wstring& LinkTarget();
    void SetLinkTarget(std::wstring target) { m_LinkTarget = std::move(target); }

    Unread* UnreadPart() { return m_Unread.get(); }
    void SetUnread(std::unique_ptr<Unread> unread) { m_Unread = std::move(unread); }

private:
    void NeedValues() {
        if (m_Unread != nullptr) {
            m_Unread->AddValues(*this);
        }
    }
    void NeedSubkeys() {
        if (m_Unread != nullptr) {
            m_Unread->AddSubkeys(*this);
        }
    }
    size_t LowerBound(const std::wstring& name) const;
    size_t FindValueIndex(const std::wstring& name);
    void IndexValues();

    std::wstring m_Name;
    std::wstring m_LinkTarget;
    std::vector<std::unique_ptr<RegKey>> m_Subkeys;
    std::vector<RegValue> m_Values;
    // The positions of the values by upper-cased name, kept once a key has many values (as
    // some keys of large machines have) so that setting them stays linear.
    std::unique_ptr<std::unordered_map<std::wstring, size_t>> m_ValueIndex;
    std::unique_ptr<Unread> m_Unread;
};

} // namespace sim
