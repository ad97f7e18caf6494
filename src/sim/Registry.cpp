#include "sim/Registry.h"

#include "sim/RegistryViews.h"

namespace sim {

namespace {

// Links are followed at most this deep, so that a loop of links ends.
const int kMaxLinkDepth = 16;

} // namespace

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
    if (!SplitRegistryPath(path, parts) || parts.size() < 2 || !SameName(parts[0], L"Registry")) {
        return nullptr;
    }
    if (SameName(parts[1], L"Machine")) {
        return Walk(m_Machine.get(), parts, 2, parts.size(), depth + 1);
    }
    if (SameName(parts[1], L"User")) {
        // The current user is Wine's fixed user (or whoever the tree was loaded for).
        if (parts.size() >= 3 && SameName(parts[2], L"S-1-5-21-0-0-0-1000")) {
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
    // The path is walked where it stands: in the 32-bit view in two parts, with the redirection
    // node between them.
    static const std::vector<std::wstring> kNode = {L"Wow6432Node"};
    if (root != RegRoot::ClassesRoot) {
        size_t at = view32 ? RedirectionAt(root, path) : std::wstring::npos;
        if (at == std::wstring::npos) {
            return RegKeyView{Walk(Tree(root), path, 0, path.size(), 0), nullptr};
        }
        RegKey* key = Walk(Walk(Tree(root), path, 0, at, 0), kNode, 0, 1, 0);
        return RegKeyView{Walk(key, path, at, path.size(), 0), nullptr};
    }
    static const std::vector<std::wstring> kClasses = {L"Software", L"Classes"};
    static const std::vector<std::wstring> kClasses32 = {L"Software", L"Classes", L"Wow6432Node"};
    const std::vector<std::wstring>& base =
        view32 && !path.empty() && IsRedirectedClass(path[0]) ? kClasses32 : kClasses;
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

bool Registry::ViewsFixedBelow(RegRoot root, const std::vector<std::wstring>& path, bool view32) {
    if (root == RegRoot::ClassesRoot) {
        return MergingFixedBelow(path);
    }
    return !view32 || RedirectionFixedBelow(root, path);
}

RegKeyView Registry::Subkey(const RegKeyView& parent, const std::wstring& name) {
    // Below the views' rules a subkey is redirected and merged as its parent is: of the user's
    // and the machine's classes, the user's key hides the machine's.
    RegKey* key = parent.key != nullptr ? Followed(parent.key->FindSubkey(name)) : nullptr;
    RegKey* underlay =
        parent.underlay != nullptr ? Followed(parent.underlay->FindSubkey(name)) : nullptr;
    if (key == nullptr) {
        return RegKeyView{underlay, nullptr};
    }
    return RegKeyView{key, nullptr};
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

} // namespace sim
