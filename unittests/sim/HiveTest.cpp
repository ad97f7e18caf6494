// The hive reader on the small hives the hive fuzz target starts from: values keep their types
// and bytes, keys are read when first used (and their problems reported then, once), and two
// hives opened into one key are both read; only a file is opened.
#include "sim/Hive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

struct OpenedHive {
    explicit OpenedHive(const std::string& name, sim::RegKey* into = nullptr)
        : path(std::string(ZANPROBE_HIVE_SEEDS) + "/" + name) {
        read = sim::ReadHive(path, into != nullptr ? *into : branch, error,
                             [this](const std::string& problem) { problems.push_back(problem); });
    }
    std::string path;
    sim::RegKey branch{L"branch"};
    std::string error;
    std::vector<std::string> problems;
    bool read = false;
};

} // namespace

TEST(HiveTest, ValuesKeepTheirTypesAndBytes) {
    OpenedHive hive("hive-types");
    ASSERT_TRUE(hive.read) << hive.error;
    sim::RegKey* key = hive.branch.FindSubkey(L"zandorel");
    ASSERT_NE(key, nullptr);
    const struct {
        const wchar_t* name;
        DWORD type;
        std::string data;
    } cases[] = {
        {L"List", REG_MULTI_SZ, std::string("a\0\0\0b\0\0\0\0\0", 10)},
        {L"Big", REG_QWORD, "\x08\x07\x06\x05\x04\x03\x02\x01"},
        {L"Nothing", REG_NONE, ""},
        {L"Odd", 20, "\xde\xad"},
        {L"Short", REG_SZ, "A"},
    };
    for (const auto& expected : cases) {
        const sim::RegValue* value = key->FindValue(expected.name);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->type, expected.type);
        EXPECT_EQ(value->data, expected.data);
    }
    EXPECT_EQ(key->Values().size(), 9u);
    EXPECT_TRUE(hive.problems.empty());
}

TEST(HiveTest, ProblemsAreReportedOnceWhenTheirKeyIsFirstUsed) {
    OpenedHive hive("hive-loop");
    ASSERT_TRUE(hive.read) << hive.error;
    // The pending transaction logs are told at once; the loop only when it is reached.
    ASSERT_EQ(hive.problems.size(), 1u);
    EXPECT_NE(hive.problems[0].find("transaction logs"), std::string::npos);
    sim::RegKey* inner = hive.branch.FindSubkey(L"Loop")->FindSubkey(L"Inner");
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(hive.problems.size(), 1u);
    EXPECT_EQ(inner->SubkeyCount(), 0u);
    EXPECT_EQ(inner->SubkeyCount(), 0u);
    ASSERT_EQ(hive.problems.size(), 2u);
    EXPECT_EQ(hive.problems[1],
              hive.path +
                  ": key \"Loop\\Inner\\Loop\": it is a key met before (the hive's keys loop)");
}

TEST(HiveTest, TwoHivesOpenedIntoOneKeyAreBothRead) {
    for (bool usedBetween : {false, true}) {
        OpenedHive first("hive-types");
        if (usedBetween) {
            first.branch.SubkeyCount();
        }
        OpenedHive second("hive-international", &first.branch);
        ASSERT_TRUE(first.read && second.read);
        EXPECT_NE(first.branch.FindSubkey(L"Zandorel"), nullptr) << usedBetween;
        EXPECT_NE(first.branch.FindSubkey(L"Control Panel"), nullptr) << usedBetween;
    }
}

TEST(HiveTest, OnlyAFileIsOpened) {
    // A folder, and a named pipe that nobody writes to, which must not hold the run up.
    std::string pipe = testing::TempDir() + "hive-pipe";
    ::unlink(pipe.c_str());
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {std::string(ZANPROBE_HIVE_SEEDS), pipe}) {
        sim::RegKey branch(L"branch");
        std::string error;
        EXPECT_FALSE(sim::ReadHive(path, branch, error, nullptr));
        EXPECT_EQ(error, path + ": not a readable registry hive (not a file)");
    }
    ::unlink(pipe.c_str());
}
