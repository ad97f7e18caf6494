#include "checks/office/ExcelApiRegistry.h"

#include "platform/error.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/versions.h"
#include "report/SectionOutput.h"

#include <cstdint>
#include <string>

using namespace Utilities;

namespace ExcelApiRegistry {

namespace {

const wchar_t kPassed[] = L"Passed";
const wchar_t kFailed[] = L"Failed";
const wchar_t kStatus[] = L"Status: ";

// The interface that the tests examine, and Excel's type library.
const wchar_t kApplicationInterfacePath[] =
    L"HKEY_CLASSES_ROOT\\Interface\\{000208D5-0000-0000-C000-000000000046}";
const wchar_t kApplicationInterfaceTypeLib[] =
    L"Interface\\{000208D5-0000-0000-C000-000000000046}\\TypeLib";
const wchar_t kVersionValue[] = L"Version";
const wchar_t kExcelTypeLibPath[] =
    L"HKEY_CLASSES_ROOT\\TypeLib\\{00020813-0000-0000-C000-000000000046}\\";

const wchar_t kVersionConsistencyHeading[] = L"Registry consistency for version info for Excel API";
const wchar_t* const kVersionConsistencyLines[] = {
    L"The test is based on the solution to ticket #142392.",
    L"In that ticket there was a problem with the Version value in the following keys:",
    L"HKEY_CLASSES_ROOT\\Interface\\{000208D5-0000-0000-C000-000000000046}\\TypeLib",
    L"HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{000208D5-0000-0000-C000-000000000046}\\TypeLib",
    L"HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{000208DA-0000-0000-C000-000000000046}\\TypeLib",
    L"HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{000208DB-0000-0000-C000-000000000046}\\TypeLib",
    L"HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{000208D7-0000-0000-C000-000000000046}\\TypeLib",
    L"HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{000208D8-0000-0000-C000-000000000046}\\TypeLib",
    L"(These Version values found on the computer being diagnozed are listed elsewhere in this "
    L"log, except for the 64-bit value.)",
    L"Specifically, the Version value under these keys was higher than the highest version key "
    L"of the ones listed inside:",
    L"HKEY_CLASSES_ROOT\\Wow6432Node\\TypeLib\\{00020813-0000-0000-C000-000000000046}",
    L"(This key is exported elsewhere in this log.)",
    L"Probably the problem results from an incomplete un-installation of a higher Office "
    L"version, followed by an installation of a lower version.",
    L"If the test fails, the values in the Interface section need to be changed to the highest "
    L"found in TypeLib section.",
};
const wchar_t kNoApplicationInterface[] =
    L"Passed (no HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{000208D5-0000-0000-C000-"
    L"000000000046} key, which is OK for 64-bit Excel)";
const wchar_t kVersionInconclusive[] =
    L"Inconclusive: didn't determine version in Interface section of Registry";
// The type library versions probed: three series of 20, the first from the interface's own
// version on, the next two from the following major versions' minor version 0.
const int32_t kProbeSeries = 3;
const int32_t kProbesPerSeries = 20;

const wchar_t kEmptyKeysHeading[] = L"Test for empty registry keys related to Excel API";
const wchar_t* const kEmptyKeysLines[] = {
    L"The test is based on the solution to ticket #145705.",
    L"In that ticket the problem was that the following registry keys contained no information, "
    L"except for some empty sub-keys:",
    L"HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{000208D5-0000-0000-C000-000000000046}",
    L"HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{000208DA-0000-0000-C000-000000000046}",
    L"HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{000208DB-0000-0000-C000-000000000046}",
    L"HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{000208D7-0000-0000-C000-000000000046}",
    L"HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{000208D8-0000-0000-C000-000000000046}",
    L"HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{00020893-0000-0000-C000-000000000046}",
    L"HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{000208B9-0000-0000-C000-000000000046}",
    L"HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{00020846-0000-0000-C000-000000000046}",
    L"Probably the problem results from an incomplete installation of 32-bit office, followed by "
    L"an installation of 64-bit office.",
    L"64-bit Excel first reads the 32-bit registry locations.  If they're not there, it reads "
    L"64-bit locations.",
    L"But in this case the 32-bit keys are there, except they're bad; that makes 64-bit Excel "
    L"fail.",
    L"If the test fails, the keys listed above should be deleted, if 64-bit version of Excel is "
    L"used.",
    L"If the test fails and 32-bit Excel is used, the information needs to be restored in these "
    L"keys (probably by re-installing Office).",
};

const wchar_t kTypeLibraryPathsHeading[] = L"Test of registered Excel type library locations.";
const wchar_t* const kTypeLibraryPathsLines[] = {
    L"The test is based on the solution to ticket #141682.",
    L"In that ticket 32-bit Office 2016 got un-installed, and 64-bit Office 2016 got installed.",
    L"However, this key was NOT removed during un-installation:",
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Classes\\TypeLib\\{00020813-0000-0000-C000-"
    L"000000000046}\\1.9\\0\\Win32",
    L"It contained a path to a file that was no longer there: C:\\Program Files "
    L"(x86)\\Microsoft Office\\Root\\Office16\\EXCEL.EXE",
    L"The problem got fixed by deleting the registry key.",
    L"This test checks the registered paths of the Excel type library for various possible "
    L"versions of Excel.",
    L"If one of the paths points to a non-existent file, the test fails and information about "
    L"the relevant registry key is added to the log.",
    L"Then it makes sense to check if the problem gets fixed by deleting the key.",
};
const wchar_t kMachineRoot[] = L"HKEY_LOCAL_MACHINE\\";
const wchar_t kExcelTypeLibKey[] =
    L"SOFTWARE\\Classes\\TypeLib\\{00020813-0000-0000-C000-000000000046}\\";
const wchar_t kReportedTypeLibKey[] =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Classes\\TypeLib\\"
    L"{00020813-0000-0000-C000-000000000046}\\";
const wchar_t kLanguageNeutral[] = L"\\0\\";
const wchar_t kKeyLine[] = L"\r\nKey: ";
const wchar_t kPathLine[] = L"\r\nPath: ";
const int32_t kFirstMajor = 1;
const int32_t kLastMajor = 3;
const int32_t kLastMinor = 20;
const wchar_t* const kPlatforms[] = {L"Win32", L"Win64"};

struct InterfaceRegistration {
    HKEY root;
    const wchar_t* keyStart;
    const wchar_t* lineStart;
};

const InterfaceRegistration kInterfaceRegistrations[] = {
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Interface\\{",
     L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Wow6432Node\\Interface\\{"},
    {HKEY_CURRENT_USER, L"SOFTWARE\\Classes\\Interface\\{",
     L"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\Wow6432Node\\Interface\\{"},
    {HKEY_CLASSES_ROOT, L"Interface\\{", L"HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\{"},
};
const wchar_t kTypeLibKeyEnd[] = L"}\\TypeLib";
const wchar_t kVersionLineEnd[] = L"}\\TypeLib, value named Version: ";
const wchar_t kNotFound[] = L"Not Found";

const wchar_t kInterfaceRegistrationsHeading[] =
    L"32-bit (Wow6432Node) registrations of some objects within Excel COM Type Library "
    L"(Application, Workbook, Range, etc.)";
const wchar_t* const kReportedInterfaces[] = {
    L"000208D5-0000-0000-C000-000000000046", L"000208DA-0000-0000-C000-000000000046",
    L"000208DB-0000-0000-C000-000000000046", L"000208D7-0000-0000-C000-000000000046",
    L"000208D8-0000-0000-C000-000000000046"};

// The frame of the three tests: the status's start value, the heading and the explanation,
// the check, and the "Status: " line with any failure appended.
template <size_t LineCount, typename Check>
void RunRegistryTest(const wchar_t* p_StartStatus, const wchar_t* p_Heading,
                     const wchar_t* const (&p_Lines)[LineCount], Check&& p_Check) {
    Text status = p_StartStatus;
    RunStepsIntoStatus(status, [&] {
        Report::WriteSectionHeading(p_Heading);
        for (const wchar_t* line : p_Lines) {
            Report::WriteLine(line);
        }
        p_Check(status);
    });
    Report::WriteLine(kStatus + status);
}

Text VersionKeyName(int32_t p_Major, int32_t p_Minor) {
    return std::to_wstring(p_Major) + L"." + std::to_wstring(p_Minor);
}

// Whether Excel's type library has a version key at or above major.minor within the probes.
bool TypeLibraryVersionAtOrAbove(int32_t p_Major, int32_t p_Minor) {
    for (int32_t series = 0; series < kProbeSeries; ++series) {
        int32_t major = p_Major + series;
        int32_t firstMinor = series == 0 ? p_Minor : 0;
        for (int32_t probe = 0; probe < kProbesPerSeries; ++probe) {
            if (RegistryKeyExists(kExcelTypeLibPath + VersionKeyName(major, firstMinor + probe),
                                  false)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

void TestExcelApiVersionConsistency() {
    RunRegistryTest(
        kFailed, kVersionConsistencyHeading, kVersionConsistencyLines, [](Text& status) {
            if (!RegistryKeyExists(kApplicationInterfacePath, false)) {
                status = kNoApplicationInterface;
                return;
            }
            Text version = ReadRegistryString(HKEY_CLASSES_ROOT, kApplicationInterfaceTypeLib,
                                              kVersionValue, L"", false);
            int32_t major = 0;
            int32_t minor = 0;
            int32_t build = 0;
            int32_t revision = 0;
            ParseVersion(version, major, minor, build, revision);
            if (major == 0 && minor == 0) {
                status = kVersionInconclusive;
            } else if (TypeLibraryVersionAtOrAbove(major, minor)) {
                status = kPassed;
            }
        });
}

void TestEmptyExcelApiKeys() {
    RunRegistryTest(kPassed, kEmptyKeysHeading, kEmptyKeysLines, [](Text& status) {
        if (RegistryKeyExists(kApplicationInterfacePath, false) &&
            !RegistryValueExists(HKEY_CLASSES_ROOT, kApplicationInterfaceTypeLib, kVersionValue,
                                 false)) {
            status = kFailed;
        }
    });
}

void TestExcelTypeLibraryPaths() {
    RunRegistryTest(kPassed, kTypeLibraryPathsHeading, kTypeLibraryPathsLines, [](Text& status) {
        for (int32_t major = kFirstMajor; major <= kLastMajor; ++major) {
            for (int32_t minor = 0; minor <= kLastMinor; ++minor) {
                for (const wchar_t* platform : kPlatforms) {
                    Text versionAndPlatform =
                        VersionKeyName(major, minor) + kLanguageNeutral + platform;
                    Text subKey = kExcelTypeLibKey + versionAndPlatform;
                    if (!RegistryKeyExists(kMachineRoot + subKey, false)) {
                        continue;
                    }
                    Text path = ReadRegistryString(HKEY_LOCAL_MACHINE, subKey, L"", L"", false);
                    // A registered file exists whatever its attributes.
                    if (!path.empty() && !AnyFileExists(path)) {
                        status = kFailed + Text(kKeyLine) + kReportedTypeLibKey +
                                 versionAndPlatform + kPathLine + path;
                        return;
                    }
                }
            }
        }
    });
}

void ReportInterfaceTypeLibVersions(const Text& p_InterfaceGuid) {
    for (const InterfaceRegistration& registration : kInterfaceRegistrations) {
        Text subKey = registration.keyStart + p_InterfaceGuid + kTypeLibKeyEnd;
        Text version = kNotFound;
        if (RegistryValueExists(registration.root, subKey, kVersionValue, false)) {
            version = ReadRegistryString(registration.root, subKey, kVersionValue, L"", false);
        }
        Report::WriteLine(registration.lineStart + p_InterfaceGuid + kVersionLineEnd + version);
    }
}

void ReportExcelInterfaceRegistrations() {
    Report::WriteLogHeading(kInterfaceRegistrationsHeading);
    for (const wchar_t* guid : kReportedInterfaces) {
        ReportInterfaceTypeLibVersions(guid);
    }
}

} // namespace ExcelApiRegistry
