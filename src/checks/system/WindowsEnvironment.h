// The sections that describe Windows and the suite's installation: the Windows version and
// folders, two Windows conditions known to cause problems, the .NET Framework 4.0 in its 32-bit
// and 64-bit forms, and where the suite's folders are registered.
#pragma once

namespace WindowsEnvironment {

// "Windows OS Information": the product name with the bitness, the Windows and temporary
// folders. Failures reach the caller.
void ReportWindowsInformation();

// "Windows OS Tests": a stray file C:\Program, and the FIPS algorithm policy. Failures reach the
// caller.
void RunWindowsOSTests();

// ".NET 4.0 Framework x86" or "x64": the framework folder and its mscorlib.dll, ending with a
// "Status: " line in every case; no failure reaches the caller.
void TestDotNet40Framework(bool p_Is64Bit);

// The run's two .NET steps: x86 always, x64 only on 64-bit Windows.
void TestDotNet40FrameworkX86();
void TestDotNet40FrameworkX64OnWow64();

// "Zandorel Directory Locations": the suite's registered main and system folders. Failures
// reach the caller.
void ReportSuiteDirectories();

} // namespace WindowsEnvironment
