// The suite's COM components: the utility library and the graphing server.
#pragma once

namespace ComponentTests {

// The section "MRL 7.x System Tests": the utility test, then the graph test only when the
// utility test passed. Nothing here stops the run.
void RunSuiteComponentTests();
// "ZanUtility7: " and the result; true when the utility object could be created.
bool TestUtilityComponent();
// "Plotworks7: " and the result, after a failure line when "Initialize" fails.
void TestGraphServer();

} // namespace ComponentTests
