#include "logreader/LogFolder.h"
#include "logreader/TestLogs.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace LogReader;

namespace {

namespace fs = std::filesystem;

std::string Summary(const fs::path& p_Folder, OutputFormat p_Format) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(SummarizeFolder(p_Folder.string(), p_Format, false, out, err), 0);
    EXPECT_EQ(err.str(), "");
    return out.str();
}

size_t Count(const std::string& p_Text, const std::string& p_Part) {
    size_t count = 0;
    for (size_t at = p_Text.find(p_Part); at != std::string::npos;
         at = p_Text.find(p_Part, at + 1)) {
        ++count;
    }
    return count;
}

// Two plain logs, a zip of two, a zip without a log and a file that is no log: a row for each,
// the kinds of finding counted once per log, most common first.
TEST(LogFolderTest, RowsPerLogAndKindsByHowManyLogsHaveThem) {
    fs::path folder = fs::path(::testing::TempDir()) / "zanprobe-folder";
    fs::remove_all(folder);
    fs::create_directories(folder / "site");
    std::string components = TestLogs::Bytes(TestLogs::WholeLog("components-32bit.log"));
    std::string inspection = TestLogs::Bytes(TestLogs::Inspection());
    std::ofstream(folder / "a.txt", std::ios::binary) << components;
    std::ofstream(folder / "site" / "b.txt", std::ios::binary) << inspection;
    std::ofstream(folder / "site" / "notes.bin", std::ios::binary) << "\x01\x02 no log";
    int error = 0;
    zip_t* archive = zip_open((folder / "c.zip").c_str(), ZIP_CREATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const char* name : {"pc1/Zanprobe7.txt", "pc2/Zanprobe7.txt"}) {
        zip_file_add(archive, name,
                     zip_source_buffer(archive, components.data(), components.size(), 0), 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
    archive = zip_open((folder / "empty.zip").c_str(), ZIP_CREATE, &error);
    zip_file_add(archive, "readme.md", zip_source_buffer(archive, "x", 1, 0), 0);
    ASSERT_EQ(zip_close(archive), 0);

    std::string text = Summary(folder, OutputFormat::Text);
    for (const char* row :
         {"  a.txt: Windows not in the log; Excel not found; Project not found; "
          "run 12/8/2026 3:04:05 PM; complete; 4 failed, 3 missing",
          "  c.zip/pc1/Zanprobe7.txt: ", "  c.zip/pc2/Zanprobe7.txt: ",
          "  empty.zip: no report log (the zip holds no .txt file)",
          "  site/b.txt: Windows 10 Pro (64-bit); ",
          "  site/notes.bin: no report log (line 1: ", "\n  3  VB6 runtime missing\n",
          "\n  1  Excel type library file missing\n", "4 logs, 2 other files"}) {
        EXPECT_NE(text.find(row), std::string::npos) << row << "\n" << text;
    }
    // Rows in name order; kinds by count: every 3 before every 1.
    EXPECT_LT(text.find("a.txt"), text.find("c.zip/pc1"));
    EXPECT_LT(text.find("c.zip/pc2"), text.find("site/b.txt"));
    EXPECT_LT(text.rfind("\n  3  "), text.find("\n  1  "));

    std::string json = Summary(folder, OutputFormat::Json);
    EXPECT_EQ(Count(json, "\"log\": true"), 4u) << json;
    EXPECT_EQ(Count(json, "\"log\": false"), 2u) << json;
    EXPECT_NE(json.find("{\"finding\": \"VB6 runtime missing\", \"logs\": 3}"), std::string::npos);
    EXPECT_NE(json.find("\"counts\": {\"logs\": 4, \"otherFiles\": 2}}"), std::string::npos);

    std::string csv = Summary(folder, OutputFormat::Csv);
    EXPECT_EQ(Count(csv, "\nlog,"), 6u) << csv;
    EXPECT_NE(csv.find("\nfinding,,,,,,,,,,,,VB6 runtime missing,3\n"), std::string::npos) << csv;
    for (size_t at = 0, next; (next = csv.find('\n', at)) != std::string::npos; at = next + 1) {
        std::string line = csv.substr(at, next - at);
        if (line.find('"') == std::string::npos) {
            EXPECT_EQ(Count(line, ","), 13u) << line;
        }
    }
}

} // namespace
