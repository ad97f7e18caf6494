#include "checks/office/RegistrySecurityTests.h"

#include "platform/error.h"
#include "platform/registry.h"
#include "report/SectionOutput.h"

#include <string>

using namespace Utilities;

namespace RegistrySecurityTests {

namespace {

const wchar_t kHeading[] = L"Registry Security Tests";
const int32_t kVersions[] = {12, 14, 15, 16};
const wchar_t kPassed[] = L"Passed";
const wchar_t kFailedOpening[] = L"Failed (";
// The short root name used in the findings.
const wchar_t kFindingRoot[] = L"HKCU\\";

const wchar_t kAutomationSecurityLabel[] = L"Test of AutomationSecurity registry value: ";
const wchar_t kAutomationSecurityPolicyKey[] =
    L"software\\policies\\microsoft\\office\\common\\security";
const wchar_t kAutomationSecurityUserKey[] = L"software\\microsoft\\office\\common\\security";
const wchar_t kAutomationSecurityValue[] = L"automationsecurity";
const int32_t kAutomationSecurityFailing = 3;

const wchar_t kPolicyKeyStart[] = L"software\\policies\\microsoft\\office\\";
const wchar_t kUserKeyStart[] = L"software\\microsoft\\office\\";

const wchar_t kDisableAllAddinsLabel[] = L"Test of DisableAllAddins registry value for Excel ";
const wchar_t kDisableAllAddinsKeyEnd[] = L".0\\excel\\security";
const wchar_t kDisableAllAddinsValue[] = L"DisableAllAddins";
const int32_t kDisableAllAddinsFailing = 1;

const wchar_t kNoExtensibilityLabel[] =
    L"Test of NoExtensibilityCustomizationFromDocument registry value for Excel ";
const wchar_t kNoExtensibilityKeyEnd[] = L".0\\common\\toolbars\\excel";
const wchar_t kNoExtensibilityValue[] = L"NoExtensibilityCustomizationFromDocument";
const int32_t kNoExtensibilityFailing = 1;

// The number read where the value exists but cannot be read.
const int32_t kUnreadable = -1;

// One check: the policy key's value if it has one, else the user key's, else 0, compared with
// the failing number. A failure ends the checks; the line then reads as the verdict stood,
// which is "Passed".
void CheckValue(const Text& p_Label, const Text& p_PolicyKey, const Text& p_UserKey,
                const Text& p_ValueName, int32_t p_Failing) {
    bool failed = false;
    Text finding;
    IgnoreErrors([&] {
        int32_t number = 0;
        for (const Text* key : {&p_PolicyKey, &p_UserKey}) {
            if (RegistryValueExists(HKEY_CURRENT_USER, *key, p_ValueName, false)) {
                number = ReadRegistryNumber(HKEY_CURRENT_USER, *key, p_ValueName, kUnreadable);
                if (number == p_Failing) {
                    finding = kFindingRoot + *key + L"!" + p_ValueName + L"=" +
                              std::to_wstring(p_Failing);
                }
                break;
            }
        }
        failed = number == p_Failing;
    });
    Report::WriteLine(p_Label + (failed ? kFailedOpening + finding + L")" : Text(kPassed)));
}

Text VersionKeyStart(const wchar_t* p_Start, int32_t p_Version) {
    return p_Start + std::to_wstring(p_Version);
}

} // namespace

void RunRegistrySecurityTests() {
    IgnoreErrors([] { Report::WriteSectionHeading(kHeading); });
    IgnoreErrors([] { TestAutomationSecurity(); });
    for (int32_t version : kVersions) {
        IgnoreErrors([version] { TestDisableAllAddins(version); });
    }
    for (int32_t version : kVersions) {
        IgnoreErrors([version] { TestNoExtensibilityCustomization(version); });
    }
}

void TestAutomationSecurity() {
    CheckValue(kAutomationSecurityLabel, kAutomationSecurityPolicyKey, kAutomationSecurityUserKey,
               kAutomationSecurityValue, kAutomationSecurityFailing);
}

void TestDisableAllAddins(int32_t p_Version) {
    CheckValue(kDisableAllAddinsLabel + std::to_wstring(p_Version) + L": ",
               VersionKeyStart(kPolicyKeyStart, p_Version) + kDisableAllAddinsKeyEnd,
               VersionKeyStart(kUserKeyStart, p_Version) + kDisableAllAddinsKeyEnd,
               kDisableAllAddinsValue, kDisableAllAddinsFailing);
}

void TestNoExtensibilityCustomization(int32_t p_Version) {
    CheckValue(kNoExtensibilityLabel + std::to_wstring(p_Version) + L": ",
               VersionKeyStart(kPolicyKeyStart, p_Version) + kNoExtensibilityKeyEnd,
               VersionKeyStart(kUserKeyStart, p_Version) + kNoExtensibilityKeyEnd,
               kNoExtensibilityValue, kNoExtensibilityFailing);
}

} // namespace RegistrySecurityTests
