// The program's text type and the conversions at the edges: texts are Unicode inside the
// program and cross every Windows call in the machine's ANSI code page.
#pragma once

#include <string>

// One text type throughout the program.
using Text = std::wstring;

namespace Utilities {

// The text in the ANSI code page; characters that the code page cannot hold become its
// default character (no best-fit substitutes).
std::string ToAnsi(const Text& text);

// ANSI bytes as a text. Embedded NUL characters are kept.
Text FromAnsi(const std::string& bytes);

// UTF-8, for the terminal and for messages of the host.
std::string ToUtf8(const Text& text);
Text FromUtf8(const std::string& bytes);

// Upper case by the system's character tables, one character for one.
Text ToUpper(Text text);

// The text without leading and trailing space characters (blanks only).
Text Trim(const Text& text);

} // namespace Utilities
