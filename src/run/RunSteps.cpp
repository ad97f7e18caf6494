// The fixed order of the checks of a run. Several stretches of the log (explanatory lines
// followed by the registry dumps that they explain) rely on this order.
#include "run/Diagnostics.h"

#include "checks/office/ExcelApiRegistry.h"
#include "checks/office/OfficeSecuritySettings.h"
#include "checks/office/RegistrySecurityTests.h"
#include "checks/office/ZPExcelInfo.h"
#include "checks/office/ZPProjectInfo.h"
#include "checks/runtime/AtOrvexTests.h"
#include "checks/runtime/ComponentTests.h"
#include "checks/runtime/VB6Tests.h"
#include "checks/runtime/VC2010Tests.h"
#include "checks/runtime/WindowsTests.h"
#include "checks/system/RegistryDumps.h"
#include "checks/system/WindowsEnvironment.h"

namespace Diagnostics {

const std::vector<RunStep>& RunSteps() {
    static const std::vector<RunStep> steps = {
        Inspect::ReportWindowsInformation,               // Windows OS Information
        Inspect::RunWindowsOSTests,                      // Windows OS Tests
        Inspect::TestDotNet40FrameworkX86,               // .NET 4.0 Framework x86
        Inspect::TestDotNet40FrameworkX64OnWow64,        // .NET 4.0 Framework x64
        WindowsTests::RunWindowsTests,                   // Windows Tests
        VB6Tests::RunVB6Tests,                           // VB6 System Tests
        VC2010Tests::RunVC2013Tests,                     // VC2013 System Tests
        ExcelInformation::Report,                        // Excel information
        ProjectInformation::Report,                      // Project information
        Inspect::ReportSuiteDirectories,                 // Zandorel Directory Locations
        ComponentTests::RunSuiteComponentTests,          // MRL 7.x System Tests
        AtOrvexTests::RunOrvexTests,                     // ORVEX 7.x Tests
        Inspect::ExportOfficeSettingsKeys,               // Office settings registry keys
        Inspect::ExportExcelTypeLibrary,                 // Excel COM Type Library Registrations
        Inspect::ReportExcelInterfaceRegistrations,      // 32-bit interface registrations
        Inspect::ExportOfficeTypeLibrary,                // Office COM Type Library Registrations
        Inspect::ExportProjectTypeLibrary,               // Project COM Type Library Registrations
        Inspect::TestExcelApiVersionConsistency,         // Excel API version consistency
        Inspect::TestEmptyExcelApiKeys,                  // Empty Excel API keys
        Inspect::TestExcelTypeLibraryPaths,              // Excel type library locations
        RegistrySecurityTests::RunRegistrySecurityTests, // Registry Security Tests
        Inspect::ReportAllOfficeSecuritySettings,        // Office security settings
        Inspect::ExportPolicyTrustedLocations,           // Policy trusted locations
        Inspect::ExportSuiteKeys,                        // Suite registry keys
        Inspect::ListSuiteMainFolder,                    // Suite main folder
    };
    return steps;
}

} // namespace Diagnostics
