// Windows registry hive files (SOFTWARE, SYSTEM, NTUSER.DAT, UsrClass.dat, files saved with
// "reg save"), read through libhivex. A hive is only ever opened for reading.
#pragma once

#include "sim/RegKey.h"

#include <functional>
#include <string>

namespace sim {

// Takes a problem met in a hive: a sentence that names the file.
using HiveProblems = std::function<void(const std::string&)>;

// Opens a hive as the contents of branch: names as the hive spells them, values with their types
// and bytes as Windows keeps them (texts as UTF-16LE). The hive stays open (libhivex maps the
// file) while a key of it lives, and each key's values and subkeys are read from it when they
// are first used (RegKey::Unread). False, with error set to a sentence that names the file, when
// the file cannot be opened or libhivex refuses it (no hive, or damaged). A hive whose last
// changes are still in its transaction logs (its two sequence numbers differ) is read as it
// stands, with a problem at once. Damage met below the root (a key that cannot be read, a key
// that loops back to one met before, keys deeper than Windows allows) is a problem naming the
// file and the key's path, given to `problems` when the key holding it is first used; reading
// goes on with the rest.
bool ReadHive(const std::string& path, RegKey& branch, std::string& error, HiveProblems problems);

} // namespace sim
