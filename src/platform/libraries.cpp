#include "platform/libraries.h"

#include "platform/folders.h"
#include "platform/unicode.h"

#include <string>

namespace Utilities {

namespace {

using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);

} // namespace

FARPROC Kernel32Address(const char* p_Name) {
    HMODULE kernel = GetModuleHandleA("kernel32");
    return kernel != nullptr ? GetProcAddress(kernel, p_Name) : nullptr;
}

void RestrictLibrarySearch() {
    auto setDllDirectory = Kernel32Function<SetDllDirectoryFunction>("SetDllDirectoryW");
    if (setDllDirectory != nullptr) {
        setDllDirectory(L"");
    }
}

SystemLibrary::SystemLibrary(const char* p_FileName) {
    // LoadLibraryExA knows the search flags exactly where kernel32 exports
    // SetDefaultDllDirectories; elsewhere the DLL is named by its full path in the system folder.
    if (Kernel32Address("SetDefaultDllDirectories") != nullptr) {
        m_Module = LoadLibraryExA(p_FileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return;
    }
    Text systemFolder = GetSystemFolder();
    m_Module = systemFolder.empty()
                   ? nullptr
                   : LoadLibraryExA((ToAnsi(systemFolder) + "\\" + p_FileName).c_str(), nullptr,
                                    LOAD_WITH_ALTERED_SEARCH_PATH);
}

SystemLibrary::~SystemLibrary() {
    if (m_Module != nullptr) {
        FreeLibrary(m_Module);
    }
}

FARPROC SystemLibrary::Address(const char* p_Name) const {
    return m_Module != nullptr ? GetProcAddress(m_Module, p_Name) : nullptr;
}

} // namespace Utilities
