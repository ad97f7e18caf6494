// Windows registry hive files (SOFTWARE, SYSTEM, NTUSER.DAT, UsrClass.dat, files saved with
// "reg save"), read through libhivex. A hive is only ever opened for reading.
#pragma once

#include "sim/RegKey.h"

#include <string>
#include <vector>

namespace sim {

// Reads the keys below the root of a hive into branch: names as the hive spells them, values
// with their types and bytes as Windows keeps them (texts as UTF-16LE). False, with error set to
// a sentence that names the file, when the file cannot be opened or libhivex refuses it (no hive,
// or damaged). Damage met below the root (a key that cannot be read, a key that loops back to one
// of its ancestors, keys deeper than Windows allows) adds one problem naming the file and the
// key's path, and reading goes on with the rest. A hive whose last changes are still in its
// transaction logs (its two sequence numbers differ) is read as it stands, with a problem.
bool ReadHive(const std::string& path, RegKey& branch, std::string& error,
              std::vector<std::string>& problems);

} // namespace sim
