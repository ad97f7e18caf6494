// Fixture for the inspection sections: a simulated machine and a fresh report log in its
// temporary folder, read back as the bytes the sections wrote.
#pragma once

#include "report/SectionOutput.h"
#include "support/SimMachineTest.h"

#include <string>

class InspectTest : public SimMachineTest {
protected:
    void SetUp() override {
        SimMachineTest::SetUp();
        g_LogFile = std::make_unique<ZPLogFile>();
        g_LogFile->Initialize();
    }
    void TearDown() override {
        g_LogFile.reset();
        SimMachineTest::TearDown();
    }

    sim::Registry& Registry() { return Machine().registry; }
    std::string Log() const { return ReadHostFile(kLogFile); }

    // A heading block as the log writes it.
    static std::string Heading(const std::string& p_Title) {
        return "\r\n\r\n\r\n" + std::string(68, '*') + "\r\n" + p_Title + "\r\n" +
               std::string(68, '-') + "\r\n";
    }

    static constexpr const char* kLogFile = "C:\\users\\tester\\Temp\\Zanprobe7.txt";
    static constexpr const char* kDumpFile = "C:\\users\\tester\\Temp\\ZandorelRegDump.txt";
};
