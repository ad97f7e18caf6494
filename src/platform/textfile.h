// Text files: appending to an ANSI one (opened and closed on every call), and reading one, ANSI
// or UTF-16, line by line.
#pragma once

#include "platform/handles.h"
#include "platform/unicode.h"

#include <functional>
#include <string>

namespace Utilities {

// A file opened for appending, created when missing, closed when the object goes.
class AppendingFile {
public:
    explicit AppendingFile(const Text& p_Path);
    bool IsOpen() const { return m_Handle.IsValid(); }
    // Why the file could not be opened (GetLastError of the attempt); 0 when it is open.
    DWORD OpenError() const { return m_OpenError; }
    // Writes the bytes at the end of the file; false when the file is not open or the write
    // failed.
    bool Write(const std::string& p_Bytes);

private:
    UniqueHandle m_Handle;
    DWORD m_OpenError;
};

// Reads a text file, ANSI or UTF-16LE with its byte-order mark (as reg export writes), and
// hands each line, without its line end, to p_Line. CR LF, CR and LF
// all end a line; a last line without a line end counts, an empty file has no lines. Returns
// false when the file cannot be opened or a read fails (lines handed over stay handed over).
bool ReadTextLines(const Text& p_Path, const std::function<void(const Text&)>& p_Line);

} // namespace Utilities
