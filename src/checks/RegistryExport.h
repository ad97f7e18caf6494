// Raw system information copied into the report log by the command interpreter: the export of
// a registry key and the recursive listing of a folder. The program never reads what the
// commands produce; they append it to the log file, which the log keeps closed between writes.
#pragma once

#include "platform/unicode.h"

namespace RegistryExport {

// A key that exists (full root name, program's own view) gets the section heading
// "Registry entries for " and its path, followed by its export with all sub-keys and values; a
// key that does not exist leaves nothing in the log. Once the key is known to exist, no failure
// stops the steps or reaches the caller.
void ExportRegistryKeyToLog(const Text& p_RegistryPath);

// The section heading "Contents of " and the folder, followed by the listing of every file in
// the folder and all its sub-folders. No failure stops the steps or reaches the caller.
void ListFolderToLog(const Text& p_Folder);

// The temporary file that receives each export before it is appended to the log.
extern const wchar_t kRegistryDumpFileName[];

} // namespace RegistryExport
