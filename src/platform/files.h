// Files and folders by path: the user's temporary folder, existence tests for files and
// folders, deleting a file, the directory search and splitting a path.
#pragma once

#include "platform/unicode.h"

namespace Utilities {

// The user's temporary folder without a trailing backslash: in long form, or in short (8.3)
// form where the long form holds characters that the ANSI code page cannot; "" when unknown.
// p_Problem, when given, receives why where the folder exists but cannot be named in the code
// page.
Text GetTempFolder(Text* p_Problem = nullptr);

// Whether a normal file (not hidden, not system, not a folder) of exactly this path exists.
bool FileExists(const Text& p_Path);

// Whether a file of exactly this path exists, whatever its attributes (hidden and system files
// count; a folder does not).
bool AnyFileExists(const Text& p_Path);

// Deletes the file at the path, whatever its attributes except read-only; true when no file is
// left there (also when there was none), false when one stays (read-only, held open, a folder).
bool RemoveFile(const Text& p_Path);

// The directory search: the name of the first entry that matches p_Pattern (which may hold
// wildcards) and carries none of the attributes hidden, system, directory and volume label;
// "" when none matches or the folder does not exist. An invalid path raises error 52.
Text FindFirstPlainFile(const Text& p_Pattern);

// Whether something exists at the path that FileExists does not see as a file (a folder, or a
// hidden or system file).
bool FolderExists(const Text& p_Path);

// Splits "C:\a\b.xls" into "C:\a" and "b.xls"; both are "" for a bare name or a path ending in "\".
void SplitFilePath(const Text& p_Path, Text& p_Folder, Text& p_FileName);

} // namespace Utilities
