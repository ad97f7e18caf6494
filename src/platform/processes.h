// Processes and their kernel objects: running a command through the command interpreter and
// waiting for it, named mutexes, and whether this process runs on 64-bit Windows.
#pragma once

#include "platform/unicode.h"
#include "winapi/winapi.h"

namespace Utilities {

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
