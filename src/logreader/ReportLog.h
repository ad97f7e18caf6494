// A report log read back: its preamble, its sections in the order of the run and its
// terminator blocks, in the format the log class writes (logformat/LogFormat.h). The reader is
// strict in what it reports and lenient in what it accepts: a log as it arrives (LF line ends,
// UTF-8 or UTF-16, see LogDecoding.h) is converted, a line that breaks the format is named and
// the rest is still read; only a file whose first lines are not a log's preamble is refused.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace LogReader {

struct LogLine {
    size_t number = 0; // 1-based line number in the file
    std::string text;  // the line in Windows-1252, without its line end
};

// A line that could not be read as the program writes it, and why.
struct DamagedLine {
    size_t number = 0;
    std::string why;
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
    // What was converted to read the file (encoding, line ends); empty when nothing was.
    std::string conversion;
    std::vector<DamagedLine> damaged; // in the order of the file
    bool Complete() const { return terminators > 0 && cutAfterLine == 0; }
};

struct ReadResult {
    bool ok = false;
    ReportLog log;
    // When not ok: the line at which the file is seen to be no report log, and why.
    size_t errorLine = 0;
    std::string error;
};

// Reads a log from its bytes. A log cut off (at the end of any line or in the middle of one)
// is a log, not complete; a log damaged in places is read with the damaged lines named.
ReadResult ReadReportLog(const std::string& p_Bytes);

} // namespace LogReader
