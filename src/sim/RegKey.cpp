#include "sim/RegKey.h"

#include "sim/Names.h"

#include <algorithm>

namespace sim {

namespace {

// Orders names as their upper-cased forms sort, without making them: negative, 0 or positive.
int CompareNames(const std::wstring& a, const std::wstring& b) {
    size_t length = std::min(a.size(), b.size());
    for (size_t i = 0; i < length; ++i) {
        if (a[i] != b[i]) {
            wchar_t upperA = UpperChar(a[i]);
            wchar_t upperB = UpperChar(b[i]);
            if (upperA != upperB) {
                return upperA < upperB ? -1 : 1;
            }
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Values are looked up through the index from this many on.
const size_t kIndexedValues = 32;

} // namespace

RegKey::RegKey(std::wstring name) : m_Name(std::move(name)) {}

size_t RegKey::LowerBound(const std::wstring& name) const {
    auto found = std::lower_bound(m_Subkeys.begin(), m_Subkeys.end(), name,
                                  [](const std::unique_ptr<RegKey>& key, const std::wstring& name) {
                                      return CompareNames(key->m_Name, name) < 0;
                                  });
    return static_cast<size_t>(found - m_Subkeys.begin());
}

size_t RegKey::SubkeyCount() {
    NeedSubkeys();
    return m_Subkeys.size();
}

RegKey& RegKey::Subkey(size_t index) {
    NeedSubkeys();
    return *m_Subkeys[index];
}

size_t RegKey::SubkeyPosition(const std::wstring& name) {
    NeedSubkeys();
    return LowerBound(name);
}

RegKey* RegKey::FindSubkey(const std::wstring& name) {
    size_t at = SubkeyPosition(name);
    return at < m_Subkeys.size() && SameName(m_Subkeys[at]->m_Name, name) ? m_Subkeys[at].get()
                                                                          : nullptr;
}

RegKey& RegKey::CreateSubkey(const std::wstring& name) {
    NeedSubkeys();
    // Loaders add keys mostly in sorted order: the end is tried first.
    size_t at = !m_Subkeys.empty() && CompareNames(m_Subkeys.back()->m_Name, name) < 0
                    ? m_Subkeys.size()
                    : LowerBound(name);
    if (at == m_Subkeys.size() || !SameName(m_Subkeys[at]->m_Name, name)) {
        m_Subkeys.insert(m_Subkeys.begin() + static_cast<ptrdiff_t>(at),
                         std::make_unique<RegKey>(name));
    }
    return *m_Subkeys[at];
}

bool RegKey::DeleteSubkey(const std::wstring& name) {
    NeedSubkeys();
    size_t at = LowerBound(name);
    if (at == m_Subkeys.size() || !SameName(m_Subkeys[at]->m_Name, name)) {
        return false;
    }
    m_Subkeys.erase(m_Subkeys.begin() + static_cast<ptrdiff_t>(at));
    return true;
}

const std::vector<RegValue>& RegKey::Values() {
    NeedValues();
    return m_Values;
}

const std::wstring& RegKey::LinkTarget() {
    NeedValues();
    return m_LinkTarget;
}

size_t RegKey::FindValueIndex(const std::wstring& name) {
    NeedValues();
    if (m_ValueIndex != nullptr) {
        auto found = m_ValueIndex->find(UpperName(name));
        return found == m_ValueIndex->end() ? m_Values.size() : found->second;
    }
    for (size_t i = 0; i < m_Values.size(); ++i) {
        if (SameName(m_Values[i].name, name)) {
            return i;
        }
    }
    return m_Values.size();
}

void RegKey::IndexValues() {
    m_ValueIndex = std::make_unique<std::unordered_map<std::wstring, size_t>>();
    for (size_t i = 0; i < m_Values.size(); ++i) {
        m_ValueIndex->emplace(UpperName(m_Values[i].name), i);
    }
}

const RegValue* RegKey::FindValue(const std::wstring& name) {
    size_t at = FindValueIndex(name);
    return at < m_Values.size() ? &m_Values[at] : nullptr;
}

void RegKey::SetValue(const std::wstring& name, DWORD type, std::string data) {
    size_t at = FindValueIndex(name);
    if (at < m_Values.size()) {
        m_Values[at].type = type;
        m_Values[at].data = std::move(data);
        return;
    }
    m_Values.push_back(RegValue{name, type, std::move(data)});
    if (m_ValueIndex != nullptr) {
        m_ValueIndex->emplace(UpperName(name), m_Values.size() - 1);
    } else if (m_Values.size() >= kIndexedValues) {
        IndexValues();
    }
}

bool RegKey::DeleteValue(const std::wstring& name) {
    size_t at = FindValueIndex(name);
    if (at == m_Values.size()) {
        return false;
    }
    m_Values.erase(m_Values.begin() + static_cast<ptrdiff_t>(at));
    // Positions after it moved: the index is built again.
    m_ValueIndex.reset();
    if (m_Values.size() >= kIndexedValues) {
        IndexValues();
    }
    return true;
}

void RegKey::Clear() {
    m_Unread.reset();
    m_Values.clear();
    m_ValueIndex.reset();
    m_Subkeys.clear();
}

} // namespace sim
