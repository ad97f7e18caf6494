// The Office registry security tests.
#include "checks/office/RegistrySecurityTests.h"
#include "support/SectionTest.h"

namespace {

const wchar_t kPolicyCommon[] = L"HKCU\\software\\policies\\microsoft\\office\\common\\security";
const wchar_t kUserCommon[] = L"HKCU\\software\\microsoft\\office\\common\\security";
const std::string kAutomationLabel = "Test of AutomationSecurity registry value: ";

} // namespace

class RegistrySecurityTestsTest : public SectionTest {
protected:
    std::string AutomationLine() { return LogOf(RegistrySecurityTests::TestAutomationSecurity); }
};

TEST_F(RegistrySecurityTestsTest, PolicyValueDecidesAlone) {
    Registry().SetDword(kUserCommon, L"automationsecurity", 3);
    EXPECT_EQ(AutomationLine(), kAutomationLabel +
                                    "Failed (HKCU\\software\\microsoft\\office\\common\\security!"
                                    "automationsecurity=3)\r\n");

    Registry().SetDword(kPolicyCommon, L"automationsecurity", 0);
    EXPECT_EQ(AutomationLine(), kAutomationLabel + "Passed\r\n");

    Registry().SetDword(kPolicyCommon, L"automationsecurity", 3);
    Registry().SetDword(kUserCommon, L"automationsecurity", 1);
    EXPECT_EQ(AutomationLine(),
              kAutomationLabel +
                  "Failed (HKCU\\software\\policies\\microsoft\\office\\common\\security!"
                  "automationsecurity=3)\r\n");
}

TEST_F(RegistrySecurityTestsTest, OnlyTheFailingNumberFails) {
    for (DWORD number : {0u, 2u, 4u, 0xFFFFFFFFu}) {
        Registry().SetDword(kUserCommon, L"automationsecurity", number);
        EXPECT_EQ(AutomationLine(), kAutomationLabel + "Passed\r\n") << number;
    }
    // A value that exists but cannot be read as a number counts as -1.
    Registry()
        .CreateKey(kUserCommon)
        .SetValue(L"automationsecurity", REG_BINARY, std::string(8, '\3'));
    EXPECT_EQ(AutomationLine(), kAutomationLabel + "Passed\r\n");
}

TEST_F(RegistrySecurityTestsTest, SectionWritesNineLinesInItsOrder) {
    Registry().SetDword(L"HKCU\\software\\microsoft\\office\\16.0\\excel\\security",
                        L"DisableAllAddins", 1);
    Registry().SetDword(L"HKCU\\software\\microsoft\\office\\14.0\\excel\\security",
                        L"DisableAllAddins", 2);
    Registry().SetDword(
        L"HKCU\\software\\policies\\microsoft\\office\\12.0\\common\\toolbars\\excel",
        L"NoExtensibilityCustomizationFromDocument", 1);
    RegistrySecurityTests::RunRegistrySecurityTests();

    const std::string addins = "Test of DisableAllAddins registry value for Excel ";
    const std::string extensibility =
        "Test of NoExtensibilityCustomizationFromDocument registry value for Excel ";
    EXPECT_EQ(Log(), Heading("Registry Security Tests") + kAutomationLabel + "Passed\r\n" + addins +
                         "12: Passed\r\n" + addins + "14: Passed\r\n" + addins + "15: Passed\r\n" +
                         addins +
                         "16: Failed (HKCU\\software\\microsoft\\office\\16.0\\excel\\security!"
                         "DisableAllAddins=1)\r\n" +
                         extensibility +
                         "12: Failed (HKCU\\software\\policies\\microsoft\\office\\12.0\\common\\"
                         "toolbars\\excel!NoExtensibilityCustomizationFromDocument=1)\r\n" +
                         extensibility + "14: Passed\r\n" + extensibility + "15: Passed\r\n" +
                         extensibility + "16: Passed\r\n");
}

// A check that raises an error says so with the error's description, never "Passed": memory
// runs out as the value found is opened for reading.
TEST_F(RegistrySecurityTestsTest, CheckThatRaisesAnErrorFailsWithItsDescription) {
    Registry().SetDword(kPolicyCommon, L"automationsecurity", 0);
    Machine().faults.push_back(
        {"RegOpenKeyExA", L"HKEY_CURRENT_USER\\software\\policies", sim::kMemoryExhausted, 1});
    EXPECT_EQ(AutomationLine(), kAutomationLabel + "Failed (Out of memory)\r\n");
}
