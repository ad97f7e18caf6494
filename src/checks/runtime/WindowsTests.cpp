#include "checks/runtime/WindowsTests.h"

#include "platform/error.h"
#include "platform/handles.h"
#include "platform/libraries.h"
#include "report/SectionOutput.h"
#include "winapi/winapi.h"

#include <string>

using namespace Utilities;

namespace WindowsTests {

namespace {

typedef DEP_SYSTEM_POLICY_TYPE(WINAPI* GetSystemDEPPolicyFunction)();
typedef DWORD(WINAPI* GetCurrentProcessIdFunction)();
typedef HANDLE(WINAPI* OpenProcessFunction)(DWORD, BOOL, DWORD);
typedef BOOL(WINAPI* GetProcessDEPPolicyFunction)(HANDLE, LPDWORD, PBOOL);

// Query information and read memory.
const DWORD kProcessAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;

// A kernel32 function that must be there: a Windows version without it fails at the call
// (error 453), as a declared DLL function does.
template <typename Function> Function RequiredKernel32Function(const char* p_Name) {
    Function found = Kernel32Function<Function>(p_Name);
    if (found == nullptr) {
        throw ZPError(453, L"Can't find DLL entry point " + FromAnsi(p_Name) + L" in kernel32");
    }
    return found;
}

} // namespace

void RunWindowsTests() {
    IgnoreErrors([] { Report::WriteSectionHeading(L"Windows Tests"); });
    IgnoreErrors([] { TestSystemDEP(); });
    IgnoreErrors([] { TestProcessDEP(); });
}

bool TestSystemDEP() {
    long policy = 0;
    bool passed = false;
    try {
        policy = static_cast<long>(
            RequiredKernel32Function<GetSystemDEPPolicyFunction>("GetSystemDEPPolicy")());
        passed =
            policy == DEPPolicyAlwaysOff || policy == DEPPolicyOptIn || policy == DEPPolicyOptOut;
    } catch (const ZPError&) {
    }
    Report::WriteLine(Text(L"Test of Data Execution Prevention (System Setting): ") +
                      (passed ? L"Passed" : L"Failed") + L" (" + std::to_wstring(policy) + L")");
    return passed;
}

bool TestProcessDEP() {
    DWORD flags = 0;
    BOOL permanent = FALSE;
    DWORD processId =
        RequiredKernel32Function<GetCurrentProcessIdFunction>("GetCurrentProcessId")();
    UniqueHandle process(RequiredKernel32Function<OpenProcessFunction>("OpenProcess")(
        kProcessAccess, FALSE, processId));
    // A query that could not be made proves nothing: the line says so instead of passing.
    bool read =
        process.IsValid() && RequiredKernel32Function<GetProcessDEPPolicyFunction>(
                                 "GetProcessDEPPolicy")(process.Get(), &flags, &permanent) != FALSE;
    bool passed = read && !((flags & PROCESS_DEP_ENABLE) != 0 &&
                            (flags & PROCESS_DEP_DISABLE_ATL_THUNK_EMULATION) != 0);
    Text result = !read    ? Text(L"Failed: the process's DEP settings could not be read")
                  : passed ? Text(L"Passed")
                           : Text(L"Failed: DEP on, ATL Thunk Emulation Off");
    Report::WriteLine(L"Test of Data Execution Prevention (Process Settings): " + result);
    return passed;
}

} // namespace WindowsTests
