#include "logreader/LogCommands.h"
#include "logreader/LogCompare.h"
#include "logreader/TestLogs.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdio>
#include <fstream>

using namespace LogReader;

namespace {

// The inspection log with a few characters of Windows-1252's upper half, as the program writes
// it: "é" and the euro sign in a registry value.
std::string Original() {
    std::vector<std::string> lines = TestLogs::Inspection();
    lines[55] += " caf\xE9 \x80";
    return TestLogs::Bytes(lines);
}

std::string WithLf(const std::string& p_Bytes) {
    std::string out;
    for (char c : p_Bytes) {
        if (c != '\r') {
            out += c;
        }
    }
    return out;
}

// Windows-1252 to UTF-8 for the few characters the original holds.
std::string Utf8(const std::string& p_Bytes) {
    std::string out;
    for (char c : p_Bytes) {
        out += c == '\xE9'   ? std::string("\xC3\xA9")
               : c == '\x80' ? std::string("\xE2\x82\xAC")
                             : std::string(1, c);
    }
    return out;
}

std::string Utf16(const std::string& p_Utf8Bytes) {
    std::string out = "\xFF\xFE";
    for (size_t i = 0; i < p_Utf8Bytes.size(); ++i) {
        unsigned code = static_cast<unsigned char>(p_Utf8Bytes[i]);
        if (code == 0xC3) {
            code = 0xC0 | (static_cast<unsigned char>(p_Utf8Bytes[++i]) & 0x3F);
        } else if (code == 0xE2) {
            code = 0x20AC;
            i += 2;
        }
        out += static_cast<char>(code & 0xFF);
        out += static_cast<char>(code >> 8);
    }
    return out;
}

std::string TempPath(const std::string& p_Name) {
    return ::testing::TempDir() + "zanprobe-reader-" + p_Name;
}

void WriteFile(const std::string& p_Path, const std::string& p_Bytes) {
    std::ofstream(p_Path, std::ios::binary) << p_Bytes;
}

// A zip holding the given files, written with libzip.
void WriteZip(const std::string& p_Path,
              const std::vector<std::pair<std::string, std::string>>& p_Files) {
    std::remove(p_Path.c_str());
    int error = 0;
    zip_t* archive = zip_open(p_Path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& file : p_Files) {
        zip_source_t* source =
            zip_source_buffer(archive, file.second.data(), file.second.size(), 0);
        ASSERT_GE(zip_file_add(archive, file.first.c_str(), source, ZIP_FL_OVERWRITE), 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

// Every form in which a log arrives reads as the program's own bytes, says what was converted,
// and compares equal to the original.
TEST(LogDecodingTest, ReadsLogsAsTheyArrive) {
    const std::string original = Original();
    const std::string utf8 = Utf8(original);
    WriteZip(TempPath("zipped.zip"), {{"readme.md", "x"}, {"Zanprobe7.txt", WithLf(utf8)}});
    const struct {
        const char* what;
        std::string bytes; // empty: the zip
        const char* conversion;
    } cases[] = {
        {"as written", original, ""},
        {"LF", WithLf(original), "LF line ends"},
        {"UTF-8", utf8, "UTF-8"},
        {"UTF-8 with BOM, LF", "\xEF\xBB\xBF" + WithLf(utf8),
         "UTF-8 with a byte-order mark, LF line ends"},
        {"UTF-16LE", Utf16(utf8), "UTF-16LE with a byte-order mark"},
        {"zipped", "", "unzipped Zanprobe7.txt, UTF-8, LF line ends"},
    };
    ReportLog expected = ReadReportLog(original).log;
    for (const auto& c : cases) {
        std::string path = TempPath("arrived.txt");
        if (!c.bytes.empty()) {
            WriteFile(path, c.bytes);
        } else {
            path = TempPath("zipped.zip");
        }
        ReadResult read = ReadLog(path);
        ASSERT_TRUE(read.ok) << c.what << ": " << read.error;
        EXPECT_EQ(read.log.conversion, c.conversion) << c.what;
        EXPECT_TRUE(read.log.damaged.empty()) << c.what << ": " << read.log.damaged[0].why;
        EXPECT_TRUE(read.log.Complete()) << c.what;
        ASSERT_EQ(read.log.sections.size(), expected.sections.size()) << c.what;
        EXPECT_EQ(read.log.sections[1].lines.back().text, expected.sections[1].lines.back().text);
        LogComparison comparison = CompareLogs(expected, read.log);
        EXPECT_TRUE(comparison.sections.empty())
            << c.what << ": " << ComparisonText(comparison, "original", c.what);
    }
}

// A byte that UTF-8 cannot hold names its line; the rest is still read as UTF-8.
TEST(LogDecodingTest, NamesUndecodableLines) {
    std::string utf8 = Utf8(Original());
    size_t line12 = 0;
    for (int line = 0; line < 11; ++line) {
        line12 = utf8.find("\r\n", line12) + 2;
    }
    utf8.insert(line12 + 2, "\xFF");
    ReadResult read = ReadReportLog(utf8);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.log.conversion, "UTF-8");
    ASSERT_EQ(read.log.damaged.size(), 1u);
    EXPECT_EQ(read.log.damaged[0].number, 12u);
    EXPECT_NE(read.log.damaged[0].why.find("no UTF-8 text"), std::string::npos);
}

TEST(LogDecodingTest, RefusesZipsWithoutOneLog) {
    WriteZip(TempPath("two.zip"), {{"a.txt", "x"}, {"b.TXT", "y"}});
    WriteZip(TempPath("none.zip"), {{"a.md", "x"}});
    WriteFile(TempPath("broken.zip"), "PK\x03\x04 not really");
    const struct {
        const char* name;
        const char* why;
    } cases[] = {{"two.zip", "more than one .txt"},
                 {"none.zip", "no .txt"},
                 {"broken.zip", "cannot be read"},
                 {"missing.zip", "cannot be read"}};
    for (const auto& c : cases) {
        ReadResult read = ReadLog(TempPath(c.name));
        EXPECT_FALSE(read.ok) << c.name;
        EXPECT_NE(read.error.find(c.why), std::string::npos) << c.name << ": " << read.error;
    }
}

} // namespace
