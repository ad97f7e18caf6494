// A log's bytes as they arrive at support, turned back into the lines the program wrote: CR LF
// or LF line ends; Windows-1252 (the program's own), UTF-8 with or without a byte-order mark, or
// UTF-16LE with one. What had to be converted is said in one line, and lines that could not be
// read as they were written (bytes that are no text of the encoding, control characters, a line
// end that differs from the rest) are named.
#pragma once

#include "logreader/ReportLog.h"

#include <string>
#include <vector>

namespace LogReader {

struct DecodedLines {
    std::vector<LogLine> lines; // Windows-1252 text, without line ends
    bool unterminated = false;  // the last line has no line end
    std::string conversion;     // what was converted; empty when the bytes were the program's own
    std::vector<DamagedLine> damaged;
};

DecodedLines DecodeLog(const std::string& p_Bytes);

// The Windows-1252 byte of a Unicode character; false when the code page has none.
bool ToWindows1252(unsigned p_Code, char& p_Byte);

} // namespace LogReader
