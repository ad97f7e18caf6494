#include "sim/Registry.h"

#include "sim/Paths.h"

#include <algorithm>
#include <cstdint>

namespace sim {

namespace {

std::wstring Upper(const std::wstring& text) {
    std::wstring upper = text;
    for (wchar_t& c : upper) {
        c = UpperChar(c);
    }
    return upper;
}

// Links are followed at most this deep, so that a loop of links ends.
const int kMaxLinkDepth = 16;

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

// The keys of HKEY_CLASSES_ROOT whose subkeys merge one by one from the user's and the
// machine's classes (everywhere else the user's key, when there is one, hides the machine's).
const wchar_t* const kMergedClassKeys[] = {
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
};

bool IsRedirectedClass(const std::wstring& name) {
    for (const wchar_t* redirected : kRedirectedClasses) {
        if (SameRegistryName(name, redirected)) {
            return true;
        }
    }
    return false;
}

using KeyList = std::vector<std::vector<std::wstring>>;

// A list of backslash-separated paths, split once.
template <size_t N> KeyList SplitList(const wchar_t* const (&entries)[N]) {
    KeyList list;
    for (const wchar_t* entry : entries) {
        std::vector<std::wstring> parts;
        SplitRegistryPath(entry, parts);
        list.push_back(std::move(parts));
    }
    return list;
}

// Whether path[from...] begins with the components of a list entry.
bool StartsWith(const std::vector<std::wstring>& path, size_t from,
                const std::vector<std::wstring>& parts) {
    if (path.size() - from < parts.size()) {
        return false;
    }
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!SameRegistryName(path[from + i], parts[i])) {
            return false;
        }
    }
    return true;
}

bool IsSharedSoftwareKey(const std::vector<std::wstring>& path) {
    static const KeyList shared = SplitList(kSharedSoftwareKeys);
    for (const std::vector<std::wstring>& parts : shared) {
        if (StartsWith(path, 1, parts)) {
            return true;
        }
    }
    return false;
}

bool IsMergedClassKey(const std::vector<std::wstring>& path, size_t length) {
    static const KeyList merged = SplitList(kMergedClassKeys);
    for (const std::vector<std::wstring>& parts : merged) {
        if (parts.size() == length && StartsWith(path, 0, parts)) {
            return true;
        }
    }
    return false;
}

void AppendUtf16(std::string& bytes, unsigned unit) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
}

} // namespace

bool RootOfHandle(HKEY handle, RegRoot& root) {
    if (handle == HKEY_CLASSES_ROOT) {
        root = RegRoot::ClassesRoot;
    } else if (handle == HKEY_CURRENT_USER) {
        root = RegRoot::CurrentUser;
    } else if (handle == HKEY_LOCAL_MACHINE) {
        root = RegRoot::LocalMachine;
    } else if (handle == HKEY_USERS) {
        root = RegRoot::Users;
    } else {
        return false;
    }
    return true;
}

std::string ToUtf16Le(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (wchar_t c : text) {
        auto code = static_cast<uint32_t>(c);
        if (code >= 0x10000 && code <= 0x10FFFF) {
            code -= 0x10000;
            AppendUtf16(bytes, 0xD800 + (code >> 10));
            AppendUtf16(bytes, 0xDC00 + (code & 0x3FF));
        } else {
            AppendUtf16(bytes, code);
        }
    }
    return bytes;
}

std::wstring FromUtf16Le(const std::string& bytes) {
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        unsigned unit = static_cast<unsigned char>(bytes[i]) |
                        (static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            unsigned next = static_cast<unsigned char>(bytes[i + 2]) |
                            (static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 3])) << 8);
            if (next >= 0xDC00 && next < 0xE000) {
                text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                i += 2;
                continue;
            }
        }
        text += static_cast<wchar_t>(unit);
    }
    return text;
}

std::string RegistryText(const std::wstring& text) {
    std::string data = ToUtf16Le(text);
    data.append(2, '\0');
    return data;
}

bool SameRegistryName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && UpperChar(a[i]) != UpperChar(b[i])) {
            return false;
        }
    }
    return true;
}

bool SplitRegistryPath(const std::wstring& path, std::vector<std::wstring>& components) {
    components.clear();
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
        components.push_back(path.substr(start, end - start));
        if (end == path.size()) {
            return true;
        }
        start = end + 1;
    }
}

std::vector<std::wstring> RedirectedPath(RegRoot root, const std::vector<std::wstring>& path) {
    auto withNode = [&path](size_t at) {
        std::vector<std::wstring> redirected(path.begin(),
                                             path.begin() + static_cast<ptrdiff_t>(at));
        redirected.push_back(L"Wow6432Node");
        redirected.insert(redirected.end(), path.begin() + static_cast<ptrdiff_t>(at), path.end());
        return redirected;
    };
    bool software = !path.empty() && SameRegistryName(path[0], L"Software");
    bool classes = software && path.size() >= 3 && SameRegistryName(path[1], L"Classes");
    if (root == RegRoot::CurrentUser) {
        return classes && IsRedirectedClass(path[2]) ? withNode(2) : path;
    }
    if (root != RegRoot::LocalMachine || !software || path.size() < 2 ||
        SameRegistryName(path[1], L"Wow6432Node")) {
        return path;
    }
    if (SameRegistryName(path[1], L"Classes")) {
        return classes && IsRedirectedClass(path[2]) ? withNode(2) : path;
    }
    return IsSharedSoftwareKey(path) ? path : withNode(1);
}

RegKey::RegKey(std::wstring name) : m_Name(std::move(name)), m_UpperName(Upper(m_Name)) {}

size_t RegKey::LowerBound(const std::wstring& upperName) const {
    auto found = std::lower_bound(m_Subkeys.begin(), m_Subkeys.end(), upperName,
                                  [](const std::unique_ptr<RegKey>& key, const std::wstring& name) {
                                      return key->m_UpperName < name;
                                  });
    return static_cast<size_t>(found - m_Subkeys.begin());
}

RegKey* RegKey::FindSubkey(const std::wstring& name) const {
    std::wstring upper = Upper(name);
    size_t at = LowerBound(upper);
    return at < m_Subkeys.size() && m_Subkeys[at]->m_UpperName == upper ? m_Subkeys[at].get()
                                                                        : nullptr;
}

RegKey& RegKey::CreateSubkey(const std::wstring& name, bool* created) {
    std::wstring upper = Upper(name);
    // Loaders add keys mostly in sorted order: try the end first.
    size_t at = !m_Subkeys.empty() && m_Subkeys.back()->m_UpperName < upper ? m_Subkeys.size()
                                                                            : LowerBound(upper);
    bool isNew = at == m_Subkeys.size() || m_Subkeys[at]->m_UpperName != upper;
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
    std::wstring upper = Upper(name);
    size_t at = LowerBound(upper);
    if (at == m_Subkeys.size() || m_Subkeys[at]->m_UpperName != upper) {
        return false;
    }
    m_Subkeys.erase(m_Subkeys.begin() + static_cast<ptrdiff_t>(at));
    return true;
}

// Values are looked up through the index from this many on.
const size_t kIndexedValues = 32;

size_t RegKey::FindValueIndex(const std::wstring& name) const {
    if (m_ValueIndex != nullptr) {
        auto found = m_ValueIndex->find(Upper(name));
        return found == m_ValueIndex->end() ? m_Values.size() : found->second;
    }
    for (size_t i = 0; i < m_Values.size(); ++i) {
        if (SameRegistryName(m_Values[i].name, name)) {
            return i;
        }
    }
    return m_Values.size();
}

void RegKey::IndexValues() {
    m_ValueIndex = std::make_unique<std::unordered_map<std::wstring, size_t>>();
    for (size_t i = 0; i < m_Values.size(); ++i) {
        m_ValueIndex->emplace(Upper(m_Values[i].name), i);
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
        m_ValueIndex->emplace(Upper(name), m_Values.size() - 1);
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

void RegKey::Clear() {
    m_Values.clear();
    m_ValueIndex.reset();
    m_Subkeys.clear();
}

Registry::Registry()
    : m_Machine(std::make_unique<RegKey>(L"HKEY_LOCAL_MACHINE")),
      m_User(std::make_unique<RegKey>(L"HKEY_CURRENT_USER")),
      m_Users(std::make_unique<RegKey>(L"HKEY_USERS")) {
    // Every Windows has the machine's classes, so HKEY_CLASSES_ROOT can always be opened.
    m_Machine->CreateSubkey(L"Software").CreateSubkey(L"Classes");
}

RegKey* Registry::Tree(RegRoot root) {
    switch (root) {
    case RegRoot::LocalMachine:
        return m_Machine.get();
    case RegRoot::CurrentUser:
        return m_User.get();
    case RegRoot::Users:
        return m_Users.get();
    case RegRoot::ClassesRoot:
        break;
    }
    return nullptr;
}

RegKey* Registry::LinkTarget(const std::wstring& target, int depth) {
    std::vector<std::wstring> parts;
    std::wstring path = !target.empty() && target[0] == L'\\' ? target.substr(1) : target;
    if (!SplitRegistryPath(path, parts) || parts.size() < 2 ||
        !SameRegistryName(parts[0], L"Registry")) {
        return nullptr;
    }
    if (SameRegistryName(parts[1], L"Machine")) {
        return Walk(m_Machine.get(), parts, 2, parts.size(), depth + 1);
    }
    if (SameRegistryName(parts[1], L"User")) {
        // The current user is Wine's fixed user (or whoever the tree was loaded for).
        if (parts.size() >= 3 && SameRegistryName(parts[2], L"S-1-5-21-0-0-0-1000")) {
            return Walk(m_User.get(), parts, 3, parts.size(), depth + 1);
        }
        return Walk(m_Users.get(), parts, 2, parts.size(), depth + 1);
    }
    return nullptr;
}

RegKey* Registry::Walk(RegKey* start, const std::vector<std::wstring>& path, size_t from, size_t to,
                       int depth) {
    if (depth > kMaxLinkDepth) {
        return nullptr;
    }
    RegKey* key = start;
    for (size_t i = from; key != nullptr && i < to; ++i) {
        key = key->FindSubkey(path[i]);
        if (key != nullptr && !key->linkTarget.empty()) {
            key = LinkTarget(key->linkTarget, depth);
        }
    }
    return key;
}

RegKeyView Registry::Open(RegRoot root, const std::vector<std::wstring>& path, bool view32) {
    if (root != RegRoot::ClassesRoot) {
        std::vector<std::wstring> physical = view32 ? RedirectedPath(root, path) : path;
        return RegKeyView{Walk(Tree(root), physical, 0, physical.size(), 0), nullptr};
    }
    std::vector<std::wstring> base = {L"Software", L"Classes"};
    if (view32 && !path.empty() && IsRedirectedClass(path[0])) {
        base.push_back(L"Wow6432Node");
    }
    RegKey* user = Walk(m_User.get(), base, 0, base.size(), 0);
    RegKey* machine = Walk(m_Machine.get(), base, 0, base.size(), 0);
    for (size_t i = 0; i < path.size() && (user != nullptr || machine != nullptr); ++i) {
        user = Walk(user, path, i, i + 1, 0);
        machine = Walk(machine, path, i, i + 1, 0);
        if (user != nullptr && machine != nullptr && !IsMergedClassKey(path, i + 1)) {
            // The user's key hides the machine's, contents and all.
            machine = nullptr;
        }
    }
    if (user == nullptr) {
        return RegKeyView{machine, nullptr};
    }
    return RegKeyView{user, machine};
}

RegKey* Registry::Create(RegRoot root, const std::vector<std::wstring>& path, bool view32,
                         bool* created) {
    if (created != nullptr) {
        *created = false;
    }
    RegKeyView existing = Open(root, path, view32);
    if (existing) {
        return existing.key;
    }
    if (root == RegRoot::ClassesRoot) {
        // New keys of HKEY_CLASSES_ROOT go where their nearest existing parent is, the user's
        // classes or the machine's; with no parent but the root, to the machine's classes.
        for (size_t length = path.size() - 1; length > 0; --length) {
            std::vector<std::wstring> prefix(path.begin(),
                                             path.begin() + static_cast<ptrdiff_t>(length));
            RegKeyView parent = Open(root, prefix, view32);
            if (parent) {
                RegKey* key = parent.key;
                for (size_t i = length; i < path.size(); ++i) {
                    key = &key->CreateSubkey(path[i]);
                }
                if (created != nullptr) {
                    *created = true;
                }
                return key;
            }
        }
    }
    std::vector<std::wstring> physical;
    RegKey* tree = nullptr;
    if (root == RegRoot::ClassesRoot) {
        physical = {L"Software", L"Classes"};
        physical.insert(physical.end(), path.begin(), path.end());
        root = RegRoot::LocalMachine;
        tree = m_Machine.get();
    } else {
        physical = path;
        tree = Tree(root);
    }
    if (view32) {
        physical = RedirectedPath(root, physical);
    }
    // Create component by component, following links on the way.
    RegKey* key = tree;
    for (size_t i = 0; i < physical.size(); ++i) {
        RegKey* next = key->FindSubkey(physical[i]);
        if (next != nullptr && !next->linkTarget.empty()) {
            next = LinkTarget(next->linkTarget, 0);
            if (next == nullptr) {
                return nullptr;
            }
        }
        if (next == nullptr) {
            next = &key->CreateSubkey(physical[i]);
            if (created != nullptr && i + 1 == physical.size()) {
                *created = true;
            }
        }
        key = next;
    }
    return key;
}

bool Registry::DeleteTree(RegRoot root, const std::vector<std::wstring>& path, bool view32) {
    if (path.empty()) {
        return false;
    }
    std::vector<std::wstring> parentPath(path.begin(), path.end() - 1);
    RegKeyView parent = Open(root, parentPath, view32);
    RegKeyView key = Open(root, path, view32);
    if (!parent || !key) {
        return false;
    }
    // The key may be the user's or the machine's (HKEY_CLASSES_ROOT), or redirected: delete it
    // from whichever parent holds it.
    for (RegKey* holder : {parent.key, parent.underlay}) {
        if (holder != nullptr && holder->FindSubkey(path.back()) == key.key) {
            return holder->DeleteSubkey(path.back());
        }
    }
    if (view32 && root != RegRoot::ClassesRoot) {
        std::vector<std::wstring> physical = RedirectedPath(root, path);
        RegKey* holder = Walk(Tree(root), physical, 0, physical.size() - 1, 0);
        return holder != nullptr && holder->DeleteSubkey(physical.back());
    }
    return false;
}

std::vector<std::wstring> Registry::SubkeyNames(const RegKeyView& view) {
    std::vector<std::wstring> names;
    if (!view) {
        return names;
    }
    for (size_t i = 0; i < view.key->SubkeyCount(); ++i) {
        names.push_back(view.key->Subkey(i).Name());
    }
    if (view.underlay == nullptr) {
        return names;
    }
    std::vector<std::pair<std::wstring, std::wstring>> sorted;
    for (const std::wstring& name : names) {
        sorted.emplace_back(Upper(name), name);
    }
    for (size_t i = 0; i < view.underlay->SubkeyCount(); ++i) {
        const std::wstring& name = view.underlay->Subkey(i).Name();
        if (view.key->FindSubkey(name) == nullptr) {
            sorted.emplace_back(Upper(name), name);
        }
    }
    std::sort(sorted.begin(), sorted.end());
    names.clear();
    for (auto& entry : sorted) {
        names.push_back(std::move(entry.second));
    }
    return names;
}

std::vector<const RegValue*> Registry::ValuesOf(const RegKeyView& view) {
    std::vector<const RegValue*> values;
    if (!view) {
        return values;
    }
    for (const RegValue& value : view.key->Values()) {
        values.push_back(&value);
    }
    if (view.underlay != nullptr) {
        for (const RegValue& value : view.underlay->Values()) {
            if (view.key->FindValue(value.name) == nullptr) {
                values.push_back(&value);
            }
        }
    }
    return values;
}

const RegValue* Registry::FindValue(const RegKeyView& view, const std::wstring& name) {
    if (!view) {
        return nullptr;
    }
    const RegValue* value = view.key->FindValue(name);
    if (value == nullptr && view.underlay != nullptr) {
        value = view.underlay->FindValue(name);
    }
    return value;
}

RegKey& Registry::Key(const std::wstring& fullPath) {
    std::vector<std::wstring> parts;
    SplitRegistryPath(fullPath, parts);
    RegKey* key = m_Machine.get();
    if (!parts.empty()) {
        std::wstring root = Upper(parts[0]);
        if (root == L"HKEY_CURRENT_USER" || root == L"HKCU") {
            key = m_User.get();
        } else if (root == L"HKEY_USERS" || root == L"HKU") {
            key = m_Users.get();
        } else if (root == L"HKEY_CLASSES_ROOT" || root == L"HKCR") {
            key = &key->CreateSubkey(L"Software").CreateSubkey(L"Classes");
        }
    }
    for (size_t i = 1; i < parts.size(); ++i) {
        key = &key->CreateSubkey(parts[i]);
    }
    return *key;
}

void Registry::SetString(const std::wstring& fullPath, const std::wstring& name,
                         const std::wstring& text, DWORD type) {
    Key(fullPath).SetValue(name, type, RegistryText(text));
}

void Registry::SetDword(const std::wstring& fullPath, const std::wstring& name, DWORD number) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) {
        data[static_cast<size_t>(i)] = static_cast<char>((number >> (8 * i)) & 0xFF);
    }
    Key(fullPath).SetValue(name, REG_DWORD, data);
}

} // namespace sim
