// The macro and add-in security values of Excel and Project for each Office version, from the
// group-policy branch and the user's own branch of the registry side by side, with the trusted
// locations that apply. The report lists what it finds and judges nothing.
#pragma once

#include "platform/unicode.h"

#include <cstdint>

namespace OfficeSecuritySettings {

// One application and Office major version: nothing when neither its policy key nor its user
// key exists; otherwise a blank line, the log heading "Security Settings for Excel 16" (or
// "Project"), the three values of both keys and the exports of their trusted locations.
void ReportOfficeSecuritySettings(int32_t p_Version, bool p_IsExcel);

// One line: "HKEY_CURRENT_USER\<key>!<name>=<number>" or "... does not exist.".
void ReportSecurityValue(const Text& p_Key, const Text& p_ValueName);

// The run's security settings block: its log heading, then Excel 12, 14, 15, 16 and Project
// 12, 14, 15, 16.
void ReportAllOfficeSecuritySettings();

} // namespace OfficeSecuritySettings
