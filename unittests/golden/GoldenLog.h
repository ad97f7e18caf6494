// Reading report logs for the golden tests: lines, the expected logs checked in beside the
// tests, and the sections of a log picked by their headings.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace GoldenLog {

// The headings of the runtime, DEP, Office information, component and ORVEX sections; the
// inspection golden test leaves them out, the components golden test keeps only them.
extern const std::set<std::string> kComponentSections;

// The lines of a text ending each at p_End; a last line without p_End counts too.
std::vector<std::string> SplitLines(const std::string& p_Text, const std::string& p_End);

// The lines of an expected log beside the tests (LF line ends); empty when it is missing.
std::vector<std::string> ReadExpected(const std::string& p_Name);

// The log's lines with (p_KeepListed true) only, or (false) without, the sections whose headings
// p_Headings lists. A section runs from the three blank lines before its heading block to the
// next heading block or the terminator block; lines outside sections go with the unlisted ones.
std::vector<std::string> SelectSections(const std::vector<std::string>& p_Lines,
                                        const std::set<std::string>& p_Headings, bool p_KeepListed);

} // namespace GoldenLog
