#include "support/SectionTest.h"

#include "golden/GoldenLog.h"
#include "logformat/LogFormat.h"
#include "report/SectionOutput.h"

void SectionTest::SetUp() {
    SimMachineTest::SetUp();
    g_LogFile = std::make_unique<ZPLogFile>();
    g_LogFile->Initialize();
}

void SectionTest::TearDown() {
    g_LogFile.reset();
    SimMachineTest::TearDown();
}

std::string SectionTest::Log() const {
    return HostFileExists(kLogFile) ? ReadHostFile(kLogFile) : "";
}

std::vector<std::string> SectionTest::Lines() const {
    std::vector<std::string> lines;
    for (std::string& line : GoldenLog::SplitLines(Log(), "\r\n")) {
        if (!line.empty() && line != LogFormat::HeadingStars() &&
            line != LogFormat::HeadingHyphens()) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

std::string SectionTest::Heading(const std::string& text) {
    return LogFormat::HeadingBlock(text);
}

std::string SectionTest::Line(const std::string& text) {
    return text + "\r\n";
}

std::string SectionTest::LogOf(const std::function<void()>& step) {
    g_LogFile->Initialize();
    step();
    return Log();
}

std::vector<std::string> SectionTest::LinesOf(const std::function<void()>& step) {
    LogOf(step);
    return Lines();
}
