#include "logreader/ReportLog.h"

#include <algorithm>

namespace LogReader {

namespace {

const std::string kStars(68, '*');
const std::string kHeadingRule(68, '-');
const std::string kTerminatorRule(56, '-');
const char kTerminated[] = "Diagnostic Log Terminated";
const char* const kPreamble[] = {
    "Starting Zandorel Diagnostics: ", "Diagnostic Utility Version: ", "Log File Path = "};

// Splits into lines at CR LF; a LF without its CR is an error, a last line without a line end
// is kept and marks the cut.
bool SplitLines(const std::string& p_Bytes, std::vector<LogLine>& p_Lines, bool& p_Unterminated,
                ReadResult& p_Result) {
    size_t start = 0;
    while (start < p_Bytes.size()) {
        size_t end = p_Bytes.find('\n', start);
        size_t number = p_Lines.size() + 1;
        if (end == std::string::npos) {
            // Cut between the CR and the LF, or in the middle of the line.
            size_t size = p_Bytes.size() - start;
            p_Lines.push_back({number, p_Bytes.substr(start, size - (p_Bytes.back() == '\r'))});
            p_Unterminated = true;
            return true;
        }
        if (end == start || p_Bytes[end - 1] != '\r') {
            p_Result.errorLine = number;
            p_Result.error = "the line ends in LF alone; a report log ends its lines in CR LF";
            return false;
        }
        p_Lines.push_back({number, p_Bytes.substr(start, end - 1 - start)});
        start = end + 1;
    }
    return true;
}

// Whether the lines from p_First to the end are the beginning of p_Block but not all of it: a
// block the file was cut in. The last line may be cut in the middle when it has no line end.
bool IsCutPrefix(const std::vector<LogLine>& p_Lines, size_t p_First,
                 const std::vector<std::string>& p_Block, bool p_Unterminated) {
    size_t rest = p_Lines.size() - std::min(p_First, p_Lines.size());
    if (rest == 0 || rest > p_Block.size()) {
        return false;
    }
    for (size_t k = 0; k < rest; ++k) {
        const std::string& text = p_Lines[p_First + k].text;
        bool lastLine = k + 1 == rest;
        if (lastLine && p_Unterminated) {
            if (p_Block[k].compare(0, text.size(), text) != 0 || text.size() > p_Block[k].size()) {
                return false;
            }
            return true;
        }
        if (text != p_Block[k]) {
            return false;
        }
    }
    return rest < p_Block.size();
}

ReadResult Fail(ReadResult p_Result, size_t p_Line, const std::string& p_Why) {
    p_Result.ok = false;
    p_Result.errorLine = p_Line;
    p_Result.error = p_Why;
    return p_Result;
}

} // namespace

ReadResult ReadReportLog(const std::string& p_Bytes) {
    ReadResult result;
    std::vector<LogLine> lines;
    bool unterminated = false;
    if (p_Bytes.empty()) {
        return Fail(result, 1, "the file is empty");
    }
    if (!SplitLines(p_Bytes, lines, unterminated, result)) {
        return result;
    }
    ReportLog& log = result.log;
    log.lineCount = lines.size();
    const size_t n = lines.size();
    // The preamble: its three lines, each of which may be the cut.
    for (size_t i = 0; i < 3 && i < n; ++i) {
        const std::string& text = lines[i].text;
        bool cut = unterminated && i + 1 == n;
        bool matches = cut ? std::string(kPreamble[i]).compare(0, text.size(), text) == 0 ||
                                 text.rfind(kPreamble[i], 0) == 0
                           : text.rfind(kPreamble[i], 0) == 0;
        if (!matches) {
            return Fail(result, i + 1,
                        std::string("the line does not begin with \"") + kPreamble[i] +
                            "\", as line " + std::to_string(i + 1) + " of a report log does");
        }
    }
    log.sections.push_back({"", 1, {}});
    const std::vector<std::string> terminator = {"", kTerminatorRule, kTerminated};
    size_t i = 0;
    while (i < n) {
        const std::string& text = lines[i].text;
        if (IsCutPrefix(lines, i, terminator, unterminated)) {
            log.cutAfterLine = n;
            break;
        }
        if (text.empty() && i + 1 < n && lines[i + 1].text == kTerminatorRule) {
            // Not a cut block (above), so its third line is there.
            if (lines[i + 2].text != kTerminated) {
                return Fail(result, lines[i + 2].number,
                            std::string("a terminator rule without \"") + kTerminated +
                                "\" after it");
            }
            ++log.terminators;
            i += 3;
            continue;
        }
        if (text == kTerminatorRule) {
            return Fail(result, lines[i].number,
                        "a terminator rule without the empty line before it");
        }
        if (log.terminators > 0) {
            return Fail(result, lines[i].number, "text after the terminator block");
        }
        if (text != kStars) {
            log.sections.back().lines.push_back(lines[i]);
            ++i;
            continue;
        }
        // A heading block: three empty lines before the stars, the heading and its rule after.
        std::vector<LogLine>& previous = log.sections.back().lines;
        size_t blanks = 0;
        for (size_t k = previous.size(); k > 0 && blanks < 3 && previous[k - 1].text.empty(); --k) {
            ++blanks;
        }
        if (blanks < 3) {
            return Fail(result, lines[i].number,
                        "a heading rule without the three empty lines before it");
        }
        previous.resize(previous.size() - 3);
        std::string heading = i + 1 < n ? lines[i + 1].text : "";
        log.sections.push_back({heading, i + 1 < n ? lines[i + 1].number : lines[i].number, {}});
        if (IsCutPrefix(lines, i + 2, {kHeadingRule}, unterminated) || i + 2 >= n) {
            log.cutAfterLine = n;
            break;
        }
        if (lines[i + 2].text != kHeadingRule) {
            return Fail(result, lines[i + 2].number,
                        "a heading without its rule of 68 hyphens after it");
        }
        i += 3;
    }
    if (log.terminators == 0 || unterminated) {
        log.cutAfterLine = n;
    }
    result.ok = true;
    return result;
}

} // namespace LogReader
