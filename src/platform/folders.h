// The folders that Windows and the suite name: the Windows and application-data folders and
// the suite's registered main and system folders.
#pragma once

#include "platform/unicode.h"

namespace Utilities {

// The Windows folder without a trailing backslash ("C:" for a Windows folder at C:\); "" on
// failure.
Text GetWindowsFolder();

// The system folder (System32) without a trailing backslash; "" on failure.
Text GetSystemFolder();

// The user's roaming application-data folder as Windows reports it; "" on failure.
Text GetAppDataFolder();

// The suite's main and system folders as registered (32-bit view), without trailing backslash;
// "" when not registered.
Text GetProductMainDirectory();
Text GetProductSystemDirectory();

} // namespace Utilities
