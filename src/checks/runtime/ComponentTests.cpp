#include "checks/runtime/ComponentTests.h"

#include "platform/com.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "report/SectionOutput.h"

#include <exception>
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
            } catch (const std::exception& error) {
                result = Text(L"Unable to create root ") + kUtilityProgId + L" object (" +
                         FailureDescription(error) + L")";
            }
        }
    } catch (const std::exception& error) {
        result += L" (" + FailureDescription(error) + L")";
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
            } catch (const std::exception& error) {
                result = Text(L"Unable to create ") + kGraphProgId + L" object (" +
                         FailureDescription(error) + L")";
            }
            if (graph) {
                try {
                    graph->CallMethod(L"Initialize", {int16_t{0}});
                    result = L"Passed";
                } catch (const std::exception& error) {
                    g_LogFile->Failure(L"Unable to initialize test graph : " +
                                       FailureDescription(error));
                }
            }
        }
    } catch (const std::exception& error) {
        result += L" (" + FailureDescription(error) + L")";
    }
    CloseHandleIfOpen(mutex);
    mutex = nullptr;
    Report::WriteLine(L"Plotworks7: " + result);
}

} // namespace ComponentTests
