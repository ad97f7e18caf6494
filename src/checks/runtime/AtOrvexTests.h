// ORVEX 7: where it is installed and whether its model server can be created.
#pragma once

namespace AtOrvexTests {

// The section "ORVEX 7.x Tests", written only when ORVEX 7's program directory is registered.
// Nothing here stops the run.
void RunOrvexTests();
// "OrvexModel.dll Test: " and the result; no creation when the user switched the server off.
void TestModelServer();

} // namespace AtOrvexTests
