#include "checks/runtime/ComponentTests.h"

#include "platform/com.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "report/SectionOutput.h"

#include <optional>

using namespace Utilities;

namespace ComponentTests {

namespace {

const wchar_t kUtilityProgId[] = L"ZanUtility7.ZanUtil";
const wchar_t kGraphProgId[] = L"ZanGraph7Server.ZGrGraph";
const wchar_t kGraphMutex[] = L"ZandorelSurvivalMutex_PlotworksVersion7";

} // namespace

void RunSuiteComponentTests() {
    IgnoreErrors([] { Report::WriteSectionHeading(L"MRL 7.x System Tests"); });
    bool passed = false;
    IgnoreErrors([&] { passed = TestUtilityComponent(); });
    IgnoreErrors([&] {
        if (passed) {
            TestGraphServer();
        } else {
            Report::WriteLine(L"Plotworks7: Test not run because ZanUtility7 test failed.");
        }
    });
}

bool TestUtilityComponent() {
    Text result;
    bool passed = false;
    std::optional<ComObject> utility;
    try {
        Text file = GetProductSystemDirectory() + L"\\ZanUtility7.dll";
        if (!FileExists(file)) {
            result = L"File " + file + L" not found";
        } else {
            try {
                utility = ComObject::Create(kUtilityProgId);
                result = L"Passed";
                passed = true;
            } catch (const ZPError& error) {
                result = Text(L"Unable to create root ") + kUtilityProgId + L" object (" +
                         error.Description() + L")";
            }
        }
    } catch (const ZPError& error) {
        result += L" (" + error.Description() + L")";
        passed = false;
    }
    Report::WriteLine(L"ZanUtility7: " + result);
    return passed;
}

void TestGraphServer() {
    Text result;
    HANDLE mutex = nullptr;
    std::optional<ComObject> graph;
    try {
        // The mutex stays open from before the graph object is created until after its
        // initialisation.
        mutex = CreateNamedMutex(kGraphMutex);
        if (mutex == nullptr) {
            result = L"Unable to create graph mutex.";
        } else {
            try {
                graph = ComObject::Create(kGraphProgId);
            } catch (const ZPError& error) {
                result = Text(L"Unable to create ") + kGraphProgId + L" object (" +
                         error.Description() + L")";
            }
            if (graph) {
                try {
                    graph->CallMethod(L"Initialize", {int16_t{0}});
                    result = L"Passed";
                } catch (const ZPError& error) {
                    g_LogFile->Failure(L"Unable to initialize test graph : " + error.Description());
                }
            }
        }
    } catch (const ZPError& error) {
        result += L" (" + error.Description() + L")";
    }
    CloseHandleIfOpen(mutex);
    mutex = nullptr;
    Report::WriteLine(L"Plotworks7: " + result);
}

} // namespace ComponentTests
