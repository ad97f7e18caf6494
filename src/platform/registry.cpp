#include "platform/registry.h"

#include "platform/error.h"
#include "platform/handles.h"
#include "platform/text.h"

#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace Utilities {

namespace {

// The view the program reads when no caller asks for the 64-bit one. The 32-bit program gets
// its own (32-bit) view without a flag. Its 64-bit twin, which runs the tests under a 64-bit
// loader, would read the native view without a flag, so it names the 32-bit view and sees what
// the 32-bit program sees. On 32-bit Windows the flag is ignored.
constexpr REGSAM kOwnView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : 0;

REGSAM ReadAccess(bool use64BitView) {
    return KEY_READ | (use64BitView ? KEY_WOW64_64KEY : kOwnView);
}

// Texts are read into this many bytes: 2048 characters and a terminating NUL.
const DWORD kTextBufferSize = 2049;
// ExpandEnvironmentStringsA is offered this many characters first.
const DWORD kExpandBufferSize = 1024;

bool OpenKey(HKEY root, const Text& subKey, REGSAM access, UniqueRegistryKey& key) {
    std::string path = ToAnsi(subKey);
    if (RegOpenKeyExA(root, path.c_str(), 0, access, key.Receive()) != ERROR_SUCCESS) {
        key.Forget();
        return false;
    }
    return true;
}

struct RootName {
    const wchar_t* name;
    HKEY root;
};

} // namespace

// Whether a root name stands at this place of the path as a whole name: followed by a backslash
// or the end ("HKEY_CURRENT_USERS" is no root).
static bool RootNameAt(const Text& path, size_t at, const Text& name) {
    size_t end = at + name.size();
    return path.compare(at, name.size(), name) == 0 && (end == path.size() || path[end] == L'\\');
}

bool RegistryKeyExists(const Text& p_RegistryPath, bool p_Use64BitView) {
    Text path = ToUpper(p_RegistryPath);
    const RootName roots[] = {{L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                              {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                              {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}};
    HKEY root = nullptr;
    // A path that begins with a root name is that root's, and only that leading name goes: a
    // subkey that happens to be called like a root stays part of the path.
    for (const RootName& candidate : roots) {
        size_t length = std::wcslen(candidate.name);
        if (RootNameAt(path, 0, candidate.name)) {
            root = candidate.root;
            path.erase(0, length);
            break;
        }
    }
    // Otherwise the first root name found anywhere decides, and all its occurrences go.
    for (size_t i = 0; root == nullptr && i < sizeof roots / sizeof roots[0]; ++i) {
        Text name = roots[i].name;
        size_t at = path.find(name);
        while (at != Text::npos && !RootNameAt(path, at, name)) {
            at = path.find(name, at + 1);
        }
        if (at == Text::npos) {
            continue;
        }
        root = roots[i].root;
        for (; at != Text::npos; at = path.find(name, at)) {
            if (RootNameAt(path, at, name)) {
                path.erase(at, name.size());
            } else {
                ++at;
            }
        }
    }
    if (path.empty()) {
        throw ZPError::InvalidArgument();
    }
    // Drop the backslash that followed the root name.
    path.erase(0, 1);
    try {
        UniqueRegistryKey key;
        return OpenKey(root, path, ReadAccess(p_Use64BitView), key);
    } catch (const std::exception&) {
        return false;
    }
}

bool RegistryValueExists(HKEY p_Root, const Text& p_SubKey, const Text& p_ValueName,
                         bool p_Use64BitView) {
    try {
        UniqueRegistryKey key;
        if (!OpenKey(p_Root, p_SubKey, ReadAccess(p_Use64BitView), key)) {
            return false;
        }
        std::string name = ToAnsi(p_ValueName);
        return RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
    } catch (const std::exception&) {
        return false;
    }
}

Text ReadRegistryString(HKEY p_Root, const Text& p_SubKey, const Text& p_ValueName,
                        const Text& p_Default, bool p_Use64BitView) {
    UniqueRegistryKey key;
    if (!OpenKey(p_Root, p_SubKey, ReadAccess(p_Use64BitView), key)) {
        return p_Default;
    }
    std::vector<char> buffer(kTextBufferSize, '\0');
    DWORD size = kTextBufferSize;
    DWORD type = REG_NONE;
    std::string name = ToAnsi(p_ValueName);
    if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
        return p_Default;
    }
    if (size < 2) {
        return L"";
    }
    Text result = TrimAtNull(FromAnsi(std::string(buffer.data(), buffer.size())));
    if (!result.empty() && type == REG_EXPAND_SZ) {
        result = ExpandEnvironment(result);
    }
    return result;
}

int32_t ReadRegistryNumber(HKEY p_Root, const Text& p_SubKey, const Text& p_ValueName,
                           int32_t p_Default) {
    UniqueRegistryKey key;
    if (!OpenKey(p_Root, p_SubKey, ReadAccess(false), key)) {
        return p_Default;
    }
    // The data lands on the default's bytes, so that shorter data replaces only its low-order
    // bytes. A failed query may leave anything in the variable: it then keeps the default.
    BYTE bytes[4];
    std::memcpy(bytes, &p_Default, sizeof bytes);
    DWORD size = sizeof bytes;
    DWORD type = REG_DWORD;
    std::string name = ToAnsi(p_ValueName);
    if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, bytes, &size) != ERROR_SUCCESS) {
        return p_Default;
    }
    int32_t number;
    std::memcpy(&number, bytes, sizeof number);
    return number;
}

Text ExpandEnvironment(const Text& p_Text) {
    if (p_Text.empty()) {
        return p_Text;
    }
    try {
        std::string source = ToAnsi(p_Text);
        std::vector<char> buffer(kExpandBufferSize + 1, '\0');
        DWORD needed = ExpandEnvironmentStringsA(source.c_str(), buffer.data(), kExpandBufferSize);
        if (needed > kExpandBufferSize) {
            // Too long for the first buffer, which then holds no complete text: expand again
            // into one of the size needed.
            buffer.assign(needed + 1, '\0');
            needed = ExpandEnvironmentStringsA(source.c_str(), buffer.data(), needed);
            if (needed + 1 > buffer.size()) {
                return p_Text;
            }
        }
        if (needed == 0) {
            return p_Text;
        }
        return TrimAtNull(FromAnsi(std::string(buffer.data(), buffer.size())));
    } catch (const std::exception&) {
        return p_Text;
    }
}

} // namespace Utilities
