// A key of the simulated registry: its name, its subkeys and its values. Names are compared
// without regard to letter case and keep the spelling they were created with; subkeys are kept
// sorted without regard to case (the order in which Windows enumerates them), values in creation
// order. Value data is kept as the raw bytes Windows keeps: texts (REG_SZ, REG_EXPAND_SZ,
// REG_MULTI_SZ) as UTF-16LE.
#pragma once

#include "winapi/winapi.h"

#include <cstdint>
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

// The text of a loaded file whose keys are created when their parents' subkeys are first used,
// and whose keys' values are read when each key's values are first used: a key keeps only where
// its values begin (offset and line number).
class PendingValues {
public:
    virtual ~PendingValues() = default;
    virtual void ReadInto(RegKey& key, size_t offset, size_t line) = 0;
    // The next name of a key path in the text from pos on; pos moves past it and its backslash,
    // and more tells whether more names follow. The name is kept by the source until its next
    // call; sameAsBefore tells that it is the name that call before found, spelt alike.
    virtual const std::wstring& NextName(size_t& pos, bool& more, bool& sameAsBefore) = 0;
    // The NameHash of the name NextName would read from pos.
    virtual uint32_t NameHashAt(size_t pos) = 0;
};

// A key line of a loaded file below a key, not yet made keys: where the rest of its path is in
// the text, where the values of its last key begin, and whether that key is a link (whose
// values, which name its target, are read as soon as it is created).
struct DeferredKey {
    PendingValues* source;
    size_t pathOffset;
    size_t valuesOffset;
    size_t valuesLine;
    bool link;
};

class RegKey {
public:
    explicit RegKey(std::wstring name);

    const std::wstring& Name() const { return m_Name; }

    // Subkeys in enumeration order (sorted without regard to case).
    size_t SubkeyCount() const {
        CreateDeferredSubkeys();
        return m_Subkeys.size();
    }
    RegKey& Subkey(size_t index) const {
        CreateDeferredSubkeys();
        return *m_Subkeys[index];
    }
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

    // Values a loader has found but not read: they are read from source, and go before any value
    // set since, when the key's values are first used. The source must live as long as the key:
    // a loader hands it to the key it loads into (KeepSource), an ancestor of every key it sets.
    void SetPendingValues(PendingValues& source, size_t offset, size_t line);
    void KeepSource(std::shared_ptr<PendingValues> source);
    bool HasPendingValues() const { return m_Pending != nullptr; }
    // A key line below this key (from the same source, which must live as long): its keys are
    // created, in the order they were deferred, when this key's subkeys are first used.
    void DeferSubkey(const DeferredKey& key);
    // Marks the key line deferred last as that of a link key (a loader's deferred lines stay
    // deferred while it loads).
    void LastDeferredIsLink() {
        if (m_Deferred != nullptr && !m_Deferred->lines.empty()) {
            m_Deferred->lines.back().link = true;
        }
    }
    void CreateDeferredSubkeys() const {
        if (m_Deferred != nullptr) {
            CreateDeferred();
        }
    }
    void ReadPendingValues() const {
        if (m_Pending != nullptr) {
            ReadPending();
        }
    }

    // Hints that a walk will soon read this key's values (each line of their array, and the
    // key's name), and then their names and data.
    void PrefetchValues() const {
        const char* begin = reinterpret_cast<const char*>(m_Values.data());
        const char* end = reinterpret_cast<const char*>(m_Values.data() + m_Values.size());
        for (const char* line = begin; line < end; line += 64) {
            __builtin_prefetch(line);
        }
        __builtin_prefetch(m_Name.data());
    }
    void PrefetchValueTexts() const {
        for (const RegValue& value : m_Values) {
            __builtin_prefetch(value.name.data());
            __builtin_prefetch(value.data.data());
        }
    }

    // A symbolic link key (as Wine keeps some) names its target as an absolute path
    // ("\Registry\Machine\System\ControlSet001"); opening the key opens the target.
    std::wstring linkTarget;

private:
    size_t LowerBound(const std::wstring& name) const;
    void ReadPending() const;
    void CreateDeferred() const;
    // Creates the subkey of this name from its deferred lines, if it has any, and leaves the
    // other lines deferred.
    void TakeDeferred(const std::wstring& name) const;
    // The subkey of this name, inserted in its place when missing, deferred lines aside.
    RegKey& InsertSubkey(const std::wstring& name, bool* created = nullptr);

    // The key lines deferred below a key. Once a subkey has been looked for among many of them,
    // their first names are indexed by the hash of their upper-cased form (a table of chains of
    // lines, each in the order of the lines), so that one subkey is created without creating the
    // others; a line whose subkey has been created is let go of (its source is null).
    struct DeferredLines {
        std::vector<DeferredKey> lines;
        std::vector<uint32_t> chains;
        std::vector<uint32_t> nextInChain;
        std::vector<uint32_t> hashes;
        void Index();
    };

    // Kept small: a loaded prefix has a key for every key line of its files.
    std::wstring m_Name;
    mutable std::vector<std::unique_ptr<RegKey>> m_Subkeys;
    mutable std::unique_ptr<DeferredLines> m_Deferred;
    mutable std::vector<RegValue> m_Values;
    // The positions of the values by upper-cased name, kept once a key has many values (as
    // some keys of large machines have) so that loading stays linear.
    mutable std::unique_ptr<std::unordered_map<std::wstring, size_t>> m_ValueIndex;
    mutable PendingValues* m_Pending = nullptr;
    size_t m_PendingOffset = 0;
    size_t m_PendingLine = 0;
    std::unique_ptr<std::vector<std::shared_ptr<PendingValues>>> m_Sources;
    size_t FindValueIndex(const std::wstring& name) const;
    void IndexValues();
};

} // namespace sim
