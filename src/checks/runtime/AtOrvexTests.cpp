#include "checks/runtime/AtOrvexTests.h"

#include "platform/boolean.h"
#include "platform/com.h"
#include "platform/error.h"
#include "platform/registry.h"
#include "report/SectionOutput.h"

#include <optional>

using namespace Utilities;

namespace AtOrvexTests {

namespace {

const wchar_t kOrvexKey[] = L"Software\\Zandorel\\ORVEX for Excel\\7.0";
const wchar_t kDisableValue[] = L"Disable Model Server";

} // namespace

void RunOrvexTests() {
    Text folder;
    IgnoreErrors([&] {
        folder =
            ReadRegistryString(HKEY_LOCAL_MACHINE, kOrvexKey, L"Program Directory", L"", false);
    });
    if (folder.empty()) {
        return;
    }
    IgnoreErrors([] { Report::WriteSectionHeading(L"ORVEX 7.x Tests"); });
    IgnoreErrors([&] { Report::WriteLine(L"Directory = " + folder); });
    IgnoreErrors([] { TestModelServer(); });
}

void TestModelServer() {
    Text result;
    bool created = false;
    std::optional<ComObject> server;
    Text failure;
    try {
        // A missing value reads as false; a number is false when 0 and true otherwise; a text
        // follows the text-to-Boolean rules.
        DWORD type = REG_NONE;
        bool isNumber = ReadRegistryValueType(HKEY_CURRENT_USER, kOrvexKey, kDisableValue, type) &&
                        type == REG_DWORD;
        bool disabled =
            isNumber ? ReadRegistryNumber(HKEY_CURRENT_USER, kOrvexKey, kDisableValue, 0) != 0
                     : TextToBoolean(ReadRegistryString(HKEY_CURRENT_USER, kOrvexKey, kDisableValue,
                                                        L"False", false));
        if (disabled) {
            result = L"Disabled via 'Disable Model Server' registry key.";
        } else {
            server = ComObject::Create(L"OrvexModel7.Server");
            created = true;
        }
    } catch (const ZPError& error) {
        failure = error.Description();
    }
    if (result.empty()) {
        result = created ? Text(L"Passed") : L"Failed: " + failure;
    }
    Report::WriteLine(L"OrvexModel.dll Test: " + result);
}

} // namespace AtOrvexTests
