// Windows executables on disk: their file version and whether they are 64-bit programs.
#pragma once

#include "platform/unicode.h"

namespace Utilities {

// The file version "major.minor.build.revision" of an executable; "" without version information.
Text GetFileVersionText(const Text& p_Path);

// Whether the file is a 64-bit Windows executable.
bool Is64BitExecutable(const Text& p_Path);

} // namespace Utilities
