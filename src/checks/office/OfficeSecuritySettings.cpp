#include "checks/office/OfficeSecuritySettings.h"

#include "checks/RegistryExport.h"
#include "platform/registry.h"
#include "report/SectionOutput.h"

#include <string>

using namespace Utilities;

namespace OfficeSecuritySettings {

namespace {

const wchar_t kBlockHeading[] =
    L"The security settings below should not affect the ability to run our software, but they "
    L"may affect the ability to use workbooks with macros.";
const wchar_t kCurrentUser[] = L"HKEY_CURRENT_USER\\";
const wchar_t kPolicyKeyStart[] = L"software\\policies\\microsoft\\office\\";
const wchar_t kUserKeyStart[] = L"software\\microsoft\\office\\";
const wchar_t kExcelWord[] = L"excel";
const wchar_t kProjectWord[] = L"ms project";
const wchar_t kSecurityKeyEnd[] = L"\\security";
const wchar_t kTrustedLocations[] = L"\\trusted locations";
const wchar_t kExcelHeading[] = L"Security Settings for Excel ";
const wchar_t kProjectHeading[] = L"Security Settings for Project ";
const wchar_t kDoesNotExist[] = L" does not exist.";

const wchar_t* const kSecurityValues[] = {L"vbawarnings", L"disablealladdins", L"requireaddinsig"};

struct ReportedSettings {
    int32_t version;
    bool isExcel;
};

const ReportedSettings kReportedSettings[] = {{12, true},  {14, true},  {15, true},  {16, true},
                                              {12, false}, {14, false}, {15, false}, {16, false}};

} // namespace

void ReportOfficeSecuritySettings(int32_t p_Version, bool p_IsExcel) {
    Text version = std::to_wstring(p_Version);
    Text branchEnd = version + L".0\\" + (p_IsExcel ? kExcelWord : kProjectWord) + kSecurityKeyEnd;
    Text policyKey = kPolicyKeyStart + branchEnd;
    Text userKey = kUserKeyStart + branchEnd;
    bool policyKeyExists = RegistryKeyExists(kCurrentUser + policyKey, false);
    bool userKeyExists = RegistryKeyExists(kCurrentUser + userKey, false);
    if (!policyKeyExists && !userKeyExists) {
        return;
    }
    Report::WriteLine(L"");
    Report::WriteLogHeading((p_IsExcel ? kExcelHeading : kProjectHeading) + version);
    for (const wchar_t* valueName : kSecurityValues) {
        ReportSecurityValue(policyKey, valueName);
        ReportSecurityValue(userKey, valueName);
    }
    RegistryExport::ExportRegistryKeyToLog(kCurrentUser + policyKey + kTrustedLocations);
    RegistryExport::ExportRegistryKeyToLog(kCurrentUser + userKey + kTrustedLocations);
}

void ReportSecurityValue(const Text& p_Key, const Text& p_ValueName) {
    Text line = kCurrentUser + p_Key + L"!" + p_ValueName;
    if (RegistryValueExists(HKEY_CURRENT_USER, p_Key, p_ValueName, false)) {
        Report::WriteLine(
            line + L"=" +
            std::to_wstring(ReadRegistryNumber(HKEY_CURRENT_USER, p_Key, p_ValueName, 0)));
    } else {
        Report::WriteLine(line + kDoesNotExist);
    }
}

void ReportAllOfficeSecuritySettings() {
    Report::WriteLogHeading(kBlockHeading);
    for (const ReportedSettings& settings : kReportedSettings) {
        ReportOfficeSecuritySettings(settings.version, settings.isExcel);
    }
}

} // namespace OfficeSecuritySettings
