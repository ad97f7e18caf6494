// What a Wine prefix's registry says about its machine, beyond the keys themselves: the
// environment of the user's processes, the Windows, temporary and application-data folders, the
// ANSI code page and the user's date and time pictures; and the drives of its dosdevices folder.
#pragma once

#include "sim/Machine.h"

#include <string>
#include <vector>

namespace sim {

// Reads the settings from the machine's loaded registry; a problem names systemFile. The user's
// profile folder is `profile` when given, else the one the registry's profile list holds for
// Wine's user.
void ReadPrefixSettings(Machine& machine, const std::string& systemFile,
                        std::vector<std::string>& problems, const std::wstring& profile = L"");

// Maps the drives of the prefix's dosdevices links (C: and Z: when it has none).
void MapPrefixDrives(Machine& machine, const std::string& prefix);

} // namespace sim
