#include "checks/runtime/VC2010Tests.h"

#include "platform/error.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "report/SectionOutput.h"

using namespace Utilities;

namespace VC2010Tests {

namespace {

int32_t Installed(const wchar_t* p_Platform) {
    return ReadRegistryNumber(HKEY_LOCAL_MACHINE,
                              Text(L"SOFTWARE\\Microsoft\\VisualStudio\\12.0\\VC\\Runtimes\\") +
                                  p_Platform,
                              L"Installed", 0);
}

} // namespace

void RunVC2013Tests() {
    IgnoreErrors([] { Report::WriteSectionHeading(L"VC2013 System Tests"); });
    IgnoreErrors([] { VC2013ExistenceTest(); });
}

bool VC2013ExistenceTest() {
    bool passed = false;
    try {
        bool x86 = Installed(L"x86") != 0;
        if (!IsWow64()) {
            passed = x86;
        } else {
            passed = x86 && (Installed(L"ia64") != 0 || Installed(L"x64") != 0);
        }
    } catch (const ZPError&) {
    }
    Report::WriteLine(Text(L"Existence Test: ") + (passed ? L"Passed" : L"Failed"));
    return passed;
}

} // namespace VC2010Tests
