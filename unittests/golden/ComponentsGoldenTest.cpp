// The runtime, DEP, Office information, component and ORVEX sections of a run on a 64-bit
// machine with Excel, Project, the suite and ORVEX, compared with the expected log beside this
// file; the other sections are cut out by their headings.
#include "golden/GoldenLog.h"
#include "golden/GoldenRunTest.h"

TEST_F(GoldenRunTest, ComponentSectionsOnSixtyFourBitMachineWithEverythingInstalled) {
    Machine().is64Bit = true;
    SeedRuntimesAndComponents("C:\\Program Files\\Microsoft Office\\root\\Office16", 0x8664);
    ExpectLog(GoldenLog::SelectSections(RunLog(), GoldenLog::kComponentSections, true),
              "components-64bit.log");
}
