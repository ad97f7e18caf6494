// Fixture for the sections of a run: a simulated machine and the run's report log, ready to be
// written to, and the log read back as its lines or as its bytes.
#pragma once

#include "report/SectionOutput.h"
#include "support/SimMachineTest.h"

#include <string>
#include <vector>

class SectionTest : public SimMachineTest {
protected:
    void SetUp() override;
    void TearDown() override;

    sim::Registry& Registry() { return Machine().registry; }

    // The log's bytes ("" before the log exists).
    std::string Log() const;
    // The log's lines without their CR LF, leaving out the empty lines and the rules of the
    // heading blocks, so that a heading shows as its text alone.
    std::vector<std::string> Lines() const;
    // The bytes of a heading block, as the log writes it.
    static std::string Heading(const std::string& text);
    // A plain line with its CR LF.
    static std::string Line(const std::string& text);

    // Seeds HKEY_CLASSES_ROOT with an association: the extension to the ProgID, and the ProgID's
    // "open" command.
    void Associate(const std::wstring& extension, const std::wstring& progId,
                   const std::wstring& command);
    // Writes an executable of the given machine type (0x14c or 0x8664) with a file version.
    void WriteExecutable(const std::string& windowsPath, uint16_t machine, uint32_t versionMS,
                         uint32_t versionLS) const;
    // The HKEY_LOCAL_MACHINE\Software path that the program's own view reads on this machine.
    std::wstring SoftwareKey(const std::wstring& rest) const;

    static constexpr const char* kLogFile = "C:\\users\\tester\\Temp\\Zanprobe7.txt";
    static constexpr const char* kDumpFile = "C:\\users\\tester\\Temp\\ZandorelRegDump.txt";
};
