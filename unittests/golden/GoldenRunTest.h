// Fixture for the golden tests: the machines whose runs are compared with the expected logs
// beside the tests, built from a few composite facts, and the log of a run.
#pragma once

#include "support/SectionTest.h"

#include <cstdint>
#include <string>
#include <vector>

class GoldenRunTest : public SectionTest {
protected:
    void TearDown() override;

    // 64-bit Windows 10 with the FIPS policy and .NET 4; the suite's main and system folders
    // with two files of known size and date; regional settings; Excel's options, add-ins and
    // disabled items; 64-bit Excel 16 with a type library registration left over from Office
    // 14; Office security policy and user values and trusted locations.
    void SeedOfficeAndSettings();
    // DEP settings, the VB6 and VC2013 run-times, Excel and Project (of the given machine type)
    // in p_OfficeFolder with an add-in in XLSTART, the suite's system folder with its utility
    // library, ORVEX, and the suite's three COM classes registered and creatable.
    void SeedRuntimesAndComponents(const std::string& p_OfficeFolder, uint16_t p_Machine);

    // The lines of the whole log of a complete run, the drive's free space masked.
    std::vector<std::string> RunLog();
    // Compares lines with an expected log, naming the first line that differs.
    static void ExpectLog(const std::vector<std::string>& p_Actual, const std::string& p_Expected);
};
