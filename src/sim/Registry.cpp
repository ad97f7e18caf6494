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
        key = Followed(key->FindSubkey(path[i]), depth);
    }
    return key;
}

RegKey* Registry::Followed(RegKey* key, int depth) {
    return key == nullptr || key->LinkTarget().empty() ? key : LinkTarget(key->LinkTarget(), depth);
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
        RegKey* found = key->FindSubkey(physical[i]);
        RegKey* next = Followed(found, 0);
        if (found != nullptr && next == nullptr) {
            return nullptr;
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
    if (root != RegRoot::ClassesRoot) {
        std::vector<std::wstring> physical = PhysicalPath(root, path, view32);
        RegKey* holder = Walk(Tree(root), physical, 0, physical.size() - 1, 0);
        return holder != nullptr && holder->DeleteSubkey(physical.back());
    }
    // The key may be the user's or the machine's: it is deleted from whichever parent holds it.
    RegKeyView parent = Open(root, {path.begin(), path.end() - 1}, view32);
    RegKeyView key = Open(root, path, view32);
    for (RegKey* holder : {parent.key, parent.underlay}) {
        if (key && holder != nullptr && holder->FindSubkey(path.back()) == key.key) {
            return holder->DeleteSubkey(path.back());
        }
    }
    return false;
}

RegKeyView Registry::OpenSubkey(RegRoot root, const std::vector<std::wstring>& path, bool view32,
                                RegKey& subkey) {
    // The native view of the trees has no rules: only the 32-bit view redirects, and only
    // HKEY_CLASSES_ROOT merges.
    if ((view32 || root == RegRoot::ClassesRoot) && ViewRuleNames(root, path)) {
        return Open(root, path, view32);
    }
    // Unmerged: the user's subkey hides the machine's, and the machine's is seen alone.
    return RegKeyView{Followed(&subkey, 0), nullptr};
}

RegKey* Registry::SubkeyAt(const RegKeyView& view, size_t index) {
    if (!view) {
        return nullptr;
    }
    RegKey& own = *view.key;
    size_t count = own.SubkeyCount();
    if (view.underlay == nullptr) {
        return index < count ? &own.Subkey(index) : nullptr;
    }
    // Merged: the key's own subkeys (the user's few) are placed among the underlay's by binary
    // search; the underlay's of the same name stay hidden behind them.
    RegKey& under = *view.underlay;
    size_t hidden = 0;
    for (size_t i = 0; i < count; ++i) {
        RegKey& subkey = own.Subkey(i);
        size_t below = under.SubkeyPosition(subkey.Name());
        size_t at = i + below - hidden;
        if (at == index) {
            return &subkey;
        }
        if (at > index) {
            // One of the underlay's before it; every hidden one is before that.
            return &under.Subkey(index - i + hidden);
        }
        if (below < under.SubkeyCount() && SameName(under.Subkey(below).Name(), subkey.Name())) {
            ++hidden;
        }
    }
    size_t at = index - count + hidden;
    return at < under.SubkeyCount() ? &under.Subkey(at) : nullptr;
}

const RegValue* Registry::ValueAt(const RegKeyView& view, size_t index) {
    if (!view) {
        return nullptr;
    }
    const std::vector<RegValue>& own = view.key->Values();
    if (index < own.size() || view.underlay == nullptr) {
        return index < own.size() ? &own[index] : nullptr;
    }
    // The underlay's values past those of the same names as the key's own.
    const std::vector<RegValue>& under = view.underlay->Values();
    std::vector<size_t> hidden;
    for (const RegValue& value : own) {
        if (const RegValue* same = view.underlay->FindValue(value.name)) {
            hidden.push_back(static_cast<size_t>(same - under.data()));
        }
    }
    std::sort(hidden.begin(), hidden.end());
    size_t at = index - own.size();
    for (size_t place : hidden) {
        at += place <= at ? 1 : 0;
    }
    return at < under.size() ? &under[at] : nullptr;
}

const RegValue* Registry::FindValue(const RegKeyView& view, const std::wstring& name) {
    const RegValue* value = view ? view.key->FindValue(name) : nullptr;
    if (value == nullptr && view.underlay != nullptr) {
        value = view.underlay->FindValue(name);
    }
    return value;
}

} // namespace sim
