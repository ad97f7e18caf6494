#include "logreader/LogFacts.h"

#include "logformat/LogFormat.h"
#include "logreader/OutputText.h"

namespace LogReader {

namespace {

std::string After(const std::string& p_Text, const std::string& p_Start) {
    return p_Text.rfind(p_Start, 0) == 0 ? p_Text.substr(p_Start.size()) : std::string();
}

// "16.0.4266.1001, 64-bit" from a program's section, "not found" when it says so.
std::string ProgramFacts(const LogSection& p_Section, const std::string& p_Name) {
    std::string version;
    std::string bitness;
    for (const LogLine& line : p_Section.lines) {
        if (line.text == "Program not found") {
            return "not found";
        }
        if (line.text.rfind("Version = ", 0) == 0) {
            version = After(line.text, "Version = ");
        } else if (line.text.rfind(p_Name + " is 64-bit", 0) == 0) {
            bitness = "64-bit";
        } else if (line.text.rfind(p_Name + " is 32-bit", 0) == 0) {
            bitness = "32-bit";
        }
    }
    if (version.empty()) {
        version = "version unknown";
    }
    return bitness.empty() ? version : version + ", " + bitness;
}

} // namespace

LogFacts FactsOf(const ReportLog& p_Log) {
    LogFacts facts;
    facts.complete = p_Log.Complete();
    for (const LogSection& section : p_Log.sections) {
        if (section.heading.empty() && !section.lines.empty()) {
            facts.date = After(section.lines[0].text, LogFormat::kPreambleStarts[0]);
        } else if (section.heading == "Windows OS Information") {
            for (const LogLine& line : section.lines) {
                if (line.text.rfind("Windows Version = ", 0) == 0) {
                    facts.windows = After(line.text, "Windows Version = ");
                }
            }
        } else if (section.heading == "Basic Excel Information") {
            facts.excel = ProgramFacts(section, "Excel");
        } else if (section.heading == "Basic Project Information") {
            facts.project = ProgramFacts(section, "Project");
        }
    }
    return facts;
}

std::string FactsLine(const LogFacts& p_Facts) {
    auto orUnknown = [](const std::string& p_Text) {
        return p_Text.empty() ? std::string("not in the log") : ToUtf8(p_Text);
    };
    return (p_Facts.windows.empty() ? std::string("Windows not in the log")
                                    : ToUtf8(p_Facts.windows)) +
           "; Excel " + orUnknown(p_Facts.excel) + "; Project " + orUnknown(p_Facts.project) +
           "; run " + orUnknown(p_Facts.date) + "; " + (p_Facts.complete ? "complete" : "cut off");
}

} // namespace LogReader
