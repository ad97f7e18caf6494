// Fixture for the sections of a run: a simulated machine and the run's report log, ready to be
// written to, and the log read back as its lines or as its bytes.
#pragma once

#include "report/SectionOutput.h"
#include "support/SimMachineTest.h"

#include <functional>
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

    // The log started afresh, a step run, and what the step wrote: the bytes or the lines.
    std::string LogOf(const std::function<void()>& step);
    std::vector<std::string> LinesOf(const std::function<void()>& step);
    // The HKEY_LOCAL_MACHINE\Software path that the program's own view reads on this machine.
    std::wstring SoftwareKey(const std::wstring& rest) const { return Given().SoftwareKey(rest); }

    static constexpr const char* kLogFile = "C:\\users\\tester\\Temp\\Zanprobe7.txt";
    static constexpr const char* kDumpFile = "C:\\users\\tester\\Temp\\ZandorelRegDump.txt";
};
