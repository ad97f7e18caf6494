// Text of a log for output: the log's single-byte Windows-1252 text as UTF-8, and JSON strings.
#pragma once

#include <string>

namespace LogReader {

// The log's bytes (Windows-1252, the ANSI code page of Western Windows) as UTF-8; control
// characters other than tab become U+FFFD so that a damaged line cannot drive a terminal.
std::string ToUtf8(const std::string& p_Bytes);

// The character of a Windows-1252 byte from 0x80 to 0x9F; 0 where the code page has none.
unsigned Windows1252High(unsigned char p_Byte);

// A JSON string literal of UTF-8 text, quotes included.
std::string JsonString(const std::string& p_Utf8);

} // namespace LogReader
