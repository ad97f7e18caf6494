#include "checks/runtime/VB6Tests.h"

#include "platform/error.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "report/SectionOutput.h"

using namespace Utilities;

namespace VB6Tests {

namespace {

const wchar_t kTypeLibraryKey[] = L"TypeLib\\{000204EF-0000-0000-C000-000000000046}\\6.0\\9\\win32";

Text PassedOrFailed(bool passed) {
    return passed ? L"Passed" : L"Failed";
}

Text ValueOrNotFound(const Text& value) {
    return value.empty() ? Text(L"Registry value not found.") : value;
}

} // namespace

void RunVB6Tests() {
    IgnoreErrors([] { Report::WriteSectionHeading(L"VB6 System Tests"); });
    IgnoreErrors([] { SkypeTest(); });
    IgnoreErrors([] { MSVBVM60Testx86(); });
    IgnoreErrors([] { MSVBVM60Testx64(); });
}

bool SkypeTest() {
    Text value;
    bool passed = false;
    try {
        value = ReadRegistryString(HKEY_CLASSES_ROOT, kTypeLibraryKey, L"", L"", false);
        passed = ToUpper(value).find(L"MSVBVM60.DLL") != Text::npos;
    } catch (const ZPError&) {
    }
    Report::WriteLine(L"Skype Test: " + PassedOrFailed(passed) + L" (" + value + L")");
    return passed;
}

bool MSVBVM60Testx86() {
    Text value;
    bool passed = false;
    try {
        value = ReadRegistryString(HKEY_CLASSES_ROOT, kTypeLibraryKey, L"", L"", false);
        passed = FileExists(value);
    } catch (const ZPError&) {
    }
    Report::WriteLine(L"MSVBVM60Testx86: " + PassedOrFailed(passed) + L" (" +
                      ValueOrNotFound(value) + L")");
    return passed;
}

bool MSVBVM60Testx64() {
    bool passed = false;
    try {
        if (!IsWow64()) {
            Report::WriteLine(
                L"MSVBVM60Testx64: Not running the test, because this is a 32-bit machine.");
            return false;
        }
        Text value = ReadRegistryString(HKEY_CLASSES_ROOT, kTypeLibraryKey, L"", L"", true);
        passed = FileExists(value);
        Report::WriteLine(L"MSVBVM60Testx64: " + PassedOrFailed(passed) + L" (" +
                          ValueOrNotFound(value) + L")");
    } catch (const ZPError&) {
        // An error leaves the test without a line.
    }
    return passed;
}

} // namespace VB6Tests
