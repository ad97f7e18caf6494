#include "sim/Hive.h"

#include "sim/CodePage.h"

#include <hivex.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_set>

namespace sim {

namespace {

// Windows' limit on the depth of a registry tree ("Registry Element Size Limits").
constexpr size_t kMaxDepth = 512;

struct HiveCloser {
    void operator()(hive_h* hive) const { hivex_close(hive); }
};
using HiveHandle = std::unique_ptr<hive_h, HiveCloser>;

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

struct Pending {
    hive_node_h node;
    RegKey* key;
    size_t depth;
    std::wstring path;
};

class HiveReader {
public:
    HiveReader(hive_h* hive, const std::string& path, std::vector<std::string>& problems)
        : m_Hive(hive), m_Path(path), m_Problems(problems) {}

    void ReadTree(RegKey& branch) {
        std::vector<Pending> stack{{hivex_root(m_Hive), &branch, 0, L""}};
        std::unordered_set<hive_node_h> seen{stack.back().node};
        while (!stack.empty()) {
            Pending pending = std::move(stack.back());
            stack.pop_back();
            ReadValues(pending);
            Freed<hive_node_h> children{hivex_node_children(m_Hive, pending.node)};
            if (children.data == nullptr) {
                Problem(pending.path, "its subkeys cannot be read (" + Reason() + ")");
                continue;
            }
            for (size_t i = 0; children.data[i] != 0; ++i) {
                hive_node_h child = children.data[i];
                Freed<char> name{hivex_node_name(m_Hive, child)};
                std::wstring childPath = pending.path + (pending.path.empty() ? L"" : L"\\") +
                                         (name.data != nullptr ? Utf8ToWide(name.data) : L"?");
                if (name.data == nullptr) {
                    Problem(childPath, "its name cannot be read (" + Reason() + ")");
                } else if (!seen.insert(child).second) {
                    Problem(childPath, "it is a key met before (the hive's keys loop)");
                } else if (pending.depth + 1 >= kMaxDepth) {
                    Problem(childPath, "it lies deeper than Windows allows keys to be");
                } else {
                    RegKey& key = pending.key->CreateSubkey(Utf8ToWide(name.data));
                    stack.push_back({child, &key, pending.depth + 1, std::move(childPath)});
                }
            }
        }
    }

private:
    void ReadValues(const Pending& pending) {
        Freed<hive_value_h> values{hivex_node_values(m_Hive, pending.node)};
        if (values.data == nullptr) {
            Problem(pending.path, "its values cannot be read (" + Reason() + ")");
            return;
        }
        for (size_t i = 0; values.data[i] != 0; ++i) {
            Freed<char> name{hivex_value_key(m_Hive, values.data[i])};
            hive_type type = hive_t_REG_NONE;
            size_t size = 0;
            Freed<char> data{hivex_value_value(m_Hive, values.data[i], &type, &size)};
            if (name.data == nullptr || data.data == nullptr) {
                Problem(pending.path, "a value cannot be read (" + Reason() + ")");
                continue;
            }
            pending.key->SetValue(Utf8ToWide(name.data), static_cast<DWORD>(type),
                                  std::string(data.data, size));
        }
    }

    void Problem(const std::wstring& keyPath, const std::string& what) {
        m_Problems.push_back(m_Path + ": key \"" + WideToUtf8(keyPath) + "\": " + what);
    }

    hive_h* m_Hive;
    const std::string& m_Path;
    std::vector<std::string>& m_Problems;
};

} // namespace

bool ReadHive(const std::string& path, RegKey& branch, std::string& error,
              std::vector<std::string>& problems) {
    HiveHandle hive(hivex_open(path.c_str(), 0));
    if (hive == nullptr) {
        error = path + ": not a readable registry hive (" + Reason() + ")";
        return false;
    }
    if (HasPendingLogs(path)) {
        problems.push_back(path +
                           ": the hive's transaction logs hold changes not yet written to it; "
                           "it is read as it stands");
    }
    HiveReader(hive.get(), path, problems).ReadTree(branch);
    return true;
}

} // namespace sim
