// Consistency of Excel's automation registrations: the interfaces (under "Interface") that
// point to Excel's type library (under "TypeLib"). Three tests, each after a support ticket that
// found one kind of inconsistency left by incomplete removals and installations of Office, and
// a report of one interface's type-library version as seen through the three roots. Everything
// is read in the program's own view, which is the 32-bit one on 64-bit Windows; the log names
// it "Wow6432Node".
#pragma once

#include "platform/unicode.h"

namespace ExcelApiRegistry {

// Each test writes its section heading, its explanation and a "Status: " line; a failure ends
// the test's steps and is appended to the status, and never reaches the caller.
void TestExcelApiVersionConsistency();
void TestEmptyExcelApiKeys();
void TestExcelTypeLibraryPaths();

// Three lines with the interface's TypeLib "Version" value (or "Not Found") under
// HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and HKEY_CLASSES_ROOT. The identifier comes without
// braces.
void ReportInterfaceTypeLibVersions(const Text& p_InterfaceGuid);

// The run's block of 32-bit interface registrations: its log heading and five interfaces.
void ReportExcelInterfaceRegistrations();

} // namespace ExcelApiRegistry
