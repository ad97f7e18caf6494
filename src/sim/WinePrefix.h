// A simulated machine loaded from a Wine prefix: the registry from system.reg (the machine's
// keys, HKEY_LOCAL_MACHINE), user.reg (the user's, HKEY_CURRENT_USER) and userdef.reg
// (HKEY_USERS\.Default); the drives from dosdevices; the environment, the temporary,
// Windows and application-data folders, the ANSI code page, the user's date and time pictures
// and the bitness from what the registry holds.
#pragma once

#include "sim/Machine.h"

#include <memory>
#include <string>
#include <vector>

namespace sim {

// Whether a folder is a Wine prefix (it holds system.reg).
bool IsWinePrefix(const std::string& folder);

// Loads the machine of a Wine prefix. Each problem met on the way (a file missing, malformed or
// cut short) adds one line "<file>:<line>: <what>" to problems, and loading goes on with what
// could be read. Null (with a problem) when the folder is no Wine prefix.
std::unique_ptr<Machine> LoadWinePrefix(const std::string& prefixFolder,
                                        std::vector<std::string>& problems);

// Reads one Wine registry file into a tree (the file's keys are relative to it). Reads the
// global option "#arch=" into arch when the file has one. False, with a problem, when the file
// cannot be opened or is no Wine registry file; problems inside the file are added and skipped.
bool LoadWineRegistryFile(const std::string& path, RegKey& branch, std::string& arch,
                          std::vector<std::string>& problems);

} // namespace sim
