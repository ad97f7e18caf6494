#include "report/SectionOutput.h"

#include <utility>

std::unique_ptr<ZPLogFile> g_LogFile;

namespace Report {

namespace {

SectionListener& Listener() {
    static SectionListener listener;
    return listener;
}

} // namespace

void WriteLine(const Text& p_Line) {
    if (g_LogFile) {
        g_LogFile->WriteToLogFile(p_Line, false);
    }
}

void WriteLogHeading(const Text& p_Heading) {
    if (g_LogFile) {
        g_LogFile->WriteToLogFile(p_Heading, true);
    }
}

void WriteSectionHeading(const Text& p_SectionName) {
    WriteLogHeading(p_SectionName);
    if (Listener()) {
        Listener()(p_SectionName);
    }
}

void SetSectionListener(SectionListener p_Listener) {
    Listener() = std::move(p_Listener);
}

} // namespace Report
