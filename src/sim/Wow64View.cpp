#include "sim/Registry.h"
#include "sim/RegistryViews.h"

namespace sim {

namespace {

// The class registrations that the 32-bit view keeps apart, under Classes\Wow6432Node.
const wchar_t* const kRedirectedClasses[] = {L"CLSID", L"DirectShow", L"Interface", L"Media Type",
                                             L"MediaFoundation"};

// The keys under HKEY_LOCAL_MACHINE\Software that both views share (with their subkeys).
const wchar_t* const kSharedSoftwareKeys[] = {
    L"Clients",
    L"Policies",
    L"RegisteredApplications",
    L"Microsoft\\COM3",
    L"Microsoft\\Cryptography\\Calais\\Current",
    L"Microsoft\\Cryptography\\Calais\\Readers",
    L"Microsoft\\Cryptography\\Services",
    L"Microsoft\\CTF\\SystemShared",
    L"Microsoft\\CTF\\TIP",
    L"Microsoft\\DFS",
    L"Microsoft\\Driver Signing",
    L"Microsoft\\EnterpriseCertificates",
    L"Microsoft\\EventSystem",
    L"Microsoft\\MSMQ",
    L"Microsoft\\Non-Driver Signing",
    L"Microsoft\\Notepad\\DefaultFonts",
    L"Microsoft\\OLE",
    L"Microsoft\\RAS",
    L"Microsoft\\RPC",
    L"Microsoft\\Shared Tools\\MSInfo",
    L"Microsoft\\SystemCertificates",
    L"Microsoft\\TermServLicensing",
    L"Microsoft\\TransactionServer",
    L"Microsoft\\Windows\\CurrentVersion\\App Paths",
    L"Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cursors\\Schemes",
    L"Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers",
    L"Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons",
    L"Microsoft\\Windows\\CurrentVersion\\Explorer\\KindMap",
    L"Microsoft\\Windows\\CurrentVersion\\Group Policy",
    L"Microsoft\\Windows\\CurrentVersion\\Policies",
    L"Microsoft\\Windows\\CurrentVersion\\PreviewHandlers",
    L"Microsoft\\Windows\\CurrentVersion\\Setup",
    L"Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations",
    L"Microsoft\\Windows NT\\CurrentVersion\\Console",
    L"Microsoft\\Windows NT\\CurrentVersion\\FontDpi",
    L"Microsoft\\Windows NT\\CurrentVersion\\FontLink",
    L"Microsoft\\Windows NT\\CurrentVersion\\FontMapper",
    L"Microsoft\\Windows NT\\CurrentVersion\\Fonts",
    L"Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
    L"Microsoft\\Windows NT\\CurrentVersion\\Gre_Initialize",
    L"Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options",
    L"Microsoft\\Windows NT\\CurrentVersion\\Language Pack",
    L"Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
    L"Microsoft\\Windows NT\\CurrentVersion\\Perflib",
    L"Microsoft\\Windows NT\\CurrentVersion\\Ports",
    L"Microsoft\\Windows NT\\CurrentVersion\\Print",
    L"Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
    L"Microsoft\\Windows NT\\CurrentVersion\\Time Zones",
};

bool IsSharedSoftwareKey(const std::vector<std::wstring>& path) {
    static const RegistryPathList shared = SplitPathList(kSharedSoftwareKeys);
    for (const std::vector<std::wstring>& parts : shared) {
        if (PathStartsWith(path, 1, parts)) {
            return true;
        }
    }
    return false;
}

// Whether a shared key lies strictly below path (Software\...).
bool SharedKeyBelow(const std::vector<std::wstring>& path) {
    static const RegistryPathList shared = SplitPathList(kSharedSoftwareKeys);
    for (const std::vector<std::wstring>& parts : shared) {
        if (parts.size() + 1 > path.size()) {
            bool below = true;
            for (size_t i = 1; below && i < path.size(); ++i) {
                below = SameName(path[i], parts[i - 1]);
            }
            if (below) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

bool RedirectionFixedBelow(RegRoot root, const std::vector<std::wstring>& path) {
    bool software = !path.empty() && SameName(path[0], L"Software");
    if (root == RegRoot::CurrentUser) {
        return !path.empty() &&
               (!software || (path.size() >= 2 && !SameName(path[1], L"Classes")) ||
                path.size() >= 3);
    }
    if (root != RegRoot::LocalMachine) {
        return true;
    }
    if (path.empty()) {
        return false;
    }
    if (!software || (path.size() >= 2 && SameName(path[1], L"Wow6432Node"))) {
        return true;
    }
    if (path.size() < 2) {
        return false;
    }
    if (SameName(path[1], L"Classes")) {
        return path.size() >= 3;
    }
    return IsSharedSoftwareKey(path) || !SharedKeyBelow(path);
}

bool IsRedirectedClass(const std::wstring& name) {
    for (const wchar_t* redirected : kRedirectedClasses) {
        if (SameName(name, redirected)) {
            return true;
        }
    }
    return false;
}

size_t RedirectionAt(RegRoot root, const std::vector<std::wstring>& path) {
    const size_t none = std::wstring::npos;
    bool software = !path.empty() && SameName(path[0], L"Software");
    bool classes = software && path.size() >= 3 && SameName(path[1], L"Classes");
    if (root == RegRoot::CurrentUser) {
        return classes && IsRedirectedClass(path[2]) ? 2 : none;
    }
    if (root != RegRoot::LocalMachine || !software || path.size() < 2 ||
        SameName(path[1], L"Wow6432Node")) {
        return none;
    }
    if (SameName(path[1], L"Classes")) {
        return classes && IsRedirectedClass(path[2]) ? 2 : none;
    }
    return IsSharedSoftwareKey(path) ? none : 1;
}

std::vector<std::wstring> RedirectedPath(RegRoot root, const std::vector<std::wstring>& path) {
    size_t at = RedirectionAt(root, path);
    if (at == std::wstring::npos) {
        return path;
    }
    std::vector<std::wstring> redirected(path.begin(), path.begin() + static_cast<ptrdiff_t>(at));
    redirected.push_back(L"Wow6432Node");
    redirected.insert(redirected.end(), path.begin() + static_cast<ptrdiff_t>(at), path.end());
    return redirected;
}

} // namespace sim
