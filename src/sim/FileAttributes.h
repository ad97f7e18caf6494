// File attributes on the simulated machine, kept the way Wine keeps them: hidden and system
// in the host file's extended attribute "user.DOSATTRIB" (text such as "0x2"), hidden also for
// names that begin with a dot, read-only as the absence of the owner's write permission.
#pragma once

#include "winapi/winapi.h"

#include <string>
#include <sys/stat.h>

namespace sim {

// The Windows attributes of a host file or folder; INVALID_FILE_ATTRIBUTES when it is missing.
DWORD ReadAttributes(const std::string& hostPath);

// Sets the read-only, hidden and system attributes of a host file or folder. Returns a
// Windows error code.
DWORD WriteAttributes(const std::string& hostPath, DWORD attributes);

// Whether the host file is read-only in the Windows sense.
bool IsReadOnly(const std::string& hostPath);
// The same, from the mode stat found for it.
bool IsReadOnly(mode_t mode);

} // namespace sim
