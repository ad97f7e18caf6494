#include "logreader/LogCompare.h"

#include "logreader/Alignment.h"
#include "logreader/OutputText.h"

#include <map>
#include <regex>

namespace LogReader {

namespace {

const char kStartLine[] = "Starting Zandorel Diagnostics: ";

// A section's name for matching: its heading and how many sections of that heading came
// before it, so that repeated headings pair up in order.
std::vector<std::string> SectionKeys(const ReportLog& p_Log) {
    std::map<std::string, int> seen;
    std::vector<std::string> keys;
    for (const LogSection& section : p_Log.sections) {
        keys.push_back(section.heading + '\n' + std::to_string(seen[section.heading]++));
    }
    return keys;
}

std::vector<LineChange> AllLines(const LogSection& p_Section, bool p_Added) {
    std::vector<LineChange> lines;
    for (const LogLine& line : p_Section.lines) {
        lines.push_back({p_Added, line});
    }
    return lines;
}

std::vector<LineChange> ChangedLines(const LogSection& p_Old, const LogSection& p_New) {
    std::vector<std::string> oldText;
    std::vector<std::string> newText;
    for (const LogLine& line : p_Old.lines) {
        oldText.push_back(ComparableText(line.text));
    }
    for (const LogLine& line : p_New.lines) {
        newText.push_back(ComparableText(line.text));
    }
    std::vector<LineChange> changes;
    for (const AlignmentStep& step : Align(oldText.size(), newText.size(), [&](size_t o, size_t n) {
             return oldText[o] == newText[n];
         })) {
        if (step.kind == AlignmentStep::Kind::OnlyOld) {
            changes.push_back({false, p_Old.lines[step.oldIndex]});
        } else if (step.kind == AlignmentStep::Kind::OnlyNew) {
            changes.push_back({true, p_New.lines[step.newIndex]});
        }
    }
    return changes;
}

std::string SectionName(const std::string& p_Heading) {
    return p_Heading.empty() ? std::string("(before the first section)")
                             : "[" + ToUtf8(p_Heading) + "]";
}

const char* KindName(SectionChange::Kind p_Kind) {
    switch (p_Kind) {
    case SectionChange::Kind::Added:
        return "added";
    case SectionChange::Kind::Removed:
        return "removed";
    case SectionChange::Kind::Changed:
        break;
    }
    return "changed";
}

} // namespace

std::string ComparableText(const std::string& p_Text) {
    if (p_Text.rfind(kStartLine, 0) == 0) {
        return kStartLine;
    }
    static const std::regex time(R"(\b\d{1,2}:\d{2}(:\d{2})?( ?[AaPp][Mm]\b)?)");
    static const std::regex freeSpace(R"((Dir\(s\)\s+)\S+( bytes free))");
    return std::regex_replace(std::regex_replace(p_Text, freeSpace, "$1<free>$2"), time, "<time>");
}

LogComparison CompareLogs(const ReportLog& p_Old, const ReportLog& p_New) {
    LogComparison comparison;
    comparison.oldComplete = p_Old.Complete();
    comparison.newComplete = p_New.Complete();
    comparison.oldConversion = p_Old.conversion;
    comparison.newConversion = p_New.conversion;
    std::vector<std::string> oldKeys = SectionKeys(p_Old);
    std::vector<std::string> newKeys = SectionKeys(p_New);
    for (const AlignmentStep& step : Align(oldKeys.size(), newKeys.size(), [&](size_t o, size_t n) {
             return oldKeys[o] == newKeys[n];
         })) {
        SectionChange change;
        if (step.kind == AlignmentStep::Kind::Both) {
            change.heading = p_New.sections[step.newIndex].heading;
            change.lines =
                ChangedLines(p_Old.sections[step.oldIndex], p_New.sections[step.newIndex]);
            if (change.lines.empty()) {
                continue;
            }
        } else if (step.kind == AlignmentStep::Kind::OnlyOld) {
            change.kind = SectionChange::Kind::Removed;
            change.heading = p_Old.sections[step.oldIndex].heading;
            change.lines = AllLines(p_Old.sections[step.oldIndex], false);
        } else {
            change.kind = SectionChange::Kind::Added;
            change.heading = p_New.sections[step.newIndex].heading;
            change.lines = AllLines(p_New.sections[step.newIndex], true);
        }
        for (const LineChange& line : change.lines) {
            ++(line.added ? comparison.linesAdded : comparison.linesRemoved);
        }
        comparison.sections.push_back(change);
    }
    return comparison;
}

std::string ComparisonText(const LogComparison& p_Comparison, const std::string& p_OldName,
                           const std::string& p_NewName) {
    std::string out =
        "Changes from " + p_OldName + " to " + p_NewName + " (times and free space not compared)\n";
    for (bool isNew : {false, true}) {
        const std::string& conversion =
            isNew ? p_Comparison.newConversion : p_Comparison.oldConversion;
        if (!conversion.empty()) {
            out += "Converted " + (isNew ? p_NewName : p_OldName) + ": " + conversion + "\n";
        }
    }
    for (const SectionChange& section : p_Comparison.sections) {
        out += "\n" + SectionName(section.heading);
        if (section.kind != SectionChange::Kind::Changed) {
            out += std::string(" section ") + KindName(section.kind);
        }
        out += "\n";
        for (const LineChange& line : section.lines) {
            out += std::string(line.added ? "  + " : "  - ") + std::to_string(line.line.number) +
                   ": " + ToUtf8(line.line.text) + "\n";
        }
    }
    out += "\n" + std::to_string(p_Comparison.sections.size()) +
           " sections differ: " + std::to_string(p_Comparison.linesRemoved) + " lines removed, " +
           std::to_string(p_Comparison.linesAdded) + " lines added\n";
    for (bool isNew : {false, true}) {
        if (!(isNew ? p_Comparison.newComplete : p_Comparison.oldComplete)) {
            out += "The " + std::string(isNew ? "new" : "old") +
                   " log is cut off: its terminator block is missing.\n";
        }
    }
    return out;
}

std::string ComparisonJson(const LogComparison& p_Comparison, const std::string& p_OldName,
                           const std::string& p_NewName) {
    std::string out = "{\"old\": " + JsonString(p_OldName) + ", \"new\": " + JsonString(p_NewName) +
                      ", \"oldComplete\": " + (p_Comparison.oldComplete ? "true" : "false") +
                      ", \"newComplete\": " + (p_Comparison.newComplete ? "true" : "false");
    if (!p_Comparison.oldConversion.empty()) {
        out += ", \"oldConverted\": " + JsonString(p_Comparison.oldConversion);
    }
    if (!p_Comparison.newConversion.empty()) {
        out += ", \"newConverted\": " + JsonString(p_Comparison.newConversion);
    }
    out += ",\n \"sections\": [";
    for (size_t s = 0; s < p_Comparison.sections.size(); ++s) {
        const SectionChange& section = p_Comparison.sections[s];
        out += std::string(s == 0 ? "" : ",") +
               "\n  {\"heading\": " + JsonString(ToUtf8(section.heading)) +
               ", \"change\": " + JsonString(KindName(section.kind)) + ", \"lines\": [";
        for (size_t l = 0; l < section.lines.size(); ++l) {
            const LineChange& line = section.lines[l];
            out += std::string(l == 0 ? "" : ",") +
                   "\n    {\"change\": " + (line.added ? "\"added\"" : "\"removed\"") +
                   ", \"line\": " + std::to_string(line.line.number) +
                   ", \"text\": " + JsonString(ToUtf8(line.line.text)) + "}";
        }
        out += "]}";
    }
    return out + "],\n \"linesRemoved\": " + std::to_string(p_Comparison.linesRemoved) +
           ", \"linesAdded\": " + std::to_string(p_Comparison.linesAdded) + "}\n";
}

} // namespace LogReader
