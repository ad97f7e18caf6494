#include "logreader/LogSummary.h"

#include "logreader/OutputText.h"

namespace LogReader {

namespace {

// The sections whose "Status: " line (and what follows it) is always shown: the registry
// consistency tests of the Excel type library and of its version values.
const char* const kStatusSections[] = {"Registry consistency for version info for Excel API",
                                       "Test for empty registry keys related to Excel API",
                                       "Test of registered Excel type library locations."};

const char* const kKindNames[] = {"failed", "missing", "failure marker", "status"};

// The statuses that report success: the test passed, or found nothing to test where that is
// right (no 32-bit interface registration, as with 64-bit Excel).
const char* const kSuccessStatuses[] = {
    "Passed", "Passed (no HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\"
              "{000208D5-0000-0000-C000-000000000046} key, which is OK for 64-bit Excel)"};

const char kStatusStart[] = "Status: ";

// How many damaged lines the text names before it only counts the rest.
const size_t kDamagedNamed = 20;

bool Contains(const std::string& p_Text, const char* p_Part) {
    return p_Text.find(p_Part) != std::string::npos;
}

bool IsStatusSection(const std::string& p_Heading) {
    for (const char* heading : kStatusSections) {
        if (p_Heading == heading) {
            return true;
        }
    }
    return false;
}

std::string Plural(size_t p_Count, const char* p_Word) {
    return std::to_string(p_Count) + " " + p_Word + (p_Count == 1 ? "" : "s");
}

} // namespace

bool ClassifyLine(const std::string& p_Text, bool p_InStatusSection, FindingKind& p_Kind) {
    if (p_Text.rfind("<FAILURE> ", 0) == 0) {
        p_Kind = FindingKind::FailureMarker;
    } else if (p_InStatusSection) {
        p_Kind = FindingKind::Status;
    } else if (Contains(p_Text, "Failed") || Contains(p_Text, " failed") ||
               Contains(p_Text, "Unable to ")) {
        p_Kind = FindingKind::Failed;
    } else if (Contains(p_Text, "not found") || Contains(p_Text, "does not exist")) {
        p_Kind = FindingKind::Missing;
    } else {
        return false;
    }
    return true;
}

bool IsSuccessStatus(const std::string& p_Status) {
    for (const char* success : kSuccessStatuses) {
        if (p_Status == success) {
            return true;
        }
    }
    return false;
}

LogSummary Summarize(const ReportLog& p_Log) {
    LogSummary summary;
    summary.lineCount = p_Log.lineCount;
    summary.complete = p_Log.Complete();
    summary.cutAfterLine = p_Log.cutAfterLine;
    summary.conversion = p_Log.conversion;
    summary.damaged = p_Log.damaged;
    // The first section is the preamble.
    summary.sectionCount = p_Log.sections.empty() ? 0 : p_Log.sections.size() - 1;
    for (const LogSection& section : p_Log.sections) {
        SectionFindings found{section.heading, section.headingLine, {}};
        bool statusSection = IsStatusSection(section.heading);
        bool afterStatus = false;
        bool succeeded = false;
        for (const LogLine& line : section.lines) {
            if (statusSection && !afterStatus && line.text.rfind(kStatusStart, 0) == 0) {
                afterStatus = true;
                succeeded = IsSuccessStatus(line.text.substr(sizeof kStatusStart - 1));
            }
            FindingKind kind;
            if (ClassifyLine(line.text, afterStatus, kind) &&
                !(succeeded && kind == FindingKind::Status)) {
                found.findings.push_back({kind, line, ExplainFinding(section.heading, line.text)});
                ++summary.counts[static_cast<int>(kind)];
            }
        }
        if (!found.findings.empty()) {
            summary.sections.push_back(found);
        }
    }
    return summary;
}

std::string SummaryText(const LogSummary& p_Summary, const std::string& p_Name) {
    std::string out = "Summary of " + p_Name + " (" + Plural(p_Summary.lineCount, "line") + ")\n";
    if (!p_Summary.conversion.empty()) {
        out += "Converted: " + p_Summary.conversion + "\n";
    }
    if (!p_Summary.damaged.empty()) {
        out += "Damaged lines, read as far as they could be:";
        for (size_t i = 0; i < p_Summary.damaged.size() && i < kDamagedNamed; ++i) {
            out += std::string(i == 0 ? " " : "; ") + std::to_string(p_Summary.damaged[i].number) +
                   " (" + p_Summary.damaged[i].why + ")";
        }
        if (p_Summary.damaged.size() > kDamagedNamed) {
            out += "; and " + std::to_string(p_Summary.damaged.size() - kDamagedNamed) + " more";
        }
        out += "\n";
    }
    for (const SectionFindings& section : p_Summary.sections) {
        out += "\n" +
               (section.heading.empty() ? std::string("(before the first section)")
                                        : "[" + ToUtf8(section.heading) + "]") +
               "\n";
        for (const Finding& finding : section.findings) {
            out += "  " + std::to_string(finding.line.number) + ": " + ToUtf8(finding.line.text) +
                   "\n";
            if (finding.rule != nullptr) {
                out += "      Meaning: " + finding.rule->meaning +
                       "\n      Action: " + finding.rule->action + "\n";
            }
        }
    }
    out += "\n" + Plural(p_Summary.sectionCount, "section") + ": " +
           std::to_string(p_Summary.counts[0]) + " failed, " + std::to_string(p_Summary.counts[1]) +
           " missing, " + Plural(p_Summary.counts[2], "failure marker") + ", " +
           Plural(p_Summary.counts[3], "status line") + "\n";
    if (p_Summary.complete) {
        out += "The log is complete.\n";
    } else {
        out += "The log is cut off after line " + std::to_string(p_Summary.cutAfterLine) +
               ": its terminator block is missing.\n";
    }
    return out;
}

std::string SummaryJson(const LogSummary& p_Summary, const std::string& p_Name) {
    std::string out = "{\"file\": " + JsonString(p_Name) +
                      ", \"lines\": " + std::to_string(p_Summary.lineCount) +
                      ", \"complete\": " + (p_Summary.complete ? "true" : "false");
    if (!p_Summary.complete) {
        out += ", \"cutAfterLine\": " + std::to_string(p_Summary.cutAfterLine);
    }
    if (!p_Summary.conversion.empty()) {
        out += ", \"converted\": " + JsonString(p_Summary.conversion);
    }
    if (!p_Summary.damaged.empty()) {
        out += ",\n \"damaged\": [";
        for (size_t i = 0; i < p_Summary.damaged.size(); ++i) {
            out += std::string(i == 0 ? "" : ", ") +
                   "{\"line\": " + std::to_string(p_Summary.damaged[i].number) +
                   ", \"why\": " + JsonString(p_Summary.damaged[i].why) + "}";
        }
        out += "]";
    }
    out += ",\n \"sections\": [";
    for (size_t s = 0; s < p_Summary.sections.size(); ++s) {
        const SectionFindings& section = p_Summary.sections[s];
        out += std::string(s == 0 ? "" : ",") +
               "\n  {\"heading\": " + JsonString(ToUtf8(section.heading)) +
               ", \"line\": " + std::to_string(section.headingLine) + ", \"findings\": [";
        for (size_t f = 0; f < section.findings.size(); ++f) {
            const Finding& finding = section.findings[f];
            out += std::string(f == 0 ? "" : ",") +
                   "\n    {\"line\": " + std::to_string(finding.line.number) +
                   ", \"kind\": " + JsonString(kKindNames[static_cast<int>(finding.kind)]) +
                   ", \"text\": " + JsonString(ToUtf8(finding.line.text));
            if (finding.rule != nullptr) {
                out += ", \"rule\": " + JsonString(finding.rule->name) +
                       ", \"meaning\": " + JsonString(finding.rule->meaning) +
                       ", \"action\": " + JsonString(finding.rule->action);
            }
            out += "}";
        }
        out += "]}";
    }
    out += "],\n \"counts\": {\"sections\": " + std::to_string(p_Summary.sectionCount);
    const char* const keys[] = {"failed", "missing", "failureMarkers", "statusLines"};
    for (int k = 0; k < 4; ++k) {
        out += std::string(", \"") + keys[k] + "\": " + std::to_string(p_Summary.counts[k]);
    }
    return out + "}}\n";
}

} // namespace LogReader
