// The registry functions of the simulated machine (advapi32's ANSI variants). Names and text
// data cross in the machine's code page; texts are kept as UTF-16LE like Windows keeps them, so
// sizes are reported as the ANSI variants report them.
#include "sim/Ansi.h"
#include "sim/CodePage.h"
#include "sim/Handles.h"
#include "sim/Machine.h"
#include "sim/Registry.h"
#include "winapi/winapi_testing.h"

#include <cstring>

using namespace sim;

namespace {

// Where a key is: its root and logical path, and the view it is seen in. A handle keeps where its
// key is, and every call opens the key again, so that a key deleted meanwhile is noticed.
struct KeyPlace {
    RegRoot root = RegRoot::LocalMachine;
    std::vector<std::wstring> path;
    bool view32 = false;
};

class RegistryKeyObject : public KernelObject {
public:
    explicit RegistryKeyObject(KeyPlace place) : place(std::move(place)) {}
    KeyPlace place;
};

// The longest key name and value name that Windows accepts.
const size_t kMaxKeyName = 255;
const size_t kMaxValueName = 16383;

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Where a handle's key, or a subkey below it, is: seen in the handle's view, or with `access` in
// the one that the access mask asks for.
LSTATUS Locate(HKEY handle, LPCSTR subKey, const REGSAM* access, KeyPlace& place) {
    if (RootOfHandle(handle, place.root)) {
        place.path.clear();
        place.view32 = CurrentMachine().is64Bit;
    } else if (auto* object = HandleObject<RegistryKeyObject>(reinterpret_cast<HANDLE>(handle))) {
        place = object->place;
    } else {
        return ERROR_INVALID_HANDLE;
    }
    std::vector<std::wstring> parts;
    if (!SplitRegistryPath(FromAnsiArgument(subKey), parts)) {
        return ERROR_BAD_PATHNAME;
    }
    for (std::wstring& part : parts) {
        if (part.size() > kMaxKeyName) {
            return ERROR_INVALID_PARAMETER;
        }
        place.path.push_back(std::move(part));
    }
    if (access != nullptr) {
        if ((*access & KEY_WOW64_64KEY) && (*access & KEY_WOW64_32KEY)) {
            return ERROR_INVALID_PARAMETER;
        }
        place.view32 = CurrentMachine().is64Bit && !(*access & KEY_WOW64_64KEY);
    }
    return ERROR_SUCCESS;
}

// Locates a key and opens it: ERROR_FILE_NOT_FOUND when it does not exist.
LSTATUS OpenKey(HKEY handle, LPCSTR subKey, const REGSAM* access, KeyPlace& place,
                RegKeyView& view) {
    LSTATUS status = Locate(handle, subKey, access, place);
    if (status == ERROR_SUCCESS) {
        view = CurrentMachine().registry.Open(place.root, place.path, place.view32);
        status = view ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    }
    return status;
}

// The key that a handle stands for, opened (ERROR_KEY_DELETED when it no longer exists).
RegKeyView ViewOfHandle(HKEY handle, LSTATUS& status) {
    KeyPlace place;
    RegKeyView view;
    status = OpenKey(handle, nullptr, nullptr, place, view);
    status = status == ERROR_FILE_NOT_FOUND ? ERROR_KEY_DELETED : status;
    return view;
}

// Deletes the key at a place with its subtree.
LSTATUS DeleteAt(const KeyPlace& place) {
    return CurrentMachine().registry.DeleteTree(place.root, place.path, place.view32)
               ? ERROR_SUCCESS
               : ERROR_ACCESS_DENIED;
}

// The data of a value as the ANSI variants return it: texts in the code page.
std::string AnsiData(const RegValue& value) {
    if (!IsText(value.type)) {
        return value.data;
    }
    return WideToCodePage(CurrentMachine().codePage, FromUtf16Le(value.data));
}

// Copies a value's data, type and size out as RegQueryValueExA does.
LSTATUS CopyValueOut(const RegValue& value, LPDWORD type, BYTE* data, LPDWORD size) {
    if (data != nullptr && size == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    std::string bytes = AnsiData(value);
    LSTATUS status = ERROR_SUCCESS;
    if (data != nullptr) {
        if (bytes.size() > *size) {
            status = ERROR_MORE_DATA;
        } else {
            std::memcpy(data, bytes.data(), bytes.size());
            // A text stored without its terminator gets one when there is room, as on Windows.
            if (IsText(value.type) && !bytes.empty() && bytes.back() != '\0' &&
                bytes.size() < *size) {
                data[bytes.size()] = 0;
            }
        }
    }
    if (type != nullptr) {
        *type = value.type;
    }
    if (size != nullptr) {
        *size = static_cast<DWORD>(bytes.size());
    }
    return status;
}

// Copies a name out as the enumeration functions do: the length without NUL, or
// ERROR_MORE_DATA when it does not fit with its NUL.
LSTATUS CopyNameOut(const std::wstring& name, LPSTR buffer, LPDWORD length) {
    if (buffer == nullptr || length == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    std::string ansi = ToMachineAnsi(name);
    if (ansi.size() >= *length) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, ansi.c_str(), ansi.size() + 1);
    *length = static_cast<DWORD>(ansi.size());
    return ERROR_SUCCESS;
}

LSTATUS OpenOrCreate(HKEY hKey, LPCSTR lpSubKey, REGSAM samDesired, PHKEY phkResult, bool create,
                     LPDWORD lpdwDisposition) {
    if (phkResult == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    KeyPlace place;
    LSTATUS status = Locate(hKey, lpSubKey, &samDesired, place);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    auto subject = [&] {
        std::wstring key = RootLongName(place.root);
        for (const std::wstring& name : place.path) {
            key += L"\\" + name;
        }
        return key;
    };
    if (DWORD planted = PlantedFault(create ? "RegCreateKeyExA" : "RegOpenKeyExA", subject)) {
        return static_cast<LSTATUS>(planted);
    }
    Registry& registry = CurrentMachine().registry;
    bool created = false;
    if (create) {
        if (place.root == RegRoot::ClassesRoot || !place.path.empty()) {
            if (registry.Create(place.root, place.path, place.view32, &created) == nullptr) {
                return ERROR_FILE_NOT_FOUND;
            }
        }
    } else if (!registry.Open(place.root, place.path, place.view32)) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (lpdwDisposition != nullptr) {
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    HANDLE handle = AddHandle(std::make_unique<RegistryKeyObject>(std::move(place)));
    *phkResult = reinterpret_cast<HKEY>(handle);
    return ERROR_SUCCESS;
}

} // namespace

LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired,
                             PHKEY phkResult) {
    return OpenOrCreate(hKey, lpSubKey, samDesired, phkResult, false, nullptr);
}

LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                               LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
    return OpenOrCreate(hKey, lpSubKey, samDesired, phkResult, true, lpdwDisposition);
}

LSTATUS WINAPI RegCloseKey(HKEY hKey) {
    RegRoot root;
    if (RootOfHandle(hKey, root)) {
        return ERROR_SUCCESS;
    }
    if (HandleObject<RegistryKeyObject>(reinterpret_cast<HANDLE>(hKey)) == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    RemoveHandle(reinterpret_cast<HANDLE>(hKey));
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                BYTE* lpData, LPDWORD lpcbData) {
    if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    LSTATUS status;
    RegKeyView view = ViewOfHandle(hKey, status);
    if (!view) {
        return status;
    }
    const RegValue* value = Registry::FindValue(view, FromAnsiArgument(lpValueName));
    if (value == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    return CopyValueOut(*value, lpType, lpData, lpcbData);
}

LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType,
                              const BYTE* lpData, DWORD cbData) {
    if (lpData == nullptr && cbData != 0) {
        return ERROR_NOACCESS;
    }
    std::wstring name = FromAnsiArgument(lpValueName);
    if (name.size() > kMaxValueName) {
        return ERROR_INVALID_PARAMETER;
    }
    LSTATUS status;
    RegKeyView view = ViewOfHandle(hKey, status);
    if (!view) {
        return status;
    }
    std::string bytes(reinterpret_cast<const char*>(lpData), cbData);
    if (IsText(dwType)) {
        bytes = ToUtf16Le(CodePageToWide(CurrentMachine().codePage, bytes));
    }
    view.key->SetValue(name, dwType, std::move(bytes));
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                             LPDWORD lpReserved, LPSTR lpClass, LPDWORD lpcchClass,
                             FILETIME* lpftLastWriteTime) {
    if (lpReserved != nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    LSTATUS status;
    RegKeyView view = ViewOfHandle(hKey, status);
    if (!view) {
        return status;
    }
    RegKey* subkey = Registry::SubkeyAt(view, dwIndex);
    if (subkey == nullptr) {
        return ERROR_NO_MORE_ITEMS;
    }
    status = CopyNameOut(subkey->Name(), lpName, lpcchName);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (lpClass != nullptr && lpcchClass != nullptr && *lpcchClass > 0) {
        lpClass[0] = '\0';
        *lpcchClass = 0;
    }
    if (lpftLastWriteTime != nullptr) {
        *lpftLastWriteTime = FILETIME{};
    }
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                             LPDWORD lpReserved, LPDWORD lpType, BYTE* lpData, LPDWORD lpcbData) {
    if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    LSTATUS status;
    RegKeyView view = ViewOfHandle(hKey, status);
    if (!view) {
        return status;
    }
    const RegValue* value = Registry::ValueAt(view, dwIndex);
    if (value == nullptr) {
        return ERROR_NO_MORE_ITEMS;
    }
    status = CopyNameOut(value->name, lpValueName, lpcchValueName);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    return CopyValueOut(*value, lpType, lpData, lpcbData);
}

LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    LSTATUS status;
    RegKeyView view = ViewOfHandle(hKey, status);
    if (!view) {
        return status;
    }
    return view.key->DeleteValue(FromAnsiArgument(lpValueName)) ? ERROR_SUCCESS
                                                                : ERROR_FILE_NOT_FOUND;
}

LSTATUS WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    return RegDeleteKeyExA(hKey, lpSubKey, 0, 0);
}

LSTATUS WINAPI RegDeleteKeyExA(HKEY hKey, LPCSTR lpSubKey, REGSAM samDesired, DWORD) {
    if (lpSubKey == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    KeyPlace place;
    RegKeyView view;
    LSTATUS status = OpenKey(hKey, lpSubKey, &samDesired, place, view);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    return place.path.empty() || view.key->SubkeyCount() > 0 ? ERROR_ACCESS_DENIED
                                                             : DeleteAt(place);
}

LSTATUS WINAPI RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey) {
    KeyPlace place;
    RegKeyView view;
    LSTATUS status = OpenKey(hKey, lpSubKey, nullptr, place, view);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (lpSubKey == nullptr || lpSubKey[0] == '\0' || place.path.empty()) {
        // Without a subkey the key itself stays and loses its values and subkeys.
        view.key->Clear();
        return ERROR_SUCCESS;
    }
    return DeleteAt(place);
}
