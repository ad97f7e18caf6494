// A run on a 64-bit machine with Office 16, the suite and a handful of settings of every kind the
// inspection sections read, compared with the expected log beside this file. The sections of
// the runtime, component and Office information steps are cut out by their headings, so that
// the same expected log serves the run of the Windows program under Wine on the same machine.
#include "golden/GoldenLog.h"
#include "golden/GoldenRunTest.h"

TEST_F(GoldenRunTest, InspectionSectionsOnSixtyFourBitMachineWithOffice16AndTheSuite) {
    Machine().is64Bit = true;
    SeedOfficeAndSettings();
    ExpectLog(GoldenLog::SelectSections(RunLog(), GoldenLog::kComponentSections, false),
              "inspection-64bit.log");
}
