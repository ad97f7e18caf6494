#include "logreader/LogFolder.h"

#include "logreader/HtmlText.h"
#include "logreader/LogFacts.h"
#include "logreader/LogFile.h"
#include "logreader/LogPage.h"
#include "logreader/LogSummary.h"
#include "logreader/OutputText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <vector>

namespace LogReader {

namespace {

namespace fs = std::filesystem;

struct Row {
    std::string file;
    std::string error; // not empty: no log
    LogFacts facts;
    size_t counts[4] = {0, 0, 0, 0};
    size_t damaged = 0;
};

// The kinds of finding and how many logs have each.
using KindCounts = std::map<std::string, size_t>;

std::string KindOf(const SectionFindings& p_Section, const Finding& p_Finding) {
    if (p_Finding.rule != nullptr) {
        return p_Finding.rule->name;
    }
    static const char* const kinds[] = {"failed", "missing", "failure marker", "status"};
    return std::string("unexplained ") + kinds[static_cast<int>(p_Finding.kind)] + " line in [" +
           ToUtf8(p_Section.heading) + "]";
}

std::string CsvField(const std::string& p_Utf8) {
    if (p_Utf8.find_first_of(",\"\n\r") == std::string::npos) {
        return p_Utf8;
    }
    std::string out = "\"";
    for (char c : p_Utf8) {
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return out + "\"";
}

std::string CountsWords(const size_t (&p_Counts)[4]) {
    return std::to_string(p_Counts[0]) + " failed, " + std::to_string(p_Counts[1]) + " missing, " +
           std::to_string(p_Counts[2]) + " failure markers, " + std::to_string(p_Counts[3]) +
           " status lines";
}

// "3 logs, 1 other file".
std::string Tally(size_t p_Logs, size_t p_Others) {
    return std::to_string(p_Logs) + (p_Logs == 1 ? " log, " : " logs, ") +
           std::to_string(p_Others) + (p_Others == 1 ? " other file" : " other files");
}

// Writes the rows as they come, in one format, and the kinds at the end.
class Writer {
public:
    Writer(OutputFormat p_Format, const std::string& p_Folder, std::ostream& p_Out)
        : m_Format(p_Format), m_Folder(p_Folder), m_Out(p_Out) {}

    void Start() {
        switch (m_Format) {
        case OutputFormat::Text:
            m_Out << "Logs under " << m_Folder << "\n";
            break;
        case OutputFormat::Json:
            m_Out << "{\"folder\": " << JsonString(m_Folder) << ",\n \"logs\": [";
            break;
        case OutputFormat::Csv:
            m_Out << "record,file,date,windows,excel,project,complete,failed,missing,"
                     "failureMarkers,statusLines,damagedLines,finding,logs\n";
            break;
        case OutputFormat::Html:
            // The table of kinds comes first: the rows wait in a temporary file.
            m_Rows = std::tmpfile();
            break;
        }
    }

    void Add(const Row& p_Row) {
        ++m_Logs;
        m_NoLogs += p_Row.error.empty() ? 0 : 1;
        std::string date = ToUtf8(p_Row.facts.date);
        std::string windows = ToUtf8(p_Row.facts.windows);
        std::string excel = ToUtf8(p_Row.facts.excel);
        std::string project = ToUtf8(p_Row.facts.project);
        const char* state = p_Row.facts.complete ? "complete" : "cut off";
        switch (m_Format) {
        case OutputFormat::Text:
            if (!p_Row.error.empty()) {
                m_Out << "  " << p_Row.file << ": no report log (" << p_Row.error << ")\n";
            } else {
                m_Out << "  " << p_Row.file << ": " << FactsLine(p_Row.facts) << "; "
                      << CountsWords(p_Row.counts)
                      << (p_Row.damaged ? "; " + std::to_string(p_Row.damaged) + " damaged lines"
                                        : "")
                      << "\n";
            }
            break;
        case OutputFormat::Json:
            m_Out << (m_Logs == 1 ? "" : ",") << "\n  {\"file\": " << JsonString(p_Row.file);
            if (!p_Row.error.empty()) {
                m_Out << ", \"log\": false, \"error\": " << JsonString(p_Row.error) << "}";
                break;
            }
            m_Out << ", \"log\": true, \"date\": " << JsonString(date)
                  << ", \"windows\": " << JsonString(windows)
                  << ", \"excel\": " << JsonString(excel)
                  << ", \"project\": " << JsonString(project)
                  << ", \"complete\": " << (p_Row.facts.complete ? "true" : "false")
                  << ", \"failed\": " << p_Row.counts[0] << ", \"missing\": " << p_Row.counts[1]
                  << ", \"failureMarkers\": " << p_Row.counts[2]
                  << ", \"statusLines\": " << p_Row.counts[3]
                  << ", \"damagedLines\": " << p_Row.damaged << "}";
            break;
        case OutputFormat::Csv:
            m_Out << "log," << CsvField(p_Row.file) << ",";
            if (!p_Row.error.empty()) {
                m_Out << ",,,,no report log: " << CsvField(p_Row.error) << ",,,,,,,\n";
                break;
            }
            m_Out << CsvField(date) << "," << CsvField(windows) << "," << CsvField(excel) << ","
                  << CsvField(project) << "," << state << "," << p_Row.counts[0] << ","
                  << p_Row.counts[1] << "," << p_Row.counts[2] << "," << p_Row.counts[3] << ","
                  << p_Row.damaged << ",,\n";
            break;
        case OutputFormat::Html: {
            std::string row = "<tr><td>" + HtmlEscape(p_Row.file) + "</td>";
            if (!p_Row.error.empty()) {
                row += "<td colspan=\"10\">no report log: " + HtmlEscape(p_Row.error) + "</td>";
            } else {
                row += "<td>" + HtmlEscape(date) + "</td><td>" + HtmlEscape(windows) + "</td><td>" +
                       HtmlEscape(excel) + "</td><td>" + HtmlEscape(project) + "</td><td>" + state +
                       "</td>";
                for (size_t count : p_Row.counts) {
                    row += "<td class=\"n\">" + std::to_string(count) + "</td>";
                }
                row += "<td class=\"n\">" + std::to_string(p_Row.damaged) + "</td>";
            }
            row += "</tr>\n";
            if (m_Rows != nullptr) {
                std::fwrite(row.data(), 1, row.size(), m_Rows);
            }
            break;
        }
        }
    }

    void Finish(const KindCounts& p_Kinds) {
        std::vector<std::pair<std::string, size_t>> kinds(p_Kinds.begin(), p_Kinds.end());
        std::stable_sort(kinds.begin(), kinds.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        size_t logs = m_Logs - m_NoLogs;
        switch (m_Format) {
        case OutputFormat::Text:
            m_Out << "\nFindings by how many of the " << logs << " logs have them:\n";
            for (const auto& kind : kinds) {
                m_Out << "  " << kind.second << "  " << kind.first << "\n";
            }
            if (kinds.empty()) {
                m_Out << "  none\n";
            }
            m_Out << "\n" << Tally(logs, m_NoLogs) << "\n";
            break;
        case OutputFormat::Json:
            m_Out << "],\n \"findings\": [";
            for (size_t i = 0; i < kinds.size(); ++i) {
                m_Out << (i == 0 ? "" : ",") << "\n  {\"finding\": " << JsonString(kinds[i].first)
                      << ", \"logs\": " << kinds[i].second << "}";
            }
            m_Out << "],\n \"counts\": {\"logs\": " << logs << ", \"otherFiles\": " << m_NoLogs
                  << "}}\n";
            break;
        case OutputFormat::Csv:
            for (const auto& kind : kinds) {
                m_Out << "finding,,,,,,,,,,,," << CsvField(kind.first) << "," << kind.second
                      << "\n";
            }
            break;
        case OutputFormat::Html:
            m_Out << PageStart("Zanprobe 7 logs under " + m_Folder) << "<h1>Report logs under "
                  << HtmlEscape(m_Folder) << "</h1>\n<p class=\"counts\">" << Tally(logs, m_NoLogs)
                  << "</p>\n<section id=\"kinds\">\n<h2>Findings by how "
                  << "many logs have them</h2>\n<table>\n<tr><th>Logs</th><th>Finding</th></tr>\n";
            for (const auto& kind : kinds) {
                m_Out << "<tr><td class=\"n\">" << kind.second << "</td><td>"
                      << HtmlEscape(kind.first) << "</td></tr>\n";
            }
            m_Out << "</table>\n</section>\n<section id=\"logs\">\n<h2>Logs</h2>\n<table>\n"
                  << "<tr><th>File</th><th>Run</th><th>Windows</th><th>Excel</th><th>Project</th>"
                  << "<th>Log</th><th>Failed</th><th>Missing</th><th>Failure markers</th>"
                  << "<th>Status lines</th><th>Damaged lines</th></tr>\n";
            if (m_Rows != nullptr) {
                std::rewind(m_Rows);
                char buffer[1 << 16];
                size_t read = 0;
                while ((read = std::fread(buffer, 1, sizeof buffer, m_Rows)) > 0) {
                    m_Out.write(buffer, static_cast<std::streamsize>(read));
                }
                std::fclose(m_Rows);
                m_Rows = nullptr;
            }
            m_Out << "</table>\n</section>\n" << PageEnd();
            break;
        }
    }

private:
    OutputFormat m_Format;
    std::string m_Folder;
    std::ostream& m_Out;
    std::FILE* m_Rows = nullptr;
    size_t m_Logs = 0;
    size_t m_NoLogs = 0;
};

Row RowOf(const std::string& p_File, const std::string& p_Bytes, KindCounts& p_Kinds) {
    Row row;
    row.file = p_File;
    ReadResult read = ReadReportLog(p_Bytes);
    if (!read.ok) {
        row.error = (read.errorLine != 0 ? "line " + std::to_string(read.errorLine) + ": " : "") +
                    read.error;
        return row;
    }
    row.facts = FactsOf(read.log);
    row.damaged = read.log.damaged.size();
    LogSummary summary = Summarize(read.log);
    std::set<std::string> kinds;
    for (const SectionFindings& section : summary.sections) {
        for (const Finding& finding : section.findings) {
            kinds.insert(KindOf(section, finding));
        }
    }
    for (const std::string& kind : kinds) {
        ++p_Kinds[kind];
    }
    std::copy(std::begin(summary.counts), std::end(summary.counts), row.counts);
    return row;
}

// The files under a folder, each folder's entries in name order.
void Walk(const fs::path& p_Folder, const std::function<void(const fs::path&)>& p_Each) {
    std::vector<fs::directory_entry> entries;
    std::error_code error;
    for (fs::directory_iterator it(p_Folder, error), end; !error && it != end;
         it.increment(error)) {
        entries.push_back(*it);
    }
    std::sort(entries.begin(), entries.end());
    for (const fs::directory_entry& entry : entries) {
        if (entry.is_directory(error) && !entry.is_symlink(error)) {
            Walk(entry.path(), p_Each);
        } else if (entry.is_regular_file(error)) {
            p_Each(entry.path());
        }
    }
}

// A line on the terminal once the work takes more than a second, updated a few times a second.
class Progress {
public:
    Progress(bool p_Shown, std::ostream& p_Err) : m_Shown(p_Shown), m_Err(p_Err) {}
    void Step(size_t p_Files) {
        if (!m_Shown) {
            return;
        }
        auto now = std::chrono::steady_clock::now();
        if (now - m_Start < std::chrono::seconds(1) ||
            now - m_Last < std::chrono::milliseconds(200)) {
            return;
        }
        m_Last = now;
        m_Err << "\rzanprobe7: " << p_Files << " files read..." << std::flush;
        m_Written = true;
    }
    void End() {
        if (m_Written) {
            m_Err << "\r\033[K" << std::flush;
        }
    }

private:
    bool m_Shown;
    std::ostream& m_Err;
    std::chrono::steady_clock::time_point m_Start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point m_Last;
    bool m_Written = false;
};

} // namespace

int SummarizeFolder(const std::string& p_Folder, OutputFormat p_Format, bool p_Progress,
                    std::ostream& p_Out, std::ostream& p_Err) {
    Writer writer(p_Format, p_Folder, p_Out);
    KindCounts kinds;
    Progress progress(p_Progress, p_Err);
    size_t files = 0;
    writer.Start();
    Walk(p_Folder, [&](const fs::path& p_Path) {
        std::string name = p_Path.lexically_relative(p_Folder).generic_string();
        std::string bytes;
        std::string error;
        if (!ReadFileBytes(p_Path.string(), bytes, error)) {
            Row row;
            row.file = name;
            row.error = error;
            writer.Add(row);
        } else if (!IsZip(bytes)) {
            writer.Add(RowOf(name, bytes, kinds));
        } else {
            // A zip: each of its .txt files is a log of its own.
            size_t texts = 0;
            bool read = ForEachZipText(
                bytes,
                [&](const std::string& entry, const std::string& text) {
                    ++texts;
                    writer.Add(RowOf(name + "/" + entry, text, kinds));
                },
                error);
            if (!read || texts == 0) {
                Row row;
                row.file = name;
                row.error = read ? "the zip holds no .txt file" : error;
                writer.Add(row);
            }
        }
        progress.Step(++files);
    });
    progress.End();
    writer.Finish(kinds);
    return 0;
}

} // namespace LogReader
