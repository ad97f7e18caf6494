#include "tests/VC2010Tests.h"

#include "platform/error.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "run/Diagnostics.h"

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
    IgnoreErrors([] { Diagnostics::WriteSectionHeading(L"VC2013 System Tests"); });
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
    g_LogFile->WriteToLogFile(Text(L"Existence Test: ") + (passed ? L"Passed" : L"Failed"), false);
    return passed;
}

} // namespace VC2010Tests
