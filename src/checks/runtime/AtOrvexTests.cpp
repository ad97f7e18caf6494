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
        // A missing value reads as false.
        Text disabled = ReadRegistryString(HKEY_CURRENT_USER, kOrvexKey, L"Disable Model Server",
                                           L"False", false);
        if (TextToBoolean(disabled)) {
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
