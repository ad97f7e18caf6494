// `reg export` on the simulated machine: a key and its whole subtree in the .reg format that
// reg.exe writes (REGEDIT5: UTF-16LE with a byte-order mark, CR LF line ends).
#pragma once

#include "winapi/winapi.h"

#include <string>

namespace sim {

// Exports a key of the current machine as `reg export "<keyPath>" <file>` does on Windows.
//
// keyPath names the root in full (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT,
// HKEY_USERS) or short (HKLM, HKCU, HKCR, HKU), in any letter case, then "\" and the subkey path;
// one trailing backslash is ignored. The file names the key as typed, behind the root's long name.
// view chooses the registry view as `/reg:32` (KEY_WOW64_32KEY) or `/reg:64` (KEY_WOW64_64KEY)
// do; 0 is the view of the caller, a 32-bit program.
//
// On success returns true, sets exitCode to 0 and fileBytes to the whole file's bytes. When the
// key does not exist or the path names no root, returns false, sets exitCode to 1 and leaves
// fileBytes empty; reg.exe then prints kRegExportMissingKey to the error stream.
bool ExportRegistryKey(const std::wstring& keyPath, std::string& fileBytes, DWORD& exitCode,
                       REGSAM view = 0);

// reg.exe's message for a key that cannot be exported.
extern const char kRegExportMissingKey[];

} // namespace sim
