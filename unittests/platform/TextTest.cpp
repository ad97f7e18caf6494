#include "platform/text.h"
#include "platform/error.h"
#include "platform/files.h"
#include "support/SimMachineTest.h"
#include "winapi/winapi_testing.h"

using namespace Utilities;

TEST(TextHelpers, TrimAtNullCutsAtTheFirstNul) {
    EXPECT_EQ(TrimAtNull(Text(L"\0abc", 4)), L"");
    EXPECT_EQ(TrimAtNull(Text(L"ab\0c\0", 5)), L"ab");
    EXPECT_EQ(TrimAtNull(L"abc"), L"abc");
    EXPECT_EQ(TrimAtNull(L""), L"");
}

TEST(TextHelpers, SafeLeftAndRightNeverFail) {
    EXPECT_EQ(SafeLeft(L"abc", 5), L"abc");
    EXPECT_EQ(SafeLeft(L"abc", 2), L"ab");
    EXPECT_EQ(SafeLeft(L"abc", 0), L"");
    EXPECT_EQ(SafeLeft(L"abc", -1), L"");
    EXPECT_EQ(SafeRight(L"abc", 5), L"abc");
    EXPECT_EQ(SafeRight(L"abc", 2), L"bc");
    EXPECT_EQ(SafeRight(L"abc", 0), L"");
    EXPECT_EQ(SafeRight(L"abc", -32768), L"");
}

TEST(TextHelpers, EndsWith) {
    EXPECT_TRUE(EndsWith(L"", L"", true));
    EXPECT_TRUE(EndsWith(L"abc", L"", false));
    EXPECT_FALSE(EndsWith(L"", L"a", false));
    EXPECT_TRUE(EndsWith(L"C:\\Temp\\Book1.XLS", L"book1.xls", false));
    EXPECT_FALSE(EndsWith(L"C:\\Temp\\Book1.XLS", L"book1.xls", true));
    EXPECT_TRUE(EndsWith(L"C:\\Temp\\Book1.XLS", L"Book1.XLS", true));
    EXPECT_FALSE(EndsWith(L"xls", L"a.xls", false));
    EXPECT_TRUE(EndsWith(L"\u00c9T\u00c9", L"\u00e9t\u00e9", false));
}

TEST(TextHelpers, RemoveTrailingTakesOneOccurrence) {
    EXPECT_EQ(RemoveTrailing(L"C:\\Temp\\", L"\\"), L"C:\\Temp");
    EXPECT_EQ(RemoveTrailing(L"\\", L"\\"), L"");
    EXPECT_EQ(RemoveTrailing(L"C:\\Temp", L"\\"), L"C:\\Temp");
    EXPECT_EQ(RemoveTrailing(L"C:\\Temp\\\\", L"\\"), L"C:\\Temp\\");
    EXPECT_EQ(RemoveTrailing(L"SETUP.EXE", L".exe"), L"SETUP");
    EXPECT_EQ(RemoveTrailing(L"", L"x"), L"");
    EXPECT_EQ(RemoveTrailing(L"abc", L""), L"abc");
    EXPECT_EQ(RemoveTrailing(L"c", L"abc"), L"c");
}

TEST(TextHelpers, CountsBeyondSixteenBitsOverflow) {
    Text huge(40000, L'x');
    try {
        EndsWith(L"abc", huge, false);
        FAIL() << "no overflow";
    } catch (const ZPError& error) {
        EXPECT_EQ(error.Number(), 6);
        EXPECT_EQ(error.Description(), L"Overflow");
    }
    EXPECT_THROW(RemoveTrailing(huge, L"\\"), ZPError);
    // Texts within the limit are fine.
    EXPECT_TRUE(EndsWith(Text(32767, L'x'), L"x", true));
}

class TempFolderTest : public SimMachineTest {};

TEST_F(TempFolderTest, LongFormWithoutTrailingBackslash) {
    MakeHostFolder("C:\\Documents and Settings\\tester\\Local Settings\\Temp");
    // Find the short form the machine gives that folder and report it as the temporary path.
    wchar_t buffer[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(L"C:\\Documents and Settings\\tester\\Local Settings\\Temp", buffer,
                                MAX_PATH),
              0u);
    Machine().tempPath = std::wstring(buffer) + L"\\";
    EXPECT_NE(Machine().tempPath.find(L'~'), Text::npos);
    EXPECT_EQ(GetTempFolder(), L"C:\\Documents and Settings\\tester\\Local Settings\\Temp");
}

TEST_F(TempFolderTest, MissingFolderGivesEmptyText) {
    Machine().tempPath = L"C:\\nowhere\\";
    EXPECT_EQ(GetTempFolder(), L"");
    EXPECT_EQ(GetTempFolder(), L"");
}

TEST_F(TempFolderTest, RootFolderKeepsNoBackslash) {
    Machine().tempPath = L"C:\\";
    EXPECT_EQ(GetTempFolder(), L"C:");
}

class FileExistsTest : public SimMachineTest {
protected:
    void SetUp() override {
        SimMachineTest::SetUp();
        MakeHostFolder("C:\\data\\sub");
        WriteHostFile("C:\\data\\Book1.xls", "1");
        Given().File("C:\\data\\hidden.xls", "h", FILE_ATTRIBUTE_HIDDEN);
        WriteHostFile("C:\\data\\system.xls", "s");
        WriteHostFile("C:\\data\\.profile", "p");
        SetFileAttributesA("C:\\data\\system.xls", FILE_ATTRIBUTE_SYSTEM);
    }
};

TEST_F(FileExistsTest, NormalFilesOnly) {
    EXPECT_TRUE(FileExists(L"C:\\data\\Book1.xls"));
    EXPECT_TRUE(FileExists(L"  c:\\DATA\\book1.XLS  "));
    EXPECT_FALSE(FileExists(L"C:\\data\\*.xls"));
    EXPECT_FALSE(FileExists(L"C:\\data\\sub"));
    EXPECT_FALSE(FileExists(L"C:\\data\\hidden.xls"));
    EXPECT_FALSE(FileExists(L"C:\\data\\system.xls"));
    EXPECT_FALSE(FileExists(L"C:\\data\\.profile"));
    EXPECT_FALSE(FileExists(L""));
    EXPECT_FALSE(FileExists(L"   "));
    EXPECT_FALSE(FileExists(L"C:\\data\\missing.xls"));
    EXPECT_FALSE(FileExists(L"C:\\missing\\Book1.xls"));
    EXPECT_FALSE(FileExists(L"Q:\\data\\Book1.xls"));
    EXPECT_FALSE(FileExists(L"C:\\data\\bad<name>.xls"));
}

TEST_F(FileExistsTest, WildcardCountsOnlyWhenThePathEndsWithTheFirstMatch) {
    // "Book?.xls" matches Book1.xls, but the pattern does not end with that name.
    EXPECT_EQ(FindFirstPlainFile(L"C:\\data\\Book?.xls"), L"Book1.xls");
    EXPECT_FALSE(FileExists(L"C:\\data\\Book?.xls"));
    // The search skips hidden, system and folder entries.
    EXPECT_EQ(FindFirstPlainFile(L"C:\\data\\*.xls"), L"Book1.xls");
    EXPECT_EQ(FindFirstPlainFile(L"C:\\data\\s*"), L"");
}

TEST_F(FileExistsTest, InvalidPathRaisesInTheSearchButNotInFileExists) {
    EXPECT_THROW(FindFirstPlainFile(L"C:\\data\\bad|name"), ZPError);
    EXPECT_FALSE(FileExists(L"C:\\data\\bad|name"));
}
