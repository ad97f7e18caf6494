// The fixed order of the checks of a run. Several stretches of the log (explanatory lines
// followed by the registry dumps that they explain) rely on this order.
#include "run/Diagnostics.h"

#include "inspect/ExcelApiRegistry.h"
#include "inspect/OfficeSecuritySettings.h"
#include "inspect/RegistryDumps.h"
#include "inspect/RegistrySecurityTests.h"
#include "inspect/WindowsEnvironment.h"
#include "office/ZPExcelInfo.h"
#include "office/ZPProjectInfo.h"
#include "tests/AtOrvexTests.h"
#include "tests/ComponentTests.h"
#include "tests/VB6Tests.h"
#include "tests/VC2010Tests.h"
#include "tests/WindowsTests.h"

namespace Diagnostics {

const std::vector<RunStep>& RunSteps() {
    static const std::vector<RunStep> steps = {
        {L"Windows OS Information", Inspect::ReportWindowsInformation},
        {L"Windows OS Tests", Inspect::RunWindowsOSTests},
        {L".NET 4.0 Framework x86", Inspect::TestDotNet40FrameworkX86},
        {L".NET 4.0 Framework x64", Inspect::TestDotNet40FrameworkX64OnWow64},
        {L"Windows Tests", WindowsTests::RunWindowsTests},
        {L"VB6 System Tests", VB6Tests::RunVB6Tests},
        {L"VC2013 System Tests", VC2010Tests::RunVC2013Tests},
        {L"Excel information", ExcelInformation::Report},
        {L"Project information", ProjectInformation::Report},
        {L"Zandorel Directory Locations", Inspect::ReportSuiteDirectories},
        {L"MRL 7.x System Tests", ComponentTests::RunSuiteComponentTests},
        {L"ORVEX 7.x Tests", AtOrvexTests::RunOrvexTests},
        {L"Office settings registry keys", Inspect::ExportOfficeSettingsKeys},
        {L"Excel COM Type Library Registrations", Inspect::ExportExcelTypeLibrary},
        {L"32-bit interface registrations", Inspect::ReportExcelInterfaceRegistrations},
        {L"Office COM Type Library Registrations", Inspect::ExportOfficeTypeLibrary},
        {L"Project COM Type Library Registrations", Inspect::ExportProjectTypeLibrary},
        {L"Excel API version consistency", Inspect::TestExcelApiVersionConsistency},
        {L"Empty Excel API keys", Inspect::TestEmptyExcelApiKeys},
        {L"Excel type library locations", Inspect::TestExcelTypeLibraryPaths},
        {L"Registry Security Tests", RegistrySecurityTests::RunRegistrySecurityTests},
        {L"Office security settings", Inspect::ReportAllOfficeSecuritySettings},
        {L"Policy trusted locations", Inspect::ExportPolicyTrustedLocations},
        {L"Suite registry keys", Inspect::ExportSuiteKeys},
        {L"Suite main folder", Inspect::ListSuiteMainFolder},
    };
    return steps;
}

} // namespace Diagnostics
