// The run's stretches of raw registry exports and the suite folder listing, with the
// explanatory lines that precede some of them.
#pragma once

namespace RegistryDumps {

// Regional settings, Excel and Project options and add-ins, and Office's disabled items.
void ExportOfficeSettingsKeys();

// The COM type-library registrations of Excel, Office and Project: each a log heading, its
// explanation, and the exports through HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and
// HKEY_CLASSES_ROOT.
void ExportExcelTypeLibrary();
void ExportOfficeTypeLibrary();
void ExportProjectTypeLibrary();

// The trusted locations that group policy sets for all Office applications; nothing at all
// without the Office policy key.
void ExportPolicyTrustedLocations();

// The suite's own keys, machine and user.
void ExportSuiteKeys();

// The files of the suite's main folder, when that folder exists.
void ListSuiteMainFolder();

} // namespace RegistryDumps
