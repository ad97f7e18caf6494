// A simulated machine loaded from a Windows volume (a system drive mounted on Linux, a disk
// image's files, or a folder laid out like one): the registry from its hives, drive C: the
// volume's files. Names on the volume are found without regard to letter case, as an NTFS
// volume mounted on Linux may spell them. Nothing is ever written to the volume: the machine's
// temporary folder is the host's, as on the empty machine.
#pragma once

#include "sim/Hive.h"
#include "sim/Machine.h"

#include <memory>
#include <string>
#include <vector>

namespace sim {

// Whether a folder is the root of a Windows volume (it holds Windows\System32\config).
bool IsWindowsVolume(const std::string& root);

// The user profiles of a volume, by folder name: the folders under Users that hold NTUSER.DAT.
std::vector<std::string> VolumeProfiles(const std::string& root);

// Loads the machine of a volume for the profile `user` (a folder name under Users; empty for
// none). HKEY_LOCAL_MACHINE\SOFTWARE and SYSTEM come from their hives, SYSTEM's CurrentControlSet
// being the control set that Select\Current names; HKEY_USERS\.Default from DEFAULT;
// HKEY_CURRENT_USER from the profile's NTUSER.DAT, with Software\Classes from its UsrClass.dat.
// A hive that is missing leaves its branch empty and is a problem; a hive that cannot be read is
// an error: null, with error naming the file. The hives stay open while the machine lives, their
// keys read as they are first used: problems met inside a hive go to `problems` then.
std::unique_ptr<Machine> LoadWindowsVolume(const std::string& root, const std::string& user,
                                           const HiveProblems& problems, std::string& error);

} // namespace sim
