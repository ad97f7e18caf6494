#include "sim/Registry.h"

#include <stdexcept>

namespace sim {

RegKey& Registry::CreateKey(const std::wstring& fullPath) {
    std::vector<std::wstring> parts;
    RegRoot root = RegRoot::LocalMachine;
    if (!SplitRegistryPath(fullPath, parts) || parts.empty() ||
        !ParseRegistryRoot(parts[0], root)) {
        throw std::invalid_argument("no registry root in the key path");
    }
    RegKey* key = Tree(root);
    if (key == nullptr) {
        key = &m_Machine->CreateSubkey(L"Software").CreateSubkey(L"Classes");
    }
    for (size_t i = 1; i < parts.size(); ++i) {
        key = &key->CreateSubkey(parts[i]);
    }
    return *key;
}

void Registry::SetString(const std::wstring& fullPath, const std::wstring& name,
                         const std::wstring& text, DWORD type) {
    CreateKey(fullPath).SetValue(name, type, RegistryText(text));
}

void Registry::SetDword(const std::wstring& fullPath, const std::wstring& name, DWORD number) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) {
        data[static_cast<size_t>(i)] = static_cast<char>((number >> (8 * i)) & 0xFF);
    }
    CreateKey(fullPath).SetValue(name, REG_DWORD, data);
}

} // namespace sim
