// Folders, files and commands: the Windows, application-data and suite folders, folder tests,
// path splitting, file versions, the command interpreter, and how the process and an
// executable relate to 64-bit Windows.
#pragma once

#include "platform/unicode.h"
#include "winapi/winapi.h"

namespace Utilities {

// The Windows folder without a trailing backslash ("C:" for a Windows folder at C:\); "" on
// failure.
Text GetWindowsFolder();

// The user's roaming application-data folder as Windows reports it; "" on failure.
Text GetAppDataFolder();

// The suite's main and system folders as registered (32-bit view), without trailing backslash;
// "" when not registered.
Text GetProductMainDirectory();
Text GetProductSystemDirectory();

// Whether something exists at the path that FileExists does not see as a file (a folder, or a
// hidden or system file).
bool FolderExists(const Text& p_Path);

// Splits "C:\a\b.xls" into "C:\a" and "b.xls"; both are "" for a bare name or a path ending in "\".
void SplitFilePath(const Text& p_Path, Text& p_Folder, Text& p_FileName);

// The file version "major.minor.build.revision" of an executable; "" without version information.
Text GetFileVersionText(const Text& p_Path);

// Whether the file is a 64-bit Windows executable.
bool Is64BitExecutable(const Text& p_Path);

// Runs p_Command through "cmd /c" and returns when it has ended. Raises when the command
// interpreter cannot be started.
void RunCommandAndWait(const Text& p_Command);

// Creates (or opens) a named mutex, not initially owned; 0 on failure.
HANDLE CreateNamedMutex(const Text& p_MutexName);

// Closes a handle unless it is 0.
void CloseHandleIfOpen(HANDLE p_Handle);

// Whether this 32-bit process runs on 64-bit Windows.
bool IsWow64();

} // namespace Utilities
