// DLLs that are not among Windows' known DLLs (which Windows always takes from the system
// folder): the program names none of them in its import table and loads them from the system
// folder alone, so that a DLL of the same name beside the program (in a download folder, say)
// is never loaded into it.
#pragma once

#include "winapi/winapi.h"

namespace Utilities {

// A kernel32 function as a pointer of type F, looked up when it is asked for, so that a Windows
// version without it can still start the program; null where kernel32 lacks it.
FARPROC Kernel32Address(const char* p_Name);
template <typename F> F Kernel32Function(const char* p_Name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(Kernel32Address(p_Name)));
}

// Takes the current folder out of the search for DLLs loaded by name from now on
// (SetDllDirectoryW with an empty folder), where kernel32 has that. The process's default
// search is left as Windows makes it: the in-process components that the checks create load
// their own DLLs from their folder and through PATH, as they do in the suite's programs.
// Called first thing at start-up.
void RestrictLibrarySearch();

// A DLL of the system folder, loaded while the object lives.
class SystemLibrary {
public:
    // p_FileName: the DLL's file name ("version.dll").
    explicit SystemLibrary(const char* p_FileName);
    ~SystemLibrary();
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    // One of its functions as a pointer of type F; null when the DLL or the function is missing.
    template <typename F> F Function(const char* p_Name) const {
        return reinterpret_cast<F>(reinterpret_cast<void*>(Address(p_Name)));
    }

private:
    FARPROC Address(const char* p_Name) const;
    HMODULE m_Module;
};

} // namespace Utilities
