#include "sim/Hive.h"

#include "sim/CodePage.h"

#include <hivex.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_set>
#include <vector>

namespace sim {

namespace {

// Windows' limit on the depth of a registry tree ("Registry Element Size Limits").
constexpr size_t kMaxDepth = 512;

// libhivex hands out texts and arrays that the caller frees.
template <typename T> struct Freed {
    T* data;
    ~Freed() { std::free(data); }
};

std::string Reason() {
    return std::strerror(errno);
}

// Whether the hive's primary and secondary sequence numbers differ: Windows increments the first
// before it writes to the file and the second after, so changes it logged in the transaction
// logs (.LOG1, .LOG2) have not all reached the file.
bool HasPendingLogs(const std::string& path) {
    unsigned char header[12] = {};
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    size_t read = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    return read == sizeof header && std::memcmp(header + 4, header + 8, 4) != 0;
}

// A value's type as the hive holds it. libhivex stores any number in its enumeration, also
// the types it does not name, so the number is taken from the bytes, not read as the enumeration.
DWORD TypeNumber(const hive_type& type) {
    static_assert(sizeof type == sizeof(DWORD), "a value type is 32 bits");
    DWORD number = 0;
    std::memcpy(&number, &type, sizeof number);
    return number;
}

// An open hive, shared by the keys made from it; closed with the last of them.
class HiveFile {
public:
    HiveFile(hive_h* hive, std::string path, HiveProblems problems)
        : m_Hive(hive), m_Path(std::move(path)), m_Problems(std::move(problems)) {}
    ~HiveFile() { hivex_close(m_Hive); }
    HiveFile(const HiveFile&) = delete;
    HiveFile& operator=(const HiveFile&) = delete;

    hive_h* Handle() const { return m_Hive; }
    // False when a key of this node has been made already: the hive's keys loop (or two keys
    // share a subkey), and making it again would never end.
    bool FirstMeeting(hive_node_h node) { return m_Made.insert(node).second; }
    void Problem(const std::wstring& keyPath, const std::string& what) {
        if (m_Problems) {
            m_Problems(m_Path + ": key \"" + WideToUtf8(keyPath) + "\": " + what);
        }
    }

private:
    hive_h* m_Hive;
    std::string m_Path;
    HiveProblems m_Problems;
    std::unordered_set<hive_node_h> m_Made;
};

// Where a made key lies in its hive: its node, and the way there from the hive's root.
struct Place {
    std::shared_ptr<HiveFile> file;
    std::shared_ptr<const Place> parent;
    hive_node_h node;
    size_t depth;
};

std::wstring NodeName(hive_h* hive, hive_node_h node) {
    Freed<char> name{hivex_node_name(hive, node)};
    return name.data != nullptr ? Utf8ToWide(name.data) : L"?";
}

// The path of a key below its hive's root, for problems.
std::wstring PathOf(const Place& place) {
    std::wstring path;
    for (const Place* at = &place; at->parent != nullptr; at = at->parent.get()) {
        path.insert(0, (path.empty() ? L"" : L"\\"));
        path.insert(0, NodeName(at->file->Handle(), at->node));
    }
    return path;
}

std::wstring Below(const std::wstring& path, const std::wstring& name) {
    return path.empty() ? name : path + L"\\" + name;
}

// What a key has not read yet from the hive nodes it was made of (one, or more where a hive
// names two subkeys alike or two hives meet in one key).
class HiveKey : public RegKey::Unread {
public:
    explicit HiveKey(std::shared_ptr<const Place> place) { m_Places.push_back(std::move(place)); }

    void AddValues(RegKey& key) override {
        if (!m_ValuesRead) {
            m_ValuesRead = true;
            for (const std::shared_ptr<const Place>& place : m_Places) {
                ReadValues(*place, key);
            }
        }
    }

    void AddSubkeys(RegKey& key) override {
        if (!m_SubkeysRead) {
            m_SubkeysRead = true;
            for (const std::shared_ptr<const Place>& place : m_Places) {
                ReadSubkeys(place, key);
            }
        }
    }

    // Gives a key the contents of a hive node, to be read when first used; what the key was
    // given before comes first.
    static void Attach(RegKey& key, std::shared_ptr<const Place> place) {
        auto* unread = dynamic_cast<HiveKey*>(key.UnreadPart());
        if (unread != nullptr && !unread->m_ValuesRead && !unread->m_SubkeysRead) {
            unread->m_Places.push_back(std::move(place));
            return;
        }
        key.Values();
        key.SubkeyCount();
        key.SetUnread(std::make_unique<HiveKey>(std::move(place)));
    }

private:
    static void ReadValues(const Place& place, RegKey& key) {
        hive_h* hive = place.file->Handle();
        Freed<hive_value_h> values{hivex_node_values(hive, place.node)};
        if (values.data == nullptr) {
            place.file->Problem(PathOf(place), "its values cannot be read (" + Reason() + ")");
            return;
        }
        for (size_t i = 0; values.data[i] != 0; ++i) {
            Freed<char> name{hivex_value_key(hive, values.data[i])};
            hive_type type = hive_t_REG_NONE;
            size_t size = 0;
            Freed<char> data{hivex_value_value(hive, values.data[i], &type, &size)};
            if (name.data == nullptr || data.data == nullptr) {
                place.file->Problem(PathOf(place), "a value cannot be read (" + Reason() + ")");
                continue;
            }
            key.SetValue(Utf8ToWide(name.data), TypeNumber(type), std::string(data.data, size));
        }
    }

    static void ReadSubkeys(const std::shared_ptr<const Place>& place, RegKey& key) {
        HiveFile& file = *place->file;
        Freed<hive_node_h> children{hivex_node_children(file.Handle(), place->node)};
        if (children.data == nullptr) {
            file.Problem(PathOf(*place), "its subkeys cannot be read (" + Reason() + ")");
            return;
        }
        for (size_t i = 0; children.data[i] != 0; ++i) {
            hive_node_h child = children.data[i];
            Freed<char> name{hivex_node_name(file.Handle(), child)};
            std::wstring wide = name.data != nullptr ? Utf8ToWide(name.data) : L"?";
            if (name.data == nullptr) {
                file.Problem(Below(PathOf(*place), wide),
                             "its name cannot be read (" + Reason() + ")");
            } else if (wide.empty() || wide.find(L'\\') != std::wstring::npos) {
                file.Problem(Below(PathOf(*place), wide), "its name is not a key's name");
            } else if (!file.FirstMeeting(child)) {
                file.Problem(Below(PathOf(*place), wide),
                             "it is a key met before (the hive's keys loop)");
            } else if (place->depth + 1 >= kMaxDepth) {
                file.Problem(Below(PathOf(*place), wide),
                             "it lies deeper than Windows allows keys to be");
            } else {
                Attach(key.CreateSubkey(wide), std::make_shared<const Place>(Place{
                                                   place->file, place, child, place->depth + 1}));
            }
        }
    }

    std::vector<std::shared_ptr<const Place>> m_Places;
    bool m_ValuesRead = false;
    bool m_SubkeysRead = false;
};

} // namespace

bool ReadHive(const std::string& path, RegKey& branch, std::string& error, HiveProblems problems) {
    // Only a file is opened: opening a named pipe would wait for a writer.
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        error = path + ": not a readable registry hive (not a file)";
        return false;
    }
    hive_h* hive = hivex_open(path.c_str(), 0);
    if (hive == nullptr) {
        error = path + ": not a readable registry hive (" + Reason() + ")";
        return false;
    }
    if (HasPendingLogs(path) && problems) {
        problems(path + ": the hive's transaction logs hold changes not yet written to it; "
                        "it is read as it stands");
    }
    auto file = std::make_shared<HiveFile>(hive, path, std::move(problems));
    hive_node_h root = hivex_root(hive);
    file->FirstMeeting(root);
    HiveKey::Attach(branch, std::make_shared<const Place>(Place{file, nullptr, root, 0}));
    return true;
}

} // namespace sim
