// Three Office security values of the current user that stop the suite's add-ins: the
// Office-wide "automationsecurity" at 3, and Excel's "DisableAllAddins" and
// "NoExtensibilityCustomizationFromDocument" at 1. A value in the group-policy branch decides
// alone; the user's own branch counts only where the policy branch does not hold the value.
#pragma once

#include <cstdint>

namespace RegistrySecurityTests {

// "Registry Security Tests": AutomationSecurity, then DisableAllAddins and then
// NoExtensibilityCustomizationFromDocument for Office 12, 14, 15 and 16. A failure of the
// heading or of one test is dropped and the next one runs.
void RunRegistrySecurityTests();

// Each writes one line: its label and "Passed", or "Failed (" and the failing value ")".
void TestAutomationSecurity();
void TestDisableAllAddins(int32_t p_Version);
void TestNoExtensibilityCustomization(int32_t p_Version);

} // namespace RegistrySecurityTests
