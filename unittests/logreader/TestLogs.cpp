#include "logreader/TestLogs.h"

#include "golden/GoldenLog.h"
#include "logformat/LogFormat.h"

namespace TestLogs {

std::string Bytes(const std::vector<std::string>& p_Lines) {
    std::string bytes;
    for (const std::string& line : p_Lines) {
        bytes += line + "\r\n";
    }
    return bytes;
}

std::vector<std::string> Inspection() {
    return GoldenLog::ReadExpected("inspection-64bit.log");
}

std::vector<std::string> WholeLog(const std::string& p_GoldenName) {
    std::vector<std::string> lines = {"Starting Zandorel Diagnostics: 12/8/2026 3:04:05 PM",
                                      "Diagnostic Utility Version: 7.0.27",
                                      "Log File Path = C:\\users\\tester\\Temp\\Zanprobe7.txt"};
    for (const std::string& line : GoldenLog::ReadExpected(p_GoldenName)) {
        lines.push_back(line);
    }
    for (const std::string& line :
         {std::string(), LogFormat::TerminatorRule(), std::string(LogFormat::kTerminatorText)}) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace TestLogs
