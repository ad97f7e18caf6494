#include "sim/RegKey.h"

#include "sim/Names.h"

#include <algorithm>

namespace sim {

RegKey::RegKey(std::wstring name) : m_Name(std::move(name)) {}

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

// A key with at least this many deferred lines has a subkey looked for among them by name; one with
// fewer has them all made keys.
const size_t kLinesLookedUp = 1024;

// The end of a chain of lines.
const uint32_t kNoLine = UINT32_MAX;

} // namespace

size_t RegKey::LowerBound(const std::wstring& name) const {
    auto found = std::lower_bound(m_Subkeys.begin(), m_Subkeys.end(), name,
                                  [](const std::unique_ptr<RegKey>& key, const std::wstring& name) {
                                      return CompareNames(key->m_Name, name) < 0;
                                  });
    return static_cast<size_t>(found - m_Subkeys.begin());
}

RegKey* RegKey::FindSubkey(const std::wstring& name) const {
    if (m_Deferred != nullptr) {
        if (m_Deferred->lines.size() >= kLinesLookedUp && m_Deferred->lines.size() < kNoLine) {
            TakeDeferred(name);
        } else {
            CreateDeferred();
        }
    }
    size_t at = LowerBound(name);
    return at < m_Subkeys.size() && SameName(m_Subkeys[at]->m_Name, name) ? m_Subkeys[at].get()
                                                                          : nullptr;
}

RegKey& RegKey::CreateSubkey(const std::wstring& name, bool* created) {
    CreateDeferredSubkeys();
    return InsertSubkey(name, created);
}

RegKey& RegKey::InsertSubkey(const std::wstring& name, bool* created) {
    // Loaders add keys mostly in sorted order: try the end first.
    size_t at = !m_Subkeys.empty() && CompareNames(m_Subkeys.back()->m_Name, name) < 0
                    ? m_Subkeys.size()
                    : LowerBound(name);
    bool isNew = at == m_Subkeys.size() || !SameName(m_Subkeys[at]->m_Name, name);
    if (isNew) {
        m_Subkeys.insert(m_Subkeys.begin() + static_cast<ptrdiff_t>(at),
                         std::make_unique<RegKey>(name));
    }
    if (created != nullptr) {
        *created = isNew;
    }
    return *m_Subkeys[at];
}

bool RegKey::DeleteSubkey(const std::wstring& name) {
    CreateDeferredSubkeys();
    size_t at = LowerBound(name);
    if (at == m_Subkeys.size() || !SameName(m_Subkeys[at]->m_Name, name)) {
        return false;
    }
    m_Subkeys.erase(m_Subkeys.begin() + static_cast<ptrdiff_t>(at));
    return true;
}

// Values are looked up through the index from this many on.
const size_t kIndexedValues = 32;

size_t RegKey::FindValueIndex(const std::wstring& name) const {
    ReadPendingValues();
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

const RegValue* RegKey::FindValue(const std::wstring& name) const {
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
    // Positions after it moved: the index is built again when needed.
    m_ValueIndex.reset();
    if (m_Values.size() >= kIndexedValues) {
        IndexValues();
    }
    return true;
}

void RegKey::SetPendingValues(PendingValues& source, size_t offset, size_t line) {
    ReadPendingValues();
    m_Pending = &source;
    m_PendingOffset = offset;
    m_PendingLine = line;
}

void RegKey::KeepSource(std::shared_ptr<PendingValues> source) {
    if (m_Sources == nullptr) {
        m_Sources = std::make_unique<std::vector<std::shared_ptr<PendingValues>>>();
    }
    m_Sources->push_back(std::move(source));
}

void RegKey::DeferSubkey(const DeferredKey& key) {
    if (m_Deferred == nullptr) {
        m_Deferred = std::make_unique<DeferredLines>();
    }
    m_Deferred->lines.push_back(key);
    m_Deferred->chains.clear();
}

namespace {

// Makes a deferred line below a key the subkey its path names first: a line below that subkey, or
// the subkey's own.
void MakeSubkeyOf(RegKey& subkey, const DeferredKey& line, size_t pathOffset, bool more) {
    if (more) {
        subkey.DeferSubkey(
            DeferredKey{line.source, pathOffset, line.valuesOffset, line.valuesLine, line.link});
        return;
    }
    subkey.SetPendingValues(*line.source, line.valuesOffset, line.valuesLine);
    if (line.link) {
        subkey.ReadPendingValues();
    }
}

} // namespace

void RegKey::CreateDeferred() const {
    // Taken first: creating the subkeys below uses this key's subkeys.
    std::unique_ptr<DeferredLines> deferred = std::move(m_Deferred);
    auto& self = const_cast<RegKey&>(*this);
    RegKey* last = nullptr;
    const PendingValues* lastSource = nullptr;
    for (DeferredKey& key : deferred->lines) {
        if (key.source == nullptr) {
            continue;
        }
        bool more = false;
        bool same = false;
        const std::wstring& name = key.source->NextName(key.pathOffset, more, same);
        // Files list a key's subkeys together: most lines name the subkey the last one did.
        if (last == nullptr || !same || key.source != lastSource) {
            last = &self.InsertSubkey(name);
            lastSource = key.source;
        }
        MakeSubkeyOf(*last, key, key.pathOffset, more);
    }
}

void RegKey::DeferredLines::Index() {
    size_t count = lines.size();
    size_t buckets = 1;
    while (buckets < count * 2) {
        buckets *= 2;
    }
    chains.assign(buckets, kNoLine);
    nextInChain.assign(count, kNoLine);
    hashes.assign(count, 0);
    // Each line goes to the front of its chain, the last first: chains keep the lines' order.
    for (size_t i = count; i-- > 0;) {
        if (lines[i].source != nullptr) {
            hashes[i] = lines[i].source->NameHashAt(lines[i].pathOffset);
            uint32_t& head = chains[hashes[i] & (buckets - 1)];
            nextInChain[i] = head;
            head = static_cast<uint32_t>(i);
        }
    }
}

void RegKey::TakeDeferred(const std::wstring& name) const {
    DeferredLines& deferred = *m_Deferred;
    if (deferred.chains.empty()) {
        deferred.Index();
    }
    bool more = false;
    bool same = false;
    // The lines of the name, in the order they were deferred: the first gives the subkey its
    // spelling, as it would if all were made keys.
    auto& self = const_cast<RegKey&>(*this);
    RegKey* subkey = nullptr;
    uint32_t hash = NameHash(name);
    for (uint32_t at = deferred.chains[hash & (deferred.chains.size() - 1)]; at != kNoLine;
         at = deferred.nextInChain[at]) {
        DeferredKey& line = deferred.lines[at];
        if (line.source == nullptr || deferred.hashes[at] != hash) {
            continue;
        }
        size_t pos = line.pathOffset;
        const std::wstring& lineName = line.source->NextName(pos, more, same);
        if (!SameName(lineName, name)) {
            continue;
        }
        if (subkey == nullptr) {
            subkey = &self.InsertSubkey(lineName);
        }
        MakeSubkeyOf(*subkey, line, pos, more);
        line.source = nullptr;
    }
}

void RegKey::ReadPending() const {
    // Taken first, so that the values it reads are set as any other.
    PendingValues* pending = m_Pending;
    m_Pending = nullptr;
    pending->ReadInto(const_cast<RegKey&>(*this), m_PendingOffset, m_PendingLine);
}

void RegKey::Clear() {
    m_Pending = nullptr;
    m_Deferred.reset();
    m_Values.clear();
    m_ValueIndex.reset();
    m_Subkeys.clear();
    m_Sources.reset();
}

} // namespace sim
