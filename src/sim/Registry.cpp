#include "sim/Registry.h"

#include "sim/RegistryViews.h"

#include <algorithm>

namespace sim {

namespace {

// Links are followed at most this deep, so that a loop of links ends.
const int kMaxLinkDepth = 16;

// The path of a key where a view reads it: in the 32-bit view, with Wow6432Node where the view
// puts it.
std::vector<std::wstring> PhysicalPath(RegRoot root, const std::vector<std::wstring>& path,
                                       bool view32) {
    size_t at = view32 ? RedirectionAt(root, path) : std::wstring::npos;
    std::vector<std::wstring> physical = path;
    if (at != std::wstring::npos) {
        physical.insert(physical.begin() + static_cast<ptrdiff_t>(at), L"Wow6432Node");
    }
    return physical;
}

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
        if (key != nullptr && !key->LinkTarget().empty()) {
            key = LinkTarget(key->LinkTarget(), depth);
        }
    }
    return key;
}

RegKeyView Registry::Open(RegRoot root, const std::vector<std::wstring>& path, bool view32) {
    if (root != RegRoot::ClassesRoot) {
        std::vector<std::wstring> physical = PhysicalPath(root, path, view32);
        return RegKeyView{Walk(Tree(root), physical, 0, physical.size(), 0), nullptr};
    }
    // The user's classes and the machine's, walked side by side.
    std::vector<std::wstring> classes = {L"Software", L"Classes"};
    classes.insert(classes.end(), path.begin(), path.end());
    std::vector<std::wstring> userPath = PhysicalPath(RegRoot::CurrentUser, classes, view32);
    std::vector<std::wstring> machinePath = PhysicalPath(RegRoot::LocalMachine, classes, view32);
    size_t base = userPath.size() - path.size();
    RegKey* user = Walk(m_User.get(), userPath, 0, base, 0);
    RegKey* machine = Walk(m_Machine.get(), machinePath, 0, base, 0);
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
    std::vector<std::wstring> physical = path;
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
        physical.insert(physical.begin(), {L"Software", L"Classes"});
        root = RegRoot::LocalMachine;
    }
    physical = PhysicalPath(root, physical, view32);
    // Created name by name, following links on the way.
    RegKey* key = Tree(root);
    for (size_t i = 0; i < physical.size(); ++i) {
        RegKey* next = key->FindSubkey(physical[i]);
        if (next != nullptr && !next->LinkTarget().empty()) {
            next = LinkTarget(next->LinkTarget(), 0);
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
    // The key may be the user's or the machine's (HKEY_CLASSES_ROOT), or redirected: it is
    // deleted from whichever parent holds it.
    for (RegKey* holder : {parent.key, parent.underlay}) {
        if (holder != nullptr && holder->FindSubkey(path.back()) == key.key) {
            return holder->DeleteSubkey(path.back());
        }
    }
    if (root != RegRoot::ClassesRoot) {
        std::vector<std::wstring> physical = PhysicalPath(root, path, view32);
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
    for (std::wstring& name : names) {
        sorted.emplace_back(UpperName(name), std::move(name));
    }
    for (size_t i = 0; i < view.underlay->SubkeyCount(); ++i) {
        const std::wstring& name = view.underlay->Subkey(i).Name();
        if (view.key->FindSubkey(name) == nullptr) {
            sorted.emplace_back(UpperName(name), name);
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
    for (RegKey* key : {view.key, view.underlay}) {
        if (key != nullptr) {
            for (const RegValue& value : key->Values()) {
                if (key == view.key || view.key->FindValue(value.name) == nullptr) {
                    values.push_back(&value);
                }
            }
        }
    }
    return values;
}

const RegValue* Registry::FindValue(const RegKeyView& view, const std::wstring& name) {
    const RegValue* value = view ? view.key->FindValue(name) : nullptr;
    if (value == nullptr && view.underlay != nullptr) {
        value = view.underlay->FindValue(name);
    }
    return value;
}

} // namespace sim
