// The last-error value of the simulated machine and the mapping of host errors to it.
#pragma once

#include "winapi/winapi.h"

namespace sim {

// The Windows error for a host errno; forFile chooses ERROR_FILE_NOT_FOUND over
// ERROR_PATH_NOT_FOUND for a missing entry.
DWORD ErrorFromErrno(int error, bool forFile);

// Sets the last error and returns the given result, for one-line failure returns.
template <typename T> T Fail(DWORD error, T result) {
    SetLastError(error);
    return result;
}

} // namespace sim
