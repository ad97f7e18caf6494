#include "sim/RegistryPaths.h"

#include "sim/Names.h"

#include <algorithm>

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

bool SplitRegistryPath(const std::wstring& path, std::vector<std::wstring>& components) {
    components.clear();
    for (size_t start = 0; start < path.size();) {
        size_t end = std::min(path.find(L'\\', start), path.size());
        if (end == start) {
            return false;
        }
        components.push_back(path.substr(start, end - start));
        // One trailing backslash closes the path.
        start = end + 1;
    }
    return true;
}

} // namespace sim
