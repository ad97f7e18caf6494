// The Visual C++ 2013 runtime: whether it is registered as installed.
#pragma once

namespace VC2010Tests {

// The section "VC2013 System Tests" and its test; errors of the test are dropped.
void RunVC2013Tests();
// "Existence Test: " and the result: the x86 runtime, and on 64-bit Windows also the ia64 or
// the x64 one.
bool VC2013ExistenceTest();

} // namespace VC2010Tests
