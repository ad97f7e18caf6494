#include "sim/RegistryPaths.h"

#include "sim/Names.h"

namespace sim {

namespace {

struct RootNames {
    const wchar_t* longName;
    const wchar_t* shortName;
    RegRoot root;
    HKEY handle;
};

const RootNames kRoots[] = {
    {L"HKEY_LOCAL_MACHINE", L"HKLM", RegRoot::LocalMachine, HKEY_LOCAL_MACHINE},
    {L"HKEY_CURRENT_USER", L"HKCU", RegRoot::CurrentUser, HKEY_CURRENT_USER},
    {L"HKEY_CLASSES_ROOT", L"HKCR", RegRoot::ClassesRoot, HKEY_CLASSES_ROOT},
    {L"HKEY_USERS", L"HKU", RegRoot::Users, HKEY_USERS},
};

} // namespace

bool ParseRegistryRoot(const std::wstring& name, RegRoot& root) {
    for (const RootNames& candidate : kRoots) {
        if (SameName(name, candidate.longName) || SameName(name, candidate.shortName)) {
            root = candidate.root;
            return true;
        }
    }
    return false;
}

const wchar_t* RootLongName(RegRoot root) {
    for (const RootNames& candidate : kRoots) {
        if (candidate.root == root) {
            return candidate.longName;
        }
    }
    return L"";
}

bool RootOfHandle(HKEY handle, RegRoot& root) {
    for (const RootNames& candidate : kRoots) {
        if (candidate.handle == handle) {
            root = candidate.root;
            return true;
        }
    }
    return false;
}

bool SplitKeyPath(const std::wstring& path, std::vector<std::wstring>& parts, size_t& count,
                  size_t kept) {
    count = 0;
    if (path.empty()) {
        return true;
    }
    size_t start = 0;
    while (true) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) {
            end = path.size();
        }
        if (end == start) {
            // One trailing backslash closes the path; anywhere else it leaves an empty name.
            return start == path.size() && start > 0 && path[start - 1] == L'\\' &&
                   (start < 2 || path[start - 2] != L'\\');
        }
        if (count < kept) {
            if (count == parts.size()) {
                parts.emplace_back();
            }
            parts[count].assign(path, start, end - start);
        }
        ++count;
        if (end == path.size()) {
            return true;
        }
        start = end + 1;
    }
}

bool SplitRegistryPath(const std::wstring& path, std::vector<std::wstring>& components) {
    size_t count = 0;
    bool split = SplitKeyPath(path, components, count);
    components.resize(count);
    return split;
}

bool PathStartsWith(const std::vector<std::wstring>& path, size_t from,
                    const std::vector<std::wstring>& prefix) {
    if (path.size() < from || path.size() - from < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (!SameName(path[from + i], prefix[i])) {
            return false;
        }
    }
    return true;
}

} // namespace sim
