// Contract of the seam for file associations (FindExecutableA) and Data Execution Prevention
// (GetSystemDEPPolicy, GetProcessDEPPolicy, bound through GetProcAddress as the program binds
// them). The associations are written into HKEY_CLASSES_ROOT (the machine's classes, where
// Wine's FindExecutableA looks for them) and deleted again.
#include "contract/ContractFolder.h"
#include "winapi/winapi_testing.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const char kExtension[] = ".zanprobecontract";
const char kProgId[] = "Zanprobe.ContractDocument";

void SetDefault(const std::string& key, const std::string& text) {
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &created, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(created, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(created);
}

class Association {
public:
    Association() { Remove(); }
    ~Association() { Remove(); }
    Association(const Association&) = delete;
    Association& operator=(const Association&) = delete;

private:
    static void Remove() {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kExtension);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, kExtension);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgId);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, kProgId);
    }
};

intptr_t LookUpProgram(const std::string& document, const std::string& folder,
                       std::string& program) {
    char result[1024] = {};
    intptr_t code =
        reinterpret_cast<intptr_t>(FindExecutableA(document.c_str(), folder.c_str(), result));
    program = result;
    return code;
}

template <typename Function> Function Kernel32(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32");
    FARPROC found = kernel != nullptr ? GetProcAddress(kernel, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

} // namespace

TEST(ShellContract, FindExecutableFollowsTheExtensionToTheOpenCommand) {
    ContractFolder folder;
    Association association;
    folder.CreateFileWith("doc.zanprobecontract", "");
    std::string program;
    // No association yet.
    EXPECT_EQ(LookUpProgram(folder / "doc.zanprobecontract", folder.Path(), program),
              SE_ERR_NOASSOC);

    SetDefault(kExtension, "Zanprobe.ContractDocument");
    SetDefault(std::string(kProgId) + "\\shell\\open\\command",
               "\"C:\\Zanprobe Contract\\Viewer.exe\" \"%1\"");
    // The program named by the command, whether or not it exists.
    EXPECT_GT(LookUpProgram(folder / "doc.zanprobecontract", folder.Path(), program), 32);
    EXPECT_EQ(program, "C:\\Zanprobe Contract\\Viewer.exe");
    // Relative to the default folder.
    EXPECT_GT(LookUpProgram("doc.zanprobecontract", folder.Path(), program), 32);
    EXPECT_EQ(program, "C:\\Zanprobe Contract\\Viewer.exe");
}

TEST(ShellContract, FindExecutableOfAMissingDocumentFails) {
    ContractFolder folder;
    Association association;
    SetDefault(kExtension, "Zanprobe.ContractDocument");
    SetDefault(std::string(kProgId) + "\\shell\\open\\command",
               "\"C:\\Zanprobe Contract\\Viewer.exe\" \"%1\"");
    std::string program;
    EXPECT_LE(LookUpProgram(folder / "missing.zanprobecontract", folder.Path(), program), 32);
}

TEST(DepContract, SystemPolicyIsOneOfTheFourPolicies) {
    auto getSystemPolicy = Kernel32<DEP_SYSTEM_POLICY_TYPE(WINAPI*)()>("GetSystemDEPPolicy");
    ASSERT_NE(getSystemPolicy, nullptr);
    int policy = static_cast<int>(getSystemPolicy());
    EXPECT_GE(policy, 0);
    EXPECT_LE(policy, 3);
}

TEST(DepContract, ProcessPolicyOfTheProgramsOwnProcess) {
    auto getProcessId = Kernel32<DWORD(WINAPI*)()>("GetCurrentProcessId");
    auto openProcess = Kernel32<HANDLE(WINAPI*)(DWORD, BOOL, DWORD)>("OpenProcess");
    auto getProcessPolicy = Kernel32<BOOL(WINAPI*)(HANDLE, LPDWORD, PBOOL)>("GetProcessDEPPolicy");
    ASSERT_NE(getProcessId, nullptr);
    ASSERT_NE(openProcess, nullptr);
    ASSERT_NE(getProcessPolicy, nullptr);
    ASSERT_EQ(getProcessId(), GetCurrentProcessId());
    HANDLE process =
        openProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, getProcessId());
    ASSERT_NE(process, nullptr);
    DWORD flags = 0xFFFF;
    BOOL permanent = 7;
    BOOL done = getProcessPolicy(process, &flags, &permanent);
#if defined(_WIN64)
    // A 64-bit process has no process DEP policy to query; the 32-bit program's query succeeds.
    (void)done;
#else
    ASSERT_TRUE(done);
    EXPECT_EQ(flags &
                  ~static_cast<DWORD>(PROCESS_DEP_ENABLE | PROCESS_DEP_DISABLE_ATL_THUNK_EMULATION),
              0u);
    EXPECT_TRUE(permanent == TRUE || permanent == FALSE);
#endif
    CloseHandle(process);
}

TEST(DepContract, MissingFunctionsAreNotFound) {
    EXPECT_EQ(Kernel32<FARPROC>("GetZanprobeMissingFunction"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
}
