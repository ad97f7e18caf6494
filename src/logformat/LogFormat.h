// The report log's format, written once: the log class writes it, the log reader reads it back
// and the tests build and check logs with it. Every record is whole lines ending in CR LF:
// plain lines; heading blocks (three empty lines, a rule of 68 stars, the heading, a rule of 68
// hyphens); failure lines ("<FAILURE> " and the text); terminator blocks (an empty line, a rule
// of 56 hyphens, "Diagnostic Log Terminated"). A run's log begins with three preamble lines.
#pragma once

#include <cstddef>
#include <string>

namespace LogFormat {

constexpr char kLineEnd[] = "\r\n";

constexpr size_t kEmptyLinesBeforeHeading = 3;
constexpr size_t kHeadingRuleLength = 68;
constexpr size_t kTerminatorRuleLength = 56;
constexpr char kTerminatorText[] = "Diagnostic Log Terminated";
constexpr char kFailurePrefix[] = "<FAILURE> ";

// The beginnings of the preamble's three lines, in order.
constexpr const char* kPreambleStarts[] = {
    "Starting Zandorel Diagnostics: ", "Diagnostic Utility Version: ", "Log File Path = "};

// The rule of stars above a heading.
inline std::string HeadingStars() {
    return std::string(kHeadingRuleLength, '*');
}

// The rule of hyphens below a heading.
inline std::string HeadingHyphens() {
    return std::string(kHeadingRuleLength, '-');
}

// The rule of hyphens of a terminator block.
inline std::string TerminatorRule() {
    return std::string(kTerminatorRuleLength, '-');
}

// What a heading block writes before its heading's text: the empty lines and the stars.
inline std::string HeadingOpening() {
    std::string opening;
    for (size_t i = 0; i < kEmptyLinesBeforeHeading; ++i) {
        opening += kLineEnd;
    }
    return opening + HeadingStars() + kLineEnd;
}

// What a heading block writes after its heading's line: the hyphens.
inline std::string HeadingClosing() {
    return HeadingHyphens() + kLineEnd;
}

// A whole heading block around a heading (in the log's code page).
inline std::string HeadingBlock(const std::string& p_Heading) {
    return HeadingOpening() + p_Heading + kLineEnd + HeadingClosing();
}

// A whole terminator block.
inline std::string TerminatorBlock() {
    return kLineEnd + TerminatorRule() + kLineEnd + kTerminatorText + kLineEnd;
}

} // namespace LogFormat
