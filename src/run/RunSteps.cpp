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
        WindowsEnvironment::ReportWindowsInformation,        // Windows OS Information
        WindowsEnvironment::RunWindowsOSTests,               // Windows OS Tests
        WindowsEnvironment::TestDotNet40FrameworkX86,        // .NET 4.0 Framework x86
        WindowsEnvironment::TestDotNet40FrameworkX64OnWow64, // .NET 4.0 Framework x64
        WindowsTests::RunWindowsTests,                       // Windows Tests
        VB6Tests::RunVB6Tests,                               // VB6 System Tests
        VC2010Tests::RunVC2013Tests,                         // VC2013 System Tests
        ExcelInformation::Report,                            // Excel information
        ProjectInformation::Report,                          // Project information
        WindowsEnvironment::ReportSuiteDirectories,          // Zandorel Directory Locations
        ComponentTests::RunSuiteComponentTests,              // MRL 7.x System Tests
        AtOrvexTests::RunOrvexTests,                         // ORVEX 7.x Tests
        RegistryDumps::ExportOfficeSettingsKeys,             // Office settings registry keys
        RegistryDumps::ExportExcelTypeLibrary,               // Excel COM Type Library Registrations
        ExcelApiRegistry::ReportExcelInterfaceRegistrations, // 32-bit interface registrations
        RegistryDumps::ExportOfficeTypeLibrary,           // Office COM Type Library Registrations
        RegistryDumps::ExportProjectTypeLibrary,          // Project COM Type Library Registrations
        ExcelApiRegistry::TestExcelApiVersionConsistency, // Excel API version consistency
        ExcelApiRegistry::TestEmptyExcelApiKeys,          // Empty Excel API keys
        ExcelApiRegistry::TestExcelTypeLibraryPaths,      // Excel type library locations
        RegistrySecurityTests::RunRegistrySecurityTests,  // Registry Security Tests
        OfficeSecuritySettings::ReportAllOfficeSecuritySettings, // Office security settings
        RegistryDumps::ExportPolicyTrustedLocations,             // Policy trusted locations
        RegistryDumps::ExportSuiteKeys,                          // Suite registry keys
        RegistryDumps::ListSuiteMainFolder,                      // Suite main folder
    };
    return steps;
}

} // namespace Diagnostics
