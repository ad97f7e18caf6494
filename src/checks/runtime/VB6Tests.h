// The Visual Basic 6 runtime: the registration of its type library and the file it names.
#pragma once

namespace VB6Tests {

// The section "VB6 System Tests" and its three tests; errors of a test are dropped.
void RunVB6Tests();
// Whether the type library's registered file is MSVBVM60.DLL (by name, any letter case).
bool SkypeTest();
// Whether the file registered in the program's own view exists.
bool MSVBVM60Testx86();
// Whether the file registered in the 64-bit view exists; not run on 32-bit Windows.
bool MSVBVM60Testx64();

} // namespace VB6Tests
