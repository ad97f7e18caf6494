#include "checks/system/WindowsEnvironment.h"

#include "platform/error.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/versions.h"
#include "report/SectionOutput.h"

#include <cstdint>
#include <cwchar>
#include <string>

using namespace Utilities;

namespace WindowsEnvironment {

namespace {

const wchar_t kWindowsInformationHeading[] = L"Windows OS Information";
const wchar_t kCurrentVersionKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion";
const wchar_t kProductNameValue[] = L"ProductName";
const wchar_t kUnknownProduct[] = L"<UNKNOWN>";
// Windows 11 keeps "Windows 10 ..." in ProductName; its builds start at 22000.
const wchar_t kCurrentBuildValue[] = L"CurrentBuildNumber";
const wchar_t kWindows10[] = L"Windows 10";
const wchar_t kWindows11[] = L"Windows 11";
const int32_t kFirstWindows11Build = 22000;
const wchar_t kWindowsVersion[] = L"Windows Version = ";
const wchar_t kMark64Bit[] = L" (64-bit)";
const wchar_t kMark32Bit[] = L" (32-bit)";
const wchar_t kWindowsDirectory[] = L"Windows Directory = ";
const wchar_t kWindowsTemporaryDirectory[] = L"Windows Temporary Directory = ";

const wchar_t kWindowsTestsHeading[] = L"Windows OS Tests";
const wchar_t kStrayProgramFile[] = L"C:\\Program";
const wchar_t kStrayProgramTest[] = L"'C:\\Program' File Bug Test: ";
const wchar_t kFipsKey[] = L"System\\CurrentControlSet\\Control\\Lsa\\FipsAlgorithmPolicy";
const wchar_t kFipsValue[] = L"Enabled";
const wchar_t kFipsSetting[] =
    L"HKLM\\System\\CurrentControlSet\\Control\\Lsa\\FipsAlgorithmPolicy Enabled Setting = ";
const wchar_t kFipsNote[] =
    L"  - A non-zero value here was the source of a problem that has been addressed since MRL "
    L"5.7.1";

const wchar_t kDotNetHeading[] = L".NET 4.0 Framework ";
const wchar_t kFrameworkFolder[] = L"\\Microsoft.NET\\Framework";
const wchar_t kFrameworkVersionFolder[] = L"\\v4.0.30319";
const wchar_t kFrameworkLibrary[] = L"mscorlib.dll";
const wchar_t kFrameworkDirectory[] = L"Framework Directory = ";
const wchar_t kNoFrameworkFolder[] = L"Directory does not exist.";

const wchar_t kSuiteDirectoriesHeading[] = L"Zandorel Directory Locations";
const wchar_t kSuiteMainDirectory[] = L"Zandorel Main Directory = ";
const wchar_t kSuiteSystemDirectory[] = L"Zandorel System Directory = ";
const wchar_t kSuiteNotFound[] = L"Program not found";

const wchar_t kPassed[] = L"Passed";
const wchar_t kFailed[] = L"Failed";
const wchar_t kStatus[] = L"Status: ";

// The product name as the user knows it: "Windows 10" becomes "Windows 11" on a build of
// Windows 11, the rest of the name kept.
Text WindowsProductName() {
    Text name = ReadRegistryString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kProductNameValue,
                                   kUnknownProduct, false);
    Text build =
        ReadRegistryString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kCurrentBuildValue, L"", false);
    if (name.compare(0, std::wcslen(kWindows10), kWindows10) == 0 &&
        IsWholeNumberInRange(build, kFirstWindows11Build, INT32_MAX)) {
        name.replace(0, std::wcslen(kWindows10), kWindows11);
    }
    return name;
}

} // namespace

void ReportWindowsInformation() {
    Text windowsFolder = GetWindowsFolder();
    Report::WriteSectionHeading(kWindowsInformationHeading);
    Report::WriteLine(kWindowsVersion + WindowsProductName() +
                      (IsWow64() ? kMark64Bit : kMark32Bit));
    Report::WriteLine(kWindowsDirectory + windowsFolder);
    Report::WriteLine(kWindowsTemporaryDirectory + GetTempFolder());
}

void RunWindowsOSTests() {
    Report::WriteSectionHeading(kWindowsTestsHeading);
    Report::WriteLine(kStrayProgramTest + Text(FileExists(kStrayProgramFile) ? kFailed : kPassed));
    int32_t fips = ReadRegistryNumber(HKEY_LOCAL_MACHINE, kFipsKey, kFipsValue, 0);
    Report::WriteLine(kFipsSetting + std::to_wstring(fips));
    if (fips != 0) {
        Report::WriteLine(kFipsNote);
    }
}

void TestDotNet40Framework(bool p_Is64Bit) {
    Text status;
    RunStepsIntoStatus(status, [&] {
        Report::WriteSectionHeading(kDotNetHeading + Text(p_Is64Bit ? L"x64" : L"x86"));
        Text folder = GetWindowsFolder() + kFrameworkFolder + (p_Is64Bit ? L"64" : L"") +
                      kFrameworkVersionFolder;
        Report::WriteLine(kFrameworkDirectory + folder);
        if (!FolderExists(folder)) {
            status = kNoFrameworkFolder;
        } else if (FileExists(folder + L"\\" + kFrameworkLibrary)) {
            status = kPassed;
        } else {
            status = L"File " + Text(kFrameworkLibrary) + L" not found.";
        }
    });
    Report::WriteLine(kStatus + status);
}

void TestDotNet40FrameworkX86() {
    TestDotNet40Framework(false);
}

void TestDotNet40FrameworkX64OnWow64() {
    if (IsWow64()) {
        TestDotNet40Framework(true);
    }
}

void ReportSuiteDirectories() {
    Report::WriteSectionHeading(kSuiteDirectoriesHeading);
    if (GetProductMainDirectory().empty() && GetProductSystemDirectory().empty()) {
        Report::WriteLine(kSuiteNotFound);
        return;
    }
    Report::WriteLine(kSuiteMainDirectory + GetProductMainDirectory());
    Report::WriteLine(kSuiteSystemDirectory + GetProductSystemDirectory());
}

} // namespace WindowsEnvironment
