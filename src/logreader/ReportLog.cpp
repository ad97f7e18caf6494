#include "logreader/ReportLog.h"

#include "logformat/LogFormat.h"
#include "logreader/LogDecoding.h"

#include <algorithm>

namespace LogReader {

namespace {

const std::string kStars = LogFormat::HeadingStars();
const std::string kHeadingRule = LogFormat::HeadingHyphens();
const std::string kTerminatorRule = LogFormat::TerminatorRule();
const char* const kTerminated = LogFormat::kTerminatorText;
const char* const* const kPreamble = LogFormat::kPreambleStarts;

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

// Whether line p_Index is the preamble's line p_Index; the file's last line may be cut.
bool IsPreambleLine(const std::vector<LogLine>& p_Lines, size_t p_Index, bool p_Unterminated) {
    const std::string& text = p_Lines[p_Index].text;
    const std::string start = kPreamble[p_Index];
    bool cut = p_Unterminated && p_Index + 1 == p_Lines.size();
    return text.rfind(start, 0) == 0 || (cut && start.compare(0, text.size(), text) == 0);
}

std::string PreambleError(size_t p_Index) {
    return std::string("the line does not begin with \"") + kPreamble[p_Index] + "\", as line " +
           std::to_string(p_Index + 1) + " of a report log does";
}

} // namespace

ReadResult ReadReportLog(const std::string& p_Bytes) {
    ReadResult result;
    if (p_Bytes.empty()) {
        return Fail(result, 1, "the file is empty");
    }
    DecodedLines decoded = DecodeLog(p_Bytes);
    const std::vector<LogLine>& lines = decoded.lines;
    const bool unterminated = decoded.unterminated;
    ReportLog& log = result.log;
    log.lineCount = lines.size();
    log.conversion = decoded.conversion;
    std::vector<DamagedLine>& damaged = log.damaged;
    damaged = decoded.damaged;
    const size_t n = lines.size();
    // The preamble: its first line, and at least one of the two after it (a damaged one is
    // named); each may be the cut.
    if (!IsPreambleLine(lines, 0, unterminated)) {
        return Fail(result, 1, PreambleError(0));
    }
    bool second = n < 2 || IsPreambleLine(lines, 1, unterminated);
    bool third = n < 3 || IsPreambleLine(lines, 2, unterminated);
    if (!second && !third) {
        return Fail(result, 2, PreambleError(1));
    }
    for (size_t k : {size_t{1}, size_t{2}}) {
        if (k < n && !(k == 1 ? second : third)) {
            damaged.push_back({k + 1, PreambleError(k)});
        }
    }
    log.sections.push_back({"", 1, {}});
    const std::vector<std::string> terminator = {"", kTerminatorRule, kTerminated};
    const std::string noTerminatorText =
        std::string("a terminator rule without \"") + kTerminated + "\" after it";
    size_t i = 0;
    while (i < n) {
        const std::string& text = lines[i].text;
        const size_t number = lines[i].number;
        if (IsCutPrefix(lines, i, terminator, unterminated)) {
            log.cutAfterLine = n;
            break;
        }
        bool ruleNext = i + 1 < n && lines[i + 1].text == kTerminatorRule;
        if (text.empty() && ruleNext && i + 2 < n && lines[i + 2].text == kTerminated) {
            ++log.terminators;
            i += 3;
            continue;
        }
        if (text == kTerminatorRule && i + 1 < n && lines[i + 1].text == kTerminated) {
            damaged.push_back({number, "a terminator rule without the empty line before it"});
            ++log.terminators;
            i += 2;
            continue;
        }
        if (text == kTerminatorRule) {
            damaged.push_back({i + 1 < n ? lines[i + 1].number : number, noTerminatorText});
        } else if (log.terminators > 0) {
            damaged.push_back({number, "text after the terminator block"});
        }
        if (text != kStars || log.terminators > 0) {
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
            damaged.push_back({number, "a heading rule without the three empty lines before it"});
        }
        previous.resize(previous.size() - blanks);
        std::string heading = i + 1 < n ? lines[i + 1].text : "";
        log.sections.push_back({heading, i + 1 < n ? lines[i + 1].number : number, {}});
        if (i + 2 >= n || IsCutPrefix(lines, i + 2, {kHeadingRule}, unterminated)) {
            log.cutAfterLine = n;
            break;
        }
        if (lines[i + 2].text != kHeadingRule) {
            damaged.push_back(
                {lines[i + 2].number, "a heading without its rule of 68 hyphens after it"});
            i += 2;
            continue;
        }
        i += 3;
    }
    if (log.terminators == 0 || unterminated) {
        log.cutAfterLine = n;
    }
    std::stable_sort(
        damaged.begin(), damaged.end(),
        [](const DamagedLine& a, const DamagedLine& b) { return a.number < b.number; });
    result.ok = true;
    return result;
}

} // namespace LogReader
