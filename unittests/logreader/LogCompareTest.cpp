#include "logreader/LogCompare.h"

#include "logformat/LogFormat.h"
#include "logreader/Alignment.h"
#include "logreader/TestLogs.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace LogReader;

namespace {

ReportLog Read(const std::vector<std::string>& p_Lines) {
    ReadResult read = ReadReportLog(TestLogs::Bytes(p_Lines));
    EXPECT_TRUE(read.ok) << read.errorLine << ": " << read.error;
    return read.log;
}

size_t Find(const std::vector<std::string>& p_Lines, const std::string& p_Text) {
    return static_cast<size_t>(std::find(p_Lines.begin(), p_Lines.end(), p_Text) - p_Lines.begin());
}

TEST(LogCompareTest, IgnoresTimesAndFreeSpace) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"Starting Zandorel Diagnostics: 12/8/2026 3:04:05 PM",
         "Starting Zandorel Diagnostics: 1/9/2027 11:59:00 AM", true},
        {"               0 Dir(s)  1,234,567 bytes free", "               0 Dir(s)  98 bytes free",
         true},
        {"11/03/2026  09:15 AM            12,345 ZanUtility7.dll",
         "11/03/2026  10:47 PM            12,345 ZanUtility7.dll", true},
        {"11/03/2026  09:15 AM            12,345 ZanUtility7.dll",
         "11/03/2026  09:15 AM            12,346 ZanUtility7.dll", false},
        {"11/03/2026  09:15 AM  12 a.dll", "11/04/2026  09:15 AM  12 a.dll", false},
        {"Version = 16.0.4266.1001", "Version = 16.0.4266.1002", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComparableText(c.a) == ComparableText(c.b), c.same) << c.a << " / " << c.b;
    }
}

TEST(LogCompareTest, ListsTheChangedSectionsAndLinesInTheOrderOfTheRun) {
    std::vector<std::string> oldLines = TestLogs::Inspection();
    std::vector<std::string> newLines = oldLines;
    newLines[0] = "Starting Zandorel Diagnostics: 12/9/2026 8:00:00 AM";
    newLines[Find(newLines, "               0 Dir(s)  <free> bytes free")] =
        "               0 Dir(s)  1,024 bytes free";
    size_t security = Find(newLines, "Test of AutomationSecurity registry value: Failed "
                                     "(HKCU\\software\\policies\\microsoft\\office\\common\\"
                                     "security!automationsecurity=3)");
    newLines[security] = "Test of AutomationSecurity registry value: Passed";
    // The .NET x64 section is gone (as on a 32-bit Windows), a section is added at the end.
    size_t x64 = Find(newLines, ".NET 4.0 Framework x64") - 4;
    newLines.erase(newLines.begin() + x64, newLines.begin() + x64 + 8);
    newLines.insert(newLines.end() - 3,
                    {"", "", "", LogFormat::HeadingStars(), "Contents of C:\\New",
                     LogFormat::HeadingHyphens(), "a.txt"});
    EXPECT_EQ(ComparisonText(CompareLogs(Read(oldLines), Read(newLines)), "old.txt", "new.txt"),
              "Changes from old.txt to new.txt (times and free space not compared)\n"
              "\n[.NET 4.0 Framework x64] section removed\n"
              "  - 36: Framework Directory = C:\\windows\\Microsoft.NET\\Framework64\\v4.0.30319\n"
              "  - 37: Status: File mscorlib.dll not found.\n"
              "\n[Registry Security Tests]\n"
              "  - 290: Test of AutomationSecurity registry value: Failed "
              "(HKCU\\software\\policies\\microsoft\\office\\common\\security!"
              "automationsecurity=3)\n"
              "  + 282: Test of AutomationSecurity registry value: Passed\n"
              "\n[Contents of C:\\New] section added\n"
              "  + 412: a.txt\n"
              "\n3 sections differ: 3 lines removed, 2 lines added\n");

    newLines.resize(100);
    std::string json = ComparisonJson(CompareLogs(Read(oldLines), Read(newLines)), "o", "n");
    EXPECT_EQ(json.rfind("{\"old\": \"o\", \"new\": \"n\", \"oldComplete\": true, "
                         "\"newComplete\": false,",
                         0),
              0u)
        << json;
}

// A middle too large for the table is reported as removed and added, still in order.
TEST(LogCompareTest, AlignsWithinTheTableLimit) {
    const std::string oldItems = "abXcdYe";
    const std::string newItems = "abcZde";
    for (size_t cells : {size_t{1} << 20, size_t{4}}) {
        std::string steps;
        for (const AlignmentStep& step : Align(
                 oldItems.size(), newItems.size(),
                 [&](size_t o, size_t n) { return oldItems[o] == newItems[n]; }, cells)) {
            steps += step.kind == AlignmentStep::Kind::Both
                         ? std::string("=") + oldItems[step.oldIndex]
                     : step.kind == AlignmentStep::Kind::OnlyOld
                         ? std::string("-") + oldItems[step.oldIndex]
                         : std::string("+") + newItems[step.newIndex];
        }
        EXPECT_EQ(steps, cells > 4 ? "=a=b-X=c+Z=d-Y=e" : "=a=b-X-c-d-Y+c+Z+d=e") << cells;
    }
}

} // namespace
