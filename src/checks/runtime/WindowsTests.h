// Data Execution Prevention: the system's policy and the program's own process.
#pragma once

namespace WindowsTests {

// The section "Windows Tests" and the two tests; errors of each are dropped.
void RunWindowsTests();
// Passed unless the system policy is "always on" (or unknown); a Windows without the function
// fails with policy 0.
bool TestSystemDEP();
// Fails only when DEP is on for the process and ATL thunk emulation is off. A Windows without
// one of the functions raises, and the test writes nothing.
bool TestProcessDEP();

} // namespace WindowsTests
