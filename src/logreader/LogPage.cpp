#include "logreader/LogPage.h"

#include "logreader/HtmlText.h"
#include "logreader/LogFacts.h"
#include "logreader/OutputText.h"

#include <map>

namespace LogReader {

namespace {

std::string Html(const std::string& p_LogText) {
    return HtmlEscape(ToUtf8(p_LogText));
}

std::string Plural(size_t p_Count, const char* p_Word) {
    return std::to_string(p_Count) + " " + p_Word + (p_Count == 1 ? "" : "s");
}

std::string SectionTitle(const std::string& p_Heading) {
    return p_Heading.empty() ? std::string("(before the first section)") : Html(p_Heading);
}

// Registry exports and folder listings: their lines are the machine's, shown as they are.
bool IsDump(const std::string& p_Heading) {
    return p_Heading.rfind("Registry entries for ", 0) == 0 ||
           p_Heading.rfind("Contents of ", 0) == 0;
}

std::string FindingsPart(const LogSummary& p_Summary) {
    std::string out = "<section id=\"findings\">\n<h2>Findings</h2>\n";
    size_t shown = 0;
    for (const SectionFindings& section : p_Summary.sections) {
        for (const Finding& finding : section.findings) {
            out += "<div class=\"finding\"><div class=\"where\">" + SectionTitle(section.heading) +
                   ", line " + std::to_string(finding.line.number) + "</div><code>" +
                   Html(finding.line.text) + "</code>";
            if (finding.rule != nullptr) {
                out += "<p class=\"meaning\"><b>Meaning:</b> " + HtmlEscape(finding.rule->meaning) +
                       "</p><p class=\"action\"><b>Action:</b> " +
                       HtmlEscape(finding.rule->action) + "</p>";
            }
            out += "</div>\n";
            ++shown;
        }
    }
    if (shown == 0) {
        out += "<p>No line needs a look.</p>\n";
    }
    return out + "</section>\n";
}

std::string SectionsPart(const ReportLog& p_Log, const LogSummary& p_Summary) {
    std::map<size_t, size_t> findingsAt; // heading line -> findings
    for (const SectionFindings& section : p_Summary.sections) {
        findingsAt[section.headingLine] = section.findings.size();
    }
    std::string out = "<section id=\"sections\">\n<h2>Sections in the order of the run</h2>\n";
    for (const LogSection& section : p_Log.sections) {
        auto found = findingsAt.find(section.headingLine);
        bool look = found != findingsAt.end();
        out += std::string("<details class=\"section ") + (look ? "look" : "passed") +
               (IsDump(section.heading) ? " dump" : "") + "\"><summary><span class=\"mark\">" +
               (look ? "&#x2718; needs a look" : "&#x2714; passed") + "</span> " +
               SectionTitle(section.heading);
        if (look) {
            out += " (" + Plural(found->second, "finding") + ")";
        }
        out += "</summary><pre>";
        for (const LogLine& line : section.lines) {
            out += Html(line.text) + "\n";
        }
        out += "</pre></details>\n";
    }
    return out + "</section>\n";
}

} // namespace

std::string PageStart(const std::string& p_Title) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
           HtmlEscape(p_Title) + "</title>\n<style>" + kPageStyle + "</style>\n</head>\n<body>\n";
}

std::string PageEnd() {
    return "</body>\n</html>\n";
}

std::string CountsText(const LogSummary& p_Summary) {
    return Plural(p_Summary.sectionCount, "section") + ": " + std::to_string(p_Summary.counts[0]) +
           " failed, " + std::to_string(p_Summary.counts[1]) + " missing, " +
           Plural(p_Summary.counts[2], "failure marker") + ", " +
           Plural(p_Summary.counts[3], "status line");
}

std::string SummaryPage(const ReportLog& p_Log, const LogSummary& p_Summary,
                        const std::string& p_Name) {
    std::string out = PageStart("Zanprobe 7 log " + p_Name);
    out += "<header>\n<h1>Report log " + HtmlEscape(p_Name) + "</h1>\n<p class=\"machine\">" +
           HtmlEscape(FactsLine(FactsOf(p_Log))) + "</p>\n<p class=\"counts\">" +
           HtmlEscape(CountsText(p_Summary)) + "</p>\n";
    if (!p_Summary.complete) {
        out += "<p class=\"note\">The log is cut off after line " +
               std::to_string(p_Summary.cutAfterLine) + ": its terminator block is missing.</p>\n";
    }
    if (!p_Summary.conversion.empty()) {
        out += "<p class=\"note\">Converted: " + HtmlEscape(p_Summary.conversion) + "</p>\n";
    }
    if (!p_Summary.damaged.empty()) {
        out += "<p class=\"note\">Damaged lines, read as far as they could be:";
        for (const DamagedLine& damaged : p_Summary.damaged) {
            out += " " + std::to_string(damaged.number) + " (" + HtmlEscape(damaged.why) + ")";
        }
        out += "</p>\n";
    }
    out += "</header>\n" + FindingsPart(p_Summary) + SectionsPart(p_Log, p_Summary);
    return out + PageEnd();
}

} // namespace LogReader
