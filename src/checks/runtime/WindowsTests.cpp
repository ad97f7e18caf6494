#include "checks/runtime/WindowsTests.h"

#include "platform/error.h"
#include "platform/handles.h"
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

// A kernel32 function looked up when it is called, so that a Windows version without it fails
// at the call (error 453) rather than refusing to start the program.
template <typename Function> Function Kernel32Function(const char* p_Name) {
    HMODULE kernel = GetModuleHandleA("kernel32");
    FARPROC found = kernel != nullptr ? GetProcAddress(kernel, p_Name) : nullptr;
    if (found == nullptr) {
        throw ZPError(453, L"Can't find DLL entry point " + FromAnsi(p_Name) + L" in kernel32");
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
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
        policy =
            static_cast<long>(Kernel32Function<GetSystemDEPPolicyFunction>("GetSystemDEPPolicy")());
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
    DWORD processId = Kernel32Function<GetCurrentProcessIdFunction>("GetCurrentProcessId")();
    UniqueHandle process(
        Kernel32Function<OpenProcessFunction>("OpenProcess")(kProcessAccess, FALSE, processId));
    // Its result is not examined: a failed query leaves the flags at 0.
    Kernel32Function<GetProcessDEPPolicyFunction>("GetProcessDEPPolicy")(process.Get(), &flags,
                                                                         &permanent);
    bool passed = !((flags & PROCESS_DEP_ENABLE) != 0 &&
                    (flags & PROCESS_DEP_DISABLE_ATL_THUNK_EMULATION) != 0);
    Report::WriteLine(Text(L"Test of Data Execution Prevention (Process Settings): ") +
                      (passed ? L"Passed" : L"Failed: DEP on, ATL Thunk Emulation Off"));
    return passed;
}

} // namespace WindowsTests
