// Data Execution Prevention on the simulated machine: the system policy and the program's
// process flags are settings of the machine.
#include "sim/Errors.h"
#include "sim/Handles.h"
#include "sim/Machine.h"

using namespace sim;

DEP_SYSTEM_POLICY_TYPE WINAPI GetSystemDEPPolicy() {
    return static_cast<DEP_SYSTEM_POLICY_TYPE>(CurrentMachine().depSystemPolicy);
}

BOOL WINAPI GetProcessDEPPolicy(HANDLE hProcess, LPDWORD lpFlags, PBOOL lpPermanent) {
    const Machine& machine = CurrentMachine();
    if (hProcess != GetCurrentProcess() && FindHandle(hProcess) == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    if (lpFlags == nullptr || lpPermanent == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    if (machine.depProcessQueryFails) {
        return Fail(ERROR_ACCESS_DENIED, FALSE);
    }
    *lpFlags = machine.depProcessFlags;
    *lpPermanent = machine.depProcessPermanent ? TRUE : FALSE;
    return TRUE;
}
