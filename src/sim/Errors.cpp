#include "sim/Errors.h"

#include <cerrno>

namespace {
thread_local DWORD t_LastError = ERROR_SUCCESS;
}

DWORD WINAPI GetLastError() {
    return t_LastError;
}

void WINAPI SetLastError(DWORD dwErrCode) {
    t_LastError = dwErrCode;
}

namespace sim {

DWORD ErrorFromErrno(int error, bool forFile) {
    switch (error) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return forFile ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ENAMETOOLONG:
        return ERROR_INVALID_NAME;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EBUSY:
    case ETXTBSY:
        return ERROR_SHARING_VIOLATION;
    default:
        return ERROR_WRITE_FAULT;
    }
}

} // namespace sim
