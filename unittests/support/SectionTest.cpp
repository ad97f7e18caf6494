#include "support/SectionTest.h"

#include "report/SectionOutput.h"
#include "support/PeBuilder.h"

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
    std::string log = Log();
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find("\r\n", start);
        if (end == std::string::npos) {
            end = log.size();
        }
        std::string line = log.substr(start, end - start);
        bool rule =
            line.size() == 68 && (line == std::string(68, '*') || line == std::string(68, '-'));
        if (!line.empty() && !rule) {
            lines.push_back(line);
        }
        start = end + 2;
    }
    return lines;
}

std::string SectionTest::Heading(const std::string& text) {
    return "\r\n\r\n\r\n" + std::string(68, '*') + "\r\n" + text + "\r\n" + std::string(68, '-') +
           "\r\n";
}

std::string SectionTest::Line(const std::string& text) {
    return text + "\r\n";
}

void SectionTest::Associate(const std::wstring& extension, const std::wstring& progId,
                            const std::wstring& command) {
    Machine().registry.SetString(L"HKCR\\" + extension, L"", progId);
    Machine().registry.SetString(L"HKCR\\" + progId + L"\\shell\\open\\command", L"", command);
}

void SectionTest::WriteExecutable(const std::string& windowsPath, uint16_t machine,
                                  uint32_t versionMS, uint32_t versionLS) const {
    PeLayout layout;
    layout.machine = machine;
    layout.fileVersionMS = versionMS;
    layout.fileVersionLS = versionLS;
    WriteHostFile(windowsPath, BuildPe(layout));
}

std::wstring SectionTest::SoftwareKey(const std::wstring& rest) const {
    return sim::CurrentMachine().is64Bit ? L"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\" + rest
                                         : L"HKEY_LOCAL_MACHINE\\Software\\" + rest;
}
