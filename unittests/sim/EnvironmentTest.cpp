#include "sim/Environment.h"

#include <gtest/gtest.h>

using namespace sim;

TEST(SimEnvironment, ExpandsAsWindowsDoes) {
    const Environment environment{{L"Alpha", L"a"}, {L"BETA", L"b"}};
    const struct {
        const wchar_t* text;
        const wchar_t* expanded;
    } cases[] = {
        {L"", L""},
        {L"%alpha%\\x", L"a\\x"},
        {L"x%ALPHA%y%beta%z", L"xaybz"},
        // Not set: stays, and its closing sign does not open another reference.
        {L"%Gamma%\\x", L"%Gamma%\\x"},
        {L"%Gamma%BETA%", L"%Gamma%BETA%"},
        {L"%Gamma%%BETA%", L"%Gamma%b"},
        // Lone and empty signs.
        {L"100% sure", L"100% sure"},
        {L"%Alpha", L"%Alpha"},
        {L"%%", L"%%"},
        {L"%Alpha%%", L"a%"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandVariables(environment, c.text), c.expanded) << "text: " << c.text;
    }
}

TEST(SimEnvironment, SettingReplacesWithoutRegardToCase) {
    Environment environment{{L"Path", L"C:\\a"}};
    SetVariable(environment, L"PATH", L"C:\\b");
    SetVariable(environment, L"Temp", L"C:\\t");
    ASSERT_EQ(environment.size(), 2u);
    EXPECT_EQ(*FindVariable(environment, L"path"), L"C:\\b");
    EXPECT_EQ(FindVariable(environment, L"Missing"), nullptr);
}
