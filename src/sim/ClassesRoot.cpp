#include "sim/Registry.h"
#include "sim/RegistryViews.h"

#include <algorithm>

namespace sim {

namespace {

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

} // namespace

bool IsMergedClassKey(const std::vector<std::wstring>& path, size_t length) {
    static const RegistryPathList merged = SplitPathList(kMergedClassKeys);
    for (const std::vector<std::wstring>& parts : merged) {
        if (parts.size() == length && PathStartsWith(path, 0, parts)) {
            return true;
        }
    }
    return false;
}

bool MergingFixedBelow(const std::vector<std::wstring>& path) {
    static const RegistryPathList merged = SplitPathList(kMergedClassKeys);
    if (path.empty()) {
        return false;
    }
    for (const std::vector<std::wstring>& parts : merged) {
        if (parts.size() > path.size() && PathStartsWith(parts, 0, path)) {
            return false;
        }
    }
    return true;
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
        sorted.emplace_back(UpperName(name), name);
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

} // namespace sim
