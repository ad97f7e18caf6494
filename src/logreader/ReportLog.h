// A report log read back: its preamble, its sections in the order of the run and its
// terminator blocks, read strictly in the format the log class writes (CR LF line ends,
// heading blocks of three empty lines, 68 stars, the heading and 68 hyphens, terminator blocks
// of an empty line, 56 hyphens and "Diagnostic Log Terminated").
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace LogReader {

struct LogLine {
    size_t number = 0; // 1-based line number in the file
    std::string text;  // the bytes of the line, without its CR LF
};

struct LogSection {
    std::string heading; // empty for the preamble
    size_t headingLine = 0;
    std::vector<LogLine> lines;
};

struct ReportLog {
    // The preamble first (heading empty), then the sections in the order of the run.
    std::vector<LogSection> sections;
    size_t lineCount = 0;
    size_t terminators = 0; // terminator blocks at the end
    // Where the log stops without its terminator block: the last line read; 0 when complete.
    size_t cutAfterLine = 0;
    bool Complete() const { return terminators > 0 && cutAfterLine == 0; }
};

struct ReadResult {
    bool ok = false;
    ReportLog log;
    // When not ok: the line at which the file stops being a report log, and why.
    size_t errorLine = 0;
    std::string error;
};

// Reads a log from its bytes. A log cut off (at the end of any line or in the middle of one)
// is a log, not complete; anything that breaks the format before the end is not a log.
ReadResult ReadReportLog(const std::string& p_Bytes);

} // namespace LogReader
