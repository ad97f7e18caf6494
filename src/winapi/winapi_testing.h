// The Windows functions that change a machine: registry writes, file attributes, folders and
// the environment. Only tests and the simulated machine include this header; the program
// itself never changes the registry, and the layer check keeps this header out of its sources.
#pragma once

#define ZANPROBE_WINAPI_TESTING
#include "winapi/winapi.h"

#ifdef _WIN32

#undef CreateDirectoryA
#undef RemoveDirectoryA
#undef SetFileAttributesA
#undef RegCreateKeyExA
#undef RegSetValueExA
#undef RegDeleteValueA
#undef RegDeleteKeyA
#undef RegDeleteKeyExA
#undef RegDeleteTreeA
#undef SetEnvironmentVariableA

#else

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName);
BOOL WINAPI SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes);
LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass,
                               DWORD dwOptions, REGSAM samDesired,
                               LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                               LPDWORD lpdwDisposition);
LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                              const BYTE* lpData, DWORD cbData);
LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
LSTATUS WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
LSTATUS WINAPI RegDeleteKeyExA(HKEY hKey, LPCSTR lpSubKey, REGSAM samDesired, DWORD Reserved);
LSTATUS WINAPI RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey);
BOOL WINAPI SetEnvironmentVariableA(LPCSTR lpName, LPCSTR lpValue);

#endif
