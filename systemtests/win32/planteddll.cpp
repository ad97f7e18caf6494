// A DLL planted beside the Windows program under a system DLL's name: when a process loads it,
// it leaves a marker beside itself (its own path with ".ran" added) and refuses to load.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    char path[MAX_PATH + 8] = {};
    DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
    lstrcpyA(path + length, ".ran");
    HANDLE marker =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) {
        CloseHandle(marker);
    }
    return FALSE;
}
