#include "sim/RegistryViews.h"

#include "sim/Names.h"

namespace sim {

namespace {

enum class Rule {
    // The 32-bit view reads the key and its subtree under Wow6432Node, put before its last name
    // ("*": any name).
    Redirected,
    // The 32-bit view reads the key and its subtree itself.
    Shared,
    // Of HKEY_CLASSES_ROOT: the key's subkeys and values merge one by one from the user's and the
    // machine's classes (everywhere else the user's key, when there is one, hides the machine's).
    Merged,
};

struct RuleGroup {
    RegRoot root;
    Rule rule;
    std::vector<const wchar_t*> paths;
};

// For a key, the rule of the longest path that its path begins with decides; of two as long, the
// one without "*".
const RuleGroup kRules[] = {
    {RegRoot::LocalMachine,
     Rule::Redirected,
     {L"Software\\*", L"Software\\Classes\\CLSID", L"Software\\Classes\\DirectShow",
      L"Software\\Classes\\Interface", L"Software\\Classes\\Media Type",
      L"Software\\Classes\\MediaFoundation"}},
    {RegRoot::CurrentUser,
     Rule::Redirected,
     {L"Software\\Classes\\CLSID", L"Software\\Classes\\DirectShow",
      L"Software\\Classes\\Interface", L"Software\\Classes\\Media Type",
      L"Software\\Classes\\MediaFoundation"}},
    {RegRoot::LocalMachine,
     Rule::Shared,
     {
         L"Software\\Classes",
         L"Software\\Wow6432Node",
         L"Software\\Clients",
         L"Software\\Policies",
         L"Software\\RegisteredApplications",
         L"Software\\Microsoft\\COM3",
         L"Software\\Microsoft\\Cryptography\\Calais\\Current",
         L"Software\\Microsoft\\Cryptography\\Calais\\Readers",
         L"Software\\Microsoft\\Cryptography\\Services",
         L"Software\\Microsoft\\CTF\\SystemShared",
         L"Software\\Microsoft\\CTF\\TIP",
         L"Software\\Microsoft\\DFS",
         L"Software\\Microsoft\\Driver Signing",
         L"Software\\Microsoft\\EnterpriseCertificates",
         L"Software\\Microsoft\\EventSystem",
         L"Software\\Microsoft\\MSMQ",
         L"Software\\Microsoft\\Non-Driver Signing",
         L"Software\\Microsoft\\Notepad\\DefaultFonts",
         L"Software\\Microsoft\\OLE",
         L"Software\\Microsoft\\RAS",
         L"Software\\Microsoft\\RPC",
         L"Software\\Microsoft\\Shared Tools\\MSInfo",
         L"Software\\Microsoft\\SystemCertificates",
         L"Software\\Microsoft\\TermServLicensing",
         L"Software\\Microsoft\\TransactionServer",
         L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
         L"Software\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cursors\\Schemes",
         L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers",
         L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons",
         L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\KindMap",
         L"Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy",
         L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies",
         L"Software\\Microsoft\\Windows\\CurrentVersion\\PreviewHandlers",
         L"Software\\Microsoft\\Windows\\CurrentVersion\\Setup",
         L"Software\\Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Console",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontDpi",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontMapper",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Gre_Initialize",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Language Pack",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Print",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
         L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones",
     }},
    {RegRoot::ClassesRoot,
     Rule::Merged,
     {
         L"*",
         L"*\\shellex",
         L"*\\shellex\\ContextMenuHandlers",
         L"*\\shellex\\PropertySheetHandlers",
         L"AppID",
         L"CLSID",
         L"Component Categories",
         L"Drive",
         L"Drive\\shellex",
         L"Drive\\shellex\\ContextMenuHandlers",
         L"Drive\\shellex\\PropertySheetHandlers",
         L"FileType",
         L"Folder",
         L"Folder\\shellex",
         L"Folder\\shellex\\ColumnHandler",
         L"Folder\\shellex\\ContextMenuHandlers",
         L"Folder\\shellex\\ExtShellFolderViews",
         L"Folder\\shellex\\PropertySheetHandlers",
         L"Installer",
         L"Installer\\Components",
         L"Installer\\Features",
         L"Installer\\Products",
         L"Interface",
         L"Mime",
         L"Mime\\Database",
         L"Mime\\Database\\Charset",
         L"Mime\\Database\\Codepage",
         L"Mime\\Database\\Content Type",
         L"TypeLib",
     }},
};

struct ViewRule {
    RegRoot root;
    Rule rule;
    std::vector<std::wstring> names;
    bool anyLast;
};

const std::vector<ViewRule>& Rules() {
    static const std::vector<ViewRule> rules = [] {
        std::vector<ViewRule> split;
        for (const RuleGroup& group : kRules) {
            for (const wchar_t* path : group.paths) {
                std::vector<std::wstring> names;
                SplitRegistryPath(path, names);
                // In HKEY_CLASSES_ROOT "*" is a key's own name (the classes of every file).
                bool anyLast = group.rule != Rule::Merged && names.back() == L"*";
                split.push_back(ViewRule{group.root, group.rule, std::move(names), anyLast});
            }
        }
        return split;
    }();
    return rules;
}

// Whether the first `length` names of path are the rule's.
bool Matches(const ViewRule& rule, const std::vector<std::wstring>& path, size_t length) {
    if (rule.names.size() != length || path.size() < length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (!(rule.anyLast && i + 1 == length) && !SameName(path[i], rule.names[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

size_t RedirectionAt(RegRoot root, const std::vector<std::wstring>& path) {
    const ViewRule* decides = nullptr;
    for (const ViewRule& rule : Rules()) {
        if (rule.root == root && rule.rule != Rule::Merged &&
            Matches(rule, path, rule.names.size()) &&
            (decides == nullptr || rule.names.size() > decides->names.size() ||
             (rule.names.size() == decides->names.size() && !rule.anyLast))) {
            decides = &rule;
        }
    }
    return decides != nullptr && decides->rule == Rule::Redirected ? decides->names.size() - 1
                                                                   : std::wstring::npos;
}

bool IsMergedClassKey(const std::vector<std::wstring>& path, size_t length) {
    for (const ViewRule& rule : Rules()) {
        if (rule.rule == Rule::Merged && Matches(rule, path, length)) {
            return true;
        }
    }
    return false;
}

bool ViewRuleNames(RegRoot root, const std::vector<std::wstring>& path) {
    std::vector<std::wstring> classPath;
    if (root == RegRoot::ClassesRoot) {
        classPath = {L"Software", L"Classes"};
        classPath.insert(classPath.end(), path.begin(), path.end());
    }
    for (const ViewRule& rule : Rules()) {
        const std::vector<std::wstring>& named = rule.root == root ? path : classPath;
        if ((rule.root == root || root == RegRoot::ClassesRoot) &&
            Matches(rule, named, named.size())) {
            return true;
        }
    }
    return false;
}

} // namespace sim
